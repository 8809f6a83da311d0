// The table's keyboard focus: a widget laid over the board that holds the
// focus whenever the chat field is not being typed in, draws the hand cursor
// (a frame over one held card) while it has the focus, and turns the keys of
// the table into the window's controls.
//
// The cursor stands on a place of the hand as the painter lays it out (from
// the left). It follows the card it stands on when cards before it leave the
// hand, and the nearest place when its own card leaves. It lets every mouse
// event through to the board and the controls beneath it.
//
// Keys on the table: Left / Right move the cursor, Home / End to the first /
// last card; Space raises or lowers the card under it (as a click does);
// Enter, P, N and A are the commands of "Jouer cartes", "Passer", "Tour
// suivant" and "Absent" (onCommand with IDC_PLAY, IDC_PASS, IDC_NEXT_ROUND,
// IDC_AWAY), H that of "Conseil" (IDM_HINT, when the menu's shortcut has
// not taken it already); C and Tab ask for the chat field (onChat). Every other key
// (Escape among them) goes on to the window as before.
#pragma once

#include <QWidget>
#include <functional>

class BoardWidget;

class HandCursor : public QWidget {
    Q_OBJECT

  public:
    // Lays itself over the whole of `board` (a child of it, above the other
    // children) and follows the board's size.
    explicit HandCursor(BoardWidget* board);

    // The place (0 = leftmost) and the slot of the hand under the cursor, or
    // -1 when no hand of the local player is on the table.
    int Place() const;
    int Slot() const;
    // Moves the cursor to `place`, kept within the hand; repaints.
    void MoveTo(int place);
    // Raises or lowers the card under the cursor; false when there is none.
    bool ToggleCard();
    // The frame the cursor draws now, in board pixels; empty while the table
    // does not have the focus or no card is under the cursor.
    QRect FrameRect() const;

    std::function<void(int id)> onCommand;
    std::function<void()> onChat;

  signals:
    // The cursor moved to another card, or the card under it was raised or
    // lowered.
    void CursorChanged();

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    // Brings the cursor back onto a card of the hand as it is now and
    // returns the number of held cards (0: no hand).
    int Follow() const;
    // The card's rectangle of the slot under the cursor (its visible part).
    QRect CardArea() const;

    mutable int place_ = 0;
    mutable int slot_ = -1;
};
