#include "ui/card_image.h"

#include <QColor>
#include <QFile>
#include <QPaintDevice>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
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
// The set loads each slot the first time it is drawn or measured
// (OpenCardImages), not all of them at once (LoadCardImages).
bool g_loadOnUse = false;
// Which slots of the set have been loaded (a failed allocation stays null).
bool g_slotLoaded[CARD_IMAGE_COUNT] = {};
// The faces in rows (DrawDeckRows), built while some face was not loaded;
// null when there is none.
QImage* g_deckRows = nullptr;

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

// The bitmap of card-set slot `slot` for the current deck, at ratio 1.
int SlotBitmapId(int slot) {
    const bool face = slot < DECK_SIZE;
    return face && g_fourColourDeck ? IDB_FOUR_COLOUR_FIRST + slot : IDB_CARD_FIRST + slot;
}

// The picture of card-set slot `slot` for the current deck and pixel ratio.
CardImage* NewSlotImage(int slot) {
    const int id = SlotBitmapId(slot);
    if (g_doubleSizeCards) {
        const QString large = QStringLiteral(":/bitmaps/%1@2x.bmp").arg(id);
        if (QFile::exists(large)) return new (std::nothrow) CardImage(large, 2);
    }
    return new (std::nothrow) CardImage(id);
}

void ReloadCardImages() {
    if (g_cardImages == nullptr) return;
    const bool onUse = g_loadOnUse;
    FreeCardImages();
    if (onUse)
        OpenCardImages();
    else
        LoadCardImages();
}

// Slot `slot` of the set, loaded now if it was still to load; null without a
// set or when its allocation failed.
CardImage* SlotImage(int slot) {
    if (g_cardImages == nullptr || slot < 0 || slot >= CARD_IMAGE_COUNT) return nullptr;
    if (!g_slotLoaded[slot]) {
        g_cardImages[slot] = NewSlotImage(slot);
        g_slotLoaded[slot] = true;
    }
    return g_cardImages[slot];
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

void OpenCardImages() {
    if (g_cardImages != nullptr) return;
    g_cardImages = new (std::nothrow) CardImage*[CARD_IMAGE_COUNT]();
    if (g_cardImages == nullptr) return;
    std::fill(std::begin(g_slotLoaded), std::end(g_slotLoaded), false);
    g_loadOnUse = true;
}

void LoadCardImages() {
    if (g_cardImages != nullptr) return;
    OpenCardImages();
    g_loadOnUse = false;
    for (int i = 0; i < CARD_IMAGE_COUNT; ++i) SlotImage(i);
}

void FreeCardImages() {
    FreeDeckRows();
    if (g_cardImages == nullptr) return;
    for (int i = 0; i < CARD_IMAGE_COUNT; ++i) FreeImage(g_cardImages[i]);
    delete[] g_cardImages;
    g_cardImages = nullptr;
    g_loadOnUse = false;
}

namespace {

void LoadSingleImages() {
    // A second call must not leak the single images it made the first time.
    if (g_turnOtherImage == nullptr)
        g_turnOtherImage = new (std::nothrow) CardImage(IDB_TURN_OTHER);
    if (g_turnLocalImage == nullptr)
        g_turnLocalImage = new (std::nothrow) CardImage(IDB_TURN_LOCAL);
    if (g_passImage == nullptr) g_passImage = new (std::nothrow) CardImage(IDB_PASSED);
    if (g_titleImage == nullptr) g_titleImage = new (std::nothrow) CardImage(IDB_TITLE);
    if (g_awayImage == nullptr) g_awayImage = new (std::nothrow) CardImage(IDB_AWAY);
}

}  // namespace

void LoadTableImages() {
    LoadCardImages();
    LoadSingleImages();
}

void OpenTableImages() {
    OpenCardImages();
    LoadSingleImages();
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
    const CardImage* image = SlotImage(card);
    if (image != nullptr) image->Draw(painter, x, y);
}

void FreeDeckRows() {
    delete g_deckRows;
    g_deckRows = nullptr;
}

const CardImage* CardSlot(int slot) {
    return SlotImage(slot);
}

void DrawDeckRows(QPainter& painter, int left, int top, int step, int rowStep) {
    if (g_cardImages == nullptr) return;
    constexpr int RANKS = DECK_SIZE / 4;
    const bool allLoaded =
        std::all_of(g_slotLoaded, g_slotLoaded + DECK_SIZE, [](bool b) { return b; });
    // Only where the faces' pixels reach the device one for one (no scale,
    // a whole translation) is a copy of the rows the same as the faces
    // drawn one by one; elsewhere, or with every face already at hand, they
    // are drawn one by one.
    const QTransform transform = painter.deviceTransform();
    const bool oneForOne = !g_doubleSizeCards && transform.type() <= QTransform::TxTranslate &&
                           transform.dx() == std::floor(transform.dx()) &&
                           transform.dy() == std::floor(transform.dy());
    if (allLoaded || !oneForOne) {
        FreeDeckRows();
        for (int card = 0; card < DECK_SIZE; ++card)
            DrawCard(painter, card, left + step * (card % RANKS), top + rowStep * (card / RANKS));
        return;
    }
    if (g_deckRows == nullptr) {
        // Each face missing from the set is read for this picture only and
        // let go at once: the waiting screen does not keep the whole deck.
        const QSize size(step * (RANKS - 1) + DEFAULT_CARD_WIDTH,
                         rowStep * 3 + DEFAULT_CARD_HEIGHT);
        g_deckRows = new (std::nothrow) QImage(size, QImage::Format_RGB32);
        if (g_deckRows == nullptr || g_deckRows->isNull()) {
            FreeDeckRows();
            return;
        }
        // The faces cover the whole picture; one that does not load (it
        // would leave a hole) sends the screen back to the faces one by one.
        bool whole = true;
        QPainter rows(g_deckRows);
        for (int card = 0; card < DECK_SIZE && whole; ++card) {
            const QPoint at(step * (card % RANKS), rowStep * (card / RANKS));
            const CardImage* drawn = g_cardImages[card];
            std::unique_ptr<CardImage> read;
            if (!g_slotLoaded[card]) {
                read.reset(new (std::nothrow) CardImage(SlotBitmapId(card)));
                drawn = read.get();
            }
            whole = drawn != nullptr && !drawn->IsNull() && drawn->Width() == DEFAULT_CARD_WIDTH &&
                    drawn->Height() == DEFAULT_CARD_HEIGHT;
            if (whole) drawn->Draw(rows, at.x(), at.y());
        }
        rows.end();
        if (!whole) {
            FreeDeckRows();
            for (int card = 0; card < DECK_SIZE; ++card)
                DrawCard(painter, card, left + step * (card % RANKS),
                         top + rowStep * (card / RANKS));
            return;
        }
    }
    painter.drawImage(QPoint(left, top), *g_deckRows);
}

int CardWidth() {
    const CardImage* first = SlotImage(0);
    if (first == nullptr || first->IsNull()) return DEFAULT_CARD_WIDTH;
    return first->Width();
}

int CardHeight() {
    const CardImage* first = SlotImage(0);
    if (first == nullptr || first->IsNull()) return DEFAULT_CARD_HEIGHT;
    return first->Height();
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
