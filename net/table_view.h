// The narrow interface through which the network code reaches a front end.
//
// The network code (seat table, relay, message handling, commands) never
// touches a widget: everything it shows, and every event a front end may act
// on, goes through the one TableView installed in g_view. The table window
// implements it with its status line, chat log, buttons and repaint;
// vantoro-bot implements it headlessly; tests implement it to record
// what a window would show.
//
// Front ends hear events, not words: the texts below are for people to read,
// and a front end never decides anything from them (a player can type any
// text into the chat). What a front end acts on comes through OnTableEvent.
//
// One path to the view. Every change of the seats or of this copy's table
// reaches the front end as one TableEvent, told by TellView and by nothing
// else, and TellView asks for a repaint after every event that tells of a
// change (all but kMessageHandled, whose changes have been told by their own
// events). A front end thus
// cannot show a table that an event has changed under it: there is no second
// path that repaints where another forgot to. The host's computer (a part of
// the host, not of a front end) hears the same events from TellView, just
// before the view.
#pragma once

#include <cstdint>

struct TableEvent {
    enum class Kind : std::uint8_t {
        // Who sits in `seat` changed: a player joined or left, a seat passed
        // to or from the host's computer player, a record came again; `seat`
        // is 0 when every seat changed at once (the network was left).
        kSeatChanged,
        // Something else on the table changed that the events below do not
        // name (an away flag, the turn limit's countdown).
        kTableChanged,
        // New hands were dealt on this copy; the round starts.
        kRoundDealt,
        // A play of `seat` was applied: `cards` holds the five places of the
        // play in hand order, NO_CARD in the unused ones (the table's
        // tablePlay just after it).
        kPlayApplied,
        // A pass of `seat` was applied.
        kPassApplied,
        // The play just told emptied the hand of `seat`: the round is over
        // and settled (money, wins and history hold it).
        kRoundEnded,
        // A new game is about to reset this copy's table, which still holds
        // the game that ends (money, wins, history). `gameLive` tells whether
        // that table was the table's game (GameLive()), and not a newcomer's
        // table still catching up.
        kGameEnding,
        // A new game started: money, wins and rounds reset, away flags cleared.
        kGameStarted,
        // A received message of type `type` was handled.
        kMessageHandled,
        // This program's connection to the table has ended from the other
        // side: on a client, the host closed it, or turned this program away
        // and closed it. The program is off the network when this is told.
        // Not told for the program's own Disconnect.
        kTableClosed,
    };

    Kind kind = Kind::kTableChanged;
    int seat = 0;
    int type = 0;
    const std::uint8_t* cards = nullptr;
    bool gameLive = false;
};

class TableView {
  public:
    virtual ~TableView() = default;

    // Replaces the text of the status line.
    virtual void SetStatusText(const char* text) = 0;
    // Appends a NUL-terminated text at the end of the chat log; the caller
    // supplies its own "\r\n".
    virtual void AppendChatText(const char* text) = 0;
    // Sets the check state of the push-like "Absent" box.
    virtual void SetAwayChecked(bool checked) = 0;
    // Enables or disables the "Info joueur" button.
    virtual void EnablePlayerInfo(bool enabled) = 0;

    // An event, after the state it tells of is in place. Called by TellView
    // only.
    virtual void OnTableEvent(const TableEvent& /*event*/) {}
    // The table must be painted again (the whole window). Called by TellView
    // only, after every event of a change.
    virtual void Repaint() = 0;
};

// The installed view; null means nothing is shown. Owned by the front end,
// which installs it before any network activity and removes it before it
// goes away.
extern TableView* g_view;

// A part of the program that acts on the table's events by itself, apart
// from the front end.
class TableListener {
  public:
    virtual ~TableListener() = default;
    // An event, after the state it tells of is in place. Called by TellView
    // only, before the view hears it.
    virtual void OnTableEvent(const TableEvent& event) = 0;
};

// The host's computer, which plays the seats the host gives it; null when
// this program has none. Owned and installed by whoever starts the host.
extern TableListener* g_hostComputer;

// Tells the host's computer and the installed view of an event, then has the
// view repaint. The one way the network code reaches OnTableEvent and
// Repaint.
void TellView(const TableEvent& event);

// The events, told.
void TellSeatChanged(int seat);
void TellTableChanged();
