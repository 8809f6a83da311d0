// The image set: loading, the two-colour rule, drawing at each slot's own
// size, release to null, and the card set chosen by deck and pixel ratio.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>

#include "resources/resource_ids.h"
#include "rules/game_table.h"
#include "ui/card_image.h"

namespace {

// A colour that no bitmap of the set uses, so that every pixel a drawing
// changes can be told from the background.
const QRgb kBackground = qRgb(1, 2, 3);

QRect ChangedArea(const QImage& image, int* changedCount) {
    QRect area;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kBackground) {
                area |= QRect(x, y, 1, 1);
                ++count;
            }
    *changedCount = count;
    return area;
}

QImage DrawnAt(int card, int x, int y) {
    QImage canvas(200, 200, QImage::Format_RGB32);
    canvas.fill(kBackground);
    QPainter painter(&canvas);
    DrawCard(painter, card, x, y);
    painter.end();
    return canvas;
}

class CardImageSetTest : public ::testing::Test {
  protected:
    void TearDown() override {
        FreeTableImages();
        SetFourColourDeck(false);
        SetCardPixelRatio(1);
    }
};

}  // namespace

TEST(LoadBitmapFile, ShowsTwoColourPicturesBlackOnWhiteWhateverTheirColours) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A two-colour picture stored with a light yellow and a dark red.
    QImage mono(8, 2, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 0), qRgb(128, 0, 0)});
    mono.fill(0);
    mono.setPixel(3, 1, 1);
    const QString monoPath = dir.filePath(QStringLiteral("mono.bmp"));
    ASSERT_TRUE(mono.save(monoPath, "BMP"));

    const QImage loaded = LoadBitmapFile(monoPath);
    ASSERT_EQ(loaded.format(), QImage::Format_RGB32);
    EXPECT_EQ(loaded.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(loaded.pixel(3, 1), qRgb(0, 0, 0));
    EXPECT_EQ(loaded.pixel(7, 1), qRgb(255, 255, 255));

    // A colour picture keeps its colours, the felt green included.
    QImage colour(2, 1, QImage::Format_RGB888);
    colour.setPixel(0, 0, qRgb(0, 128, 0));
    colour.setPixel(1, 0, qRgb(200, 10, 30));
    const QString colourPath = dir.filePath(QStringLiteral("colour.bmp"));
    ASSERT_TRUE(colour.save(colourPath, "BMP"));
    const QImage loadedColour = LoadBitmapFile(colourPath);
    EXPECT_EQ(loadedColour.pixel(0, 0), qRgb(0, 128, 0));
    EXPECT_EQ(loadedColour.pixel(1, 0), qRgb(200, 10, 30));

    EXPECT_TRUE(LoadBitmapFile(dir.filePath(QStringLiteral("missing.bmp"))).isNull());
}

TEST_F(CardImageSetTest, LoadsEveryPictureOnceAndFreesEveryGlobalToNull) {
    LoadTableImages();
    ASSERT_NE(g_cardImages, nullptr);
    for (int slot = 0; slot < CARD_IMAGE_COUNT; ++slot) {
        ASSERT_NE(g_cardImages[slot], nullptr) << slot;
        EXPECT_FALSE(g_cardImages[slot]->IsNull()) << "bitmap " << IDB_CARD_FIRST + slot;
    }
    for (CardImage* single :
         {g_turnOtherImage, g_turnLocalImage, g_passImage, g_titleImage, g_awayImage}) {
        ASSERT_NE(single, nullptr);
        EXPECT_FALSE(single->IsNull());
    }

    // A second load keeps the set that exists.
    CardImage** set = g_cardImages;
    CardImage* slot7 = g_cardImages[7];
    CardImage* title = g_titleImage;
    LoadTableImages();
    EXPECT_EQ(g_cardImages, set);
    EXPECT_EQ(g_cardImages[7], slot7);
    EXPECT_EQ(g_titleImage, title);

    FreeTableImages();
    EXPECT_EQ(g_cardImages, nullptr);
    EXPECT_EQ(g_turnOtherImage, nullptr);
    EXPECT_EQ(g_turnLocalImage, nullptr);
    EXPECT_EQ(g_passImage, nullptr);
    EXPECT_EQ(g_titleImage, nullptr);
    EXPECT_EQ(g_awayImage, nullptr);
    // Freeing what is not there does nothing.
    FreeTableImages();
    FreeCardImages();
    EXPECT_EQ(g_cardImages, nullptr);
}

