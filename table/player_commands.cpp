// The player's commands on the table window: choosing cards with the mouse,
// playing, passing, the next round, the away flag, chat, the player list and
// the statistics box. Each command acts on this copy of the game and tells
// the others through the network library's commands; here is only what a
// command means for the window's controls.
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>
#include <cstring>

#include "bot/auto_play.h"
#include "net/commands.h"
#include "net/connect.h"
#include "net/seat_table.h"
#include "net/socket_layer.h"
#include "net/wire.h"
#include "resources/resource_ids.h"
#include "rules/game_table.h"
#include "table/player_texts.h"
#include "table/table_window.h"
#include "ui/table_painter.h"
#include "ui/wire_text.h"

namespace {

constexpr int PLAYER_INFO_SIZE = 256;
constexpr const char* NOTHING_TO_SEND = "You must enter something to send";

// A text with "\r\n" line ends, as a message box shows it.
QString BoxText(const std::string& text) {
    QString shown = TextFromBytes(text.c_str());
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

// Where the piece of `text` that starts at `start` ends: at most maxBytes
// further on, and never inside a character (continuation bytes are 10xxxxxx).
qsizetype Utf8PieceEnd(const QByteArray& text, qsizetype start, qsizetype maxBytes) {
    if (text.size() - start <= maxBytes) return text.size();
    qsizetype end = start + maxBytes;
    while (end > start && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return end > start ? end : start + maxBytes;  // no character start: cut anyway
}

}  // namespace

std::string PlayerInfoText() {
    char text[PLAYER_INFO_SIZE];
    int used = std::snprintf(text, sizeof text, "Connected players: %d\r\n\r\n", g_playerCount);
    for (int seat = 1; seat <= SEAT_COUNT; ++seat) {
        const SeatRecord& record = g_seats[seat];
        if (record.sock == INVALID_SOCKET) continue;
        char address[ADDRESS_TEXT_SIZE];
        FormatDottedAddress(record.addr.ipv4, address);
        if (used < 0 || used >= PLAYER_INFO_SIZE) break;
        used += std::snprintf(text + used, sizeof text - static_cast<std::size_t>(used),
                              "\r\nID/name: (%d) %.*s\r\nIP: %s", seat, NAME_SIZE, record.name,
                              address);
    }
    return std::string(text);
}

std::string SaveGameText() {
    if (g_table == nullptr || g_table->roundsPlayed == 0 || g_table->history == nullptr) return {};
    const RoundResult& first = g_table->history[0];
    char text[PLAYER_INFO_SIZE];
    std::snprintf(text, sizeof text,
                  "game played: %d\r\n%.*s card: %d\r\n%.*s card: %d\r\n%.*s card: %d\r\n%.*s "
                  "card: %d",
                  g_table->roundsPlayed, NAME_SIZE, g_seats[1].name,
                  static_cast<std::int8_t>(first.charged[1]), NAME_SIZE, g_seats[2].name,
                  static_cast<std::int8_t>(first.charged[2]), NAME_SIZE, g_seats[3].name,
                  static_cast<std::int8_t>(first.charged[3]), NAME_SIZE, g_seats[4].name,
                  static_cast<std::int8_t>(first.charged[4]));
    return std::string(text);
}

void TableWindow::OnLButtonDown(int x, int y) {
    if (g_playerCount != SEAT_COUNT || g_table == nullptr) return;
    if (g_localSeat < 1 || g_localSeat > SEAT_COUNT) return;
    // From the rightmost place down (in the layout the hand was painted in):
    // the first rectangle that holds the point belongs to the topmost card
    // under it.
    int placed[HAND_SIZE];
    for (int place = HandLayout(g_table->hands[g_localSeat], placed) - 1; place >= 0; --place) {
        const int slot = placed[place];
        const CardRect& r = g_cardRects[slot];
        if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) continue;
        g_table->selection[slot] = static_cast<std::uint8_t>(~g_table->selection[slot]);
        if (g_table->selection[slot] != 0) g_cardRects[slot].top = HAND_TOP_SELECTED;
        InvalidateCardRect(slot);
        return;
    }
}

void TableWindow::OnPlay() {
    // Only the player whose own play emptied the hand starts the next round:
    // the play's PlayApplied enables "Tour\nsuivant" then. A refused play
    // sends nothing and keeps the chosen cards up; the chat log says why.
    if (CommandPlay() != 0 || g_table == nullptr) return;
    ShowRefusal(g_table->PlayRefusal(g_localSeat, g_table->selection));
}

void TableWindow::OnPass() {
    if (CommandPass() != 0 || g_table == nullptr) return;
    ShowRefusal(g_table->PassRefusal(g_localSeat));
}

void TableWindow::OnNextRound() {
    if (CommandNextRound() == 0) return;
    nextRoundAsked_ = true;
    UpdateNextRoundButton();
}

void TableWindow::OnAway() {
    const bool wasAway = Button(IDC_AWAY)->isChecked();
    // Coming back gives the seat back at once, before the host's echo.
    if (CommandAway(wasAway) != 0 && wasAway) autoPlay_->SetPlaysLocalSeat(false);
}

void TableWindow::OnSendChat() {
    if (g_localSeat == 0) return;
    // The input holds at most 512 characters, and a message carries at most
    // 1000 bytes of UTF-8 text. A line of wider characters (up to 1536 bytes)
    // therefore goes out as consecutive messages, each cut between
    // characters, so that nothing typed is lost when the input is emptied.
    const QByteArray line = ChatInput()->text().toUtf8();
    qsizetype start = 0;
    do {
        const qsizetype end = Utf8PieceEnd(line, start, CHAT_MAX_CHARS);
        switch (CommandSendChat(line.constData() + start, static_cast<std::size_t>(end - start))) {
            case ChatResult::kEmpty: {
                QMessageBox box(QMessageBox::Warning, QString(),
                                QString::fromLatin1(NOTHING_TO_SEND), QMessageBox::Ok, this);
                box.exec();
                return;
            }
            case ChatResult::kNotSeated:
                return;
            case ChatResult::kSent:
                break;
        }
        start = end;
    } while (start < line.size());
    ChatInput()->clear();
}

void TableWindow::OnPlayerInfo() {
    if (g_localSeat != 1) return;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Vantoro"), BoxText(PlayerInfoText()),
                    QMessageBox::Ok, this);
    box.exec();
}

void TableWindow::OnSaveGame() {
    const std::string text = SaveGameText();
    if (text.empty()) return;
    QMessageBox box(QMessageBox::NoIcon, QString(), BoxText(text), QMessageBox::Ok);
    box.exec();
}
