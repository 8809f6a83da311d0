// The board: the table window's client area between the menu and the status
// line. It shows the felt and the painted table, carries the window's
// controls (placed by the window), and reports left clicks on the table.
#pragma once

#include <QWidget>
#include <functional>

class BoardWidget : public QWidget {
  public:
    explicit BoardWidget(QWidget* parent = nullptr);

    // Called with the board pixel of every left-button press on the table
    // itself (not on a control).
    std::function<void(int x, int y)> onLeftButtonDown;

  protected:
    // Fills the felt and paints the table over it, with the card pictures
    // for the pixel ratio of the board's screen, then the window's marks
    // (table/table_marks.h); every change of what is shown comes here
    // through update() of the board or of one rectangle.
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};
