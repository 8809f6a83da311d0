#include "tools/make_images/suits.h"

#include <array>

#include "tools/make_images/palette.h"

bool IsRed(Suit suit) {
    return suit == Suit::Diamonds || suit == Suit::Hearts;
}

QRgb SuitColour(Suit suit) {
    return IsRed(suit) ? palette::RED : palette::BLACK;
}

QRgb SuitColour(Suit suit, bool fourColours) {
    if (!fourColours) return SuitColour(suit);
    switch (suit) {
        case Suit::Diamonds:
            return palette::BLUE;
        case Suit::Clubs:
            return palette::GREEN;
        default:
            return SuitColour(suit);
    }
}

namespace {

QPainterPath Circle(double cx, double cy, double r) {
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), r, r);
    return path;
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// The stem under a spade or a club: a narrow waist flaring to a foot.
QPainterPath Stem(double top) {
    QPainterPath path;
    path.moveTo(0.46, top);
    path.lineTo(0.54, top);
    path.quadTo(0.56, 0.90, 0.78, 1.0);
    path.lineTo(0.22, 1.0);
    path.quadTo(0.44, 0.90, 0.46, top);
    path.closeSubpath();
    return path;
}

}  // namespace

QPainterPath SuitPath(Suit suit) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    switch (suit) {
        case Suit::Diamonds: {
            // Barely hollow sides: at pip size a deeper curve reads as a drop.
            path.moveTo(0.5, 0.0);
            path.quadTo(0.77, 0.41, 1.0, 0.5);
            path.quadTo(0.77, 0.59, 0.5, 1.0);
            path.quadTo(0.23, 0.59, 0.0, 0.5);
            path.quadTo(0.23, 0.41, 0.5, 0.0);
            path.closeSubpath();
            return path;
        }
        case Suit::Hearts: {
            path = Circle(0.26, 0.28, 0.26).united(Circle(0.74, 0.28, 0.26));
            QPainterPath point;
            point.moveTo(0.01, 0.34);
            point.quadTo(0.10, 0.66, 0.5, 1.0);
            point.quadTo(0.90, 0.66, 0.99, 0.34);
            point.lineTo(0.5, 0.2);
            point.closeSubpath();
            return path.united(point);
        }
        case Suit::Spades: {
            path = Circle(0.26, 0.56, 0.24).united(Circle(0.74, 0.56, 0.24));
            QPainterPath point;
            point.moveTo(0.5, 0.0);
            point.quadTo(0.86, 0.30, 0.985, 0.50);
            point.lineTo(0.5, 0.7);
            point.lineTo(0.015, 0.50);
            point.quadTo(0.14, 0.30, 0.5, 0.0);
            point.closeSubpath();
            return path.united(point).united(Stem(0.6));
        }
        case Suit::Clubs: {
            path = Circle(0.5, 0.24, 0.24)
                       .united(Circle(0.23, 0.58, 0.23))
                       .united(Circle(0.77, 0.58, 0.23))
                       .united(Polygon({{0.35, 0.4}, {0.65, 0.4}, {0.6, 0.62}, {0.4, 0.62}}));
            return path.united(Stem(0.55));
        }
    }
    return path;
}

Mask SuitMask(Suit suit, int width, int height) {
    return MaskFromPath(SuitPath(suit), width, height);
}

const Mask& PipMask(Suit suit, int scale) {
    static const std::array<Mask, 8> pips = {
        SuitMask(Suit::Diamonds, 9, 12),  SuitMask(Suit::Clubs, 11, 12),
        SuitMask(Suit::Hearts, 11, 11),   SuitMask(Suit::Spades, 11, 12),
        SuitMask(Suit::Diamonds, 18, 24), SuitMask(Suit::Clubs, 22, 24),
        SuitMask(Suit::Hearts, 22, 22),   SuitMask(Suit::Spades, 22, 24),
    };
    return pips[static_cast<size_t>(suit) + (scale == 2 ? 4 : 0)];
}

const Mask& IndexSuitMask(Suit suit) {
    // The club and the spade are 9 pixels wide, so that they can differ in
    // shape and not only in a few pixels: the club's three round lobes with
    // notches between them, the spade's point over a solid body. Both end in
    // the same stem and foot.
    static const std::array<Mask, 4> marks = {
        MaskFromRows({"...#...", "..###..", "..###..", ".#####.", "#######", ".#####.", "..###..",
                      "..###..", "...#..."}),
        MaskFromRows({"...###...", "..#####..", "..#####..", "...###...", ".##.#.##.", "#########",
                      "#########", ".##.#.##.", "....#....", "..#####.."}),
        MaskFromRows({".##.##.", "#######", "#######", "#######", ".#####.", "..###..", "...#..."}),
        MaskFromRows({"....#....", "...###...", "..#####..", ".#######.", "#########", "#########",
                      "#########", ".###.###.", "....#....", "..#####.."}),
    };
    return marks[static_cast<size_t>(suit)];
}

const Mask& FrameSuitMask(Suit suit) {
    static const std::array<Mask, 4> marks = {
        IndexSuitMask(Suit::Diamonds),
        MaskFromRows({"..###..", ".#####.", ".#####.", "##.#.##", "#######", "##.#.##", "...#...",
                      "..###.."}),
        IndexSuitMask(Suit::Hearts),
        MaskFromRows({"...#...", "..###..", ".#####.", "#######", "#######", "##.#.##", "...#...",
                      "..###.."}),
    };
    return marks[static_cast<size_t>(suit)];
}
