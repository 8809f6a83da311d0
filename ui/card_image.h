// The card image set: every picture the table painter puts on the table.
//
// Each picture is a bitmap compiled into the program as ":/bitmaps/<id>.bmp",
// loaded once and kept until the set goes away: the table window creates the
// set empty and each card picture loads the first time it is drawn.
// The images form two groups: the card set `g_cardImages` (65 images indexed by
// card-set slot, slot i being bitmap IDB_CARD_FIRST + i) and five single
// images for the turn, pass, title and away pictures. Drawing an image is one
// copy of the whole picture, opaque, at its size in logical pixels.
//
// The card set follows two choices, kept for the whole program (defaults: the
// classic deck, ratio 1). With the four-colour deck the faces are bitmaps
// IDB_FOUR_COLOUR_FIRST + card index. On a screen whose device pixel ratio is
// 1.5 or more, each slot whose bitmap exists drawn at twice the size
// ("<id>@2x.bmp": the faces and the small back) takes that picture with the
// image's device pixel ratio 2, so it covers the same logical pixels as the
// 71 x 96 picture: the painter's positions, CardWidth and CardHeight do not
// change with the ratio.
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
    // Loads the bitmap file at `path`, drawn for `pixelRatio` device pixels
    // per logical pixel (1, or 2 for a picture at twice the size).
    CardImage(const QString& path, int pixelRatio);
    CardImage(const CardImage&) = delete;
    CardImage& operator=(const CardImage&) = delete;

    // Copies the whole picture, width x height logical pixels, with its
    // top-left corner at (x, y), no transparent colour. Where the device's
    // pixel ratio is the picture's, or a whole multiple of it, every pixel is
    // copied as it is; any other ratio filters the picture, so that no row or
    // column is lost. A null image draws nothing.
    void Draw(QPainter& painter, int x, int y) const;

    bool IsNull() const { return bitmap.isNull(); }
    int Width() const { return width; }  // logical pixels
    int Height() const { return height; }
    const QImage& Bitmap() const { return bitmap; }

  private:
    QImage bitmap;   // null when the resource did not load
    int height = 0;  // logical pixels; 0 for a null image
    int width = 0;
};

// The card set: a heap array of CARD_IMAGE_COUNT owning pointers, null while
// no set exists. A slot is null if its allocation failed, or while it is still
// to load (OpenCardImages).
extern CardImage** g_cardImages;
// The single images (owning; null when not loaded).
extern CardImage* g_turnOtherImage;  // IDB_TURN_OTHER, at another seat on turn
extern CardImage* g_turnLocalImage;  // IDB_TURN_LOCAL, when the local player is on turn
extern CardImage* g_passImage;       // IDB_PASSED, at a seat that has passed
extern CardImage* g_titleImage;      // IDB_TITLE, on the waiting screen
extern CardImage* g_awayImage;       // IDB_AWAY, at a seat that is away

// Loads the 65 images of the card set in slot order, as the deck and the
// pixel ratio choose; does nothing when the set already exists.
void LoadCardImages();
// Creates the card set with every slot still to load: a slot loads the first
// time it is drawn or measured (DrawCard, CardSlot, CardWidth, CardHeight), so
// that a screen keeps only the pictures it shows; until then its entry in
// g_cardImages is null. A change of deck or ratio empties the slots again.
// Does nothing when the set already exists.
void OpenCardImages();
// Frees every image of the card set and the array; g_cardImages is null after.
void FreeCardImages();
// LoadCardImages, then the five single images in the order turn-other,
// turn-local, pass, title, away.
void LoadTableImages();
// OpenCardImages, then the five single images (what the table window uses).
void OpenTableImages();
// FreeCardImages, then the five single images in the same order; every global
// is null after.
void FreeTableImages();

// Draws card-set slot `card` (0..51 a face, CARD_BACK_SMALL the small back) at
// (x, y), at the slot's own size. A slot outside the set, a missing set or a
// null image draws nothing.
void DrawCard(QPainter& painter, int card, int x, int y);
// Card-set slot `slot`, loaded if it was still to load; null outside the set,
// without a set, or when its allocation failed.
const CardImage* CardSlot(int slot);
// Draws the 52 faces in four rows of thirteen, ace to king of each suit: the
// face of rank r in row s at (left + step * r, top + rowStep * s), each over
// its left neighbour and each row over the one above (with rows that leave no
// gap). While some face has not been loaded, and the painter copies the
// pictures one for one (ratio 1, no scale), the rows are kept as one picture
// made from the faces read one at a time, so that this screen does not load
// the whole set; the picture goes with the set, the deck or the ratio.
void DrawDeckRows(QPainter& painter, int left, int top, int step, int rowStep);
// Lets go of the rows' picture (the screen that shows them has gone).
void FreeDeckRows();

// The size of a face-up card in logical pixels: the size of slot 0, or
// 71 x 96 when slot 0 is not loaded.
int CardWidth();
int CardHeight();

// The deck: true for four colours (the "Cartes à quatre couleurs" option),
// false for the classic one. A change while the card set is loaded loads it
// again at once; the caller repaints the table.
void SetFourColourDeck(bool fourColours);
bool FourColourDeck();
// The device pixel ratio of the screen the table is shown on (the board's
// devicePixelRatioF()). A change that crosses 1.5 while the card set is
// loaded loads it again at once; the caller is about to paint or repaints.
void SetCardPixelRatio(qreal devicePixelRatio);
