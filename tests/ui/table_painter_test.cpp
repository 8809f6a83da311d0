// The table painter, checked on the pixels of a rendered board: the felt is
// filled, PaintTable draws, and each picture must appear exactly where the
// table puts it (compared with the loaded picture itself) with felt around.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "net/seat_table.h"
#include "resources/resource_ids.h"
#include "rules/game_table.h"
#include "ui/card_image.h"
#include "ui/dialog_units.h"
#include "ui/table_painter.h"

namespace {

QSize BoardSize() {
    return DialogRectToPixels(0, 0, 425, 277, BaseUnitsOf(TableWindowFont())).size();
}

const QImage& Picture(int slot) {
    return g_cardImages[slot]->Bitmap();
}

// The pixels of `area` in the shot are those of `picture` from `from` on.
::testing::AssertionResult Shows(const QImage& shot, const QRect& area, const QImage& picture,
                                 QPoint from = QPoint(0, 0)) {
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) {
            const QRgb got = shot.pixel(area.x() + x, area.y() + y);
            const QRgb want = picture.pixel(from.x() + x, from.y() + y);
            if (got != want)
                return ::testing::AssertionFailure()
                       << "pixel (" << area.x() + x << ", " << area.y() + y << ") is " << std::hex
                       << got << ", the picture has " << want;
        }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult AllFelt(const QImage& shot, const QRect& area) {
    const QRgb felt = FeltColor().rgb();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (shot.pixel(x, y) != felt)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is not felt";
    return ::testing::AssertionSuccess();
}

// The smallest rectangle of non-felt pixels inside `area`.
QRect InkIn(const QImage& shot, const QRect& area) {
    QRect ink;
    const QRgb felt = FeltColor().rgb();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (shot.pixel(x, y) != felt) ink |= QRect(x, y, 1, 1);
    return ink;
}

class PainterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        LoadTableImages();
        ASSERT_NE(g_cardImages, nullptr);
        for (int slot = 0; slot < CARD_IMAGE_COUNT; ++slot)
            ASSERT_FALSE(g_cardImages[slot]->IsNull()) << "the pixel checks need every bitmap";
        ASSERT_EQ(CardWidth(), 71);
        ASSERT_EQ(CardHeight(), 96);

        table = std::make_unique<GameTable>();
        std::memset(table->hands, NO_CARD, sizeof table->hands);
        std::memset(table->lastPlays, NO_CARD, sizeof table->lastPlays);
        std::memset(table->selection, 0, sizeof table->selection);
        std::memset(table->passed, 0, sizeof table->passed);
        table->turn = 0;
        table->roundOver = 0;
        g_table = table.get();
        std::memset(g_seats, 0, sizeof g_seats);
        std::memset(g_away, 0, sizeof g_away);
        std::memset(g_cardRects, 0, sizeof g_cardRects);
        g_playerCount = 4;
        g_localSeat = 1;
        size = BoardSize();
        third = size.width() / 3;
    }

    void TearDown() override {
        g_table = nullptr;
        g_playerCount = 0;
        g_localSeat = 0;
        FreeTableImages();
        SetCardPixelRatio(1);
    }

    QImage Render() const {
        QImage shot(size, QImage::Format_RGB32);
        QPainter painter(&shot);
        PaintBoard(painter, shot.rect());
        return shot;
    }

    void GiveCards(int seat, int count, int firstCard) {
        for (int slot = 0; slot < count; ++slot)
            table->hands[seat][slot] = static_cast<std::uint8_t>(firstCard + slot);
    }

    std::unique_ptr<GameTable> table;
    QSize size;
    int third = 0;
};

}  // namespace

