// The contact sheet: every stored picture on the felt, with hands fanned as
// the table shows them in each deck and at each size, so the sets can be
// looked at in one go.

#include <QPainter>

#include "tools/make_images/palette.h"
#include "tools/make_images/pictures.h"

namespace {

// The picture as the window will show it: its stored form, read back in colour.
QImage Shown(const Picture& picture) {
    return Stored(picture).convertToFormat(QImage::Format_RGB32);
}

const Picture* Find(const std::vector<Picture>& pictures, const QString& name) {
    for (const Picture& picture : pictures) {
        if (picture.name == name) return &picture;
    }
    return nullptr;
}

}  // namespace

QImage MakeSheet(const std::vector<Picture>& pictures, int scale) {
    constexpr int kGap = 6;
    constexpr int kStep = CARD_WIDTH + kGap;
    constexpr int kMargin = 10;
    const int width = 2 * kMargin + 13 * kStep - kGap;
    // Five rows of card-set slots, a row of single images, the hand in both
    // decks at 71 x 96, then in each deck at twice the size.
    const int rowsTop = kMargin;
    const int singlesTop = rowsTop + 5 * (CARD_HEIGHT + kGap);
    const int handTop = singlesTop + 185 + 2 * kGap;
    const int hand2Top = handTop + CARD_HEIGHT + 20 + 2 * kGap;
    const int hand2FourTop = hand2Top + 2 * (CARD_HEIGHT + 20 + kGap);
    const int height = hand2FourTop + 2 * (CARD_HEIGHT + 20) + kMargin;

    QImage sheet(width, height, QImage::Format_RGB32);
    sheet.fill(palette::FELT);
    QPainter p(&sheet);
    for (int slot = 0; slot < 65; ++slot) {
        const Picture* picture = Find(pictures, QString::number(301 + slot));
        if (!picture) continue;
        p.drawImage(kMargin + (slot % 13) * kStep, rowsTop + (slot / 13) * (CARD_HEIGHT + kGap),
                    Shown(*picture));
    }
    int x = kMargin;
    for (const char* name : {"366", "367", "368", "374", "369_32", "369_16", "373"}) {
        const Picture* picture = Find(pictures, name);
        if (!picture) continue;
        const QImage image = Shown(*picture);
        p.drawImage(x, singlesTop, image);
        x += image.width() + 3 * kGap;
    }

    // A hand of 13 as it lies at the bottom of the table: each card over its
    // left neighbour, 15 pixels apart, one card raised as selected; beside it
    // another seat's 13 small backs 10 pixels apart. The faces are pictures
    // firstId + card index; `size` is "" or "@2x", whose pictures lie at
    // twice the distances.
    const int hand[13] = {2, 16, 30, 43, 6, 20, 34, 48, 10, 24, 38, 39, 27};
    const auto drawHand = [&](int left, int top, int firstId, const QString& size) {
        const int s = size.isEmpty() ? 1 : 2;
        for (int k = 0; k < 13; ++k) {
            const Picture* picture = Find(pictures, QString::number(firstId + hand[k]) + size);
            if (picture)
                p.drawImage(left + s * 15 * k, top + s * (k == 5 ? 0 : 20), Shown(*picture));
        }
        const Picture* back = Find(pictures, "364" + size);
        for (int k = 0; back && k < 13; ++k)
            p.drawImage(left + s * (270 + 10 * k), top, Shown(*back));
    };
    drawHand(kMargin, handTop, 301, "");
    drawHand(kMargin + 460, handTop, 401, "");
    drawHand(kMargin, hand2Top, 301, "@2x");
    drawHand(kMargin, hand2FourTop, 401, "@2x");
    p.end();
    if (scale == 1) return sheet;
    return sheet.scaled(sheet.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}
