// The court cards: a framed half-length figure, drawn once and repeated
// turned round below a diagonal, as printed court cards are.

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "tools/make_images/palette.h"
#include "tools/make_images/pictures.h"

using namespace palette;

namespace {

// The frame of the picture, one pixel wide, in the suit's colour.
constexpr int kFrameLeft = 15, kFrameTop = 9;
constexpr int kFrameRight = CARD_WIDTH - 1 - kFrameLeft;   // 55
constexpr int kFrameBottom = CARD_HEIGHT - 1 - kFrameTop;  // 86
constexpr int kCx = CARD_WIDTH / 2;                        // 35, the middle column

// Which side of the dividing diagonal a pixel lies on: negative above it,
// positive below, and the half turn of the card changes the sign, so drawing
// the negative side and copying it turned fills the picture exactly once.
// Values within +-10 form the diagonal itself.
int Side(int x, int y) {
    return 10 * (2 * y - (CARD_HEIGHT - 1)) + 6 * (x - kCx);
}

struct Pen {
    QImage& image;

    void Px(int x, int y, QRgb c) const {
        if (x > kFrameLeft && x < kFrameRight && y > kFrameTop && y < kFrameBottom) {
            image.setPixel(x, y, c);
        }
    }
    void Rect(int x, int y, int w, int h, QRgb c) const {
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) Px(x + i, y + j, c);
        }
    }
    // A row from x0 to x1 inclusive.
    void Row(int x0, int x1, int y, QRgb c) const { Rect(x0, y, x1 - x0 + 1, 1, c); }
    void Col(int x, int y0, int y1, QRgb c) const { Rect(x, y0, 1, y1 - y0 + 1, c); }
    // Rows from y0 down, each given by its left and right edge.
    void Shape(int y0, std::initializer_list<std::pair<int, int>> rows, QRgb c) const {
        int y = y0;
        for (const auto& [x0, x1] : rows) Row(x0, x1, y++, c);
    }
};

struct Look {
    QRgb robe;   // the suit's colour
    QRgb panel;  // the second colour of the robe
    QRgb hair;
    QRgb lining;  // edges and patterns
};

Look LookOf(Suit suit, int rank, bool fourColours) {
    const bool red = IsRed(suit);
    if (fourColours && !(suit == Suit::Hearts || suit == Suit::Spades)) {
        // A blue or green robe with a darker panel of the same colour.
        const QRgb robe = SuitColour(suit, true);
        const QRgb panel = suit == Suit::Diamonds ? NAVY : OLIVE;
        const QRgb jackHair = suit == Suit::Clubs ? MAROON : OLIVE;  // not the olive panel
        return {robe, panel, rank == 12 ? SILVER : rank == 11 ? YELLOW : jackHair, YELLOW};
    }
    switch (rank) {
        case 12:
            return {red ? RED : BLACK, red ? BLUE : RED, SILVER, YELLOW};
        case 11:
            return {red ? RED : BLACK, red ? BLUE : BLUE, YELLOW, YELLOW};
        default:
            return {red ? RED : BLACK, red ? BLUE : RED, OLIVE, YELLOW};
    }
}

