// Every picture of the program, drawn from scratch: the 65 images of the card
// set, the five single images, the icon at every size, and the contact
// sheet that shows them all.
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

// The drawing of card index 0..51 (13 x suit + rank index, rank 0 the ace,
// 12 the king), as stored at the given depth.
QImage DrawFace(int cardIndex, Depth depth);
// The picture of a court card (rank 10 jack, 11 queen, 12 king) inside its
// frame, drawn onto a blank card that already has its corner indexes.
void DrawCourt(QImage& card, Suit suit, int rank);
// The card-set slots 52..64: jokers, the two symbols, the backs.
QImage DrawExtraSlot(int slot);
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
// `corner`. Used by every face and every back.
QImage BlankCard(QRgb corner, QRgb border, int width = CARD_WIDTH, int height = CARD_HEIGHT);

// All pictures, in resource order.
std::vector<Picture> MakePictures();
// The picture converted to the format its file is written from.
QImage Stored(const Picture& picture);

// A contact sheet of the stored pictures on the felt, and a hand of 13 cards
// fanned as the table shows it, scaled by `scale`.
QImage MakeSheet(const std::vector<Picture>& pictures, int scale);
