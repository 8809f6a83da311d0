// Whether a play beats the play on the table.
#include <array>
#include <vector>

#include "rules/game_table.h"
#include "tests/rules/rules_test_util.h"

namespace {

using namespace rules_test;

int Compare(const Group& table, const Group& play, int n) {
    return GameTable::ComparePlays(table.data(), play.data(), n);
}

// Expects `high` to beat `low` and not the other way round.
void ExpectBeats(const Group& high, const Group& low, int n) {
    EXPECT_EQ(Compare(low, high, n), 1);
    EXPECT_EQ(Compare(high, low, n), 0);
}

// The ten straights from the lowest to the highest, as rank indexes in hand order.
const std::vector<std::array<int, 5>> kStraightsLowToHigh = {
    {THREE, FOUR, FIVE, SIX, SEVEN}, {FOUR, FIVE, SIX, SEVEN, EIGHT},
    {FIVE, SIX, SEVEN, EIGHT, NINE}, {SIX, SEVEN, EIGHT, NINE, TEN},
    {SEVEN, EIGHT, NINE, TEN, JACK}, {EIGHT, NINE, TEN, JACK, QUEEN},
    {NINE, TEN, JACK, QUEEN, KING},  {ACE, TEN, JACK, QUEEN, KING},
    {TWO, THREE, FOUR, FIVE, SIX},   {ACE, TWO, THREE, FOUR, FIVE},
};

Group Straight(const std::array<int, 5>& ranks, const std::array<int, 5>& suits) {
    Group g;
    for (int i = 0; i < 5; ++i) g[i] = Card(ranks[i], suits[i]);
    return g;
}

TEST(Compare, Singles) {
    for (std::uint8_t card = 0; card < 52; ++card) {
        if (card != S(TWO)) ExpectBeats(G({S(TWO)}), G({card}), 1);
        if (card != CARD_OPENING) ExpectBeats(G({card}), G({CARD_OPENING}), 1);
    }
    ExpectBeats(G({D(ACE)}), G({S(KING)}), 1);
    // Not lower is enough: an equal value beats.
    EXPECT_EQ(Compare(G({D(FIVE)}), G({D(FIVE)}), 1), 1);
    EXPECT_EQ(Compare(G({D(FIVE), S(FIVE)}), G({Cl(FIVE), S(FIVE)}), 2), 1);
    ExpectBeats(G({D(TWO)}), G({S(ACE)}), 1);
}

TEST(Compare, PairsAndTriples) {
    ExpectBeats(G({H(THREE), S(THREE)}), G({D(THREE), Cl(THREE)}), 2);
    ExpectBeats(G({D(TWO), Cl(TWO)}), G({H(ACE), S(ACE)}), 2);
    ExpectBeats(G({D(TWO), Cl(TWO), H(TWO)}), G({Cl(KING), H(KING), S(KING)}), 3);
    // A group that is not a pair (or three of a kind) cannot follow one, nor be followed.
    EXPECT_EQ(Compare(G({D(FOUR), Cl(FOUR)}), G({D(THREE), S(EIGHT)}), 2), 2);
    EXPECT_EQ(Compare(G({D(THREE), S(EIGHT)}), G({D(FOUR), Cl(FOUR)}), 2), 2);
    EXPECT_EQ(Compare(G({D(FOUR), Cl(FOUR), H(FOUR)}), G({D(NINE), Cl(NINE), S(TEN)}), 3), 2);
    EXPECT_EQ(Compare(G({D(NINE), Cl(NINE), S(TEN)}), G({D(FOUR), Cl(FOUR), H(FOUR)}), 3), 2);
}

TEST(Compare, TheTenStraightsInOrder) {
    const std::array<int, 5> lowSuits = {DIAMONDS, CLUBS, DIAMONDS, DIAMONDS, DIAMONDS};
    const std::array<int, 5> highSuits = {HEARTS, SPADES, HEARTS, HEARTS, HEARTS};
    const std::size_t count = kStraightsLowToHigh.size();
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t j = 0; j < count; ++j) {
            SCOPED_TRACE(testing::Message() << "straights " << i << " and " << j);
            const Group a = Straight(kStraightsLowToHigh[i], lowSuits);
            const Group b = Straight(kStraightsLowToHigh[j], highSuits);
            if (i <= j) {
                ExpectBeats(b, a, 5);  // same ranks: the hearts or spades top card decides
            } else {
                ExpectBeats(a, b, 5);  // higher straight in lower suits
            }
            // Straight flushes follow the same order; the suit only breaks ties.
            const Group fa =
                Straight(kStraightsLowToHigh[i], {SPADES, SPADES, SPADES, SPADES, SPADES});
            const Group fb = Straight(kStraightsLowToHigh[j],
                                      {DIAMONDS, DIAMONDS, DIAMONDS, DIAMONDS, DIAMONDS});
            if (i < j) {
                ExpectBeats(fb, fa, 5);
            } else {
                ExpectBeats(fa, fb, 5);  // higher straight, or the same one in spades
            }
        }
    }
    // Equal ranks: the two decides even against an ace of spades.
    ExpectBeats(G({D(ACE), Cl(TWO), Cl(THREE), Cl(FOUR), D(FIVE)}),
                G({S(ACE), D(TWO), D(THREE), D(FOUR), Cl(FIVE)}), 5);
    // Equal ranks, no two: the ace decides, not the king.
    ExpectBeats(G({Cl(ACE), D(TEN), D(JACK), D(QUEEN), D(KING)}),
                G({D(ACE), S(TEN), S(JACK), S(QUEEN), S(KING)}), 5);
}