// The face: an oval with eyes, nose and mouth; the top of the head at y0.
void DrawFace(const Pen& p, int y0, bool beard, QRgb hair) {
    p.Shape(y0,
            {{kCx - 3, kCx + 3},
             {kCx - 5, kCx + 5},
             {kCx - 6, kCx + 6},
             {kCx - 6, kCx + 6},
             {kCx - 6, kCx + 6},
             {kCx - 6, kCx + 6},
             {kCx - 6, kCx + 6},
             {kCx - 6, kCx + 6},
             {kCx - 5, kCx + 5},
             {kCx - 4, kCx + 4},
             {kCx - 3, kCx + 3}},
            BLACK);
    p.Shape(y0 + 1,
            {{kCx - 3, kCx + 3},
             {kCx - 5, kCx + 5},
             {kCx - 5, kCx + 5},
             {kCx - 5, kCx + 5},
             {kCx - 5, kCx + 5},
             {kCx - 5, kCx + 5},
             {kCx - 5, kCx + 5},
             {kCx - 4, kCx + 4},
             {kCx - 3, kCx + 3}},
            WHITE);
    // Eyes with brows, the nose, the mouth.
    p.Row(kCx - 4, kCx - 2, y0 + 3, hair == YELLOW ? OLIVE : hair);
    p.Row(kCx + 2, kCx + 4, y0 + 3, hair == YELLOW ? OLIVE : hair);
    p.Row(kCx - 3, kCx - 2, y0 + 4, BLACK);
    p.Row(kCx + 2, kCx + 3, y0 + 4, BLACK);
    p.Px(kCx - 3, y0 + 4, NAVY);
    p.Px(kCx + 3, y0 + 4, NAVY);
    p.Col(kCx, y0 + 5, y0 + 6, SILVER);
    p.Px(kCx + 1, y0 + 6, GREY);
    p.Row(kCx - 1, kCx + 1, y0 + 8, RED);
    if (beard) {
        // Moustache and a pointed beard.
        p.Row(kCx - 3, kCx - 1, y0 + 7, hair);
        p.Row(kCx + 1, kCx + 3, y0 + 7, hair);
        p.Shape(y0 + 9,
                {{kCx - 5, kCx - 2},
                 {kCx - 5, kCx + 5},
                 {kCx - 4, kCx + 4},
                 {kCx - 3, kCx + 3},
                 {kCx - 2, kCx + 2},
                 {kCx - 1, kCx + 1}},
                hair);
        p.Row(kCx + 2, kCx + 5, y0 + 9, hair);
        p.Row(kCx - 1, kCx + 1, y0 + 8, RED);
        p.Px(kCx - 5, y0 + 8, hair);
        p.Px(kCx + 5, y0 + 8, hair);
        p.Col(kCx - 6, y0 + 4, y0 + 8, hair);
        p.Col(kCx + 6, y0 + 4, y0 + 8, hair);
    }
}

// Shoulders and robe from y0 to the bottom of the drawn half: the robe in
// the suit's colour, a front panel, a trimmed neckline and a patterned hem.
void DrawRobe(const Pen& p, const Look& look, int y0) {
    for (int y = y0; y < 62; ++y) {
        const int spread = std::min(19, 7 + 2 * (y - y0));
        p.Row(kCx - spread, kCx + spread, y, look.robe);
    }
    // The front panel widening downwards, edged in the lining colour.
    for (int y = y0 + 2; y < 62; ++y) {
        const int half = 2 + (y - y0) / 4;
        p.Row(kCx - half, kCx + half, y, look.panel);
        p.Px(kCx - half - 1, y, look.lining);
        p.Px(kCx + half + 1, y, look.lining);
    }
    // A pattern of small crosses down the panel.
    for (int y = y0 + 5; y < 62; y += 5) {
        p.Px(kCx, y - 1, look.lining);
        p.Row(kCx - 1, kCx + 1, y, look.lining);
        p.Px(kCx, y + 1, look.lining);
    }
    // Dots on the robe on both sides of the panel.
    const QRgb dots = look.robe == BLACK ? SILVER : YELLOW;
    for (int y = y0 + 6; y < 62; y += 4) {
        const int half = 2 + (y - y0) / 4;
        for (int x = kCx + half + 4; x <= kCx + 18; x += 4) {
            p.Px(x, y, dots);
            p.Px(2 * kCx - x, y, dots);
        }
    }
    // Shoulder seams.
    p.Row(kCx - 14, kCx - 8, y0 + 4, look.lining);
    p.Row(kCx + 8, kCx + 14, y0 + 4, look.lining);
}

