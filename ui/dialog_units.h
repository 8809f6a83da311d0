// Dialog units: the table window's controls are laid out in units of its
// font, as a dialog template would place them. One horizontal unit is a
// quarter of the font's average character width, one vertical unit an eighth
// of its height; a position or size in units becomes pixels by multiplying and
// rounding to the nearest pixel (halves away from zero).
#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QFont;
class QLabel;
class QWidget;

// The font's base units: the average character width, computed from the
// width of "A..Za..z" divided by 52 and rounded, and the font's height.
struct DialogBaseUnits {
    int x;
    int y;
};

// Average character width from the width in pixels of the 52 letters:
// (width / 26 + 1) / 2 in integers, that is width / 52 rounded half up.
int AverageCharWidth(int alphabetWidth);

DialogBaseUnits BaseUnitsOf(const QFont& font);

// (a * b) / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c);

// Position and size in dialog units to pixels, each converted on its own.
QRect DialogRectToPixels(int x, int y, int width, int height, DialogBaseUnits units);

// Lays the controls of a dialog out in dialog units of the dialog's font (set
// the font first).
class DialogLayout {
  public:
    explicit DialogLayout(QWidget* dialog);
    void Place(QWidget* control, int x, int y, int width, int height) const;
    // A label that names the field after it: right-aligned, centred in height.
    QLabel* FieldLabel(const QString& text, int x, int y, int width, int height) const;
    QSize Size(int width, int height) const;

  private:
    QWidget* dialog_;
    DialogBaseUnits units_;
};
