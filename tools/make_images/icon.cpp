// The program's icon: the ace of spades half covered by the ace of hearts.
//
// One layout, in units of a 32nd of the icon's size, drawn anew at each size
// (only the 16-pixel icon is placed by hand). Up to 32 pixels the cards sit
// on whole pixels in palette colours with no smoothing, so that the pips stay
// sharp and the 16-colour copies of the window's resources are exact; from
// 48 pixels on the drawing is smoothed and the cards get rounded corners and
// a soft shadow, and from 64 pixels on the corner index of each ace.

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

#include "tools/make_images/palette.h"
#include "tools/make_images/pictures.h"

using namespace palette;

namespace {

struct IconCard {
    QRectF rect;  // the card, in pixels
    Suit suit;
    QRectF pip;  // the suit symbol on it, in pixels
};

// The rectangle of whole pixels nearest to `rect`.
QRect Snap(const QRectF& rect) {
    const int left = static_cast<int>(std::lround(rect.left()));
    const int top = static_cast<int>(std::lround(rect.top()));
    const int right = static_cast<int>(std::lround(rect.right()));
    const int bottom = static_cast<int>(std::lround(rect.bottom()));
    return QRect(left, top, right - left, bottom - top);
}

QRectF Centred(QPointF centre, double width, double height) {
    return QRectF(centre.x() - width / 2, centre.y() - height / 2, width, height);
}

// The back card first: its spade sits in the strip that the front card
// leaves visible.
std::array<IconCard, 2> Layout(int size) {
    const double u = size / 32.0;
    const QRectF back(1 * u, 2 * u, 19 * u, 26 * u);
    const QRectF front(12 * u, 4 * u, 19 * u, 26 * u);
    const QPointF strip((back.left() + front.left()) / 2, back.center().y());
    return {{{back, Suit::Spades, Centred(strip, 8 * u, 9.5 * u)},
             {front, Suit::Hearts, Centred(front.center(), 12 * u, 11 * u)}}};
}

// A card on whole pixels: a black line around white, its corner pixels left
// as they were, and the pip.
void DrawPixelCard(QImage& image, const QRect& card, const Mask& pip, QPoint at, Suit suit) {
    {
        QPainter p(&image);
        p.fillRect(card.adjusted(1, 0, -1, 0), QColor::fromRgb(BLACK));
        p.fillRect(card.adjusted(0, 1, 0, -1), QColor::fromRgb(BLACK));
        p.fillRect(card.adjusted(1, 1, -1, -1), QColor::fromRgb(WHITE));
    }
    DrawMask(image, pip, at.x(), at.y(), SuitColour(suit));
}

void DrawPixelCard(QImage& image, const IconCard& card) {
    const QRect pip = Snap(card.pip);
    DrawPixelCard(image, Snap(card.rect), SuitMask(card.suit, pip.width(), pip.height()),
                  pip.topLeft(), card.suit);
}

// At 16 pixels the layout leaves too little room for pips rendered from the
// suit shapes: the cards are placed by hand, with hand-made five-pixel pips.
void DrawTinyIcon(QImage& image) {
    static const Mask spade = MaskFromRows({"..#..", ".###.", "#####", "#####", "..#..", ".###."});
    static const Mask heart = MaskFromRows({".#.#.", "#####", "#####", ".###.", "..#.."});
    DrawPixelCard(image, QRect(0, 0, 10, 13), spade, QPoint(1, 4), Suit::Spades);
    DrawPixelCard(image, QRect(7, 3, 9, 13), heart, QPoint(9, 7), Suit::Hearts);
}

// The ace's corner index in a box of `height` pixels whose top-left corner
// is `at`: a stroked "A" over a small suit symbol.
void DrawIndex(QPainter& p, QPointF at, double height, Suit suit) {
    const double letter = height * 0.55;
    QPainterPath a;
    a.moveTo(0, 1);
    a.lineTo(0.4, 0);
    a.lineTo(0.8, 1);
    a.moveTo(0.17, 0.62);
    a.lineTo(0.63, 0.62);
    QTransform toLetter;
    toLetter.translate(at.x(), at.y());
    toLetter.scale(letter, letter);
    p.strokePath(toLetter.map(a), QPen(QColor::fromRgb(SuitColour(suit)), letter * 0.2,
                                       Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    const double symbol = height * 0.36;
    QTransform toSymbol;
    toSymbol.translate(at.x() + letter * 0.4 - symbol / 2, at.y() + height - symbol);
    toSymbol.scale(symbol, symbol);
    p.fillPath(toSymbol.map(SuitPath(suit)), QColor::fromRgb(SuitColour(suit)));
}

void DrawSmoothCard(QPainter& p, const IconCard& card, int size, bool bothIndexes) {
    const double u = size / 32.0;
    const QRectF r = Snap(card.rect);
    const double radius = 1.5 * u;
    QPainterPath outline;
    outline.addRoundedRect(r, radius, radius);
    p.fillPath(outline.translated(0.4 * u, 0.6 * u), QColor(0, 0, 0, 60));

    // The line is drawn inside the card's rectangle.
    const double line = std::max(1.0, 0.35 * u);
    QPainterPath face;
    face.addRoundedRect(r.adjusted(line / 2, line / 2, -line / 2, -line / 2), radius, radius);
    p.fillPath(face, Qt::white);
    p.strokePath(face, QPen(QColor(48, 48, 48), line));

    QTransform toPip;
    toPip.translate(card.pip.left(), card.pip.top());
    toPip.scale(card.pip.width(), card.pip.height());
    p.fillPath(toPip.map(SuitPath(card.suit)), QColor::fromRgb(SuitColour(card.suit)));

    if (size < 64) return;
    const QPointF corner = r.topLeft() + QPointF(1.5 * u, 1.6 * u);
    DrawIndex(p, corner, 6 * u, card.suit);
    if (!bothIndexes) return;
    p.save();
    p.translate(r.center());
    p.rotate(180);
    p.translate(-r.center());
    DrawIndex(p, corner, 6 * u, card.suit);
    p.restore();
}

}  // namespace

QImage DrawThemeIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    if (size < 24) {
        DrawTinyIcon(image);
        return image;
    }
    const std::array<IconCard, 2> cards = Layout(size);
    if (size <= 32) {
        for (const IconCard& card : cards) DrawPixelCard(image, card);
        return image;
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    // The back card's lower corner lies under the front card, so only the
    // front card shows both of its indexes.
    DrawSmoothCard(p, cards[0], size, false);
    DrawSmoothCard(p, cards[1], size, true);
    return image;
}

QImage DrawIcon(int size) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(FELT);
    QPainter p(&image);
    p.drawImage(0, 0, DrawThemeIcon(size));
    return image;
}
