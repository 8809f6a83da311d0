#include "table/connect_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "net/connect.h"
#include "net/relay.h"
#include "net/winsock_error.h"
#include "resources/resource_ids.h"
#include "table/settings.h"
#include "table/window_texts.h"
#include "ui/dialog_units.h"

namespace {

constexpr int CONNECT_WIDTH_DLU = 191;
constexpr int CONNECT_HEIGHT_DLU = 86;
constexpr int NICKNAME_LIMIT = 16;
constexpr int PORT_LIMIT = 4;
// A dotted address, or a machine's name (at most 253 characters).
constexpr int ADDRESS_LIMIT = 253;
constexpr int TURN_LIMITS[] = {0, 30, 60, 120};

}  // namespace

QByteArray Utf8Prefix(const QString& text, int maxBytes) {
    QByteArray bytes = text.toUtf8();
    if (bytes.size() <= maxBytes) return bytes;
    int cut = maxBytes;
    // Step back over continuation bytes (10xxxxxx) to a character's start.
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
    bytes.truncate(cut);
    return bytes;
}

bool NicknameGiven(QWidget* dialog, QLineEdit* nickname) {
    if (!nickname->text().isEmpty()) return true;
    QMessageBox box(QMessageBox::Warning, QString(), QString::fromLatin1(NAME_MISSING_TEXT),
                    QMessageBox::Ok, dialog);
    box.exec();
    nickname->setFocus();
    return false;
}

void ShowWinsockError(QWidget* owner, const char* text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Winsock Error"),
                    QString::fromLatin1(text), QMessageBox::Ok, owner);
    box.exec();
}

void ShowAddressProblem(QWidget* owner, bool ipv6Only, const QString& address) {
    const QString text = QString::fromUtf8(ipv6Only ? HOST_NO_IPV4_TEXT : HOST_NOT_FOUND_TEXT);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Vantoro"), text.arg(address),
                    QMessageBox::Ok, owner);
    box.exec();
}

QComboBox* AddTurnLimitChoice(QWidget* dialog, const DialogLayout& layout, int x, int y) {
    layout.FieldLabel(QString::fromUtf8(TURN_LIMIT_LABEL), x, y + 1, 46, 12);
    auto* choice = new QComboBox(dialog);
    for (int seconds : TURN_LIMITS) {
        choice->addItem(
            seconds == 0 ? QString::fromUtf8(TURN_LIMIT_NONE) : QStringLiteral("%1 s").arg(seconds),
            seconds);
    }
    const int index = choice->findData(LoadTurnLimit());
    choice->setCurrentIndex(index < 0 ? 0 : index);
    layout.Place(choice, x + 49, y, 50, 14);
    return choice;
}

int TurnLimitOf(const QComboBox* choice) {
    return choice == nullptr ? 0 : choice->currentData().toInt();
}

ConnectDialog::ConnectDialog(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Connection"));
    setFont(QFont(QStringLiteral("Arial"), 9));
    const DialogLayout layout(this);
    auto button = [&](const QString& label, int x, int y, int width, int height) {
        auto* b = new QPushButton(label, this);
        // The dialog has no default button: Enter presses nothing.
        b->setAutoDefault(false);
        b->setDefault(false);
        layout.Place(b, x, y, width, height);
        return b;
    };
    auto field = [&](int x, int y, int width, int height) {
        auto* edit = new QLineEdit(this);
        layout.Place(edit, x, y, width, height);
        return edit;
    };

    // In the order of the dialog template, which is also the tab order.
    join_ = button(QStringLiteral("Rejoindre"), 128, 45, 56, 14);
    host_ = button(QStringLiteral("Être hôte"), 128, 26, 56, 14);
    address_ = field(39, 26, 82, 12);
    port_ = field(39, 47, 28, 12);
    layout.FieldLabel(QStringLiteral("IP :"), 7, 26, 27, 13);
    layout.FieldLabel(QStringLiteral("Port :"), 7, 47, 27, 12);
    nickname_ = field(49, 7, 135, 12);
    layout.FieldLabel(QStringLiteral("Pseudo :"), 7, 7, 38, 11);
    setTabOrder(join_, host_);
    setTabOrder(host_, address_);
    setTabOrder(address_, port_);
    turnLimit_ = AddTurnLimitChoice(this, layout, 3, 66);
    setTabOrder(port_, nickname_);
    setTabOrder(nickname_, turnLimit_);

    connect(host_, &QPushButton::clicked, this, [this] { OnCommand(IDC_HOST); });
    connect(join_, &QPushButton::clicked, this, [this] { OnCommand(IDC_JOIN); });
    setFixedSize(layout.Size(CONNECT_WIDTH_DLU, CONNECT_HEIGHT_DLU));
}

