// The 52 card faces: corner indexes, pip layouts, aces and court cards.

#include <QPainter>
#include <QPainterPath>
#include <array>
#include <string_view>

#include "tools/make_images/palette.h"
#include "tools/make_images/pictures.h"

using namespace palette;

QImage BlankCard(QRgb corner, QRgb border, int width, int height) {
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
    for (int mirrorX = 0; mirrorX < 2; ++mirrorX) {
        for (int mirrorY = 0; mirrorY < 2; ++mirrorY) {
            auto put = [&](int x, int y, QRgb colour) {
                card.setPixel(mirrorX ? width - 1 - x : x, mirrorY ? height - 1 - y : y, colour);
            };
            for (const auto& p : outside) put(p[0], p[1], corner);
            for (const auto& p : inner) put(p[0], p[1], border);
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

void DrawPip(QImage& card, const Mask& pip, int boxX, int boxY, QRgb colour) {
    const int x = boxX + (kPipBoxW - pip.width) / 2;
    const bool upright = boxY + kPipBoxH / 2 <= CARD_HEIGHT / 2;
    if (upright) {
        DrawMask(card, pip, x, boxY + (kPipBoxH - pip.height) / 2, colour);
    } else {
        // The turned pip lands exactly where the upright one of the mirrored box does.
        const int upX = CARD_WIDTH - boxX - kPipBoxW + (kPipBoxW - pip.width) / 2;
        const int upY = Opposite(boxY) + (kPipBoxH - pip.height) / 2;
        DrawMask(card, Rotate180(pip), CARD_WIDTH - upX - pip.width, CARD_HEIGHT - upY - pip.height,
                 colour);
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

void DrawAce(QImage& card, Suit suit) {
    if (suit == Suit::Spades) {
        // The ace of spades carries the large ornamented spade.
        const Mask big = SuitMask(Suit::Spades, 37, 42);
        const int x = (CARD_WIDTH - big.width) / 2;
        const int y = (CARD_HEIGHT - big.height) / 2;
        DrawMask(card, Dilate(Dilate(big)), x - 2, y - 2, OLIVE);
        DrawMask(card, Dilate(big), x - 1, y - 1, WHITE);
        DrawMask(card, big, x, y, BLACK);
        // A small white spade inside the large one.
        const Mask inner = SuitMask(Suit::Spades, 11, 13);
        DrawMask(card, inner, (CARD_WIDTH - inner.width) / 2, y + 15, WHITE);
        return;
    }
    const int w = suit == Suit::Diamonds ? 23 : 27;
    const int h = suit == Suit::Hearts ? 26 : 30;
    const Mask big = SuitMask(suit, w, h);
    DrawMask(card, big, (CARD_WIDTH - w) / 2, (CARD_HEIGHT - h) / 2, SuitColour(suit));
}

// ---- Court cards --------------------------------------------------------

// The frame of the picture and the half of it that is drawn; the other half
// is the half turn of this one.
constexpr int kFrameLeft = 15, kFrameTop = 9;
constexpr int kFrameRight = CARD_WIDTH - 1 - kFrameLeft;   // 55
constexpr int kFrameBottom = CARD_HEIGHT - 1 - kFrameTop;  // 86

struct CourtColours {
    QRgb robe;  // the suit's colour
    QRgb trim;  // the accent of the robe
    QRgb hair;
    QRgb detail;  // the second accent
};

CourtColours ColoursFor(Suit suit, int rank) {
    const bool red = IsRed(suit);
    const QRgb robe = red ? RED : BLACK;
    const QRgb trim = red ? BLUE : RED;
    const QRgb hair = rank == 12 ? SILVER : (rank == 11 ? YELLOW : OLIVE);
    return {robe, trim, hair, YELLOW};
}

void FillPolygon(QPainter& p, QRgb colour, std::initializer_list<QPoint> points) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(colour));
    p.drawPolygon(QPolygon(QList<QPoint>(points)));
}

void FillRect(QPainter& p, QRgb colour, int x, int y, int w, int h) {
    p.fillRect(x, y, w, h, QColor::fromRgb(colour));
}

void FillEllipse(QPainter& p, QRgb fill, QRgb outline, int x, int y, int w, int h) {
    p.setPen(QColor::fromRgb(outline));
    p.setBrush(QColor::fromRgb(fill));
    p.drawEllipse(x, y, w - 1, h - 1);
}

// The upper half of a court picture: a bust with head-dress, drawn between
// the frame's top and the middle of the card, facing the viewer.
void DrawBust(QImage& card, Suit suit, int rank) {
    const CourtColours c = ColoursFor(suit, rank);
    QPainter p(&card);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRect(QRect(kFrameLeft + 1, kFrameTop + 1, kFrameRight - kFrameLeft - 1,
                        CARD_HEIGHT / 2 - kFrameTop - 1));
    const int cx = CARD_WIDTH / 2;  // 35, the middle column

    // Shoulders and robe, widening to the middle of the card.
    FillPolygon(
        p, c.robe,
        {{cx - 9, 31}, {cx + 10, 31}, {cx + 19, 40}, {cx + 19, 48}, {cx - 18, 48}, {cx - 18, 40}});
    // The robe's trim: a band down the front and a hem at the shoulders.
    FillPolygon(p, c.trim, {{cx - 3, 31}, {cx + 4, 31}, {cx + 6, 48}, {cx - 5, 48}});
    FillRect(p, c.detail, cx - 1, 33, 3, 15);
    for (int y = 35; y < 48; y += 4) FillRect(p, c.robe, cx, y, 1, 2);
    // Collar.
    FillPolygon(p, WHITE, {{cx - 8, 29}, {cx + 9, 29}, {cx + 6, 33}, {cx - 5, 33}});
    p.setPen(QColor::fromRgb(BLACK));
    p.drawLine(cx - 8, 29, cx + 9, 29);

    // Head.
    if (rank == 11) {  // the queen's hair falls to the shoulders
        FillRect(p, c.hair, cx - 7, 19, 15, 12);
    }
    FillEllipse(p, WHITE, BLACK, cx - 5, 17, 11, 13);
    // Eyes, nose, mouth.
    FillRect(p, BLACK, cx - 3, 22, 2, 1);
    FillRect(p, BLACK, cx + 2, 22, 2, 1);
    FillRect(p, MAROON, cx, 24, 1, 2);
    FillRect(p, RED, cx - 1, 27, 3, 1);

    switch (rank) {
        case 12: {  // the king: a crown with points and jewels, and a beard
            FillRect(p, c.hair, cx - 4, 26, 9, 4);
            FillRect(p, c.hair, cx - 5, 25, 1, 3);
            FillRect(p, c.hair, cx + 5, 25, 1, 3);
            FillRect(p, RED, cx - 1, 27, 3, 1);
            FillPolygon(p, YELLOW,
                        {{cx - 6, 17},
                         {cx - 6, 11},
                         {cx - 4, 14},
                         {cx - 2, 10},
                         {cx, 13},
                         {cx + 2, 10},
                         {cx + 4, 14},
                         {cx + 6, 11},
                         {cx + 6, 17}});
            FillRect(p, OLIVE, cx - 6, 16, 13, 2);
            FillRect(p, c.trim, cx, 14, 1, 2);
            FillRect(p, c.trim == RED ? BLUE : RED, cx - 4, 16, 1, 1);
            FillRect(p, c.trim == RED ? BLUE : RED, cx + 4, 16, 1, 1);
            // A sword held upright at his side.
            FillRect(p, SILVER, cx + 14, 12, 2, 21);
            FillRect(p, GREY, cx + 15, 12, 1, 21);
            FillRect(p, YELLOW, cx + 11, 33, 8, 2);
            FillRect(p, OLIVE, cx + 14, 35, 2, 5);
            break;
        }
        case 11: {  // the queen: a small crown on flowing hair, and a flower
            FillPolygon(p, YELLOW,
                        {{cx - 4, 17},
                         {cx - 4, 13},
                         {cx - 2, 15},
                         {cx, 12},
                         {cx + 2, 15},
                         {cx + 4, 13},
                         {cx + 4, 17}});
            FillRect(p, c.trim, cx, 15, 1, 1);
            FillRect(p, c.hair, cx - 5, 17, 11, 3);
            // A flower on a stem, held before the shoulder.
            FillRect(p, LIME, cx - 13, 20, 1, 14);
            FillEllipse(p, c.trim == RED ? RED : FUCHSIA, MAROON, cx - 16, 15, 7, 7);
            FillRect(p, YELLOW, cx - 13, 18, 1, 1);
            FillRect(p, WHITE, cx - 15, 33, 4, 3);
            break;
        }
        default: {  // the jack: a cap with a feather, and a halberd
            FillRect(p, c.hair, cx - 6, 19, 2, 6);
            FillRect(p, c.hair, cx + 5, 19, 2, 6);
            FillPolygon(p, c.trim, {{cx - 7, 19}, {cx - 5, 14}, {cx + 6, 14}, {cx + 8, 19}});
            FillRect(p, YELLOW, cx - 7, 18, 16, 2);
            FillPolygon(p, c.robe == BLACK ? WHITE : YELLOW,
                        {{cx + 5, 15}, {cx + 12, 10}, {cx + 13, 11}, {cx + 7, 16}});
            // The halberd: a staff with a blade near its top.
            FillRect(p, OLIVE, cx - 14, 12, 2, 36);
            FillPolygon(p, SILVER, {{cx - 12, 13}, {cx - 8, 15}, {cx - 8, 19}, {cx - 12, 21}});
            FillPolygon(p, SILVER, {{cx - 14, 12}, {cx - 13, 9}, {cx - 12, 12}});
            break;
        }
    }
}

void DrawCourt(QImage& card, Suit suit, int rank) {
    const QRgb colour = SuitColour(suit);
    DrawBust(card, suit, rank);
    // The lower half is the upper half turned round.
    for (int y = CARD_HEIGHT / 2; y < kFrameBottom; ++y) {
        for (int x = kFrameLeft + 1; x < kFrameRight; ++x) {
            card.setPixel(x, y, card.pixel(CARD_WIDTH - 1 - x, CARD_HEIGHT - 1 - y));
        }
    }
    // The frame, in the suit's colour, with a small suit symbol in its corner.
    for (int x = kFrameLeft; x <= kFrameRight; ++x) {
        card.setPixel(x, kFrameTop, colour);
        card.setPixel(x, kFrameBottom, colour);
    }
    for (int y = kFrameTop; y <= kFrameBottom; ++y) {
        card.setPixel(kFrameLeft, y, colour);
        card.setPixel(kFrameRight, y, colour);
    }
    for (int x = kFrameLeft + 1; x < kFrameRight; ++x) {
        card.setPixel(x, CARD_HEIGHT / 2 - 1, GREY);
    }
    const Mask corner = SuitMask(suit, 7, 8);
    DrawMaskTwice(card, Dilate(corner), kFrameLeft + 1, kFrameTop + 1, WHITE);
    DrawMaskTwice(card, corner, kFrameLeft + 2, kFrameTop + 2, colour);
}

}  // namespace

QImage DrawFace(int cardIndex, Depth depth) {
    const Suit suit = static_cast<Suit>(cardIndex / 13);
    const int rank = cardIndex % 13;
    const bool mono = depth == Depth::Mono;
    QImage card = BlankCard(mono ? BLACK : FELT, BLACK);
    const QRgb colour = SuitColour(suit);
    DrawIndex(card, kRankText[static_cast<size_t>(rank)], suit, colour);
    if (rank == 0) {
        DrawAce(card, suit);
    } else if (rank <= 9) {
        const std::vector<Box> boxes = PipLayout(rank + 1);
        if (depth == Depth::Colour256) {
            DrawShadedPips(card, boxes, suit);
        } else {
            for (const Box& box : boxes) DrawPip(card, PipMask(suit), box.x, box.y, colour);
        }
    } else {
        DrawCourt(card, suit, rank);
    }
    return card;
}
