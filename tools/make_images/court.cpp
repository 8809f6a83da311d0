// The court cards: a framed half-length figure, drawn once and repeated
// turned round below a diagonal, as printed court cards are.

#include <QPainter>

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

Look LookOf(Suit suit, int rank) {
    const bool red = IsRed(suit);
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

}  // namespace

void DrawCourt(QImage& card, Suit suit, int rank) {
    const QRgb colour = SuitColour(suit);
    const Look look = LookOf(suit, rank);
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
    // Below the diagonal the picture is the upper part turned round; the
    // diagonal itself is a thin line.
    for (int y = kFrameTop + 1; y < kFrameBottom; ++y) {
        for (int x = kFrameLeft + 1; x < kFrameRight; ++x) {
            const int side = Side(x, y);
            if (side > 10) {
                card.setPixel(x, y, card.pixel(CARD_WIDTH - 1 - x, CARD_HEIGHT - 1 - y));
            } else if (side >= -10) {
                card.setPixel(x, y, look.lining == YELLOW && look.robe == RED ? BLACK : GREY);
            }
        }
    }
    for (int x = kFrameLeft; x <= kFrameRight; ++x) {
        card.setPixel(x, kFrameTop, colour);
        card.setPixel(x, kFrameBottom, colour);
    }
    for (int y = kFrameTop; y <= kFrameBottom; ++y) {
        card.setPixel(kFrameLeft, y, colour);
        card.setPixel(kFrameRight, y, colour);
    }
    // A small suit symbol in the frame's corner away from what the figure
    // holds, and turned in the opposite one.
    const Mask mark = IndexSuitMask(suit);
    const int markX = rank == 12 ? kFrameLeft + 1 : kFrameRight - mark.width - 2;
    const Mask ring = Dilate(mark);
    const auto twice = [&](const Mask& m, int x, int y, QRgb c) {
        DrawMask(card, m, x, y, c);
        DrawMask(card, Rotate180(m), CARD_WIDTH - x - m.width, CARD_HEIGHT - y - m.height, c);
    };
    twice(ring, markX, kFrameTop + 1, WHITE);
    twice(mark, markX + 1, kFrameTop + 2, colour);
}
