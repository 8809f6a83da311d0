// What the table window draws over the painted table so that the game can be
// followed at a glance: a gold frame around the play to beat (the leader's
// latest play while the round runs, the winning play once it is over) and,
// from the end of a round until the next deal, the winner's name on the felt
// between the hand and the chat. The table painter's own pictures keep their
// places: the frame lies in the felt around the play and never over the
// local hand, the name in felt where the painter draws nothing.
#pragma once

#include <QRect>

class QPainter;

// The rectangle of the winner's name, in board pixels.
QRect RoundWinnerRect();

// Draws the marks for g_table as it is, over what PaintBoard drew into
// `client` (it reads the hand's rectangles that paint left in g_cardRects),
// within the painter's clip. Nothing before four players are seated.
void PaintTableMarks(QPainter& painter, const QRect& client);