void DrawKing(const Pen& p, const Look& look) {
    // The sword, held upright at his right, behind the shoulder.
    p.Col(kCx + 14, 11, 40, SILVER);
    p.Col(kCx + 15, 11, 40, GREY);
    p.Px(kCx + 14, 10, SILVER);
    p.Row(kCx + 11, kCx + 18, 29, YELLOW);
    p.Row(kCx + 11, kCx + 18, 30, OLIVE);
    DrawRobe(p, look, 29);
    // Ermine collar.
    p.Shape(28, {{kCx - 9, kCx + 9}, {kCx - 10, kCx + 10}, {kCx - 9, kCx + 9}}, WHITE);
    for (int x = kCx - 8; x <= kCx + 8; x += 3) p.Px(x, 29, BLACK);
    // The hand on the hilt.
    p.Rect(kCx + 13, 31, 4, 3, WHITE);
    p.Row(kCx + 13, kCx + 16, 34, BLACK);
    DrawFace(p, 15, true, look.hair);
    // The crown: a band with five points and jewels.
    p.Row(kCx - 6, kCx + 6, 15, OLIVE);
    p.Row(kCx - 6, kCx + 6, 14, YELLOW);
    p.Row(kCx - 6, kCx + 6, 13, YELLOW);
    for (int x : {kCx - 6, kCx - 3, kCx, kCx + 3, kCx + 6}) p.Col(x, 10, 12, YELLOW);
    p.Col(kCx, 10, 11, YELLOW);
    p.Px(kCx, 13, RED);
    p.Px(kCx - 3, 13, BLUE);
    p.Px(kCx + 3, 13, BLUE);
}

void DrawQueen(const Pen& p, const Look& look) {
    // Long hair behind the face, down to the shoulders.
    p.Rect(kCx - 8, 16, 17, 15, look.hair);
    p.Col(kCx - 9, 19, 31, look.hair);
    p.Col(kCx + 9, 19, 31, look.hair);
    DrawRobe(p, look, 30);
    // A low neckline with a necklace.
    p.Shape(30, {{kCx - 5, kCx + 5}, {kCx - 4, kCx + 4}, {kCx - 2, kCx + 2}}, WHITE);
    p.Px(kCx - 4, 30, RED);
    p.Px(kCx + 4, 30, RED);
    p.Px(kCx, 32, RED);
    DrawFace(p, 16, false, look.hair);
    p.Row(kCx - 4, kCx + 4, 17, look.hair);  // the fringe
    // A small crown.
    p.Row(kCx - 4, kCx + 4, 15, YELLOW);
    p.Row(kCx - 4, kCx + 4, 14, YELLOW);
    for (int x : {kCx - 4, kCx, kCx + 4}) p.Col(x, 11, 13, YELLOW);
    p.Px(kCx, 14, RED);
    // A flower held up on her right.
    p.Col(kCx - 13, 18, 36, GREEN);
    p.Row(kCx - 12, kCx - 11, 22, GREEN);
    p.Shape(12,
            {{kCx - 14, kCx - 12},
             {kCx - 15, kCx - 11},
             {kCx - 16, kCx - 10},
             {kCx - 15, kCx - 11},
             {kCx - 14, kCx - 12}},
            look.panel == BLUE ? FUCHSIA : RED);
    p.Px(kCx - 13, 14, YELLOW);
    p.Rect(kCx - 15, 33, 4, 3, WHITE);  // the hand
    p.Row(kCx - 15, kCx - 12, 36, BLACK);
}