TEST_F(PainterTest, WaitingScreenShowsTheWholeDeckAndTheTitleOnly) {
    // Three players seated in the middle of a game: still the waiting screen.
    g_playerCount = 3;
    GiveCards(1, 13, 0);
    GiveCards(2, 13, 13);
    table->turn = 2;
    table->passed[3] = 1;
    g_away[4] = 1;
    std::strcpy(g_seats[3].name, "Bertrand");
    g_cardRects[0] = {1, 2, 3, 4};
    const QImage shot = Render();

    for (int card = 0; card < DECK_SIZE; ++card) {
        const int rank = card % 13;
        const int suit = card / 13;
        // What shows of each card: a 15-pixel strip (the whole king) and 80
        // rows (the whole card in the spades row).
        const QRect visible(30 + 15 * rank, 30 + 80 * suit, rank == 12 ? 71 : 15,
                            suit == 3 ? 96 : 80);
        EXPECT_TRUE(Shows(shot, visible, Picture(card))) << "card " << card;
    }
    EXPECT_TRUE(Shows(shot, QRect(415, 40, 150, 185), g_titleImage->Bitmap()));

    // Felt everywhere else: above the deck, right of the title, below the deck.
    EXPECT_TRUE(AllFelt(shot, QRect(0, 0, size.width(), 30)));
    EXPECT_TRUE(AllFelt(shot, QRect(0, 0, 30, size.height())));
    EXPECT_TRUE(AllFelt(shot, QRect(565, 0, size.width() - 565, size.height())));
    EXPECT_TRUE(AllFelt(shot, QRect(0, 366, size.width(), size.height() - 366)));
    EXPECT_TRUE(AllFelt(shot, QRect(281, 225, 284, 141)));
    EXPECT_EQ(g_cardRects[0].left, 1) << "the waiting screen records no card rectangle";
    EXPECT_EQ(g_cardRects[0].bottom, 4);
}

TEST_F(PainterTest, FullHandLiesFromTenToOneNinetyEachCardOverItsLeftNeighbour) {
    GiveCards(1, 13, 20);
    const QImage shot = Render();
    for (int k = 0; k < 13; ++k) {
        const int x = 10 + 15 * k;
        EXPECT_TRUE(Shows(shot, QRect(x, 285, k == 12 ? 71 : 15, 96), Picture(20 + k))) << k;
        EXPECT_EQ(g_cardRects[k].left, x);
        EXPECT_EQ(g_cardRects[k].top, 285);
        EXPECT_EQ(g_cardRects[k].right, x + 71);
        EXPECT_EQ(g_cardRects[k].bottom, 381);
    }
    EXPECT_TRUE(AllFelt(shot, QRect(0, 265, 10, 116)));
    EXPECT_TRUE(AllFelt(shot, QRect(10, 265, 251, 20)));
    EXPECT_TRUE(AllFelt(shot, QRect(261, 285, 5, 96)));
    EXPECT_TRUE(AllFelt(shot, QRect(0, 381, size.width(), size.height() - 381)));
}

TEST_F(PainterTest, PlayedSlotsLeaveNoGapAndKeepTheirOldRectangles) {
    GiveCards(1, 13, 0);
    for (int played : {1, 4, 5, 9, 12}) {
        table->hands[1][played] = NO_CARD;
        g_cardRects[played] = {-7, -7, -7, -7};
    }
    const QImage shot = Render();
    const int held[] = {0, 2, 3, 6, 7, 8, 10, 11};
    for (int k = 0; k < 8; ++k) {
        const int x = 10 + 15 * k;
        EXPECT_TRUE(Shows(shot, QRect(x, 285, k == 7 ? 71 : 15, 96), Picture(held[k]))) << k;
        EXPECT_EQ(g_cardRects[held[k]].left, x);
    }
    EXPECT_TRUE(AllFelt(shot, QRect(186, 285, 80, 96)));
    for (int played : {1, 4, 5, 9, 12}) EXPECT_EQ(g_cardRects[played].left, -7) << played;
}

