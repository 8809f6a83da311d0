// The texts of the two information boxes of the table window.
#include "table/player_texts.h"

#include <cstdio>

#include "net/connect.h"
#include "net/seat_table.h"
#include "net/socket_layer.h"
#include "net/wire.h"
#include "rules/game_table.h"

namespace {

constexpr int PLAYER_INFO_SIZE = 256;

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
