// The 52 card faces: corner indexes, pip layouts, aces and court cards.

#include <QPainter>
#include <QPainterPath>
#include <array>
#include <string_view>

#include "tools/make_images/palette.h"
#include "tools/make_images/pictures.h"

using namespace palette;

QImage BlankCard(QRgb corner, QRgb border, int width, int height, int scale) {
    QImage card(width, height, QImage::Format_RGB32);
    card.fill(WHITE);
    for (int x = 0; x < width; ++x) {
        card.setPixel(x, 0, border);
        card.setPixel(x, height - 1, border);
    }
    for (int y = 0; y < height; ++y) {
        card.setPixel(0, y, border);
        card.setPixel(width - 1, y, border);
    }
    // A rounded corner of radius three, the same at each corner:
    //   ...####     . outside the card
    //   .##         # border
    //   .#
    //   #
    static constexpr std::array<std::array<int, 2>, 5> outside = {
        {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {0, 2}}};
    static constexpr std::array<std::array<int, 2>, 3> inner = {{{1, 1}, {2, 1}, {1, 2}}};
    // At scale 2 the radius is six and the border still one pixel wide
    // ('.' outside the card, '#' border, the rest left as it is).
    static constexpr std::array<std::string_view, 6> corner2 = {"......####", "....##", "...#",
                                                                "..#",        ".#",     ".#"};
    for (int mirrorX = 0; mirrorX < 2; ++mirrorX) {
        for (int mirrorY = 0; mirrorY < 2; ++mirrorY) {
            auto put = [&](int x, int y, QRgb colour) {
                card.setPixel(mirrorX ? width - 1 - x : x, mirrorY ? height - 1 - y : y, colour);
            };
            if (scale == 2) {
                for (int y = 0; y < static_cast<int>(corner2.size()); ++y) {
                    const std::string_view row = corner2[static_cast<size_t>(y)];
                    for (int x = 0; x < static_cast<int>(row.size()); ++x)
                        put(x, y, row[static_cast<size_t>(x)] == '.' ? corner : border);
                }
            } else {
                for (const auto& p : outside) put(p[0], p[1], corner);
                for (const auto& p : inner) put(p[0], p[1], border);
            }
        }
    }
    return card;
}

