// Every picture of the program, drawn from scratch: the 65 images of the card
// set, the five single images, the icon at every size, the readable card
// sets (twice the size, four colours), and the contact sheet that shows them.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

#include "tools/make_images/suits.h"

inline constexpr int CARD_WIDTH = 71;
inline constexpr int CARD_HEIGHT = 96;

// How a bitmap is stored. The depth of each file is part of the resource
// table: two-colour number cards of the black suits, one 256-colour card,
// a true-colour title and 16 colours for everything else.
enum class Depth { Mono, Colour16, Colour256, Rgb24 };

struct Picture {
    QString name;    // file name without ".bmp": the resource id, or 369_32 / 369_16
    Depth depth;     // how it is stored
    QImage drawing;  // Format_RGB32, drawn in the colours of its depth
};

// How a card face is drawn. The classic style is the committed 71 x 96 set;
// every other style has a corner index whose suit sign is as large as a pip.
struct CardStyle {
    int scale = 1;             // 1: 71 x 96 pixels; 2: 142 x 192, drawn at that size
    bool fourColours = false;  // diamonds blue, clubs green
    bool Classic() const { return scale == 1 && !fourColours; }
};

// The drawing of card index 0..51 (13 x suit + rank index, rank 0 the ace,
// 12 the king), as stored at the given depth.
QImage DrawFace(int cardIndex, Depth depth, CardStyle style = {});
// The picture of a court card (rank 10 jack, 11 queen, 12 king) inside its
// frame, drawn onto a blank card that already has its corner indexes.
void DrawCourt(QImage& card, Suit suit, int rank, CardStyle style = {});
// The card-set slots 52..64: jokers, the two symbols, the backs.
QImage DrawExtraSlot(int slot);
// The small back of slot 63: 35 x 47 pixels times `scale`.
QImage DrawSmallBack(int scale);
QImage DrawTurnOther();  // 366
QImage DrawTurnLocal();  // 367
QImage DrawPassed();     // 368
QImage DrawTitle();      // 373
QImage DrawAway();       // 374
// The program's icon at `size` pixels square: on a clear background as the
// desktop's icon theme and the window show it (drawn for each of ICON_SIZES),
// and on the felt in palette colours as the 16-colour icon 369 (16 and 32).
QImage DrawThemeIcon(int size);
QImage DrawIcon(int size);
inline constexpr int ICON_SIZES[] = {16, 32, 48, 64, 128, 256};

// The white card with its thin border, rounded corners outside it in
// `corner` (radius 3 pixels times `scale`). Used by every face and every back.
QImage BlankCard(QRgb corner, QRgb border, int width = CARD_WIDTH, int height = CARD_HEIGHT,
                 int scale = 1);

// All pictures, in resource order.
std::vector<Picture> MakePictures();
// The readable card sets, all stored with 16 colours: the classic faces and
// small back at twice the size ("<id>@2x"), and the four-colour faces at both
// sizes (401..452 and "<id>@2x").
std::vector<Picture> MakeReadableCardSets();
// The picture converted to the format its file is written from.
QImage Stored(const Picture& picture);

// A contact sheet of the stored pictures on the felt, and a hand of 13 cards
// fanned as the table shows it, scaled by `scale`.
QImage MakeSheet(const std::vector<Picture>& pictures, int scale);
