// The pixels that matter to the table: markers and title that show no box on
// the felt, turn triangles that point the right way, two-colour cards that
// read as black on white, and faces whose index, colour and pips name the
// card their slot stands for, in every set of faces.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/resources/bitmap_table.h"

namespace {

constexpr QRgb kFelt = 0xFF008000;  // red 0, green 128, blue 0
constexpr QRgb kYellow = 0xFFFFFF00;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;

int CountInRow(const QImage& image, int y, QRgb colour) {
    int n = 0;
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
    return n;
}

int CountInRect(const QImage& image, const QRect& rect, QRgb colour) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) n += image.pixel(x, y) == colour;
    }
    return n;
}

// Ink is anything clearly darker or more coloured than the white paper.
bool IsInk(QRgb c) {
    return qGray(c) < 200 || qRed(c) - qGreen(c) > 60;
}

// The number of separate marks (8-connected groups of ink) inside a rectangle.
int CountMarks(const QImage& image, const QRect& rect) {
    std::vector<char> seen(static_cast<size_t>(image.width() * image.height()), 0);
    int marks = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (seen[static_cast<size_t>(y * image.width() + x)] || !IsInk(image.pixel(x, y))) {
                continue;
            }
            ++marks;
            std::vector<QPoint> stack = {{x, y}};
            seen[static_cast<size_t>(y * image.width() + x)] = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const QPoint q(p.x() + dx, p.y() + dy);
                        if (!rect.contains(q)) continue;
                        char& s = seen[static_cast<size_t>(q.y() * image.width() + q.x())];
                        if (!s && IsInk(image.pixel(q))) {
                            s = 1;
                            stack.push_back(q);
                        }
                    }
                }
            }
        }
    }
    return marks;
}

// The four sets of faces: classic and four colours, each at 71 x 96 and at
// twice the size, where every length of the small card doubles.
struct FaceSet {
    int firstId;
    const char* size;  // "" or "@2x"
    int scale;
};
constexpr FaceSet kFaceSets[] = {{301, "", 1}, {301, "@2x", 2}, {401, "", 1}, {401, "@2x", 2}};

QImage ShownFace(const FaceSet& set, int card) {
    return Shown(QString::number(set.firstId + card) + set.size);
}

}  // namespace

TEST(Markers, MarkersAndTitleShowOnlyFeltAlongTheirEdges) {
    for (const char* name : {"366", "367", "368", "373", "374"}) {
        SCOPED_TRACE(name);
        const QImage image = Shown(name);
        ASSERT_FALSE(image.isNull());
        const int w = image.width(), h = image.height();
        for (int x = 0; x < w; ++x) {
            EXPECT_EQ(image.pixel(x, 0), kFelt) << "top, x " << x;
            EXPECT_EQ(image.pixel(x, h - 1), kFelt) << "bottom, x " << x;
        }
        for (int y = 0; y < h; ++y) {
            EXPECT_EQ(image.pixel(0, y), kFelt) << "left, y " << y;
            EXPECT_EQ(image.pixel(w - 1, y), kFelt) << "right, y " << y;
        }
        // And there is a picture inside the edge, not just felt.
        EXPECT_LT(CountInRect(image, image.rect().adjusted(1, 1, -1, -1), kFelt),
                  (w - 2) * (h - 2));
    }
}

TEST(Markers, TurnTrianglesPointUpForAnotherSeatAndDownForTheLocalPlayer) {
    // "Mon tour": the topmost yellow row is a single pixel, the apex of an
    // upward triangle. "ton tour": the bottom-most yellow row is the apex.
    const QImage other = Shown("366");
    int top = 0;
    while (top < other.height() && CountInRow(other, top, kYellow) == 0) ++top;
    ASSERT_LT(top, other.height() / 2);
    EXPECT_EQ(CountInRow(other, top, kYellow), 1);
    EXPECT_GT(CountInRow(other, top + 3, kYellow), 3);

    const QImage local = Shown("367");
    int bottom = local.height() - 1;
    while (bottom >= 0 && CountInRow(local, bottom, kYellow) == 0) --bottom;
    ASSERT_GE(bottom, local.height() / 2);
    EXPECT_EQ(CountInRow(local, bottom, kYellow), 1);
    EXPECT_GT(CountInRow(local, bottom - 3, kYellow), 3);
}

TEST(Faces, TwoColourCardsShowBlackInkOnWhitePaper) {
    for (int card : {13, 16, 22, 40, 44, 48}) {  // clubs A, 4, 10; spades 2, 6, 10
        SCOPED_TRACE(card);
        const QImage image = Shown(QString::number(CardResource(card)));
        EXPECT_EQ(image.pixel(8, 40), kWhite) << "paper below the corner index";
        EXPECT_EQ(image.pixel(0, 48), kBlack) << "the border";
        EXPECT_GT(CountInRect(image, QRect(2, 3, 11, 21), kBlack), 20) << "the index";
    }
}

