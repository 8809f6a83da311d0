#include "table/computer_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "net/connect.h"
#include "net/relay.h"
#include "net/socket_layer.h"
#include "net/winsock_error.h"
#include "resources/resource_ids.h"
#include "table/connect_dialog.h"
#include "table/settings.h"
#include "ui/dialog_units.h"

namespace {

constexpr int COMPUTER_WIDTH_DLU = 191;
constexpr int COMPUTER_HEIGHT_DLU = 86;
constexpr int NICKNAME_LIMIT = 16;
constexpr const char* LOCAL_ADDRESS = "127.0.0.1";
constexpr const char* ANY_FREE_PORT = "0";

}  // namespace

ComputerDialog::ComputerDialog(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Jouer contre l'ordinateur"));
    setFont(QFont(QStringLiteral("Arial"), 9));
    const DialogLayout layout(this);
    layout.FieldLabel(QStringLiteral("Pseudo :"), 7, 7, 38, 11);
    nickname_ = new QLineEdit(this);
    nickname_->setMaxLength(NICKNAME_LIMIT);
    layout.Place(nickname_, 49, 7, 135, 12);
    layout.FieldLabel(QStringLiteral("Niveau :"), 7, 26, 38, 12);
    level_ = new QComboBox(this);
    for (BotLevel level : BOT_LEVELS) {
        level_->addItem(QString::fromUtf8(BotLevelLabel(level)), static_cast<int>(level));
    }
    ComputerFields remembered;
    LoadComputerFields(&remembered);
    nickname_->setText(remembered.nickname);
    const QString nickname = LoadNickname();
    if (!nickname.isEmpty()) nickname_->setText(nickname);
    level_->setCurrentIndex(level_->findData(static_cast<int>(remembered.level)));
    layout.Place(level_, 49, 25, 80, 14);
    // Network players may join the table too: the turn limit is for them.
    turnLimit_ = AddTurnLimitChoice(this, layout, 3, 44);
    play_ = new QPushButton(QStringLiteral("Jouer"), this);
    play_->setDefault(true);
    layout.Place(play_, 77, 65, 50, 14);
    cancel_ = new QPushButton(QStringLiteral("Annuler"), this);
    cancel_->setAutoDefault(false);
    layout.Place(cancel_, 134, 65, 50, 14);
    setTabOrder(nickname_, level_);
    setTabOrder(level_, turnLimit_);
    setTabOrder(turnLimit_, play_);
    setTabOrder(play_, cancel_);

    connect(play_, &QPushButton::clicked, this, &ComputerDialog::OnPlay);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(layout.Size(COMPUTER_WIDTH_DLU, COMPUTER_HEIGHT_DLU));
}

void ComputerDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    nickname_->setFocus();
}

void ComputerDialog::OnPlay() {
    if (!NicknameGiven(this, nickname_)) return;
    const int started = StartNetwork();
    if (started != 0) {
        ShowWinsockError(this, WinsockErrorText(started));
        done(0);
        return;
    }
    const QByteArray nickname = Utf8Prefix(nickname_->text(), NICKNAME_LIMIT);
    SetHostPolicy(HostPolicy{true, TurnLimitOf(turnLimit_)});
    ConnectOutcome outcome = HostTable(nickname.constData(), LOCAL_ADDRESS, DEFAULT_PORT_TEXT);
    // The usual port is taken (another table on this machine): any free one.
    if (outcome.step == ConnectStep::Failed && outcome.endResult == 0 &&
        outcome.error == WSAEADDRINUSE) {
        outcome = HostTable(nickname.constData(), LOCAL_ADDRESS, ANY_FREE_PORT);
    }
    switch (outcome.step) {
        case ConnectStep::Connected:
            outcome_.hosting = true;
            outcome_.level = static_cast<BotLevel>(level_->currentData().toInt());
            SaveComputerFields({nickname_->text(), outcome_.level});
            SaveTurnLimit(TurnLimitOf(turnLimit_));
            done(outcome.endResult);
            break;
        case ConnectStep::Failed:
            ShowWinsockError(this, WinsockErrorText(outcome.error));
            outcome_.endResult = outcome.endResult;
            done(outcome.endResult);
            break;
        case ConnectStep::AlreadyOpen:
        case ConnectStep::NoNickname:
        case ConnectStep::UnknownHost:  // 127.0.0.1 is no name
        case ConnectStep::NoIpv4Host:
            break;
    }
}

ComputerGameOutcome RunComputerDialog(QWidget* owner) {
    ComputerDialog dialog(owner);
    dialog.exec();
    return dialog.Outcome();
}