TEST_F(PainterTest, ChosenCardStandsTwentyPixelsHigherOverItsNeighbours) {
    GiveCards(1, 13, 26);
    table->selection[4] = 0xFF;
    const QImage shot = Render();
    // The chosen card (slot 4, x = 70): whole width from 265 above its
    // resting right neighbour, its strip down to its own bottom at 361.
    EXPECT_TRUE(Shows(shot, QRect(70, 265, 71, 20), Picture(30)));
    EXPECT_TRUE(Shows(shot, QRect(70, 285, 15, 76), Picture(30), QPoint(0, 20)));
    // Below it the card on its left shows through.
    EXPECT_TRUE(Shows(shot, QRect(70, 361, 15, 20), Picture(29), QPoint(15, 76)));
    // Slot 5 still lies over it from 285 on.
    EXPECT_TRUE(Shows(shot, QRect(85, 285, 15, 96), Picture(31)));
    EXPECT_TRUE(AllFelt(shot, QRect(10, 265, 60, 20)));
    EXPECT_TRUE(AllFelt(shot, QRect(141, 265, 120, 20)));
    EXPECT_EQ(g_cardRects[4].top, 265);
    EXPECT_EQ(g_cardRects[4].bottom, 381);
}

TEST_F(PainterTest, RepaintOfOneCardRectangleGivesTheSameBoardAsAWholeRepaint) {
    GiveCards(1, 13, 0);
    QImage board = Render();

    // Choose slot 4 the way a click does: raise the rectangle, repaint it alone.
    table->selection[4] = 0xFF;
    g_cardRects[4].top = 265;
    const CardRect r = g_cardRects[4];
    {
        QPainter painter(&board);
        painter.setClipRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
        PaintBoard(painter, board.rect());
    }
    EXPECT_EQ(board, Render());

    // And back down: the raised rectangle covers both places.
    table->selection[4] = 0;
    {
        QPainter painter(&board);
        painter.setClipRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
        PaintBoard(painter, board.rect());
    }
    EXPECT_EQ(board, Render());
}

TEST_F(PainterTest, ThirteenSmallBacksEndAtAreaLeftPlus205) {
    GiveCards(2, 13, 0);   // left third for local seat 1
    GiveCards(3, 12, 13);  // middle third
    GiveCards(4, 1, 26);   // right third
    const QImage shot = Render();
    const QImage& back = Picture(CARD_BACK_SMALL);
    for (int k = 0; k < 13; ++k)
        EXPECT_TRUE(Shows(shot, QRect(50 + 10 * k, 15, k == 12 ? 35 : 10, 47), back)) << k;
    // Right of the backs, above the number of cards held, lies the felt.
    EXPECT_TRUE(AllFelt(shot, QRect(205, 15, 20, 14)));
    EXPECT_TRUE(AllFelt(shot, QRect(40, 15, 10, 15)));
    EXPECT_TRUE(Shows(shot, QRect(third + 50 + 110, 15, 35, 47), back));
    EXPECT_TRUE(AllFelt(shot, QRect(third + 195, 15, 20, 14)));
    EXPECT_TRUE(Shows(shot, QRect(2 * third + 50, 15, 35, 47), back));
    EXPECT_TRUE(AllFelt(shot, QRect(2 * third + 85, 15, 20, 14)));
    // Nobody's face is shown but the local player's.
    EXPECT_TRUE(AllFelt(shot, QRect(0, 265, 260, 116)));
}