TEST(Compare, FlushTieBreaks) {
    const Group aceKingFlush = G({S(ACE), S(KING), S(QUEEN), S(JACK), S(NINE)});
    const Group twoLowFlush = G({D(TWO), D(FOUR), D(FIVE), D(SIX), D(EIGHT)});
    ExpectBeats(twoLowFlush, aceKingFlush, 5);
    ExpectBeats(G({D(ACE), D(THREE), D(FOUR), D(FIVE), D(SEVEN)}),
                G({S(KING), S(QUEEN), S(JACK), S(NINE), S(EIGHT)}), 5);
    // Card by card from the strongest down: the first difference decides.
    ExpectBeats(G({D(KING), D(QUEEN), D(JACK), D(NINE), D(EIGHT)}),
                G({S(KING), S(QUEEN), S(JACK), S(NINE), S(SEVEN)}), 5);
    ExpectBeats(G({Cl(ACE), Cl(TWO), Cl(THREE), Cl(FOUR), Cl(SEVEN)}),
                G({D(TWO), D(JACK), D(QUEEN), D(KING), D(NINE)}), 5);
    ExpectBeats(G({Cl(ACE), Cl(TWO), Cl(THREE), Cl(FOUR), Cl(SEVEN)}),
                G({D(ACE), D(TWO), D(THREE), D(FOUR), D(SIX)}), 5);
    // All five ranks equal: the suit decides.
    ExpectBeats(G({Cl(KING), Cl(QUEEN), Cl(JACK), Cl(NINE), Cl(EIGHT)}),
                G({D(KING), D(QUEEN), D(JACK), D(NINE), D(EIGHT)}), 5);
}

TEST(Compare, FullHouseAndFourOfAKindByTheThreeOrTheFour) {
    ExpectBeats(G({D(TWO), Cl(TWO), H(TWO), D(THREE), Cl(THREE)}),
                G({Cl(ACE), H(ACE), S(ACE), D(KING), Cl(KING)}), 5);
    ExpectBeats(G({D(FOUR), Cl(FOUR), H(FOUR), D(FIVE), S(FIVE)}),
                G({D(THREE), Cl(THREE), H(THREE), D(TWO), S(TWO)}), 5);
    ExpectBeats(G({D(FOUR), Cl(FOUR), H(FOUR), D(ACE), S(ACE)}),
                G({Cl(THREE), H(THREE), S(THREE), D(KING), S(KING)}), 5);
    ExpectBeats(G({D(FOUR), Cl(FOUR), H(FOUR), S(FOUR), D(FIVE)}),
                G({D(THREE), Cl(THREE), H(THREE), S(THREE), D(TWO)}), 5);
    ExpectBeats(G({D(ACE), D(FIVE), Cl(FIVE), H(FIVE), S(FIVE)}),
                G({D(FOUR), Cl(FOUR), H(FOUR), S(FOUR), D(KING)}), 5);
}

