// The easy computer player: a beginner who knows the rules and little more.
//
// It goes out when it can. Leading, it plays its lowest card in the biggest
// play that holds it (a five-card hand, three or a pair before the card
// alone). Following, it plays the lowest play that beats the table, but now
// and then passes instead, more often when that play would spend an ace or a
// two. It keeps no count of the cards played and never looks at how many
// cards the others hold. Like every level, it sees the table only through its
// seat's view.
#pragma once

#include "bot/bot_random.h"
#include "bot/moves.h"
#include "bot/seat_view.h"
#include "rules/game_table.h"

// The move for the view's seat, which must be on turn in a round that is not
// over: always one of LegalMoves(view); a pass when there is none. Draws
// from `random` only when it could both play and pass.
Move ChooseEasyMove(const SeatView& view, BotRandom& random);
