// The pictures that are not card faces: jokers, the two symbols, the backs,
// the markers, the title and the away chair (the icon is in icon.cpp).

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <functional>

#include "tools/make_images/palette.h"
#include "tools/make_images/pictures.h"

using namespace palette;

namespace {

void FillPolygon(QPainter& p, QRgb colour, std::initializer_list<QPointF> points) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(colour));
    p.drawPolygon(QPolygonF(QList<QPointF>(points)));
}

void FillEllipse(QPainter& p, QRgb fill, QRgb outline, int x, int y, int w, int h) {
    p.setPen(QColor::fromRgb(outline));
    p.setBrush(QColor::fromRgb(fill));
    p.drawEllipse(x, y, w - 1, h - 1);
}

// ---- Jokers -------------------------------------------------------------

QImage DrawJoker(QRgb colour, QRgb second) {
    QImage card = BlankCard(FELT, BLACK);
    // "JOKER" down the corner, and turned in the opposite corner.
    int top = 4;
    for (char letter : std::string_view("JOKER")) {
        const Mask glyph = TextMask(Font::Index, std::string_view(&letter, 1));
        const int x = 2 + (11 - glyph.width) / 2;
        DrawMask(card, glyph, x, top, colour);
        DrawMask(card, Rotate180(glyph), CARD_WIDTH - x - glyph.width,
                 CARD_HEIGHT - top - glyph.height, colour);
        top += glyph.height + 2;
    }

    QPainter p(&card);
    p.setRenderHint(QPainter::Antialiasing, false);
    const int cx = 35;
    // The cap: three floppy points, each with a bell.
    FillPolygon(p, colour,
                {{cx - 11, 34},
                 {cx - 21, 14},
                 {cx - 5, 24},
                 {cx, 9},
                 {cx + 5, 24},
                 {cx + 21, 14},
                 {cx + 11, 34}});
    FillPolygon(p, second, {{cx - 5, 24}, {cx, 9}, {cx + 5, 24}, {cx, 32}});
    FillEllipse(p, YELLOW, OLIVE, cx - 24, 11, 6, 6);
    FillEllipse(p, YELLOW, OLIVE, cx - 3, 5, 7, 6);
    FillEllipse(p, YELLOW, OLIVE, cx + 19, 11, 6, 6);
    // The band of the cap and the face under it: wide eyes, a round nose
    // and a grin.
    p.fillRect(cx - 12, 32, 25, 3, QColor::fromRgb(YELLOW));
    FillEllipse(p, WHITE, BLACK, cx - 10, 34, 21, 21);
    p.fillRect(cx - 6, 40, 3, 3, QColor::fromRgb(BLACK));
    p.fillRect(cx + 4, 40, 3, 3, QColor::fromRgb(BLACK));
    p.fillRect(cx - 5, 40, 1, 1, QColor::fromRgb(WHITE));
    p.fillRect(cx + 5, 40, 1, 1, QColor::fromRgb(WHITE));
    FillEllipse(p, RED, MAROON, cx - 2, 43, 5, 5);
    p.setPen(QColor::fromRgb(BLACK));
    p.drawLine(cx - 6, 48, cx - 3, 51);
    p.drawLine(cx - 3, 51, cx + 3, 51);
    p.drawLine(cx + 3, 51, cx + 6, 48);
    p.fillRect(cx - 2, 52, 5, 1, QColor::fromRgb(RED));
    // The ruff: white points outlined in black.
    for (int i = 0; i < 6; ++i) {
        const int x0 = cx - 15 + 5 * i;
        FillPolygon(p, WHITE, {{x0 + 0.0, 55}, {x0 + 5.0, 55}, {x0 + 2.5, 61}});
        p.setPen(QColor::fromRgb(BLACK));
        p.drawLine(x0, 55, x0 + 2, 60);
        p.drawLine(x0 + 3, 60, x0 + 5, 55);
    }
    p.end();
    // The motley: a coat widening downwards, a harlequin of diamonds in the
    // two colours, outlined in black.
    for (int y = 61; y <= 86; ++y) {
        const int half = 16 + (y - 61) * 3 / 25;
        for (int x = cx - half; x <= cx + half; ++x) {
            const bool edge = x == cx - half || x == cx + half || y == 86;
            const int u = x - cx + 24;  // non-negative
            const int v = y - 61;
            const int a = (u * 4 + v * 3) / 24;  // the two diagonal bands a point lies in
            const int b = (u * 4 - v * 3 + 96) / 24;
            card.setPixel(x, y, edge ? BLACK : ((a + b) % 2 ? colour : second));
        }
    }
    return card;
}

