// The fixed palettes the pictures are drawn with, and the conversion of a
// drawing to the colour depth its bitmap is stored in. Every picture is drawn
// on a 32-bit canvas using palette colours only; the conversion maps each
// pixel to its palette entry, so the stored files do not depend on any
// dithering or colour-reduction choice of the image library.
#pragma once

#include <QColor>
#include <QImage>
#include <QList>

namespace palette {

// The 16 colours of the classic VGA palette, in their customary order.
inline constexpr QRgb BLACK = 0xFF000000;
inline constexpr QRgb MAROON = 0xFF800000;
inline constexpr QRgb GREEN = 0xFF008000;  // the felt of the table
inline constexpr QRgb OLIVE = 0xFF808000;
inline constexpr QRgb NAVY = 0xFF000080;
inline constexpr QRgb PURPLE = 0xFF800080;
inline constexpr QRgb TEAL = 0xFF008080;
inline constexpr QRgb SILVER = 0xFFC0C0C0;
inline constexpr QRgb GREY = 0xFF808080;
inline constexpr QRgb RED = 0xFFFF0000;
inline constexpr QRgb LIME = 0xFF00FF00;
inline constexpr QRgb YELLOW = 0xFFFFFF00;
inline constexpr QRgb BLUE = 0xFF0000FF;
inline constexpr QRgb FUCHSIA = 0xFFFF00FF;
inline constexpr QRgb AQUA = 0xFF00FFFF;
inline constexpr QRgb WHITE = 0xFFFFFFFF;

inline constexpr QRgb FELT = GREEN;

// The 16-colour table used by every 4-bit bitmap.
QList<QRgb> Vga16();
// The 256-colour table of the 8-bit bitmap: the 16 VGA colours, a 6 x 6 x 6
// colour cube and a ramp of 24 greys.
QList<QRgb> Colours256();

// Converts a drawing to Format_Indexed8 with the given colour table (at most
// 256 entries). Every pixel takes the nearest entry (smallest squared RGB
// distance, the lowest index on a tie); a drawing made of palette colours
// maps exactly.
QImage ToIndexed(const QImage& drawing, const QList<QRgb>& table);
// Converts a black-and-white drawing to Format_Mono with the colour table
// {black, white}: index 0 is the ink, index 1 the paper. A pixel is ink when
// its grey level is below one half.
QImage ToMono(const QImage& drawing);
// Converts to a 24-bit image (saved as a 24-bit BMP).
QImage ToRgb24(const QImage& drawing);

// The number of pixels that the indexed conversion did not map exactly.
// Exposed so that the generator can refuse a drawing that strayed from its
// palette.
int CountInexactPixels(const QImage& drawing, const QList<QRgb>& table);

}  // namespace palette
