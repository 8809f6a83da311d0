#include "bench/support/recorded_game.h"

#include "bench/support/random_player.h"
#include "net/wire.h"

namespace {

void Append(RecordedGame* game, const std::uint8_t* msg, int size, const GameTable& table,
            bool keepTables) {
    game->messages.insert(game->messages.end(), msg, msg + size);
    game->ends.push_back(game->messages.size());
    if (keepTables) game->tables.push_back(table);
}

}  // namespace

RecordedGame PlayRecordedGame(int rounds, std::uint64_t seed, bool keepTables) {
    RecordedGame game;
    RandomPlayer player(seed);
    GameTable table;
    std::uint8_t msg[MSG_BUFFER_SIZE];
    for (int round = 0; round < rounds; ++round) {
        table.DealWithSeed(
            static_cast<std::uint32_t>(seed * 7919 + static_cast<std::uint64_t>(round)),
            round == 0 ? 1 : 0);
        Append(&game, msg, BuildDeal(msg, table.hands), table, keepTables);
        if (round == 0) {
            msg[0] = MSG_NEW_GAME;
            Append(&game, msg, MSG_NEW_GAME_SIZE, table, keepTables);
        }
        while (table.roundOver == 0) {
            const int seat = table.turn;
            const Move move = player.Choose(table, seat);
            if (move.pass) {
                table.Pass(seat);
                Append(&game, msg, BuildPass(msg, seat), table, keepTables);
            } else {
                table.Play(seat, move.chosen);
                Append(&game, msg, BuildPlay(msg, seat, move.chosen), table, keepTables);
            }
        }
    }
    return game;
}