// ---- The two symbols ----------------------------------------------------

QImage DrawSymbolCard(bool cross) {
    QImage card = BlankCard(FELT, BLACK);
    QPainter p(&card);
    p.fillRect(2, 2, CARD_WIDTH - 4, CARD_HEIGHT - 4, QColor::fromRgb(SILVER));
    p.setRenderHint(QPainter::Antialiasing, false);
    if (cross) {
        // A bold diagonal cross.
        QPen pen(QColor::fromRgb(RED), 9, Qt::SolidLine, Qt::SquareCap);
        p.setPen(pen);
        p.drawLine(19, 31, 51, 63);
        p.drawLine(51, 31, 19, 63);
    } else {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor::fromRgb(GREEN), 7));
        p.drawEllipse(QPoint(35, 47), 18, 18);
    }
    return card;
}

// ---- Backs --------------------------------------------------------------

using Field = std::function<QRgb(int x, int y)>;

// A back: the card with a white margin and a patterned field inside a thin
// dark line. The field function sees coordinates relative to the field.
QImage DrawBack(int width, int height, int margin, const Field& field, int scale = 1) {
    QImage card = BlankCard(FELT, BLACK, width, height, scale);
    for (int y = margin; y < height - margin; ++y) {
        for (int x = margin; x < width - margin; ++x) {
            const bool edge =
                x == margin || y == margin || x == width - margin - 1 || y == height - margin - 1;
            card.setPixel(x, y, edge ? NAVY : field(x - margin - 1, y - margin - 1));
        }
    }
    return card;
}

// Blue stipple: a fine even grain of dots in two blues, with a lighter dot in
// every fourth place.
QRgb BlueStipple(int x, int y) {
    if ((x % 4 == 1 && y % 4 == 1) || (x % 4 == 3 && y % 4 == 3)) return AQUA;
    return (x + y) % 2 ? BLUE : NAVY;
}

QRgb GreyStipple(int x, int y) {
    if ((x % 4 == 1 && y % 4 == 1) || (x % 4 == 3 && y % 4 == 3)) return WHITE;
    return (x + y) % 2 ? SILVER : GREY;
}

QRgb GreySpheres(int x, int y) {
    // Spheres on a square grid, lit from the top left.
    const int cell = 11;
    const int dx = (x % cell) - 5;
    const int dy = (y % cell) - 5;
    const int d2 = dx * dx + dy * dy;
    if (d2 > 25) return GREY;
    if (d2 >= 20) return BLACK;
    const int lx = dx + 2, ly = dy + 2;
    if (lx * lx + ly * ly <= 2) return WHITE;
    if ((dx + dy) < 2) return SILVER;
    return GREY;
}

QRgb BluePattern(int x, int y) {
    // An argyle of blue diamonds on navy, with crossing aqua threads.
    const int cx = x % 16 - 8;
    const int cy = y % 16 - 8;
    if ((x + y) % 16 == 0 || (x - y + 1600) % 16 == 0) return AQUA;
    if (std::abs(cx) + std::abs(cy) <= 6) return BLUE;
    return NAVY;
}

QRgb RedPattern(int x, int y) {
    // A basket weave of red and maroon bands.
    const int bx = x / 6, by = y / 6;
    const bool horizontal = (bx + by) % 2 == 0;
    const int along = horizontal ? y % 6 : x % 6;
    if (along == 0) return MAROON;
    if (along == 1) return horizontal ? YELLOW : RED;
    return horizontal ? RED : MAROON;
}

QRgb PurpleDiamonds(int x, int y) {
    // A harlequin: the 63 x 88 field holds 7 x 8 diamonds edged in white,
    // with purple between them.
    const int dx = std::abs(2 * (x % 9) - 8);    // 0 at the middle column of a cell, 8 at its edge
    const int dy = std::abs(2 * (y % 11) - 10);  // 0 at the middle row, 10 at its edge
    const int d = dx * 11 + dy * 9;  // 90 on the diamond's edge through the cell corners
    if (d <= 70) return FUCHSIA;
    if (d <= 90) return WHITE;
    return PURPLE;
}

