#include "table/player_aids.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStatusBar>
#include <QStyleOption>
#include <cstring>
#include <string>

#include "bot/computer_player.h"
#include "net/seat_table.h"
#include "resources/resource_ids.h"
#include "rules/game_table.h"
#include "table/aid_texts.h"
#include "table/board_widget.h"
#include "table/game_lines.h"
#include "table/hand_cursor.h"
#include "table/table_accessibility.h"
#include "table/table_window.h"
#include "ui/chat_box.h"

namespace {

// The hint's player always decides the same way at the same table.
constexpr std::uint64_t HINT_SEED = 20;

// The buttons' focus: a black line and a bright blue band along the
// button's edge, over what the style draws, so that the button that takes
// Enter and Space is seen at once.
class FocusFrameStyle : public QProxyStyle {
  public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element != CE_PushButton || (option->state & State_HasFocus) == 0) return;
        painter->save();
        painter->setPen(Qt::NoPen);
        const QRect r = option->rect;
        const auto ring = [painter](const QRect& outer, int width, const QColor& colour) {
            QRegion region(outer);
            region -= outer.adjusted(width, width, -width, -width);
            for (const QRect& part : region) painter->fillRect(part, colour);
        };
        ring(r, 1, Qt::black);
        ring(r.adjusted(1, 1, -1, -1), 2, QColor(0, 170, 255));
        painter->restore();
    }
};

bool LocalTurn() {
    return g_table != nullptr && GameLive() && g_playerCount == SEAT_COUNT && g_localSeat >= 1 &&
           g_localSeat <= SEAT_COUNT && g_table->roundOver == 0 && g_table->turn == g_localSeat;
}

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

}  // namespace

PlayerAids::PlayerAids(TableWindow* window) : QObject(window), window_(window) {
    InstallTableAccessibility();
    cursor_ = new HandCursor(window->Board());
    // Names for what shows no text of its own (the buttons take theirs).
    cursor_->setAccessibleName(Text(NAME_HAND));
    window->Board()->setAccessibleName(Text(NAME_TABLE));
    window->ChatLogBox()->setAccessibleName(Text(NAME_CHAT_LOG));
    window->ChatInput()->setAccessibleName(Text(NAME_CHAT_INPUT));
    if (auto* status = window->findChild<QStatusBar*>())
        status->setAccessibleName(Text(NAME_STATUS));
    cursor_->onCommand = [this](int id) {
        // What a click on the button does, and nothing while it is greyed.
        QPushButton* button = window_->Button(id);
        if (button == nullptr)
            window_->OnCommand(id);
        else if (button->isEnabled())
            button->click();
    };
    cursor_->onChat = [this] { window_->ChatInput()->setFocus(Qt::ShortcutFocusReason); };
    // Escape in the chat field, or in the log where a line is being
    // selected, gives the keys back to the table.
    chatInput_ = window->ChatInput();
    chatLog_ = window->ChatLogBox();
    chatInput_->installEventFilter(this);
    chatLog_->installEventFilter(this);

    // The buttons take the focus from Tab only: a click leaves the keys where
    // they were (on the table, most of the time).
    buttonStyle_ = new FocusFrameStyle;
    buttonStyle_->setParent(this);
    for (int id : {IDC_PLAYER_INFO, IDC_PASS, IDC_PLAY, IDC_NEXT_ROUND, IDC_CLEAR_CHAT, IDC_AWAY}) {
        QPushButton* button = window->Button(id);
        if (button == nullptr) continue;
        button->setFocusPolicy(Qt::TabFocus);
        button->setStyle(buttonStyle_);
    }
    QWidget::setTabOrder(window->ChatInput(), cursor_);
}

PlayerAids::~PlayerAids() = default;

bool PlayerAids::eventFilter(QObject* watched, QEvent* event) {
    const bool chat = watched == chatInput_ || watched == chatLog_;
    if (chat && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            FocusTable(true);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PlayerAids::FocusTable(bool always) {
    QLineEdit* chat = window_->ChatInput();
    if (!always && chat->hasFocus() && !chat->text().isEmpty()) return;
    cursor_->setFocus(Qt::OtherFocusReason);
}

void PlayerAids::RoundDealt() {
    round_.NewRound();
    cursor_->MoveTo(0);
    FocusTable(false);
    toldTurn_ = 0;
    TellTurn();
}

void PlayerAids::PlayApplied(int seat, const std::uint8_t* cards) {
    round_.Played(seat, cards);
    cursor_->update();
    if (seat < 1 || seat > SEAT_COUNT) return;
    Tell(PlayLine(g_seats[seat].name, cards));
    if (g_table != nullptr && g_table->roundOver != 0 && g_table->leader == seat)
        Tell(RoundEndLines(*g_table, seat));
    TellTurn();
}

void PlayerAids::PassApplied(int seat) {
    round_.Passed(seat);
    if (seat < 1 || seat > SEAT_COUNT) return;
    Tell(PassLine(g_seats[seat].name));
    TellTurn();
}

void PlayerAids::SeatChanged() {
    cursor_->update();
}

void PlayerAids::Tell(const std::string& line) {
    // The lines end in "\r\n" for the log; a round's end holds several.
    QString text = QString::fromUtf8(line.c_str()).trimmed();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Announce(window_->Board(), text);
}

void PlayerAids::TellTurn() {
    if (g_table == nullptr || !GameLive() || g_playerCount != SEAT_COUNT ||
        g_table->roundOver != 0) {
        toldTurn_ = 0;
        return;
    }
    const int turn = g_table->turn;
    if (turn < 1 || turn > SEAT_COUNT || turn == toldTurn_) return;
    toldTurn_ = turn;
    if (turn == g_localSeat) {
        Announce(window_->Board(), Text(SAY_YOUR_TURN));
        return;
    }
    const QString name =
        QString::fromUtf8(g_seats[turn].name, qstrnlen(g_seats[turn].name, NAME_SIZE));
    Announce(window_->Board(), Text(SAY_TURN_OF).arg(name));
}

bool PlayerAids::ShowHint() {
    if (!LocalTurn()) return false;
    ComputerPlayer player(BotLevel::kHard, HINT_SEED);
    player.Resume(round_);
    const Move move = player.Choose(SeatView(*g_table, g_localSeat));
    if (move.pass) {
        window_->AppendChatText((std::string(LINE_HINT_PASS) + "\r\n").c_str());
        return true;
    }
    for (int slot = 0; slot < HAND_SIZE; ++slot)
        g_table->selection[slot] = move.chosen[slot] != 0 ? 0xFF : 0;
    window_->Repaint();
    return true;
}

void PlayerAids::ShowKeys() {
    QString html = QStringLiteral("<table cellspacing=\"2\">");
    for (const KeyHelp& entry : KEYS_HELP) {
        if (entry.what == nullptr) {
            html += QStringLiteral("<tr><td colspan=\"2\"><b>%1</b></td></tr>")
                        .arg(Text(entry.key).toHtmlEscaped());
        } else {
            html += QStringLiteral("<tr><td>&nbsp;&nbsp;%1&nbsp;&nbsp;</td><td>%2</td></tr>")
                        .arg(Text(entry.key).toHtmlEscaped(), Text(entry.what).toHtmlEscaped());
        }
    }
    html += QStringLiteral("</table>");
    QMessageBox box(QMessageBox::Information, Text(ITEM_KEYS), html, QMessageBox::Ok, window_);
    box.setTextFormat(Qt::RichText);
    box.exec();
}