void DrawJack(const Pen& p, const Look& look) {
    // The halberd at his left: a staff with an axe blade and a spike.
    p.Col(kCx - 14, 11, 44, OLIVE);
    p.Px(kCx - 14, 10, SILVER);
    p.Col(kCx - 14, 8, 9, SILVER);
    p.Shape(12,
            {{kCx - 13, kCx - 11},
             {kCx - 13, kCx - 10},
             {kCx - 13, kCx - 9},
             {kCx - 13, kCx - 9},
             {kCx - 13, kCx - 10},
             {kCx - 13, kCx - 11}},
            SILVER);
    p.Row(kCx - 17, kCx - 15, 13, SILVER);
    DrawRobe(p, look, 29);
    p.Shape(28, {{kCx - 6, kCx + 6}, {kCx - 7, kCx + 7}}, WHITE);
    p.Rect(kCx - 16, 31, 4, 3, WHITE);  // the hand on the staff
    p.Row(kCx - 16, kCx - 13, 34, BLACK);
    // Hair to the jaw, then the face and a cap with a feather.
    p.Rect(kCx - 7, 17, 15, 9, look.hair);
    DrawFace(p, 16, false, look.hair);
    p.Shape(11,
            {{kCx - 3, kCx + 4},
             {kCx - 5, kCx + 6},
             {kCx - 6, kCx + 7},
             {kCx - 7, kCx + 7},
             {kCx - 7, kCx + 7}},
            look.panel);
    p.Row(kCx - 8, kCx + 8, 16, look.lining);
    p.Row(kCx - 8, kCx + 8, 17, look.lining);
    // The feather sweeping up and to his left.
    for (int i = 0; i < 7; ++i) {
        p.Px(kCx + 6 + i, 13 - i / 2, look.robe == BLACK ? WHITE : RED);
        p.Px(kCx + 6 + i, 12 - i / 2, look.robe == BLACK ? SILVER : YELLOW);
    }
}

// ---- The figures at twice the size --------------------------------------
//
// The same king, queen and jack drawn with shapes instead of pixels, for the
// 142 x 192 cards. Coordinates are those of the 71 x 96 card, whose middle
// column 35 spans x = 35 to 36; the painter doubles them, so that a length of
// one half is one pixel of the large card. Antialiasing stays off: every
// pixel keeps a palette colour.

constexpr double kMid = kCx + 0.5;

class Shapes {
  public:
    Shapes(QImage& card, const QRect& inside) : painter_(&card) {
        painter_.setClipRect(inside);
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.scale(2, 2);
        painter_.setPen(Qt::NoPen);
    }