QImage DrawMountains() {
    return DrawBack(CARD_WIDTH, CARD_HEIGHT, 3, [](int x, int y) -> QRgb {
        // A sun in a sky that pales towards the horizon, a range of
        // snow-capped peaks, green hills in front and a meadow.
        const int sx = x - 47, sy = y - 13;
        if (sx * sx + sy * sy <= 30) return YELLOW;
        // Peaks: the ridge line is the lowest of a few slopes.
        static const int peaks[][2] = {{8, 30}, {27, 22}, {47, 33}, {62, 27}};
        int ridge = 200;
        int summit = 0;  // the peak whose slope this column is on
        for (const auto& peak : peaks) {
            const int height = peak[1] + std::abs(x - peak[0]) * 6 / 5;
            if (height < ridge) {
                ridge = height;
                summit = peak[0];
            }
        }
        const int hills = 58 + std::abs(((x + 6) % 32) - 16) / 2;
        if (y >= 74) return (x * 3 + y * 5) % 13 == 0 ? LIME : GREEN;
        if (y >= hills) return y < hills + 2 ? LIME : GREEN;
        if (y >= ridge) {
            // Snow on the top of each peak, rock below, a shaded side.
            for (const auto& peak : peaks) {
                if (y < peak[1] + 7 && y >= peak[1] + std::abs(x - peak[0]) * 6 / 5) return WHITE;
            }
            // A lake at the foot of the range; the sunny side of each peak light.
            if (y > 50) return TEAL;
            return x <= summit ? SILVER : GREY;
        }
        // A small cloud.
        if ((y == 20 && x > 6 && x < 16) || (y == 19 && x > 8 && x < 13)) return WHITE;
        if (y < 18) return BLUE;
        if (y < 28) return (x + y) % 2 ? BLUE : AQUA;  // the sky fading
        return AQUA;
    });
}

QImage DrawPianoBack() {
    return DrawBack(CARD_WIDTH, CARD_HEIGHT, 3, [](int x, int y) -> QRgb {
        // A staff with notes above a keyboard.
        if (y >= 56) {
            const int key = x % 8;
            if (key == 7) return BLACK;
            const int octave = x % 56;
            const bool black =
                y < 76 &&
                (octave == 5 || octave == 6 || octave == 13 || octave == 14 || octave == 29 ||
                 octave == 30 || octave == 37 || octave == 38 || octave == 45 || octave == 46);
            return black ? BLACK : WHITE;
        }
        if (y >= 53) return MAROON;
        const bool staff = y >= 12 && y <= 40 && (y - 12) % 7 == 0;
        // Note heads and stems.
        static const int notes[][2] = {{10, 33}, {22, 26}, {34, 30}, {46, 19}, {56, 23}};
        for (const auto& n : notes) {
            const int dx = x - n[0], dy = y - n[1];
            if (dx * dx * 4 + dy * dy * 9 <= 36) return BLACK;
            if (x == n[0] + 2 && y <= n[1] && y >= n[1] - 14) return BLACK;
        }
        if (staff) return GREY;
        return WHITE;
    });
}

}  // namespace

QImage DrawExtraSlot(int slot) {
    switch (slot) {
        case 52:
            return DrawJoker(BLACK, GREY);
        case 53:
            return DrawJoker(RED, YELLOW);
        case 54:
            return DrawSymbolCard(true);
        case 55:
            return DrawSymbolCard(false);
        case 56:
            return DrawBack(CARD_WIDTH, CARD_HEIGHT, 3, GreyStipple);
        case 57:
            return DrawBack(CARD_WIDTH, CARD_HEIGHT, 3, GreySpheres);
        case 58:
            return DrawBack(CARD_WIDTH, CARD_HEIGHT, 3, BluePattern);
        case 59:
            return DrawBack(CARD_WIDTH, CARD_HEIGHT, 3, RedPattern);
        case 60:
            return DrawMountains();
        case 61:
            return DrawBack(CARD_WIDTH, CARD_HEIGHT, 3, PurpleDiamonds);
        case 62:
            return DrawPianoBack();
        case 63:
            return DrawSmallBack(1);
        case 64:
            return DrawBack(CARD_WIDTH, CARD_HEIGHT, 3, BlueStipple);
        default:
            return {};
    }
}

QImage DrawSmallBack(int scale) {
    return DrawBack(35 * scale, 47 * scale, 2 * scale, BlueStipple, scale);
}

