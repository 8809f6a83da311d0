// Moves of one seat: what the seat on turn may do, in the form the table and
// the wire take it (the seat's 13 hand positions, non-zero = chosen).
//
// The legality of a move is the table's own: a move is in LegalMoves exactly
// when GameTable::Play (or GameTable::Pass) on a copy of the table would
// accept it. The generator asks the rules (IsValidPlay, ComparePlays) and
// writes none of its own.
#pragma once

#include <cstdint>
#include <vector>

#include "bot/seat_view.h"
#include "rules/game_table.h"

struct Move {
    bool pass;                       // true = GameTable::Pass; chosen is then all zero
    std::uint8_t chosen[HAND_SIZE];  // hand positions to play: 0 = not chosen, 1 = chosen
};

// A pass.
Move PassMove();

// A play of the hand positions set in `positions` (bit p = position p).
Move PlayMove(std::uint16_t positions);

// The hand positions a move chooses, bit p = position p; 0 for a pass.
std::uint16_t MovePositions(const Move& move);

// Number of positions a move chooses (0 for a pass).
int MoveSize(const Move& move);

// Writes the cards of the seat's chosen positions into a five-byte play
// buffer in ascending position order (hand order), NO_CARD in the rest, as
// GameTable::Play builds it. Returns the number of chosen positions, which
// may exceed five (only the first five are written).
int MoveCards(const GameTable& table, int seat, const Move& move, std::uint8_t out[PLAY_SIZE]);
int MoveCards(const SeatView& view, const Move& move, std::uint8_t out[PLAY_SIZE]);

// Every move the table would accept from `seat` now: each legal play of 1, 2,
// 3 or 5 cards (plays in ascending order of size, then of their positions in
// lexicographic order), then the pass if it is allowed. Empty when the seat
// is not on turn, is not a seat, or the round is over.
std::vector<Move> LegalMoves(const GameTable& table, int seat);
// The same for the view's seat: what it reads, the seat may know.
std::vector<Move> LegalMoves(const SeatView& view);

// Applies a move through the table's own operations: GameTable::Pass or
// GameTable::Play. Returns their result (1 accepted, 0 refused and unchanged).
int ApplyMove(GameTable& table, int seat, const Move& move);
