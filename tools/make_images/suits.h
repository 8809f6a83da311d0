// The four suit symbols: as paths for large pips, as rendered masks for the
// pips of the number cards, and as hand-made masks for the small index under
// the rank.
#pragma once

#include <QPainterPath>
#include <QRgb>

#include "tools/make_images/mask.h"

// In card-index order: a card index is 13 x suit + rank index.
enum class Suit { Diamonds = 0, Clubs = 1, Hearts = 2, Spades = 3 };

bool IsRed(Suit suit);
// Red for hearts and diamonds, black for clubs and spades.
QRgb SuitColour(Suit suit);
// The same, or with four colours: diamonds blue, clubs green, hearts red,
// spades black.
QRgb SuitColour(Suit suit, bool fourColours);

// The symbol filling the unit box 0..1 x 0..1, point upwards where it has one.
QPainterPath SuitPath(Suit suit);
// The pip of the number cards, upright: 11 x 12 pixels at most, and twice
// that at scale 2 (rendered at that size from the same path).
const Mask& PipMask(Suit suit, int scale = 1);
// The small symbol of the corner index of the classic faces at their normal
// size: 7 pixels wide, 9 for the club and the spade.
const Mask& IndexSuitMask(Suit suit);
// The small symbol in the corner of a court card's frame, 7 pixels wide: it
// sits beside the figure, where a wider one would not fit.
const Mask& FrameSuitMask(Suit suit);
// The symbol at any size, rendered from its path.
Mask SuitMask(Suit suit, int width, int height);