// ---- Markers ------------------------------------------------------------

namespace {

// A triangle of odd base width with its apex on the middle column.
void DrawTriangle(QImage& image, int apexX, int apexY, int rows, bool up, QRgb colour) {
    for (int i = 0; i < rows; ++i) {
        const int y = up ? apexY + i : apexY - i;
        for (int x = apexX - i; x <= apexX + i; ++x) image.setPixel(x, y, colour);
    }
}

}  // namespace

QImage DrawTurnOther() {
    QImage image(48, 16, QImage::Format_RGB32);
    image.fill(FELT);
    DrawTriangle(image, 23, 1, 6, true, YELLOW);
    const Mask text = TextMask(Font::Small, "Mon tour");
    DrawMask(image, text, (48 - text.width) / 2, 8, YELLOW);
    return image;
}

QImage DrawTurnLocal() {
    QImage image(48, 20, QImage::Format_RGB32);
    image.fill(FELT);
    const Mask text = TextMask(Font::Small, "ton tour");
    DrawMask(image, text, (48 - text.width) / 2, 2, YELLOW);
    DrawTriangle(image, 23, 18, 8, false, YELLOW);
    return image;
}

QImage DrawPassed() {
    QImage image(48, 16, QImage::Format_RGB32);
    image.fill(FELT);
    for (int x = 1; x <= 46; ++x) {
        image.setPixel(x, 1, YELLOW);
        image.setPixel(x, 14, YELLOW);
    }
    for (int y = 1; y <= 14; ++y) {
        image.setPixel(1, y, YELLOW);
        image.setPixel(46, y, YELLOW);
    }
    const Mask text = TextMask(Font::Small, "PASSE");
    DrawMask(image, text, (48 - text.width) / 2, 4, YELLOW);
    return image;
}

QImage DrawAway() {
    QImage image(17, 22, QImage::Format_RGB32);
    image.fill(FELT);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    auto fill = [&](int x, int y, int w, int h, QRgb c) {
        p.fillRect(x, y, w, h, QColor::fromRgb(c));
    };
    // A wooden chair seen from the side and a little from the front:
    // back posts with rails, the seat, four legs.
    fill(3, 1, 2, 20, MAROON);   // back post and back leg
    fill(4, 1, 1, 11, RED);      // light on the post
    fill(5, 3, 7, 2, RED);       // top rail
    fill(5, 7, 7, 1, MAROON);    // lower rail
    fill(10, 3, 2, 8, MAROON);   // second back post
    fill(3, 11, 12, 3, YELLOW);  // the seat
    fill(3, 13, 12, 1, OLIVE);
    fill(13, 14, 2, 7, MAROON);  // front leg
    fill(10, 14, 1, 6, MAROON);  // far front leg
    fill(6, 14, 1, 6, MAROON);   // far back leg
    return image;
}

// ---- Title --------------------------------------------------------------

namespace {

// The name in round strokes, lowercase after a capital V: each letter is a
// path in units of the capital height, its advance beside it.
struct Letter {
    QPainterPath path;
    double advance;
};

Letter StrokeLetter(char c) {
    QPainterPath p;
    const double x = 0.47;  // top of the lowercase letters
    switch (c) {
        case 'V':
            p.moveTo(0, 0);
            p.lineTo(0.34, 1);
            p.lineTo(0.68, 0);
            return {p, 0.78};
        case 'a':
            p.addEllipse(QRectF(0, x, 0.42, 1 - x));
            p.moveTo(0.42, x);
            p.lineTo(0.42, 1);
            return {p, 0.58};
        case 'n':
            p.moveTo(0, x);
            p.lineTo(0, 1);
            p.moveTo(0, 0.72);
            p.cubicTo(0, x - 0.05, 0.42, x - 0.08, 0.42, 0.7);
            p.lineTo(0.42, 1);
            return {p, 0.58};
        case 't':
            p.moveTo(0.12, 0.18);
            p.lineTo(0.12, 0.88);
            p.quadTo(0.12, 1.0, 0.3, 0.98);
            p.moveTo(0, x);
            p.lineTo(0.3, x);
            return {p, 0.42};
        case 'o':
            p.addEllipse(QRectF(0, x, 0.46, 1 - x));
            return {p, 0.6};
        case 'r':
            p.moveTo(0, x);
            p.lineTo(0, 1);
            p.moveTo(0, 0.75);
            p.cubicTo(0, x, 0.2, x - 0.02, 0.34, x + 0.02);
            return {p, 0.44};
        default:
            return {p, 0.5};
    }
}

QPainterPath StrokeText(std::string_view text, double capHeight) {
    QPainterPath all;
    double x = 0;
    for (char c : text) {
        Letter letter = StrokeLetter(c);
        QTransform t;
        t.translate(x, 0);
        t.scale(capHeight, capHeight);
        all.addPath(t.map(letter.path));
        x += letter.advance * capHeight;
    }
    return all;
}

}  // namespace