TEST_F(PainterTest, SeatsFollowInTurnOrderAfterTheLocalSeat) {
    g_localSeat = 3;  // the areas show seats 4, 1 and 2
    GiveCards(4, 13, 0);
    GiveCards(1, 7, 13);
    GiveCards(2, 2, 26);
    GiveCards(3, 3, 39);
    table->turn = 4;
    table->passed[1] = 1;
    g_away[2] = 1;
    std::memset(g_seats[1].name, 0, NAME_SIZE);
    std::strcpy(g_seats[1].name, "MMMMMMMM");
    const QImage shot = Render();
    const QImage& back = Picture(CARD_BACK_SMALL);

    EXPECT_TRUE(Shows(shot, QRect(50 + 120, 15, 35, 47), back));  // seat 4: 13 backs
    EXPECT_TRUE(Shows(shot, QRect(90, 70, 48, 16), g_turnOtherImage->Bitmap()));
    EXPECT_TRUE(Shows(shot, QRect(third + 50 + 60, 15, 35, 47), back));  // seat 1: 7 backs
    EXPECT_TRUE(AllFelt(shot, QRect(third + 145, 15, 20, 15)));
    EXPECT_TRUE(Shows(shot, QRect(third + 90, 70, 48, 16), g_passImage->Bitmap()));
    EXPECT_TRUE(Shows(shot, QRect(2 * third + 60, 15, 35, 47), back));  // seat 2: 2 backs
    EXPECT_TRUE(Shows(shot, QRect(2 * third, 5, 17, 22), g_awayImage->Bitmap()));
    EXPECT_TRUE(AllFelt(shot, QRect(2 * third + 90, 70, 48, 16)));
    // Seat 1's name is centred in the middle third, top line at y = 2.
    const QRect name = InkIn(shot, QRect(third, 0, third, 14));
    const int nameWidth =
        QFontMetrics(TableWindowFont()).horizontalAdvance(QStringLiteral("MMMMMMMM"));
    EXPECT_NEAR(name.center().x(), third + third / 2, 2);
    EXPECT_NEAR(name.width(), nameWidth, 3);
    // The local seat's own three cards at the bottom.
    EXPECT_TRUE(Shows(shot, QRect(40, 285, 71, 96), Picture(41)));
}

TEST_F(PainterTest, NameOfSeventeenBytesWithoutItsNulIsNotReadBeyond) {
    // Every byte of the record, padding and socket included, is a letter: a
    // reader that looked for a NUL beyond the name would draw more of them.
    std::memset(&g_seats[2], 'M', sizeof g_seats[2]);
    const QImage shot = Render();
    const QRect name = InkIn(shot, QRect(0, 0, third, 14));
    const int width17 =
        QFontMetrics(TableWindowFont()).horizontalAdvance(QString(17, QLatin1Char('M')));
    EXPECT_NEAR(name.width(), width17, 3);
}

TEST_F(PainterTest, MarkersShowWhileTheRoundRunsAndNotOnceItIsOver) {
    table->turn = 2;       // left third for local seat 1
    table->passed[3] = 1;  // middle third
    table->passed[1] = 1;  // the local seat
    QImage shot = Render();
    EXPECT_TRUE(Shows(shot, QRect(90, 70, 48, 16), g_turnOtherImage->Bitmap()));
    EXPECT_TRUE(Shows(shot, QRect(third + 90, 70, 48, 16), g_passImage->Bitmap()));
    EXPECT_TRUE(Shows(shot, QRect(100, 230, 48, 16), g_passImage->Bitmap()));
    // In a replay the others' cards are face up, and taller than the backs:
    // the markers stay over them.
    GiveCards(2, 13, 0);
    GiveCards(3, 13, 13);
    SetAllHandsFaceUp(true);
    shot = Render();
    SetAllHandsFaceUp(false);
    EXPECT_TRUE(Shows(shot, QRect(90, 70, 48, 16), g_turnOtherImage->Bitmap()));
    EXPECT_TRUE(Shows(shot, QRect(third + 90, 70, 48, 16), g_passImage->Bitmap()));
    std::memset(table->hands[2], NO_CARD, 2 * HAND_SIZE);

    table->turn = 1;
    EXPECT_TRUE(Shows(Render(), QRect(100, 230, 48, 20), g_turnLocalImage->Bitmap()));

    table->roundOver = 1;
    shot = Render();
    EXPECT_TRUE(AllFelt(shot, QRect(90, 70, 48, 16)));
    EXPECT_TRUE(AllFelt(shot, QRect(third + 90, 70, 48, 16)));
    EXPECT_TRUE(AllFelt(shot, QRect(2 * third + 90, 70, 48, 16)));
    EXPECT_TRUE(AllFelt(shot, QRect(100, 230, 48, 20)));
}