TEST(Faces, CornerIndexHasTheSuitColourOfItsSlot) {
    // Slots run diamonds, clubs, hearts, spades, 13 each: a swapped suit or
    // a shifted file shows here as the wrong colour.
    for (int card = 0; card < 52; ++card) {
        SCOPED_TRACE(card);
        const QImage image = Shown(QString::number(CardResource(card)));
        const QRect index(2, 3, 12, 22);
        const bool red = card / 13 == 0 || card / 13 == 2;
        if (red) {
            EXPECT_GT(CountInRect(image, index, kRed), 20);
            EXPECT_EQ(CountInRect(image, index, kBlack), 0);
        } else {
            EXPECT_GT(CountInRect(image, index, kBlack), 20);
            EXPECT_EQ(CountInRect(image, index, kRed), 0);
        }
    }
}

TEST(Faces, NumberCardsCarryAsManyPipsAsTheirRank) {
    // Between the two corner indexes a number card shows exactly its number
    // of separate pips.
    for (const FaceSet& set : kFaceSets) {
        const int s = set.scale;
        const QRect field(14 * s, 5 * s, 43 * s, 86 * s);
        for (int card = 0; card < 52; ++card) {
            const int rank = card % 13 + 1;  // 1 = ace ... 13 = king
            if (rank < 2 || rank > 10) continue;
            SCOPED_TRACE(testing::Message() << set.firstId + card << set.size);
            EXPECT_EQ(CountMarks(ShownFace(set, card), field), rank);
        }
    }
}

TEST(Faces, CardsReadTheSameFromEitherEnd) {
    // Turning a card half round leaves it unchanged when every pip has a
    // turned partner (the two, four and ten) and for the court cards, whose
    // lower half is the upper half turned. The other numbers keep a row of
    // upright pips across the middle.
    for (const FaceSet& set : kFaceSets) {
        for (int card = 0; card < 52; ++card) {
            const int rank = card % 13 + 1;
            if (rank != 2 && rank != 4 && rank != 10 && rank < 11) continue;
            SCOPED_TRACE(testing::Message() << set.firstId + card << set.size);
            const QImage image = ShownFace(set, card);
            int differing = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    differing += image.pixel(x, y) !=
                                 image.pixel(image.width() - 1 - x, image.height() - 1 - y);
                }
            }
            EXPECT_EQ(differing, 0);
        }
    }
}

TEST(Faces, TheStripLeftVisibleInAHandHoldsTheWholeIndex) {
    // In a fanned hand only x < 15 of a card shows (x < 30 at twice the
    // size). The index must end inside that strip, and no pip or frame may
    // be cut by its edge: the last column of the strip is paper from top to
    // bottom (inside the border).
    for (const FaceSet& set : kFaceSets) {
        for (int card = 0; card < 52; ++card) {
            SCOPED_TRACE(testing::Message() << set.firstId + card << set.size);
            const QImage image = ShownFace(set, card);
            int ink = 0;
            for (int x = 14 * set.scale; x < 15 * set.scale; ++x) {
                for (int y = 1; y < image.height() - 1; ++y) ink += IsInk(image.pixel(x, y));
            }
            EXPECT_EQ(ink, 0);
        }
    }
}

namespace {

// The ink of the suit sign under the rank in a card's top-left corner
// (x 2..13, y 14..25), row by row.
std::vector<std::vector<bool>> IndexSign(const QImage& card) {
    std::vector<std::vector<bool>> rows;
    for (int y = 14; y <= 25; ++y) {
        std::vector<bool> row;
        for (int x = 2; x <= 13; ++x) row.push_back(IsInk(card.pixel(x, y)));
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

TEST(Faces, ClubAndSpadeSignsOfTheClassicIndexDifferAtAGlance) {
    // The measure: the pixels that are ink in one sign and paper in the other
    // (both where the card puts them), against the ink of the smaller sign.
    // A fifth of it is what separates signs of different outline; the signs
    // that were mistaken for each other differed in 6 pixels, 19 % of 32;
    // the drawn ones differ in 15, 30 % of 50.
    // And the shapes: a spade ends in one point at the top, a club in a lobe
    // at least three pixels wide, with paper between its lobes below it.
    for (int rank = 0; rank < 13; ++rank) {
        SCOPED_TRACE(rank);
        const auto club = IndexSign(Shown(QString::number(CardResource(13 + rank))));
        const auto spade = IndexSign(Shown(QString::number(CardResource(39 + rank))));
        int differing = 0;
        int clubInk = 0;
        int spadeInk = 0;
        for (std::size_t y = 0; y < club.size(); ++y) {
            for (std::size_t x = 0; x < club[y].size(); ++x) {
                differing += club[y][x] != spade[y][x];
                clubInk += club[y][x];
                spadeInk += spade[y][x];
            }
        }
        EXPECT_GE(differing, 12);
        EXPECT_GE(differing * 5, std::min(clubInk, spadeInk));
        const auto topRow = [](const std::vector<std::vector<bool>>& sign) {
            for (const auto& row : sign) {
                const int ink = static_cast<int>(std::count(row.begin(), row.end(), true));
                if (ink > 0) return ink;
            }
            return 0;
        };
        EXPECT_EQ(topRow(spade), 1);
        EXPECT_GE(topRow(club), 3);
    }
}
