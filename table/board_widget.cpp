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

void BoardWidget::SetTableScale(qreal scale, QSize designSize) {
    scale_ = scale;
    designSize_ = designSize;
    update();
}

QRect BoardWidget::BoardRect(const QRect& tableRect) const {
    if (scale_ == 1.0) return tableRect;
    // Whole board pixels that cover the scaled rectangle.
    const QRectF scaled(tableRect.x() * scale_, tableRect.y() * scale_, tableRect.width() * scale_,
                        tableRect.height() * scale_);
    return scaled.toAlignedRect();
}

void BoardWidget::paintEvent(QPaintEvent* /*event*/) {
    // The cards follow the pixel density of the screen the board is on now,
    // and the table's scale on it.
    SetCardPixelRatio(devicePixelRatioF() * scale_);
    QPainter painter(this);
    if (scale_ == 1.0 && (designSize_.isEmpty() || size() == designSize_)) {
        PaintBoard(painter, rect());
        PaintTableMarks(painter, rect());
        return;
    }
    painter.fillRect(rect(), FeltColor());
    painter.scale(scale_, scale_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, scale_ != 1.0);
    const QRect table(QPoint(0, 0), designSize_);
    painter.setClipRect(table);
    PaintBoard(painter, table);
    PaintTableMarks(painter, table);
}

void BoardWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onLeftButtonDown) {
        const QPoint point = (event->position() / scale_).toPoint();
        onLeftButtonDown(point.x(), point.y());
    }
    QWidget::mousePressEvent(event);
}