QImage DrawTitle() {
    QImage image(150, 185, QImage::Format_RGB32);
    image.fill(FELT);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);

    // A fan of five cards from the opening three of diamonds to the highest
    // card, the two of spades.
    const int fan[] = {2, 22, 37, 26, 40};
    const QPointF pivot(75, 118);
    for (int i = 0; i < 5; ++i) {
        const QImage face = DrawFace(fan[i], Depth::Colour16);
        p.save();
        p.translate(pivot);
        p.rotate(-28 + 14 * i);
        p.scale(0.82, 0.82);
        p.translate(-36, -118);
        // Soft shadow, then the card with its felt corners left out.
        p.fillRect(QRectF(2, 2, 71, 96), QColor(0, 0, 0, 60));
        QImage clean = face.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < clean.height(); ++y) {
            for (int x = 0; x < clean.width(); ++x) {
                if (clean.pixel(x, y) == FELT) clean.setPixel(x, y, 0);
            }
        }
        p.drawImage(0, 0, clean);
        p.restore();
    }

    // The name in yellow round strokes with a dark outline and a shadow.
    const double cap = 30;
    QPainterPath name = StrokeText("Vantoro", cap);
    const QRectF bounds = name.boundingRect();
    name.translate((150 - bounds.width()) / 2 - bounds.left(), 140 - bounds.top());
    const auto stroke = [&](const QPainterPath& path, QColor colour, double width) {
        p.strokePath(path, QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    };
    stroke(name.translated(2, 2), QColor(0, 60, 0), 8.5);
    stroke(name, QColor(40, 20, 0), 8.5);
    stroke(name, QColor(255, 214, 40), 5.0);
    stroke(name.translated(-0.6, -0.8), QColor(255, 246, 170), 1.4);
    p.end();
    // The corners stay exactly the felt so that the picture shows no box.
    return image;
}

// ---- The whole set ------------------------------------------------------

std::vector<Picture> MakePictures() {
    std::vector<Picture> pictures;
    for (int i = 0; i < 52; ++i) {
        const int suit = i / 13;
        const int rank = i % 13;
        Depth depth = Depth::Colour16;
        if ((suit == 1 && rank <= 9) || (suit == 3 && rank >= 1 && rank <= 9)) depth = Depth::Mono;
        if (i == 26 + 4) depth = Depth::Colour256;  // the five of hearts
        pictures.push_back({QString::number(301 + i), depth, DrawFace(i, depth)});
    }
    for (int slot = 52; slot < 65; ++slot) {
        pictures.push_back({QString::number(301 + slot), Depth::Colour16, DrawExtraSlot(slot)});
    }
    pictures.push_back({"366", Depth::Colour16, DrawTurnOther()});
    pictures.push_back({"367", Depth::Colour16, DrawTurnLocal()});
    pictures.push_back({"368", Depth::Colour16, DrawPassed()});
    pictures.push_back({"369_32", Depth::Colour16, DrawIcon(32)});
    pictures.push_back({"369_16", Depth::Colour16, DrawIcon(16)});
    pictures.push_back({"373", Depth::Rgb24, DrawTitle()});
    pictures.push_back({"374", Depth::Colour16, DrawAway()});
    for (Picture& picture : MakeReadableCardSets()) pictures.push_back(std::move(picture));
    return pictures;
}

QImage Stored(const Picture& picture) {
    switch (picture.depth) {
        case Depth::Mono:
            return palette::ToMono(picture.drawing);
        case Depth::Colour16:
            return palette::ToIndexed(picture.drawing, palette::Vga16());
        case Depth::Colour256:
            return palette::ToIndexed(picture.drawing, palette::Colours256());
        case Depth::Rgb24:
            return palette::ToRgb24(picture.drawing);
    }
    return {};
}
