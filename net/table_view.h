// The narrow interface through which the network code reaches a front end.
//
// The network code (seat table, relay, message handling, commands) never
// touches a widget: everything it shows, and every event a front end may act
// on, goes through the one TableView installed in g_view. The table window
// implements it with its status line, chat log, buttons and repaint; the
// computer player implements it headlessly; tests implement it to record
// what a window would show.
//
// Front ends hear events, not words: the texts below are for people to read,
// and a front end never decides anything from them (a player can type any
// text into the chat). What a front end acts on comes through the event
// calls at the end.
#pragma once

#include <cstdint>

class TableView {
  public:
    virtual ~TableView() = default;

    // Replaces the text of the status line.
    virtual void SetStatusText(const char* text) = 0;
    // Appends a NUL-terminated text at the end of the chat log; the caller
    // supplies its own "\r\n".
    virtual void AppendChatText(const char* text) = 0;
    // The table must be painted again (the whole window).
    virtual void Repaint() = 0;
    // Sets the check state of the push-like "Absent" box.
    virtual void SetAwayChecked(bool checked) = 0;
    // Enables or disables the "Info joueur" button.
    virtual void EnablePlayerInfo(bool enabled) = 0;

    // True when this front end has a computer player that can play seats.
    // Only then does a host keep the seat of a player who leaves a running
    // game (the computer plays it on), and hold empty seats for it.
    virtual bool HasComputerPlayer() const { return false; }

    // Events, after the state they tell of is in place.

    // A received message has been handled (type 1..13).
    virtual void MessageHandled(int /*type*/) {}
    // Who sits in `seat` has changed: a player joined or left, or the seat
    // passed to or from the host's computer player.
    virtual void SeatChanged(int /*seat*/) {}
    // This program's connection to the table has ended from the other side:
    // on a client, the host closed it, or turned this program away and
    // closed it. The program is off the network when this is called. Not
    // called for the program's own Disconnect.
    virtual void TableClosed() {}
    // A play of `seat` was applied to this copy's table (a received one, the
    // local player's own or one the host made for a computer-held seat):
    // `cards` holds the five places of the play in hand order, NO_CARD in
    // the unused ones, as the table's tablePlay does after it.
    virtual void PlayApplied(int /*seat*/, const std::uint8_t* /*cards*/) {}
    // A pass of `seat` was applied to this copy's table.
    virtual void PassApplied(int /*seat*/) {}
    // New hands were dealt on this copy (the host's deal, or MSG_DEAL on a
    // client); the round starts.
    virtual void RoundDealt() {}
    // The deal started a new game (money, wins and rounds reset, away flags
    // cleared): on the host right after RoundDealt, on a client on
    // MSG_NEW_GAME.
    virtual void NewGameStarted() {}
};

// The installed view; null means nothing is shown. Owned by the front end,
// which installs it before any network activity and removes it before it
// goes away.
extern TableView* g_view;
