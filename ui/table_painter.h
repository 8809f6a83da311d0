// The table painter: draws the whole card table in client pixels of the board.
//
// Before four players are seated it draws the waiting screen (the full deck
// and the title picture); once they are, the three other players across the
// top in turn order after the local seat, the local player at the bottom left,
// each seat's latest play, the turn, pass and away markers, the money and win
// counters and the round number, and on the host the last seconds of its
// turn limit (TURN_COUNTDOWN_MS) beside the seat it waits for. It reads g_table, the names in
// g_seats, g_localSeat, g_playerCount and g_away, and writes only g_cardRects.
//
// The caller fills the area with the felt colour first and then calls
// PaintTable; every change of what is shown is a repaint of the whole board
// or of one card's rectangle, which runs both again.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <cstdint>

#include "rules/game_table.h"

class QPainter;

// How long before the turn limit strikes its countdown shows on the felt.
constexpr int TURN_COUNTDOWN_MS = 10000;

// The felt: red 0, green 128, blue 0.
inline QColor FeltColor() {
    return QColor(0, 128, 0);
}

// The table window's font, in which its controls and the painter's texts are
// drawn: DejaVu Sans at 9 points.
QFont TableWindowFont();

// A card's hit rectangle in board pixels: left and top inclusive, right and
// bottom exclusive (Win32's RECT).
struct CardRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// Per slot of the local hand, the rectangle where its card was last drawn:
// left x, top 265 (selected) or 285, right x + CardWidth, bottom 285 +
// CardHeight, so that a selected card's rectangle covers its resting place
// too. Zero at start; a paint rewrites only the slots that hold a card.
extern CardRect g_cardRects[HAND_SIZE];

// Where the painter draws; the click handler and the tests rely on these.
constexpr int HAND_LEFT = 10;           // x of the leftmost card of the local hand
constexpr int HAND_STEP = 15;           // the visible strip of each card but the last
constexpr int HAND_TOP = 285;           // y of a resting card
constexpr int HAND_TOP_SELECTED = 265;  // y of a chosen card, 20 pixels higher

// The order in which the local hand is laid out from the left: the hand's own
// order, slot by slot (ace first), by default; with `byStrength` from the
// lowest card (the three of diamonds) to the highest (the two of spades).
// Only the places on the board change: the slots, the selection and what is
// sent stay as they are. Kept for the whole program.
void SetHandByStrength(bool byStrength);
bool HandByStrength();
// Every hand face up (the replay of a saved game): the other seats' cards are
// written out, rank and suit, where their backs lie otherwise. Off by default.
void SetAllHandsFaceUp(bool faceUp);
bool AllHandsFaceUp();
// Writes the slots of `hand` that hold a card into `placed`, from the leftmost
// place to the rightmost (each card lies over the one on its left), and
// returns how many there are.
int HandLayout(const std::uint8_t* hand, int placed[HAND_SIZE]);

// Where the painter shows the latest play of `seat` (its cards, 15 pixels
// apart, 71 x 96 each), in the board of size `client`: the rectangle of its
// cards, or an empty rectangle when the seat's latest play holds none or no
// table of four is shown.
QRect LatestPlayRect(const GameTable& table, int seat, const QRect& client);

// Paints the table into `client` (the board's rectangle, at the origin) with
// the painter's current clip. The painter's state is restored on return.
void PaintTable(QPainter& painter, const QRect& client);

// The felt fill followed by PaintTable: what the board shows.
void PaintBoard(QPainter& painter, const QRect& client);
