#include "table/board_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "table/table_marks.h"
#include "ui/card_image.h"
#include "ui/table_painter.h"

BoardWidget::BoardWidget(QWidget* parent) : QWidget(parent) {
    // The paint handler covers every pixel it is asked for: no background
    // fill of Qt's own first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void BoardWidget::paintEvent(QPaintEvent* /*event*/) {
    // The cards follow the pixel density of the screen the board is on now.
    SetCardPixelRatio(devicePixelRatioF());
    QPainter painter(this);
    PaintBoard(painter, rect());
    PaintTableMarks(painter, rect());
}

void BoardWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onLeftButtonDown) {
        const QPoint point = event->position().toPoint();
        onLeftButtonDown(point.x(), point.y());
    }
    QWidget::mousePressEvent(event);
}
