#include "net/commands.h"

#include <algorithm>
#include <cstring>

#include "net/notices.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "net/socket_layer.h"
#include "net/wire.h"

namespace {

bool TableInPlay() {
    return g_table != nullptr && g_playerCount == 4 && g_table->roundOver == 0;
}

// A seat whose moves this program makes by itself.
bool PlaysForSeat(int seat) {
    return g_table != nullptr && GameLive() &&
           (seat == g_localSeat || IsComputerSeat(seat) || HostPlaysForSeat(seat));
}

// Applies the play to g_table and, when it is accepted, sends it.
bool PlayAndSend(int seat, const std::uint8_t* chosen) {
    const int size = BuildPlay(g_outMsg, seat, chosen);
    return ApplyGameMessage(g_outMsg, size, INVALID_SOCKET);
}

bool PassAndSend(int seat) {
    const int size = BuildPass(g_outMsg, seat);
    return ApplyGameMessage(g_outMsg, size, INVALID_SOCKET);
}

}  // namespace

int CommandPlay() {
    if (!TableInPlay()) return 0;
    std::uint8_t chosen[HAND_SIZE];
    std::memcpy(chosen, g_table->selection, sizeof chosen);
    if (!PlayAndSend(g_localSeat, chosen)) return 0;
    std::memset(g_table->selection, 0, sizeof g_table->selection);
    TellTableChanged();
    return 1;
}

int CommandPass() {
    if (!TableInPlay()) return 0;
    return PassAndSend(g_localSeat) ? 1 : 0;
}

int PlayForSeat(int seat, const std::uint8_t chosen[HAND_SIZE]) {
    if (!PlaysForSeat(seat) || g_table->roundOver != 0) return 0;
    return PlayAndSend(seat, chosen) ? 1 : 0;
}

int PassForSeat(int seat) {
    if (!PlaysForSeat(seat) || g_table->roundOver != 0) return 0;
    return PassAndSend(seat) ? 1 : 0;
}

int NextRoundForSeat(int seat) {
    if (!PlaysForSeat(seat) || g_table->roundOver == 0 || g_table->leader != seat) return 0;
    if (g_localSeat == 1) {
        DealAndSend(0);
    } else {
        const std::uint8_t next[MSG_NEXT_ROUND_SIZE] = {MSG_NEXT_ROUND};
        SendToOthers(g_localSeat, next, MSG_NEXT_ROUND_SIZE, 0);
    }
    return 1;
}

bool HostMessagesWaiting() {
    std::size_t unread = 0;
    return g_localSeat >= 2 && SockAvailable(g_sock, &unread) == 0 && unread > 0;
}

bool LocalSeatWonRound() {
    return g_table != nullptr && g_localSeat != 0 && g_table->roundOver != 0 &&
           g_table->leader == g_localSeat;
}

int CommandNextRound() {
    if (g_table == nullptr || g_playerCount != 4 || g_table->roundOver == 0) return 0;
    if (g_localSeat == 1 && g_table->leader == 1) {
        DealAndSend(0);
    } else {
        const std::uint8_t next[MSG_NEXT_ROUND_SIZE] = {MSG_NEXT_ROUND};
        SendToOthers(g_localSeat, next, MSG_NEXT_ROUND_SIZE, 0);
    }
    return 1;
}

int CommandAway(bool checked) {
    if (g_playerCount != 4) return 0;
    const int flag = checked ? 0 : 1;
    const int size = BuildAway(g_outMsg, g_localSeat, flag);
    SendToOthers(g_localSeat, g_outMsg, size, 0);
    if (g_localSeat == 1) {
        g_away[1] = flag;
        ShowAwayChecked(flag != 0);
        HostAwayChanged(1);
        TellTableChanged();
    }
    return 1;
}

ChatResult CommandSendChat(const char* text, std::size_t length) {
    if (g_localSeat == 0) return ChatResult::kNotSeated;
    length = strnlen(text, std::min<std::size_t>(length, CHAT_MAX_CHARS));
    if (length == 0) return ChatResult::kEmpty;
    const int size = BuildChat(g_outMsg, g_localSeat, text, static_cast<int>(length));
    SendToOthers(g_localSeat, g_outMsg, size, 0);
    if (g_localSeat == 1) {
        // The host's own line, at once; g_outMsg holds the text and its NUL.
        ShowChatLine(1, reinterpret_cast<const char*>(g_outMsg + MSG_CHAT_TEXT_OFFSET));
    }
    return ChatResult::kSent;
}