// Every kind beats every lower kind, its weakest against the other's strongest.
TEST(Compare, KindOrder) {
    const std::vector<std::vector<Group>> byKind = {
        {G({D(THREE), Cl(FOUR), D(FIVE), D(SIX), D(SEVEN)}),
         G({S(ACE), S(TWO), S(THREE), S(FOUR), D(FIVE)})},
        {G({D(THREE), D(FOUR), D(FIVE), D(SIX), D(EIGHT)}),
         G({S(ACE), S(TWO), S(KING), S(QUEEN), S(JACK)})},
        {G({D(ACE), Cl(ACE), D(THREE), Cl(THREE), H(THREE)}),
         G({D(TWO), Cl(TWO), S(TWO), H(ACE), S(ACE)})},
        {G({D(ACE), D(THREE), Cl(THREE), H(THREE), S(THREE)}),
         G({D(TWO), Cl(TWO), H(TWO), S(TWO), S(KING)})},
        {G({D(THREE), D(FOUR), D(FIVE), D(SIX), D(SEVEN)}),
         G({S(ACE), S(TWO), S(THREE), S(FOUR), S(FIVE)})},
    };
    for (std::size_t low = 0; low < byKind.size(); ++low) {
        for (std::size_t high = low + 1; high < byKind.size(); ++high) {
            for (const Group& a : byKind[low]) {
                for (const Group& b : byKind[high]) {
                    SCOPED_TRACE(testing::Message() << "kinds " << low << " and " << high);
                    ExpectBeats(b, a, 5);
                }
            }
        }
    }
}

TEST(Compare, EmptyBuffersAndSizeMismatchesAreNotComparable) {
    const Group empty = G({});
    const std::vector<Group> groups = {G({D(FIVE)}), G({D(FIVE), S(FIVE)}),
                                       G({D(FIVE), Cl(FIVE), S(FIVE)}),
                                       G({D(FIVE), Cl(FIVE), S(FIVE), D(NINE), S(NINE)})};
    for (int n = -1; n <= 7; ++n) {
        for (const Group& g : groups) {
            EXPECT_EQ(Compare(empty, g, n), 2) << n;
            EXPECT_EQ(Compare(g, empty, n), 2) << n;
        }
    }
    EXPECT_EQ(Compare(G({D(FIVE)}), G({D(NINE), S(NINE)}), 1), 2);
    EXPECT_EQ(Compare(G({D(FIVE), S(FIVE)}), G({D(NINE)}), 2), 2);
    EXPECT_EQ(Compare(G({D(FIVE), S(FIVE)}), G({D(NINE), Cl(NINE), S(NINE)}), 2), 2);
    EXPECT_EQ(Compare(G({D(FIVE), Cl(FIVE), S(FIVE)}), G({D(NINE), S(NINE)}), 3), 2);
    EXPECT_EQ(Compare(groups[3], G({D(SIX), Cl(SIX), H(SIX), S(SIX)}), 5), 2);
    const Group four = G({D(SIX), Cl(SIX), H(SIX), S(SIX)});
    EXPECT_EQ(Compare(G({D(FIVE), Cl(FIVE), H(FIVE), S(FIVE)}), four, 4), 2);
    EXPECT_EQ(Compare(groups[3], G({D(TEN), Cl(TEN), S(TEN), D(KING), S(KING)}), 6), 2);
    // Five cards that are no combination, on either side.
    const Group twoPairs = G({D(SIX), Cl(SIX), H(NINE), S(NINE), D(KING)});
    EXPECT_EQ(Compare(twoPairs, groups[3], 5), 2);
    EXPECT_EQ(Compare(groups[3], twoPairs, 5), 2);
}

// A group must stand in places 0 onward: a single in place 1 behind an empty
// place is not a single that beats everything.
TEST(Compare, GroupsNotStartingAtPlaceZeroAreNotComparable) {
    const Group shiftedSingle = {NO_CARD, D(FOUR), NO_CARD, NO_CARD, NO_CARD};
    EXPECT_EQ(Compare(G({S(TWO)}), shiftedSingle, 1), 2);
    EXPECT_EQ(Compare(shiftedSingle, G({D(THREE)}), 1), 2);
    const Group shiftedPair = {NO_CARD, NO_CARD, D(FOUR), Cl(FOUR), NO_CARD};
    EXPECT_EQ(Compare(G({D(TWO), S(TWO)}), shiftedPair, 2), 2);
    // Two empty places would read as eights beside the eight of diamonds.
    const Group shiftedTriple = {NO_CARD, NO_CARD, D(EIGHT), Cl(NINE), S(KING)};
    EXPECT_EQ(Compare(G({D(THREE), Cl(THREE), S(THREE)}), shiftedTriple, 3), 2);
}

}  // namespace
