// What helps the player at the table beside the mouse: the keyboard (the
// hand cursor, table/hand_cursor.h, and the buttons' visible focus), the
// hint ("Aide" -> "Conseil"), and the screen reader's view of the table
// (table/table_accessibility.h): names for every control and the game told
// as it happens.
//
// The window creates one PlayerAids after its controls and hands it the
// table's events, one call from each of its TableView handlers; it owns
// nothing of the window's but the hand cursor and the focus style of the
// buttons (children of the window).
#pragma once

#include <QObject>
#include <cstdint>
#include <string>

#include "bot/round_record.h"

class HandCursor;
class QProxyStyle;
class TableWindow;

class PlayerAids : public QObject {
    Q_OBJECT

  public:
    explicit PlayerAids(TableWindow* window);
    ~PlayerAids() override;

    HandCursor* Cursor() const { return cursor_; }

    // The table's events, as the window's view hears them.
    void RoundDealt();
    void PlayApplied(int seat, const std::uint8_t* cards);
    void PassApplied(int seat);
    void SeatChanged();

    // "Conseil": on the player's turn, raises the cards the hard computer
    // player would play now (and lowers the others), or writes the pass
    // line in the chat log; sends nothing. Returns false, doing nothing, when
    // it is not the player's turn.
    bool ShowHint();
    // "Raccourcis clavier": the box of every key.
    void ShowKeys();
    // Gives the table the keys (the chat field keeps them while it holds a
    // line being typed, unless `always`).
    void FocusTable(bool always);

  private:
    // Announces the game line of a play or pass, then whose turn it is when
    // the turn has moved.
    void Tell(const std::string& line);
    void TellTurn();
    bool eventFilter(QObject* watched, QEvent* event) override;

    TableWindow* window_;
    // The chat field and log the filter watches, kept apart from the window:
    // their events still come while the window's own part is being destroyed.
    QObject* chatInput_ = nullptr;
    QObject* chatLog_ = nullptr;
    HandCursor* cursor_ = nullptr;
    QProxyStyle* buttonStyle_ = nullptr;
    RoundRecord round_;  // the round so far, for the hint's player
    int toldTurn_ = 0;   // the seat whose turn was announced last
};
