#include "bot/easy_strategy.h"

#include <vector>

namespace {

// A beginner passes a play it could make this often (out of 16): more often
// when the play would spend an ace or a two.
constexpr std::uint32_t PASS_CHANCE = 2;
constexpr std::uint32_t PASS_CHANCE_HIGH = 6;
constexpr std::uint32_t PASS_OUT_OF = 16;

// The lowest card that plays count as high: the ace of diamonds.
constexpr int HIGH_VALUE = 52;

// True when play `a` is weaker than play `b` of the same size (both legal).
bool Weaker(const std::uint8_t* a, const std::uint8_t* b, int n) {
    return GameTable::ComparePlays(a, b, n) == 1;
}

}  // namespace

Move ChooseEasyMove(const SeatView& view, BotRandom& random) {
    const std::vector<Move> moves = LegalMoves(view);
    if (moves.empty()) return PassMove();
    if (moves.size() == 1) return moves.front();
    const std::uint8_t* hand = view.Hand();
    const int held = view.Held(view.Seat());

    // The lowest card of the hand.
    int lowest = -1;
    for (int p = 0; p < HAND_SIZE; ++p) {
        const std::uint8_t card = hand[p];
        if (card == NO_CARD) continue;
        if (lowest < 0 || GameTable::PlayValue(card) < GameTable::PlayValue(hand[lowest]))
            lowest = p;
    }

    const bool freeLead = view.FreeLead();
    const Move* best = nullptr;
    int bestSize = 0;
    std::uint8_t bestCards[PLAY_SIZE];
    bool canPass = false;
    for (const Move& move : moves) {
        if (move.pass) {
            canPass = true;
            continue;
        }
        std::uint8_t cards[PLAY_SIZE];
        const int n = MoveCards(view, move, cards);
        if (n == held) return move;  // out
        if (freeLead && move.chosen[lowest] == 0) continue;
        // Leading: the biggest play of the lowest card, the lowest of that
        // size. Following: every play has the table's size.
        if (best == nullptr || n > bestSize || (n == bestSize && Weaker(cards, bestCards, n))) {
            best = &move;
            bestSize = n;
            std::copy(cards, cards + PLAY_SIZE, bestCards);
        }
    }
    if (best == nullptr) return moves.front();
    if (canPass) {
        const bool high = GameTable::CardValue(bestCards, bestSize) >= HIGH_VALUE;
        if (random.Chance(high ? PASS_CHANCE_HIGH : PASS_CHANCE, PASS_OUT_OF)) return PassMove();
    }
    return *best;
}