TEST_F(PainterTest, LatestPlaysLieOverTheMarkers) {
    table->turn = 2;
    // Four cards, the empty place skipped, then a full five.
    const std::uint8_t four[PLAY_SIZE] = {3, 16, NO_CARD, 29, 42};
    std::memcpy(table->lastPlays[2], four, PLAY_SIZE);
    QImage shot = Render();
    EXPECT_TRUE(Shows(shot, QRect(55, 70, 71, 96), Picture(42)));
    EXPECT_TRUE(Shows(shot, QRect(126, 70, 12, 16), g_turnOtherImage->Bitmap(), QPoint(36, 0)));
    const std::uint8_t play[PLAY_SIZE] = {3, 16, 17, 29, 42};
    std::memcpy(table->lastPlays[2], play, PLAY_SIZE);
    table->lastPlays[1][1] = 50;  // the local seat's single card
    shot = Render();
    EXPECT_TRUE(Shows(shot, QRect(10, 70, 15, 96), Picture(3)));
    EXPECT_TRUE(Shows(shot, QRect(25, 70, 15, 96), Picture(16)));
    EXPECT_TRUE(Shows(shot, QRect(40, 70, 15, 96), Picture(17)));
    EXPECT_TRUE(Shows(shot, QRect(55, 70, 15, 96), Picture(29)));
    EXPECT_TRUE(Shows(shot, QRect(70, 70, 71, 96), Picture(42)));
    EXPECT_TRUE(AllFelt(shot, QRect(141, 70, 20, 96)));  // the marker is wholly under the cards
    EXPECT_TRUE(Shows(shot, QRect(10, 170, 71, 96), Picture(50)));
}

TEST_F(PainterTest, RoundNumberStaysTheSameFromTheDealToTheNextDeal) {
    const QRect text(370, 190, 200, 30);
    table->roundsPlayed = 2;
    table->roundOver = 0;  // the third round is being played
    const QImage playing = Render().copy(text);
    table->roundsPlayed = 3;
    table->roundOver = 1;  // it has just ended
    const QImage ended = Render().copy(text);
    table->roundsPlayed = 2;  // the second round has just ended
    const QImage earlier = Render().copy(text);
    EXPECT_EQ(playing, ended);
    EXPECT_NE(playing, earlier);

    // The text's top-left corner is at (380, 200).
    const QRect ink = InkIn(Render(), text);
    EXPECT_GE(ink.left(), 380);
    EXPECT_LE(ink.left(), 382);
    EXPECT_GE(ink.top(), 200);
    EXPECT_LE(ink.top(), 205);
}

TEST_F(PainterTest, EmptyLocalHandDrawsNoCardAndKeepsTheRectangles) {
    g_cardRects[3] = {5, 6, 7, 8};
    const QImage shot = Render();
    EXPECT_TRUE(AllFelt(shot, QRect(0, 265, 260, 116)));
    EXPECT_EQ(g_cardRects[3].right, 7);
}

TEST_F(PainterTest, TableOfFourWithoutAKnownLocalSeatKeepsTheWaitingScreen) {
    g_localSeat = 0;
    GiveCards(1, 13, 0);
    const QImage shot = Render();
    EXPECT_TRUE(Shows(shot, QRect(415, 40, 150, 185), g_titleImage->Bitmap()));
    EXPECT_TRUE(AllFelt(shot, QRect(0, 0, size.width(), 30)));
}