    void Rect(double x, double y, double w, double h, QRgb c) {
        painter_.fillRect(QRectF(x, y, w, h), QColor::fromRgb(c));
    }
    void Ellipse(double cx, double cy, double rx, double ry, QRgb c) {
        painter_.setBrush(QColor::fromRgb(c));
        painter_.drawEllipse(QPointF(cx, cy), rx, ry);
    }
    void Polygon(std::initializer_list<QPointF> points, QRgb c) {
        painter_.setBrush(QColor::fromRgb(c));
        painter_.drawPolygon(QPolygonF(QList<QPointF>(points)));
    }
    // The polygon and its mirror image across the middle of the figure.
    void Pair(std::initializer_list<QPointF> points, QRgb c) {
        Polygon(points, c);
        QPolygonF mirrored;
        for (const QPointF& point : points) mirrored << QPointF(2 * kMid - point.x(), point.y());
        painter_.drawPolygon(mirrored);
    }
    void Path(const QPainterPath& path, QRgb c) { painter_.fillPath(path, QColor::fromRgb(c)); }
    // A stroke of the given width along a path, with round ends.
    void Stroke(const QPainterPath& path, double width, QRgb c) {
        painter_.strokePath(
            path, QPen(QColor::fromRgb(c), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }

  private:
    QPainter painter_;
};

QPainterPath Curve(QPointF from, QPointF control, QPointF to) {
    QPainterPath path(from);
    path.quadTo(control, to);
    return path;
}

// The face, its top at y0: a white oval with a fine outline, brows, eyes,
// nose and mouth, and for the king a moustache and a pointed beard.
void DrawFace2x(Shapes& s, double y0, bool beard, QRgb hair) {
    const double cy = y0 + 5.5;
    s.Ellipse(kMid, cy, 6.5, 5.75, BLACK);
    s.Ellipse(kMid, cy, 6.0, 5.25, WHITE);
    const QRgb brow = hair == YELLOW ? OLIVE : hair;
    for (double side : {-1.0, 1.0}) {
        const double ex = kMid + side * 2.75;
        s.Stroke(Curve({ex - 1.75, y0 + 3.25}, {ex, y0 + 2.0}, {ex + 1.75, y0 + 3.25}), 0.5, brow);
        s.Stroke(Curve({ex - 1.25, y0 + 4.5}, {ex, y0 + 3.75}, {ex + 1.25, y0 + 4.5}), 0.5, BLACK);
        s.Ellipse(ex, y0 + 4.9, 0.75, 0.75, NAVY);
    }
    s.Stroke(Curve({kMid, y0 + 4.75}, {kMid - 0.5, y0 + 6.5}, {kMid + 0.75, y0 + 6.75}), 0.5, GREY);
    s.Stroke(Curve({kMid - 1.5, y0 + 8.25}, {kMid, y0 + 9.0}, {kMid + 1.5, y0 + 8.25}), 0.75, RED);
    if (!beard) return;
    QPainterPath chin;
    chin.moveTo(kMid - 6.5, y0 + 4.0);
    chin.lineTo(kMid - 6.5, y0 + 8.5);
    chin.quadTo(kMid - 5.5, y0 + 12.5, kMid, y0 + 15.5);
    chin.quadTo(kMid + 5.5, y0 + 12.5, kMid + 6.5, y0 + 8.5);
    chin.lineTo(kMid + 6.5, y0 + 4.0);
    chin.lineTo(kMid + 5.5, y0 + 4.0);
    chin.lineTo(kMid + 5.5, y0 + 7.5);
    chin.quadTo(kMid + 3.5, y0 + 10.0, kMid, y0 + 10.0);
    chin.quadTo(kMid - 3.5, y0 + 10.0, kMid - 5.5, y0 + 7.5);
    chin.lineTo(kMid - 5.5, y0 + 4.0);
    chin.closeSubpath();
    s.Path(chin, hair);
    // The moustache in two sweeps, the mouth under it.
    s.Pair({{kMid - 0.25, y0 + 7.0},
            {kMid - 2.0, y0 + 6.75},
            {kMid - 4.0, y0 + 8.0},
            {kMid - 2.0, y0 + 7.75},
            {kMid - 0.25, y0 + 8.0}},
           hair);
    s.Stroke(Curve({kMid - 1.25, y0 + 8.75}, {kMid, y0 + 9.25}, {kMid + 1.25, y0 + 8.75}), 0.5,
             RED);
}

// Shoulders and robe from y0 down: the robe in the suit's colour, a front
// panel edged in the lining colour with a row of ornaments, dots on the robe
// and seams on the shoulders.
void DrawRobe2x(Shapes& s, const Look& look, double y0) {
    QPainterPath robe;
    robe.moveTo(kMid - 7.5, y0);
    robe.cubicTo(kMid - 15.0, y0, kMid - 19.5, y0 + 2.0, kMid - 20.5, y0 + 8.0);
    robe.lineTo(kMid - 20.5, 64);
    robe.lineTo(kMid + 20.5, 64);
    robe.lineTo(kMid + 20.5, y0 + 8.0);
    robe.cubicTo(kMid + 19.5, y0 + 2.0, kMid + 15.0, y0, kMid + 7.5, y0);
    robe.closeSubpath();
    s.Path(robe, look.robe);
    const double bottom = 64;
    const double spread = (bottom - y0) / 4;
    s.Polygon({{kMid - 3.0, y0 + 1.5},
               {kMid + 3.0, y0 + 1.5},
               {kMid + 3.5 + spread, bottom},
               {kMid - 3.5 - spread, bottom}},
              look.lining);
    s.Polygon({{kMid - 2.5, y0 + 2.0},
               {kMid + 2.5, y0 + 2.0},
               {kMid + 2.5 + spread, bottom},
               {kMid - 2.5 - spread, bottom}},
              look.panel);
    for (double y = y0 + 5; y < bottom; y += 5) {
        s.Polygon({{kMid, y - 1.5}, {kMid + 1.5, y}, {kMid, y + 1.5}, {kMid - 1.5, y}},
                  look.lining);
        s.Rect(kMid - 0.5, y - 0.5, 1, 1, look.panel);
    }
    const QRgb dots = look.robe == BLACK ? SILVER : YELLOW;
    for (double y = y0 + 6; y < bottom; y += 4) {
        const double half = 3 + (y - y0) / 4;
        for (double x = half + 3.5; x <= 18.5; x += 4) {
            s.Ellipse(kMid + x, y, 0.5, 0.5, dots);
            s.Ellipse(kMid - x, y, 0.5, 0.5, dots);
        }
    }
    for (double side : {-1.0, 1.0}) {
        s.Stroke(Curve({kMid + side * 7.5, y0 + 3.5}, {kMid + side * 11.5, y0 + 3.25},
                       {kMid + side * 15.5, y0 + 4.75}),
                 0.5, look.lining);
    }
}

void DrawKing2x(Shapes& s, const Look& look) {
    // The sword, held upright at his right, behind the shoulder: a blade
    // lit on one side, a pointed tip and a crossguard.
    s.Polygon({{49, 41}, {49, 11}, {50, 8.5}, {50, 41}}, SILVER);
    s.Polygon({{50, 41}, {50, 8.5}, {51, 11}, {51, 41}}, GREY);
    s.Ellipse(kMid + 14.5, 29.75, 4.5, 1.25, OLIVE);
    s.Ellipse(kMid + 14.5, 29.5, 4.25, 0.75, YELLOW);
    DrawRobe2x(s, look, 29);
    // Ermine collar: white with black tails.
    s.Ellipse(kMid, 29.5, 10.5, 2.25, WHITE);
    for (double x = kMid - 8; x <= kMid + 8; x += 3) {
        s.Polygon({{x - 0.5, 28.75}, {x + 0.5, 28.75}, {x, 30.5}}, BLACK);
    }
    // The hand on the hilt.
    s.Ellipse(kMid + 14.5, 32.5, 2.5, 2.0, BLACK);
    s.Ellipse(kMid + 14.5, 32.5, 2.0, 1.5, WHITE);
    DrawFace2x(s, 15, true, look.hair);
    // The crown: five points with pearls on a band set with jewels.
    s.Polygon({{kMid - 6.5, 16},
               {kMid - 6.5, 10},
               {kMid - 4.5, 13},
               {kMid - 3, 10},
               {kMid - 1.5, 13},
               {kMid, 9},
               {kMid + 1.5, 13},
               {kMid + 3, 10},
               {kMid + 4.5, 13},
               {kMid + 6.5, 10},
               {kMid + 6.5, 16}},
              YELLOW);
    s.Rect(kMid - 6.5, 15, 13, 1, OLIVE);
    for (double x : {-6.0, -3.0, 3.0, 6.0}) s.Ellipse(kMid + x, 9.75, 0.75, 0.75, YELLOW);
    s.Ellipse(kMid, 8.75, 0.75, 0.75, YELLOW);
    s.Ellipse(kMid, 13.5, 0.9, 0.9, RED);
    s.Ellipse(kMid - 3.5, 13.5, 0.75, 0.75, BLUE);
    s.Ellipse(kMid + 3.5, 13.5, 0.75, 0.75, BLUE);
}

void DrawQueen2x(Shapes& s, const Look& look) {
    // Long hair behind the face, falling to the shoulders.
    QPainterPath hair;
    hair.moveTo(kMid - 9.5, 32);
    hair.lineTo(kMid - 9.5, 21);
    hair.cubicTo(kMid - 9.5, 14.5, kMid + 9.5, 14.5, kMid + 9.5, 21);
    hair.lineTo(kMid + 9.5, 32);
    hair.closeSubpath();
    s.Path(hair, look.hair);
    DrawRobe2x(s, look, 30);
    // A low neckline with a necklace of beads.
    s.Polygon({{kMid - 5.5, 30}, {kMid + 5.5, 30}, {kMid + 2.5, 33.5}, {kMid - 2.5, 33.5}}, WHITE);
    for (double x : {-4.0, -2.0, 0.0, 2.0, 4.0}) {
        s.Ellipse(kMid + x, 30.75 + (4.0 - std::abs(x)) * 0.4, 0.6, 0.6, RED);
    }
    DrawFace2x(s, 16, false, look.hair);
    // The fringe over the forehead.
    QPainterPath fringe;
    fringe.moveTo(kMid - 6.0, 19.5);
    fringe.cubicTo(kMid - 5.0, 15.5, kMid + 5.0, 15.5, kMid + 6.0, 19.5);
    fringe.quadTo(kMid, 17.0, kMid - 6.0, 19.5);
    s.Path(fringe, look.hair);
    // A small crown with three points.
    s.Polygon({{kMid - 4.5, 16},
               {kMid - 4.5, 11.5},
               {kMid - 2.25, 14},
               {kMid, 10.5},
               {kMid + 2.25, 14},
               {kMid + 4.5, 11.5},
               {kMid + 4.5, 16}},
              YELLOW);
    s.Ellipse(kMid, 14.5, 0.75, 0.75, RED);
    // A flower held up on her right: a stem with a leaf, five petals and a
    // yellow heart.
    const double fx = kMid - 13;
    s.Rect(fx - 0.25, 17, 0.75, 20, GREEN);
    s.Path(
        [&] {
            QPainterPath leaf(QPointF(fx + 0.25, 23));
            leaf.quadTo(fx + 2.5, 20.5, fx + 3.5, 21.5);
            leaf.quadTo(fx + 2.5, 23.5, fx + 0.25, 23);
            return leaf;
        }(),
        GREEN);
    const QRgb petals = look.panel == BLUE ? FUCHSIA : RED;
    for (int i = 0; i < 5; ++i) {
        const double angle = (i * 72 - 90) * 3.14159265358979 / 180;
        s.Ellipse(fx + 1.6 * std::cos(angle), 14.5 + 1.6 * std::sin(angle), 1.3, 1.3, petals);
    }
    s.Ellipse(fx, 14.5, 0.8, 0.8, YELLOW);
    s.Ellipse(kMid - 13, 34.5, 2.5, 2.0, BLACK);  // the hand holding the stem
    s.Ellipse(kMid - 13, 34.5, 2.0, 1.5, WHITE);
}

void DrawJack2x(Shapes& s, const Look& look) {
    // The halberd at his left: a staff, a spike, an axe blade and a hook.
    const double staff = kMid - 14;
    s.Rect(staff - 0.5, 10, 1, 36, OLIVE);
    s.Polygon({{staff - 0.5, 10.5}, {staff, 6.5}, {staff + 0.5, 10.5}}, SILVER);
    QPainterPath blade;
    blade.moveTo(staff + 0.5, 11.5);
    blade.quadTo(staff + 3.5, 11.5, staff + 5.5, 10.5);
    blade.quadTo(staff + 4.0, 14.5, staff + 5.5, 18.5);
    blade.quadTo(staff + 3.5, 17.5, staff + 0.5, 17.5);
    blade.closeSubpath();
    s.Path(blade, SILVER);
    s.Polygon({{staff - 0.5, 13}, {staff - 4.0, 12.5}, {staff - 0.5, 14.5}}, SILVER);
    DrawRobe2x(s, look, 29);
    s.Ellipse(kMid, 29, 7.5, 1.75, WHITE);
    s.Ellipse(staff, 32.5, 2.5, 2.0, BLACK);  // the hand on the staff
    s.Ellipse(staff, 32.5, 2.0, 1.5, WHITE);
    // Hair to the jaw, the face, and a cap with a brim and a feather.
    QPainterPath hair;
    hair.moveTo(kMid - 7.5, 27);
    hair.lineTo(kMid - 7.5, 20);
    hair.quadTo(kMid, 15, kMid + 7.5, 20);
    hair.lineTo(kMid + 7.5, 27);
    hair.closeSubpath();
    s.Path(hair, look.hair);
    DrawFace2x(s, 16, false, look.hair);
    QPainterPath cap;
    cap.moveTo(kMid - 7.5, 16.5);
    cap.cubicTo(kMid - 7.5, 9.5, kMid + 7.5, 9.0, kMid + 8.0, 16.5);
    cap.closeSubpath();
    s.Path(cap, look.panel);
    s.Rect(kMid - 8.5, 16, 17, 2, look.lining);
    QPainterPath feather;
    feather.moveTo(kMid + 6, 14);
    feather.quadTo(kMid + 9, 9.5, kMid + 13.5, 8.5);
    feather.quadTo(kMid + 11, 12.5, kMid + 6, 14);
    s.Path(feather, look.robe == BLACK ? WHITE : RED);
    s.Stroke(Curve({kMid + 6, 14}, {kMid + 9, 10.5}, {kMid + 13.5, 8.5}), 0.5,
             look.robe == BLACK ? SILVER : YELLOW);
}

// The figure of a court card on a large card, drawn in the frame whose
// inside is `inside`; DrawCourt turns the upper half round below the diagonal.
void DrawCourtFigure2x(QImage& card, const QRect& inside, const Look& look, int rank) {
    Shapes shapes(card, inside);
    switch (rank) {
        case 12:
            DrawKing2x(shapes, look);
            break;
        case 11:
            DrawQueen2x(shapes, look);
            break;
        default:
            DrawJack2x(shapes, look);
            break;
    }
}

}  // namespace

void DrawCourt(QImage& card, Suit suit, int rank, CardStyle style) {
    const int s = style.scale;
    const QRgb colour = SuitColour(suit, style.fourColours);
    const Look look = LookOf(suit, rank, style.fourColours);
    // The frame's lines, in the pixels of this card.
    const int left = kFrameLeft * s;
    const int top = kFrameTop * s;
    const int right = card.width() - 1 - left;
    const int bottom = card.height() - 1 - top;
    if (s == 2) {
        DrawCourtFigure2x(card, QRect(QPoint(left + 1, top + 1), QPoint(right - 1, bottom - 1)),
                          look, rank);
    } else {
        const Pen pen{card};
        switch (rank) {
            case 12:
                DrawKing(pen, look);
                break;
            case 11:
                DrawQueen(pen, look);
                break;
            default:
                DrawJack(pen, look);
                break;
        }
    }
    // Below the diagonal the picture is the upper part turned round; the
    // diagonal itself is a thin line. At scale 2 the middle falls between two
    // columns and two rows, so the side is measured on doubled coordinates
    // (never zero there) with the same slope.
    const int w = card.width();
    const int h = card.height();
    for (int y = top + 1; y < bottom; ++y) {
        for (int x = left + 1; x < right; ++x) {
            const int side = s == 2 ? 10 * (2 * y - (h - 1)) + 3 * (2 * x - (w - 1)) : Side(x, y);
            if (side > 10) {
                card.setPixel(x, y, card.pixel(w - 1 - x, h - 1 - y));
            } else if (side >= -10) {
                card.setPixel(x, y, look.lining == YELLOW && look.robe == RED ? BLACK : GREY);
            }
        }
    }
    for (int x = left; x <= right; ++x) {
        card.setPixel(x, top, colour);
        card.setPixel(x, bottom, colour);
    }
    for (int y = top; y <= bottom; ++y) {
        card.setPixel(left, y, colour);
        card.setPixel(right, y, colour);
    }
    // A small suit symbol in the frame's corner away from what the figure
    // holds, and turned in the opposite one.
    const Mask mark =
        s == 2 ? SuitMask(suit, suit == Suit::Diamonds ? 11 : 13, suit == Suit::Hearts ? 13 : 15)
               : FrameSuitMask(suit);
    const int markX = rank == 12 ? left + 1 : right - mark.width - 2;
    const Mask ring = Dilate(mark);
    const auto twice = [&](const Mask& m, int x, int y, QRgb c) {
        DrawMask(card, m, x, y, c);
        DrawMask(card, Rotate180(m), w - x - m.width, h - y - m.height, c);
    };
    twice(ring, markX, top + 1, WHITE);
    twice(mark, markX + 1, top + 2, colour);
}
