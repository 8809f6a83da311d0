// The narrow interface through which the network code reaches the window.
//
// The network code (seat table, relay, message handling) never touches a
// widget: everything it shows goes through the one TableView installed in
// g_view. The table window implements it with its status line, chat log,
// buttons and repaint; the computer player implements it headlessly; tests
// implement it to record what a window would show.
#pragma once

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
    // Called after a received message has been handled (type 1..13), for
    // front ends that act on the new state (a computer player, a trace).
    virtual void MessageHandled(int /*type*/) {}
};

// The installed view; null means nothing is shown. Owned by the front end,
// which installs it before any network activity and removes it before it
// goes away.
extern TableView* g_view;