namespace {

constexpr std::array<std::string_view, 13> kRankText = {"A", "2", "3",  "4", "5", "6", "7",
                                                        "8", "9", "10", "J", "Q", "K"};

// Paints a mask at (x, y) and its half-turned copy where the half turn of the
// card puts it, so that the card reads the same from either end.
void DrawMaskTwice(QImage& card, const Mask& mask, int x, int y, QRgb colour) {
    DrawMask(card, mask, x, y, colour);
    DrawMask(card, Rotate180(mask), card.width() - x - mask.width, card.height() - y - mask.height,
             colour);
}

// The corner index: the rank above a small suit symbol, both within the 15
// pixels of a card that stay visible in a fanned hand.
void DrawIndex(QImage& card, std::string_view rank, Suit suit, QRgb colour) {
    const Mask text = TextMask(Font::Index, rank);
    DrawMaskTwice(card, text, 2 + (11 - text.width) / 2, 4, colour);
    const Mask& mark = IndexSuitMask(suit);
    DrawMaskTwice(card, mark, 2 + (11 - mark.width) / 2, 15, colour);
}

// The corner index of the readable sets: the rank above a suit sign as large
// as a pip, so that clubs and spades differ at a glance. Both stay in the
// strip that a fanned hand leaves visible (x < 14 times the scale).
void DrawLargeIndex(QImage& card, std::string_view rank, Suit suit, QRgb colour, int scale) {
    const int left = 2 * scale;
    const int width = 11 * scale;
    const Mask text = TextMask(scale == 2 ? Font::LargeIndex : Font::Index, rank);
    DrawMaskTwice(card, text, left + (width - text.width) / 2, 3 * scale, colour);
    const Mask& sign = PipMask(suit, scale);
    DrawMaskTwice(card, sign, left + (width - sign.width) / 2, 14 * scale, colour);
}

// Pip boxes are 11 x 12 pixels; a pip narrower or shorter than its box sits
// in the middle of it.
constexpr int kPipBoxW = 11;
constexpr int kPipBoxH = 12;
// Left edges of the three columns and top edges of the rows, chosen so that
// the half turn of the card (x -> 70 - x, y -> 95 - y) maps every box onto a
// box: 16 <-> 44, 30 <-> 30; 10 <-> 74, 21 <-> 63, 26 <-> 58, 31 <-> 53, 42.
constexpr int kLeft = 16, kMiddle = 30, kRight = 44;
constexpr int kTop = 10, kTenth = 21, kEighth = 26, kThird = 31, kCentre = 42;

int Opposite(int top) {
    return CARD_HEIGHT - top - kPipBoxH;
}

// The box is given in the units of a 71 x 96 card; at scale 2 every length
// doubles.
void DrawPip(QImage& card, const Mask& pip, int boxX, int boxY, QRgb colour, int scale) {
    const int boxW = kPipBoxW * scale;
    const int boxH = kPipBoxH * scale;
    const int x = boxX * scale + (boxW - pip.width) / 2;
    const bool upright = boxY + kPipBoxH / 2 <= CARD_HEIGHT / 2;
    if (upright) {
        DrawMask(card, pip, x, boxY * scale + (boxH - pip.height) / 2, colour);
    } else {
        // The turned pip lands exactly where the upright one of the mirrored box does.
        const int upX = card.width() - boxX * scale - boxW + (boxW - pip.width) / 2;
        const int upY = Opposite(boxY) * scale + (boxH - pip.height) / 2;
        DrawMask(card, Rotate180(pip), card.width() - upX - pip.width,
                 card.height() - upY - pip.height, colour);
    }
}

struct Box {
    int x;
    int y;
};

// The classic arrangements of the number cards two to ten.
std::vector<Box> PipLayout(int count) {
    const int bottom = Opposite(kTop);
    std::vector<Box> boxes;
    auto column = [&](int x, std::initializer_list<int> rows) {
        for (int y : rows) boxes.push_back({x, y});
    };
    switch (count) {
        case 2:
            column(kMiddle, {kTop, bottom});
            break;
        case 3:
            column(kMiddle, {kTop, kCentre, bottom});
            break;
        case 4:
            column(kLeft, {kTop, bottom});
            column(kRight, {kTop, bottom});
            break;
        case 5:
            column(kLeft, {kTop, bottom});
            column(kMiddle, {kCentre});
            column(kRight, {kTop, bottom});
            break;
        case 6:
            column(kLeft, {kTop, kCentre, bottom});
            column(kRight, {kTop, kCentre, bottom});
            break;
        case 7:
            column(kLeft, {kTop, kCentre, bottom});
            column(kMiddle, {kEighth});
            column(kRight, {kTop, kCentre, bottom});
            break;
        case 8:
            column(kLeft, {kTop, kCentre, bottom});
            column(kMiddle, {kEighth, Opposite(kEighth)});
            column(kRight, {kTop, kCentre, bottom});
            break;
        case 9:
            column(kLeft, {kTop, kThird, Opposite(kThird), bottom});
            column(kMiddle, {kCentre});
            column(kRight, {kTop, kThird, Opposite(kThird), bottom});
            break;
        case 10:
            column(kLeft, {kTop, kThird, Opposite(kThird), bottom});
            column(kMiddle, {kTenth, Opposite(kTenth)});
            column(kRight, {kTop, kThird, Opposite(kThird), bottom});
            break;
        default:
            break;
    }
    return boxes;
}

// The five of hearts is stored with 256 colours: its pips are drawn smooth
// and shaded from bright red to a darker red.
void DrawShadedPips(QImage& card, const std::vector<Box>& boxes, Suit suit) {
    QPainter painter(&card);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    const QPainterPath unit = SuitPath(suit);
    for (const Box& box : boxes) {
        painter.save();
        const bool upright = box.y + kPipBoxH / 2 <= CARD_HEIGHT / 2;
        const QRectF rect(box.x + 0.0, box.y + 0.5, kPipBoxW, kPipBoxH - 1.0);
        if (!upright) {
            painter.translate(rect.center());
            painter.rotate(180);
            painter.translate(-rect.center());
        }
        QLinearGradient shade(rect.topLeft(), rect.bottomRight());
        shade.setColorAt(0.0, QColor(255, 95, 95));
        shade.setColorAt(0.45, QColor(255, 0, 0));
        shade.setColorAt(1.0, QColor(175, 0, 0));
        painter.translate(rect.topLeft());
        painter.scale(rect.width(), rect.height());
        QLinearGradient unitShade(0, 0, 1, 1);
        unitShade.setStops(shade.stops());
        painter.fillPath(unit, unitShade);
        painter.restore();
    }
}

void DrawAce(QImage& card, Suit suit, QRgb colour, int scale) {
    const int s = scale;
    if (suit == Suit::Spades) {
        // The ace of spades carries the large ornamented spade, its white and
        // olive rings each one pixel wide at either scale.
        const Mask big = SuitMask(Suit::Spades, 37 * s, 42 * s);
        const int x = (card.width() - big.width) / 2;
        const int y = (card.height() - big.height) / 2;
        DrawMask(card, Dilate(Dilate(big)), x - 2, y - 2, OLIVE);
        DrawMask(card, Dilate(big), x - 1, y - 1, WHITE);
        DrawMask(card, big, x, y, BLACK);
        // A small white spade inside the large one.
        const Mask inner = SuitMask(Suit::Spades, 11 * s, 13 * s);
        DrawMask(card, inner, (card.width() - inner.width) / 2, y + 15 * s, WHITE);
        return;
    }
    const int w = (suit == Suit::Diamonds ? 23 : 27) * s;
    const int h = (suit == Suit::Hearts ? 26 : 30) * s;
    const Mask big = SuitMask(suit, w, h);
    DrawMask(card, big, (card.width() - w) / 2, (card.height() - h) / 2, colour);
}

}  // namespace

QImage DrawFace(int cardIndex, Depth depth, CardStyle style) {
    const Suit suit = static_cast<Suit>(cardIndex / 13);
    const int rank = cardIndex % 13;
    const bool mono = depth == Depth::Mono;
    const int s = style.scale;
    QImage card = BlankCard(mono ? BLACK : FELT, BLACK, CARD_WIDTH * s, CARD_HEIGHT * s, s);
    const QRgb colour = SuitColour(suit, style.fourColours);
    const std::string_view rankText = kRankText[static_cast<size_t>(rank)];
    if (style.Classic())
        DrawIndex(card, rankText, suit, colour);
    else
        DrawLargeIndex(card, rankText, suit, colour, s);
    if (rank == 0) {
        DrawAce(card, suit, colour, s);
    } else if (rank <= 9) {
        const std::vector<Box> boxes = PipLayout(rank + 1);
        if (depth == Depth::Colour256) {
            DrawShadedPips(card, boxes, suit);
        } else {
            for (const Box& box : boxes) DrawPip(card, PipMask(suit, s), box.x, box.y, colour, s);
        }
    } else {
        DrawCourt(card, suit, rank, style);
    }
    return card;
}
