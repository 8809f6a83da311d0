// A game played by four random players on one table, as the host plays it,
// with the messages a game's log would hold (net/game_log.h) and the table
// after each of them: what the saved-game tests compare a replay with, and
// what the benchmarks make a long saved game of. Deterministic for a seed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "rules/game_table.h"

struct RecordedGame {
    // The game's messages: the first deal, the new game, then the plays,
    // passes and next deals, byte for byte as they travel.
    std::vector<std::uint8_t> messages;
    // One per message: where it ends in `messages`, and the table after it.
    std::vector<std::size_t> ends;
    std::vector<GameTable> tables;
};

// Plays `rounds` whole rounds. With `keepTables` false, `tables` stays empty
// (a long game for the benchmarks).
RecordedGame PlayRecordedGame(int rounds, std::uint64_t seed, bool keepTables = true);
