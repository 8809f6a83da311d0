#include "bot/moves.h"

#include <cstring>

Move PassMove() {
    Move move{};
    move.pass = true;
    return move;
}

Move PlayMove(std::uint16_t positions) {
    Move move{};
    move.pass = false;
    for (int p = 0; p < HAND_SIZE; ++p) move.chosen[p] = (positions >> p) & 1u;
    return move;
}

std::uint16_t MovePositions(const Move& move) {
    if (move.pass) return 0;
    std::uint16_t positions = 0;
    for (int p = 0; p < HAND_SIZE; ++p) {
        if (move.chosen[p] != 0) positions = static_cast<std::uint16_t>(positions | (1u << p));
    }
    return positions;
}

int MoveSize(const Move& move) {
    if (move.pass) return 0;
    int n = 0;
    for (int p = 0; p < HAND_SIZE; ++p) n += move.chosen[p] != 0 ? 1 : 0;
    return n;
}

int MoveCards(const GameTable& table, int seat, const Move& move, std::uint8_t out[PLAY_SIZE]) {
    return MoveCards(SeatView(table, seat), move, out);
}

int MoveCards(const SeatView& view, const Move& move, std::uint8_t out[PLAY_SIZE]) {
    std::memset(out, NO_CARD, PLAY_SIZE);
    if (move.pass || view.Seat() == 0) return 0;
    const std::uint8_t* hand = view.Hand();
    int n = 0;
    for (int p = 0; p < HAND_SIZE; ++p) {
        if (move.chosen[p] == 0) continue;
        if (n < PLAY_SIZE) out[n] = hand[p];
        ++n;
    }
    return n;
}

namespace {

// Calls visit(positions, n) for every n-subset of the held positions, in
// lexicographic order of the positions.
template <typename Visit>
void ForEachSubset(const int* held, int heldCount, int n, Visit&& visit) {
    if (n > heldCount) return;
    int index[PLAY_SIZE];
    for (int i = 0; i < n; ++i) index[i] = i;
    for (;;) {
        std::uint16_t positions = 0;
        for (int i = 0; i < n; ++i)
            positions = static_cast<std::uint16_t>(positions | (1u << held[index[i]]));
        visit(positions, index, n);
        int i = n - 1;
        while (i >= 0 && index[i] == heldCount - n + i) --i;
        if (i < 0) return;
        ++index[i];
        for (int j = i + 1; j < n; ++j) index[j] = index[j - 1] + 1;
    }
}

}  // namespace

std::vector<Move> LegalMoves(const GameTable& table, int seat) {
    return LegalMoves(SeatView(table, seat));
}

std::vector<Move> LegalMoves(const SeatView& view) {
    std::vector<Move> moves;
    const int seat = view.Seat();
    if (seat == 0 || seat != view.Turn() || view.RoundOver()) return moves;
    const std::uint8_t* hand = view.Hand();

    int held[HAND_SIZE];
    int heldCount = 0;
    for (int p = 0; p < HAND_SIZE; ++p) {
        if (hand[p] != NO_CARD) held[heldCount++] = p;
    }

    // A free lead takes any legal combination; otherwise the play must have
    // the table's size and beat it. The opening play must hold the three of
    // diamonds.
    const bool freeLead = view.FreeLead();
    for (int n : {1, 2, 3, 5}) {
        if (!freeLead && n != view.TableCount()) continue;
        ForEachSubset(held, heldCount, n, [&](std::uint16_t positions, const int* index, int size) {
            std::uint8_t buffer[PLAY_SIZE];
            std::memset(buffer, NO_CARD, sizeof buffer);
            bool holdsOpening = false;
            for (int i = 0; i < size; ++i) {
                buffer[i] = hand[held[index[i]]];
                if (buffer[i] == CARD_OPENING) holdsOpening = true;
            }
            if (view.MustOpenLowest() && !holdsOpening) return;
            const bool accepted =
                freeLead ? GameTable::IsValidPlay(buffer, size) == 1
                         : GameTable::ComparePlays(view.TablePlay(), buffer, size) == 1;
            if (accepted) moves.push_back(PlayMove(positions));
        });
    }
    if (seat != view.Leader()) moves.push_back(PassMove());
    return moves;
}

int ApplyMove(GameTable& table, int seat, const Move& move) {
    if (move.pass) return table.Pass(seat);
    return table.Play(seat, move.chosen);
}
