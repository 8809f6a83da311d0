// libFuzzer target: arbitrary bytes as a saved game (a `.vantoro` file). The
// reader accepts or refuses; a refusal names an offset inside the file (or
// its end) and a text. An accepted file is stepped through to every position,
// back and by rounds, and every table on the way must hold the deck once and
// keep the money whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "record/game_file.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckTable(const GameTable& table) {
    int seen[DECK_SIZE] = {};
    int money = 0;
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        money += table.money[s];
        for (int p = 0; p < HAND_SIZE; ++p) {
            const std::uint8_t card = table.hands[s][p];
            if (card == NO_CARD) continue;
            Check(card < DECK_SIZE);
            Check(++seen[card] == 1);
        }
    }
    Check(money == SEAT_COUNT * START_MONEY);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    GameFile file;
    GameFileError error;
    if (!ReadGameFile(data, size, &file, &error)) {
        Check(error.offset <= size);
        Check(!error.what.empty());
        return 0;
    }
    GameReplay replay(&file);
    Check(replay.PositionCount() >= 1);
    for (int p = 0; p < replay.PositionCount(); ++p) {
        replay.GoTo(p);
        CheckTable(replay.Table());
        Check(replay.Move() >= 0 && replay.Move() <= replay.MovesInRound());
    }
    for (int step = 0; step < 2 * replay.RoundCount(); ++step) replay.PreviousRound();
    Check(replay.Position() == 0);
    while (replay.Position() + 1 < replay.PositionCount()) {
        const int before = replay.Position();
        replay.NextRound();
        Check(replay.Position() > before);
    }
    return 0;
}
