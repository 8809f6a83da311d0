#include "ui/card_image.h"

#include <QColor>
#include <QFile>
#include <QPaintDevice>
#include <QPainter>
#include <cmath>
#include <new>

#include "resources/resource_ids.h"
#include "rules/game_table.h"

CardImage** g_cardImages = nullptr;
CardImage* g_turnOtherImage = nullptr;
CardImage* g_turnLocalImage = nullptr;
CardImage* g_passImage = nullptr;
CardImage* g_titleImage = nullptr;
CardImage* g_awayImage = nullptr;

namespace {

constexpr int DEFAULT_CARD_WIDTH = 71;
constexpr int DEFAULT_CARD_HEIGHT = 96;

bool g_fourColourDeck = false;
bool g_doubleSizeCards = false;  // the screen's device pixel ratio is 1.5 or more

// A two-colour picture is shown in the painter's text colour (black) where it
// is dark and its background colour (white) where it is light.
QImage BlackOnWhite(const QImage& mono) {
    QImage image = mono.convertToFormat(QImage::Format_Mono);
    QList<QRgb> table = image.colorTable();
    if (table.size() != 2) return image;
    const int gray0 = qGray(table[0]);
    const int gray1 = qGray(table[1]);
    const bool zeroIsDark = gray0 <= gray1;
    table[0] = zeroIsDark ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    table[1] = zeroIsDark ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    image.setColorTable(table);
    return image;
}

void FreeImage(CardImage*& image) {
    delete image;
    image = nullptr;
}

// The picture of card-set slot `slot` for the current deck and pixel ratio.
CardImage* NewSlotImage(int slot) {
    const bool face = slot < DECK_SIZE;
    const int id = face && g_fourColourDeck ? IDB_FOUR_COLOUR_FIRST + slot : IDB_CARD_FIRST + slot;
    if (g_doubleSizeCards) {
        const QString large = QStringLiteral(":/bitmaps/%1@2x.bmp").arg(id);
        if (QFile::exists(large)) return new (std::nothrow) CardImage(large, 2);
    }
    return new (std::nothrow) CardImage(id);
}

void ReloadCardImages() {
    if (g_cardImages == nullptr) return;
    FreeCardImages();
    LoadCardImages();
}

}  // namespace

QImage LoadBitmapFile(const QString& path) {
    QImage image(path);
    if (image.isNull()) return image;
    if (image.depth() == 1) image = BlackOnWhite(image);
    return image.convertToFormat(QImage::Format_RGB32);
}

QString BitmapPath(int resourceId) {
    return QStringLiteral(":/bitmaps/%1.bmp").arg(resourceId);
}

CardImage::CardImage(int resourceId) : CardImage(BitmapPath(resourceId), 1) {}

CardImage::CardImage(const QString& path, int pixelRatio) : bitmap(LoadBitmapFile(path)) {
    if (bitmap.isNull()) return;
    bitmap.setDevicePixelRatio(pixelRatio);
    height = bitmap.height() / pixelRatio;
    width = bitmap.width() / pixelRatio;
}

void CardImage::Draw(QPainter& painter, int x, int y) const {
    if (bitmap.isNull()) return;
    // Qt draws the image at its size in logical pixels.
    const QPaintDevice* device = painter.device();
    const qreal magnification =
        (device != nullptr ? device->devicePixelRatioF() : 1.0) / bitmap.devicePixelRatio();
    const bool whole = magnification >= 1 && magnification == std::floor(magnification);
    if (whole || painter.testRenderHint(QPainter::SmoothPixmapTransform)) {
        painter.drawImage(QPoint(x, y), bitmap);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QPoint(x, y), bitmap);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

void LoadCardImages() {
    if (g_cardImages != nullptr) return;
    g_cardImages = new (std::nothrow) CardImage*[CARD_IMAGE_COUNT];
    if (g_cardImages == nullptr) return;
    for (int i = 0; i < CARD_IMAGE_COUNT; ++i) g_cardImages[i] = NewSlotImage(i);
}

void FreeCardImages() {
    if (g_cardImages == nullptr) return;
    for (int i = 0; i < CARD_IMAGE_COUNT; ++i) FreeImage(g_cardImages[i]);
    delete[] g_cardImages;
    g_cardImages = nullptr;
}

void LoadTableImages() {
    LoadCardImages();
    // A second call must not leak the single images it made the first time.
    if (g_turnOtherImage == nullptr)
        g_turnOtherImage = new (std::nothrow) CardImage(IDB_TURN_OTHER);
    if (g_turnLocalImage == nullptr)
        g_turnLocalImage = new (std::nothrow) CardImage(IDB_TURN_LOCAL);
    if (g_passImage == nullptr) g_passImage = new (std::nothrow) CardImage(IDB_PASSED);
    if (g_titleImage == nullptr) g_titleImage = new (std::nothrow) CardImage(IDB_TITLE);
    if (g_awayImage == nullptr) g_awayImage = new (std::nothrow) CardImage(IDB_AWAY);
}

void FreeTableImages() {
    FreeCardImages();
    FreeImage(g_turnOtherImage);
    FreeImage(g_turnLocalImage);
    FreeImage(g_passImage);
    FreeImage(g_titleImage);
    FreeImage(g_awayImage);
}

void DrawCard(QPainter& painter, int card, int x, int y) {
    if (g_cardImages == nullptr || card < 0 || card >= CARD_IMAGE_COUNT) return;
    const CardImage* image = g_cardImages[card];
    if (image != nullptr) image->Draw(painter, x, y);
}

int CardWidth() {
    if (g_cardImages == nullptr || g_cardImages[0] == nullptr || g_cardImages[0]->IsNull())
        return DEFAULT_CARD_WIDTH;
    return g_cardImages[0]->Width();
}

int CardHeight() {
    if (g_cardImages == nullptr || g_cardImages[0] == nullptr || g_cardImages[0]->IsNull())
        return DEFAULT_CARD_HEIGHT;
    return g_cardImages[0]->Height();
}

void SetFourColourDeck(bool fourColours) {
    if (fourColours == g_fourColourDeck) return;
    g_fourColourDeck = fourColours;
    ReloadCardImages();
}

bool FourColourDeck() {
    return g_fourColourDeck;
}

void SetCardPixelRatio(qreal devicePixelRatio) {
    const bool doubleSize = devicePixelRatio >= 1.5;
    if (doubleSize == g_doubleSizeCards) return;
    g_doubleSizeCards = doubleSize;
    ReloadCardImages();
}