QLineEdit* ConnectDialog::Field(int id) const {
    switch (id) {
        case IDC_NICKNAME:
            return nickname_;
        case IDC_IP:
            return address_;
        case IDC_PORT:
            return port_;
        default:
            return nullptr;
    }
}

QPushButton* ConnectDialog::Button(int id) const {
    if (id == IDC_HOST) return host_;
    if (id == IDC_JOIN) return join_;
    return nullptr;
}

void ConnectDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
}

void ConnectDialog::OnInitDialog() {
    const int started = StartNetwork();
    if (started != 0) {
        ShowWinsockError(this, WinsockErrorText(started));
        done(0);
        return;
    }
    nickname_->setFocus();
    char address[ADDRESS_TEXT_SIZE] = {};
    DefaultAddress(address);
    address_->setText(QString::fromLatin1(address));
    port_->setText(QString::fromLatin1(DEFAULT_PORT_TEXT));
    // After a first successful host or join, the fields it was made with.
    ConnectFields remembered;
    if (LoadConnectFields(&remembered)) {
        nickname_->setText(remembered.nickname);
        address_->setText(remembered.address);
        port_->setText(remembered.port);
    }
    const QString nickname = LoadNickname();
    if (!nickname.isEmpty()) nickname_->setText(nickname);
    nickname_->setMaxLength(NICKNAME_LIMIT);
    port_->setMaxLength(PORT_LIMIT);
    address_->setMaxLength(ADDRESS_LIMIT);
}

void ConnectDialog::OnCommand(int id) {
    if (id != IDC_HOST && id != IDC_JOIN) return;
    if (!NicknameGiven(this, nickname_)) return;
    // The fields hold at most 16, 15 and 4 characters. Texts travel as UTF-8;
    // a nickname keeps at most 16 bytes, cut between characters.
    const QByteArray nickname = Utf8Prefix(nickname_->text(), NICKNAME_LIMIT);
    const QByteArray address = address_->text().toUtf8().left(ADDRESS_LIMIT);
    const QByteArray port = port_->text().toLatin1().left(PORT_LIMIT);
    if (id == IDC_HOST) {
        // The window's computer can keep seats; the limit is the host's choice.
        SetHostPolicy(HostPolicy{true, TurnLimitOf(turnLimit_)});
    }
    const ConnectOutcome outcome =
        id == IDC_HOST ? HostTable(nickname.constData(), address.constData(), port.constData())
                       : JoinTable(nickname.constData(), address.constData(), port.constData());
    switch (outcome.step) {
        case ConnectStep::Connected:
            SaveConnectFields({nickname_->text(), address_->text(), port_->text()});
            if (id == IDC_HOST) SaveTurnLimit(TurnLimitOf(turnLimit_));
            done(outcome.endResult);
            break;
        case ConnectStep::UnknownHost:
        case ConnectStep::NoIpv4Host:
            ShowAddressProblem(this, outcome.step == ConnectStep::NoIpv4Host, address_->text());
            address_->setFocus();
            break;
        case ConnectStep::Failed:
            ShowWinsockError(this, WinsockErrorText(outcome.error));
            done(outcome.endResult);
            break;
        case ConnectStep::AlreadyOpen:
        case ConnectStep::NoNickname:
            break;
    }
}

void ConnectDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();  // the dialog has neither an OK nor a Cancel command
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void ConnectDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    done(0);
}

int RunConnectDialog(QWidget* owner) {
    ConnectDialog dialog(owner);
    return dialog.exec();
}