TEST_F(PainterTest, OnADenseScreenTheLargeCardsLieWhereTheSmallOnesDo) {
    // A board of device pixel ratio 2: every card keeps its logical place
    // and rectangle, and its 2x picture is copied pixel for pixel.
    SetCardPixelRatio(2);
    ASSERT_EQ(Picture(0).width(), 142);
    GiveCards(1, 13, 20);
    GiveCards(2, 13, 0);
    table->selection[4] = 0xFF;
    QImage shot(size * 2, QImage::Format_RGB32);
    shot.setDevicePixelRatio(2);
    {
        QPainter painter(&shot);
        PaintBoard(painter, QRect(QPoint(0, 0), size));
    }
    EXPECT_TRUE(Shows(shot, QRect(380, 570, 142, 192), Picture(32)));  // the last card, x = 190
    EXPECT_TRUE(Shows(shot, QRect(230, 570, 30, 192), Picture(27)));   // a strip, x = 115
    EXPECT_TRUE(Shows(shot, QRect(140, 530, 142, 40), Picture(24)));   // raised above its neighbour
    EXPECT_TRUE(Shows(shot, QRect(340, 30, 70, 94), Picture(CARD_BACK_SMALL)));  // x = 50 + 120
    EXPECT_TRUE(AllFelt(shot, QRect(522, 530, 10, 232)));
    EXPECT_TRUE(AllFelt(shot, QRect(410, 30, 40, 28)));  // above the number of cards held
    EXPECT_EQ(g_cardRects[12].left, 190);
    EXPECT_EQ(g_cardRects[12].right, 261);
    EXPECT_EQ(g_cardRects[4].top, 265);
    EXPECT_EQ(g_cardRects[4].bottom, 381);
}

// From the play that ends a round until the next deal, each other seat's held
// cards lie face up where its backs were, in hand order, each over its left
// neighbour, and what each paid is written under its money; while the round
// runs, the number of cards held stands beside the backs, gold at one card.
TEST_F(PainterTest, TheRoundsEndShowsTheHeldCardsAndThePaymentsAndAOneCardSeatStandsOut) {
    GiveCards(1, 3, 40);
    GiveCards(2, 4, 0);  // left third: 0..3
    GiveCards(4, 1, 26);
    table->hands[4][7] = 27;  // right third: 26 and 27, one empty slot between
    const QRgb gold = QColor(255, 204, 0).rgb();
    const auto goldIn = [&](const QImage& shot, const QRect& area) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (shot.pixel(x, y) == gold) return true;
        return false;
    };

    // The round runs: backs, and the counts beside them; seat 3 holds one card.
    GiveCards(3, 1, 13);
    QImage shot = Render();
    EXPECT_TRUE(Shows(shot, QRect(50, 15, 10, 47), Picture(CARD_BACK_SMALL)));
    EXPECT_TRUE(goldIn(shot, QRect(third + 85, 15, 30, 47)));  // "1" on gold
    EXPECT_FALSE(goldIn(shot, QRect(115, 15, 30, 47)));        // "4" in white
    EXPECT_NE(InkIn(shot, QRect(115, 15, 30, 47)), QRect());

    // Seat 3 plays its last card and wins: 4 and 2 cards charged.
    table->hands[3][0] = NO_CARD;
    table->lastPlays[3][0] = 13;
    table->roundOver = 1;
    table->leader = 3;
    table->roundsPlayed = 1;
    table->history = static_cast<RoundResult*>(std::malloc(sizeof(RoundResult)));
    *table->history = RoundResult{{0, 3, 0, 4, 2}};
    shot = Render();
    for (int k = 0; k < 4; ++k)  // above the latest plays, which start at y = 70
        EXPECT_TRUE(Shows(shot, QRect(50 + 10 * k, 15, k == 3 ? 71 : 10, 55), Picture(k))) << k;
    EXPECT_TRUE(Shows(shot, QRect(2 * third + 50, 15, 10, 55), Picture(26)));
    EXPECT_TRUE(Shows(shot, QRect(2 * third + 60, 15, 71, 55), Picture(27)));
    // No back is left, and no count: the winner's area holds its play only.
    EXPECT_TRUE(AllFelt(shot, QRect(third + 50, 15, 60, 50)));
    // The payments under the money: gold at each seat, the winner's gain too.
    for (int area = 0; area < 3; ++area)
        EXPECT_TRUE(goldIn(shot, QRect(area * third + 5, 62, 40, 8))) << area;
    // The local hand stays as it is.
    EXPECT_TRUE(Shows(shot, QRect(HAND_LEFT + 2 * HAND_STEP, HAND_TOP, 71, 96), Picture(42)));
}
