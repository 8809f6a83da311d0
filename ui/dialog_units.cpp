#include "ui/dialog_units.h"

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QWidget>
#include <cstdint>

int AverageCharWidth(int alphabetWidth) {
    return (alphabetWidth / 26 + 1) / 2;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {AverageCharWidth(alphabet), metrics.height()};
}

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = (c > 0 ? c : -c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = (product < 0 ? -product : product) + half;
    const std::int64_t quotient = magnitude / (c > 0 ? c : -c);
    return static_cast<int>(negative ? -quotient : quotient);
}

QRect DialogRectToPixels(int x, int y, int width, int height, DialogBaseUnits units) {
    return QRect(MulDiv(x, units.x, 4), MulDiv(y, units.y, 8), MulDiv(width, units.x, 4),
                 MulDiv(height, units.y, 8));
}

DialogLayout::DialogLayout(QWidget* dialog)
    : dialog_(dialog), units_(BaseUnitsOf(dialog->font())) {}

void DialogLayout::Place(QWidget* control, int x, int y, int width, int height) const {
    control->setGeometry(DialogRectToPixels(x, y, width, height, units_));
}

QLabel* DialogLayout::FieldLabel(const QString& text, int x, int y, int width, int height) const {
    auto* label = new QLabel(text, dialog_);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Place(label, x, y, width, height);
    return label;
}

QSize DialogLayout::Size(int width, int height) const {
    return DialogRectToPixels(0, 0, width, height, units_).size();
}
