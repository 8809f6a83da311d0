// The card image set: every picture the table painter puts on the table.
//
// Each picture is a bitmap compiled into the program as ":/bitmaps/<id>.bmp",
// loaded once when the table window is created and kept until it goes away.
// The images form two groups: the card set `g_cardImages` (65 images indexed by
// card-set slot, slot i being bitmap IDB_CARD_FIRST + i) and five single
// images for the turn, pass, title and away pictures. Drawing an image is one
// copy of the whole picture, unscaled and opaque.
//
// A bitmap that does not load gives a null image, which draws nothing; no
// message is shown. All of this runs on the thread of the event loop.
#pragma once

#include <QImage>
#include <QString>

class QPainter;

// Loads a bitmap file and prepares it for drawing: a two-colour (1-bit)
// picture becomes black on white (its darker colour black, its lighter one
// white), and every picture is converted to opaque 32-bit RGB so that drawing
// it is a plain copy. Returns a null image when the file does not load.
QImage LoadBitmapFile(const QString& path);

// The resource path of a bitmap id: ":/bitmaps/<id>.bmp".
QString BitmapPath(int resourceId);

class CardImage {
  public:
    // Loads bitmap `resourceId` from the program's resources; a bitmap that
    // does not load leaves the image null.
    explicit CardImage(int resourceId);
    CardImage(const CardImage&) = delete;
    CardImage& operator=(const CardImage&) = delete;

    // Copies the whole picture, width x height pixels, with its top-left corner
    // at (x, y): no scaling, no transparent colour. A null image draws nothing.
    void Draw(QPainter& painter, int x, int y) const;

    bool IsNull() const { return bitmap.isNull(); }
    int Width() const { return width; }
    int Height() const { return height; }
    const QImage& Bitmap() const { return bitmap; }

  private:
    QImage bitmap;   // null when the resource did not load
    int height = 0;  // pixels; 0 for a null image
    int width = 0;
};

// The card set: a heap array of CARD_IMAGE_COUNT owning pointers, null while
// no set exists. A slot is null if its allocation failed.
extern CardImage** g_cardImages;
// The single images (owning; null when not loaded).
extern CardImage* g_turnOtherImage;  // IDB_TURN_OTHER, at another seat on turn
extern CardImage* g_turnLocalImage;  // IDB_TURN_LOCAL, when the local player is on turn
extern CardImage* g_passImage;       // IDB_PASSED, at a seat that has passed
extern CardImage* g_titleImage;      // IDB_TITLE, on the waiting screen
extern CardImage* g_awayImage;       // IDB_AWAY, at a seat that is away

// Loads the 65 images of the card set in slot order; does nothing when the set
// already exists.
void LoadCardImages();
// Frees every image of the card set and the array; g_cardImages is null after.
void FreeCardImages();
// LoadCardImages, then the five single images in the order turn-other,
// turn-local, pass, title, away.
void LoadTableImages();
// FreeCardImages, then the five single images in the same order; every global
// is null after.
void FreeTableImages();

// Draws card-set slot `card` (0..51 a face, CARD_BACK_SMALL the small back) at
// (x, y), at the slot's own size. A slot outside the set, a missing set or a
// null image draws nothing.
void DrawCard(QPainter& painter, int card, int x, int y);

// The size of a face-up card: the size of slot 0, or 71 x 96 when slot 0 is
// not loaded.
int CardWidth();
int CardHeight();
