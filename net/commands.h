// The local player's commands, without any widget: each acts on this copy of
// the game (g_table) and tells the others with one message. The table window
// and the computer player both call these, so the rules of sending live in one
// place; what a command means for a control (enabling "Tour\nsuivant",
// emptying the chat input, the empty-line box) is left to the caller, as the
// results below tell.
//
// A command that does not apply (fewer than four players, the wrong phase of
// the round, a move the rules refuse) changes nothing and sends nothing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rules/game_table.h"

// Plays the cards chosen in g_table->selection for the local seat. Only with
// four players and the round going on. On acceptance: sends MSG_PLAY with the
// 13 selection bytes as they were, clears the selection and repaints, and
// returns 1; the caller then enables "Tour\nsuivant" when LocalSeatWonRound().
// Refused: returns 0, nothing sent, the selection kept.
int CommandPlay();

// Passes for the local seat. Only with four players and the round going on.
// On acceptance repaints, sends MSG_PASS and returns 1; otherwise 0.
int CommandPass();

// A move this program makes by itself for a seat it plays: its own seat (the
// computer player, the away auto-play) or, on the host, a seat its computer
// holds. Only while the game is live (GameLive) and for such a seat. Applied
// to g_table; on acceptance repaints, sends MSG_PLAY (with the 13 chosen
// bytes as given) or MSG_PASS, tells the view and returns 1; refused, 0 and
// nothing sent. g_table->selection is not touched.
int PlayForSeat(int seat, const std::uint8_t chosen[HAND_SIZE]);
int PassForSeat(int seat);
// The next round, asked for by the winner of a finished round that this
// program plays by itself: the host deals (for its own seat or one its
// computer holds), a client sends MSG_NEXT_ROUND. Returns 1 when it acted.
int NextRoundForSeat(int seat);

// On a client: whether messages of its host have arrived that this copy has
// not read yet (a newcomer's replay may still be coming in). A program that
// plays its seat by itself acts on a copy that has caught up. False on the host.
bool HostMessagesWaiting();

// True when the round is over and the local seat won it (its play emptied its
// hand): the one moment "Tour\nsuivant" is enabled.
bool LocalSeatWonRound();

// Asks for the next round. Only with four players and the round over: the
// host that won deals at once (DealAndSend); anyone else sends MSG_NEXT_ROUND.
// Returns 1 when it acted (the caller disables "Tour\nsuivant"), 0 otherwise.
int CommandNextRound();

// Toggles the away flag. `checked` is the "Absent" box's state now; the new
// flag is its inverse. Only with four players: sends MSG_AWAY; the host sets
// its own flag and box at once and repaints, a client waits for the host's
// echo. Returns 1 when it sent, 0 otherwise.
int CommandAway(bool checked);

enum class ChatResult {
    kNotSeated,  // not hosting and not seated yet: nothing sent, keep the input
    kEmpty,      // nothing typed: nothing sent, the window shows its box
    kSent,       // sent; the caller empties the input
};

// Sends a chat line of `length` bytes (cut to its first 1000; the text is
// taken as far as its first NUL). The host shows its own line at once; a
// client sees it when the host's echo comes back.
ChatResult CommandSendChat(const char* text, std::size_t length);
