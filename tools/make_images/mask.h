// One-colour pixel masks: hand-made glyphs and suit shapes, and the few
// operations the pictures need on them.
#pragma once

#include <QImage>
#include <QPainterPath>
#include <QRgb>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

struct Mask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bits;  // row by row, 1 = ink

    bool At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && bits[y * width + x] != 0;
    }
};

// A mask from rows of text: '#' is ink, anything else is empty. All rows
// must have the same length.
Mask MaskFromRows(std::initializer_list<std::string_view> rows);
// The mask turned half a turn (as the lower half of a card shows it).
Mask Rotate180(const Mask& mask);
// The mask scaled up by a whole factor, each pixel becoming a block.
Mask ScaleUp(const Mask& mask, int factor);
// A filled path (in a unit box 0..1 x 0..1) rendered into a width x height
// mask: each pixel is sampled 8 x 8 times and is ink when at least half of
// the samples fall inside. The left half decides and is mirrored onto the
// right, so a shape that is symmetric stays exactly symmetric.
Mask MaskFromPath(const QPainterPath& unitPath, int width, int height);
// The mask grown by one pixel in the four directions (for outlines).
Mask Dilate(const Mask& mask);

// Paints the ink of a mask onto an image with its top-left corner at (x, y).
void DrawMask(QImage& image, const Mask& mask, int x, int y, QRgb colour);

// Text in one of the hand-made pixel fonts.
enum class Font {
    Index,       // card ranks: A 2..10 J Q K, 9 pixels tall, bold
    Small,       // markers and labels: 7 pixels tall with lowercase
    LargeIndex,  // the card ranks drawn for cards of twice the size: 18 pixels tall
};
Mask TextMask(Font font, std::string_view text);
