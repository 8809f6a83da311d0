// The game lines of the chat log: what happened at the table between two of
// the player's turns, and why a move of the player was refused. They are the
// window's own (local, never sent) and follow the log's style: one line each,
// with its "\r\n", UTF-8 as every text of the log.
#pragma once

#include <cstdint>
#include <string>

#include "rules/game_table.h"

// A card as the lines write it: its rank (3 ... 10 J Q K A 2) and suit sign
// (♦ ♣ ♥ ♠), for example "10♥" or "A♠". Empty for NO_CARD.
std::string CardText(std::uint8_t card);

// "» NAME joue CARDS": the play's cards in hand order (its NO_CARD places
// skipped), separated by single spaces. `name` is a nickname field of
// NAME_SIZE bytes, read at most up to its NUL.
std::string PlayLine(const char* name, const std::uint8_t cards[PLAY_SIZE]);
// "» NAME passe".
std::string PassLine(const char* name);
// The round that `winner` has just won, from the table's latest history
// record: "» NAME gagne la manche (+TOTAL)", then for each other seat in
// turn order after the winner "»   NAME paie N". Names come from g_seats.
// Empty when the table holds no finished round.
std::string RoundEndLines(const GameTable& table, int winner);
// "» Coup refusé : REASON". `needed` is the card count of the play to beat,
// for MoveRefusal::kWrongCardCount. Empty for MoveRefusal::kNone.
std::string RefusalLine(MoveRefusal reason, int needed);