TEST_F(CardImageSetTest, DrawsEachSlotWhollyAtItsOwnSizeAndNothingOutsideTheSet) {
    LoadTableImages();
    int changed = 0;
    EXPECT_EQ(ChangedArea(DrawnAt(CARD_BACK_SMALL, 10, 20), &changed), QRect(10, 20, 35, 47));
    EXPECT_EQ(changed, 35 * 47);
    EXPECT_EQ(ChangedArea(DrawnAt(0, 5, 6), &changed), QRect(5, 6, 71, 96));
    EXPECT_EQ(changed, 71 * 96);
    // The drawn pixels are the picture's own, unscaled.
    const QImage drawn = DrawnAt(40, 0, 0);
    EXPECT_EQ(drawn.copy(0, 0, 71, 96), g_cardImages[40]->Bitmap());

    for (int outside : {-1, CARD_IMAGE_COUNT, 0x55}) {
        ChangedArea(DrawnAt(outside, 0, 0), &changed);
        EXPECT_EQ(changed, 0) << outside;
    }
    FreeTableImages();
    ChangedArea(DrawnAt(0, 0, 0), &changed);
    EXPECT_EQ(changed, 0) << "a freed set draws nothing";
}

TEST_F(CardImageSetTest, CardSizeIsSlotZerosOrTheUsualSizeWithoutIt) {
    FreeTableImages();
    EXPECT_EQ(CardWidth(), 71);
    EXPECT_EQ(CardHeight(), 96);
    LoadTableImages();
    EXPECT_EQ(CardWidth(), g_cardImages[0]->Width());
    EXPECT_EQ(CardHeight(), g_cardImages[0]->Height());
}

TEST_F(CardImageSetTest, EachDeckShowsItsSuitColoursWithEveryFaceAtBothSizes) {
    const QRgb red = qRgb(255, 0, 0);
    const QRgb black = qRgb(0, 0, 0);
    LoadTableImages();
    for (bool fourColours : {false, true}) {
        SetFourColourDeck(fourColours);
        EXPECT_EQ(FourColourDeck(), fourColours);
        // Diamonds, clubs, hearts, spades.
        const QRgb suitColours[4] = {fourColours ? qRgb(0, 0, 255) : red,
                                     fourColours ? qRgb(0, 128, 0) : black, red, black};
        for (qreal ratio : {1.0, 1.25, 1.5, 2.0, 1.0}) {
            SetCardPixelRatio(ratio);
            const int scale = ratio >= 1.5 ? 2 : 1;
            SCOPED_TRACE(testing::Message()
                         << "four colours " << fourColours << ", ratio " << ratio);
            // Large pictures cover the logical pixels of the small ones.
            for (int slot = 0; slot < DECK_SIZE; ++slot) {
                const CardImage& face = *g_cardImages[slot];
                EXPECT_EQ(face.Bitmap().size(), QSize(71, 96) * scale) << slot;
                EXPECT_EQ(face.Bitmap().devicePixelRatio(), scale) << slot;
                EXPECT_EQ(face.Width(), 71);
                EXPECT_EQ(face.Height(), 96);
            }
            const CardImage& back = *g_cardImages[CARD_BACK_SMALL];
            EXPECT_EQ(back.Bitmap().size(), QSize(35, 47) * scale);
            EXPECT_EQ(back.Width(), 35);
            EXPECT_EQ(back.Height(), 47);
            EXPECT_EQ(CardWidth(), 71);
            EXPECT_EQ(CardHeight(), 96);
            // Each ace's suit sign under the rank, and the turned one in the
            // opposite corner.
            for (int suit = 0; suit < 4; ++suit) {
                const QImage& ace = g_cardImages[13 * suit]->Bitmap();
                EXPECT_EQ(ace.pixel(7 * scale, 20 * scale), suitColours[suit]) << suit;
                EXPECT_EQ(ace.pixel(ace.width() - 1 - 7 * scale, ace.height() - 1 - 20 * scale),
                          suitColours[suit])
                    << suit;
            }
        }
    }
    // Chosen while no set exists, a deck applies to the next load.
    FreeTableImages();
    SetFourColourDeck(false);
    SetCardPixelRatio(2);
    LoadTableImages();
    EXPECT_EQ(g_cardImages[13]->Bitmap().pixel(14, 40), black);
    EXPECT_EQ(g_cardImages[13]->Bitmap().width(), 142);
}

