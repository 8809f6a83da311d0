// The board: the table window's client area between the menu and the status
// line. It shows the felt and the painted table, carries the window's
// controls (placed by the window), and reports left clicks on the table.
#pragma once

#include <QWidget>
#include <functional>

class BoardWidget : public QWidget {
  public:
    explicit BoardWidget(QWidget* parent = nullptr);

    // Called with the table pixel of every left-button press on the table
    // itself (not on a control).
    std::function<void(int x, int y)> onLeftButtonDown;

    // The table's scale (table/table_fit.h): the table of `designSize` table
    // pixels is drawn `scale` times as large from the board's top-left
    // corner, the felt filling the rest; clicks are reported in table
    // pixels. At scale 1 on a board of the designed size nothing changes.
    void SetTableScale(qreal scale, QSize designSize);
    qreal TableScale() const { return scale_; }
    // The board pixels that show a rectangle of table pixels.
    QRect BoardRect(const QRect& tableRect) const;

  protected:
    // Fills the felt and paints the table over it, with the card pictures
    // for the pixel ratio of the board's screen, then the window's marks
    // (table/table_marks.h); every change of what is shown comes here
    // through update() of the board or of one rectangle.
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    qreal scale_ = 1.0;
    QSize designSize_;
};