TEST_F(CardImageSetTest, AtAFractionalRatioNoLineOfTheCardIsLost) {
    // At 150 % the 142 x 192 pictures shrink to three quarters; copied pixel
    // by pixel, every fourth row and column would vanish with the border
    // lines on them. Filtered, each border stays darker than the paper.
    SetCardPixelRatio(1.5);
    LoadTableImages();
    QImage canvas(150, 150, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(1.5);
    canvas.fill(qRgb(255, 255, 255));
    QPainter painter(&canvas);
    DrawCard(painter, 0, 1, 1);  // device pixels 1.5 to 108 across, 1.5 to 145.5 down
    painter.end();
    const auto darkest = [&](QPoint from, QPoint step) {
        int gray = 255;
        for (int i = 0; i < 3; ++i) gray = std::min(gray, qGray(canvas.pixel(from + i * step)));
        return gray;
    };
    EXPECT_LT(darkest({1, 70}, {1, 0}), 240) << "left border";
    EXPECT_LT(darkest({106, 70}, {1, 0}), 240) << "right border";
    EXPECT_LT(darkest({50, 1}, {0, 1}), 240) << "top border";
    EXPECT_LT(darkest({50, 144}, {0, 1}), 240) << "bottom border";
}

TEST_F(CardImageSetTest, AnOpenSetLoadsOnlyWhatIsDrawnAndShowsTheRowsAsTheFacesWouldBe) {
    // Each deck's rows as the whole set draws them, face by face.
    const auto rowsOf = [](int dx) {
        QImage canvas(300, 380, QImage::Format_RGB32);
        canvas.fill(kBackground);
        QPainter painter(&canvas);
        painter.translate(dx, 0);
        DrawDeckRows(painter, 10, 20, 15, 80);
        return canvas;
    };
    LoadCardImages();
    const QImage classic = rowsOf(0);
    SetFourColourDeck(true);
    const QImage fourColours = rowsOf(0);
    SetFourColourDeck(false);
    FreeCardImages();

    OpenCardImages();
    ASSERT_NE(g_cardImages, nullptr);
    const auto loadedSlots = [] {
        int count = 0;
        for (int slot = 0; slot < CARD_IMAGE_COUNT; ++slot) count += g_cardImages[slot] != nullptr;
        return count;
    };
    EXPECT_EQ(rowsOf(0), classic);
    EXPECT_EQ(rowsOf(0), classic) << "drawn again from the kept rows";
    EXPECT_EQ(loadedSlots(), 0) << "the rows keep no face of the set";
    const QImage shifted = rowsOf(7);
    EXPECT_EQ(shifted.copy(7, 0, 293, 380), classic.copy(0, 0, 293, 380));

    int changed = 0;
    EXPECT_EQ(ChangedArea(DrawnAt(CARD_BACK_SMALL, 10, 20), &changed), QRect(10, 20, 35, 47));
    EXPECT_EQ(CardWidth(), 71);
    EXPECT_NE(g_cardImages[CARD_BACK_SMALL], nullptr);
    EXPECT_NE(g_cardImages[0], nullptr);
    EXPECT_EQ(loadedSlots(), 2);

    // Another deck empties the set again; its rows are its own faces.
    SetFourColourDeck(true);
    EXPECT_EQ(loadedSlots(), 0);
    EXPECT_EQ(rowsOf(0), fourColours);

    // Scaled, the faces are drawn one by one, each loaded for good.
    QImage scaled(400, 500, QImage::Format_RGB32);
    QPainter painter(&scaled);
    painter.scale(1.25, 1.25);
    DrawDeckRows(painter, 10, 20, 15, 80);
    painter.end();
    EXPECT_EQ(loadedSlots(), DECK_SIZE);
}
