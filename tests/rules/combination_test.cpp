// Which groups are legal plays at a free lead, and the value of a group.
#include "rules/game_table.h"
#include "tests/rules/rules_test_util.h"

namespace {

using namespace rules_test;

int Valid(const Group& g, int n) {
    return GameTable::IsValidPlay(g.data(), n);
}

TEST(Combination, SinglesPairsAndTriples) {
    EXPECT_EQ(Valid(G({CARD_OPENING}), 1), 1);
    EXPECT_EQ(Valid(G({S(TWO)}), 1), 1);
    EXPECT_EQ(Valid(G({D(THREE), S(THREE)}), 2), 1);
    EXPECT_EQ(Valid(G({D(ACE), Cl(ACE)}), 2), 1);
    EXPECT_EQ(Valid(G({D(THREE), S(EIGHT)}), 2), 0);  // two ranks are no pair
    EXPECT_EQ(Valid(G({D(KING), D(ACE)}), 2), 0);     // neighbours in hand order are no pair
    EXPECT_EQ(Valid(G({D(NINE), Cl(NINE), S(NINE)}), 3), 1);
    EXPECT_EQ(Valid(G({D(NINE), Cl(NINE), S(TEN)}), 3), 0);  // a pair and an odd card
    EXPECT_EQ(Valid(G({D(EIGHT), Cl(NINE), S(NINE)}), 3), 0);
}

TEST(Combination, SizesThatAreNeverLegal) {
    const Group four = G({D(SIX), Cl(SIX), H(SIX), S(SIX)});
    EXPECT_EQ(Valid(four, 4), 0);  // four of a kind needs a fifth card
    EXPECT_EQ(Valid(G({D(SIX), Cl(SIX), H(SIX), S(SIX), D(TWO)}), 5), 1);
    EXPECT_EQ(Valid(four, 0), 0);
    EXPECT_EQ(Valid(four, -1), 0);
    EXPECT_EQ(Valid(four, 6), 0);
}

TEST(Combination, TheTenStraightsAndNoWrapPastTheKing) {
    for (int low = ACE; low <= NINE; ++low) {
        const Group g = G({D(low), Cl(low + 1), D(low + 2), D(low + 3), H(low + 4)});
        EXPECT_EQ(GameTable::IsStraight(g.data()), 1) << "from rank " << low;
        EXPECT_EQ(GameTable::IsStraightFlush(g.data()), 0);
        EXPECT_EQ(Valid(g, 5), 1);
    }
    const Group broadway = G({S(TEN), D(JACK), D(QUEEN), D(KING), D(ACE)});
    EXPECT_EQ(GameTable::IsStraight(broadway.data()), 1);

    const Group jqka2 = G({S(JACK), D(QUEEN), D(KING), D(ACE), D(TWO)});
    const Group qka23 = G({S(QUEEN), D(KING), D(ACE), D(TWO), D(THREE)});
    const Group ka234 = G({S(KING), D(ACE), D(TWO), D(THREE), D(FOUR)});
    const Group gap = G({S(THREE), D(FOUR), D(FIVE), D(SIX), D(EIGHT)});
    for (const Group& g : {jqka2, qka23, ka234, gap}) {
        EXPECT_EQ(GameTable::IsStraight(g.data()), 0);
        EXPECT_EQ(Valid(g, 5), 0);
    }
    // Suited, the run that wraps is still a legal flush, not a straight flush.
    const Group suited = G({D(JACK), D(QUEEN), D(KING), D(ACE), D(TWO)});
    EXPECT_EQ(GameTable::IsFlush(suited.data()), 1);
    EXPECT_EQ(GameTable::IsStraightFlush(suited.data()), 0);
    EXPECT_EQ(Valid(suited, 5), 1);
}

TEST(Combination, FlushFullHouseFourOfAKindStraightFlush) {
    const Group flush = G({H(THREE), H(FIVE), H(NINE), H(JACK), H(KING)});
    EXPECT_EQ(GameTable::IsFlush(flush.data()), 1);
    EXPECT_EQ(Valid(flush, 5), 1);
    EXPECT_EQ(GameTable::IsFlush(G({H(THREE), H(FIVE), H(NINE), H(JACK), S(KING)}).data()), 0);

    const Group threeLow = G({D(FOUR), Cl(FOUR), H(FOUR), D(KING), S(KING)});
    const Group threeHigh = G({D(FOUR), Cl(FOUR), D(KING), H(KING), S(KING)});
    EXPECT_EQ(GameTable::IsFullHouse(threeLow.data()), 1);
    EXPECT_EQ(GameTable::IsFullHouse(threeHigh.data()), 1);
    EXPECT_EQ(GameTable::IsFullHouse(G({D(FOUR), Cl(FOUR), D(SIX), H(KING), S(KING)}).data()), 0);
    EXPECT_EQ(GameTable::IsFourOfAKind(threeHigh.data()), 0);

    const Group kickerFirst = G({D(ACE), D(NINE), Cl(NINE), H(NINE), S(NINE)});
    const Group kickerLast = G({D(NINE), Cl(NINE), H(NINE), S(NINE), S(KING)});
    EXPECT_EQ(GameTable::IsFourOfAKind(kickerFirst.data()), 1);
    EXPECT_EQ(GameTable::IsFourOfAKind(kickerLast.data()), 1);
    EXPECT_EQ(GameTable::IsFullHouse(kickerLast.data()), 0);

    const Group straightFlush = G({Cl(TEN), Cl(JACK), Cl(QUEEN), Cl(KING), Cl(ACE)});
    EXPECT_EQ(GameTable::IsStraightFlush(straightFlush.data()), 1);
    EXPECT_EQ(Valid(straightFlush, 5), 1);

    const Group twoPairs = G({D(FOUR), Cl(FOUR), D(SIX), H(KING), S(KING)});
    EXPECT_EQ(Valid(twoPairs, 5), 0);
    EXPECT_EQ(Valid(G({D(FOUR), Cl(FOUR), H(FOUR), D(SIX), S(KING)}), 5), 0);  // three and two odd
}

TEST(Combination, CardValueOfAGroup) {
    const Group empty = G({});
    EXPECT_EQ(GameTable::CardValue(empty.data(), 5), 85);
    EXPECT_EQ(GameTable::CardValue(G({D(KING)}).data(), 0), 85);
    // The pair of threes of hearts and spades is worth its spade.
    EXPECT_EQ(GameTable::CardValue(G({H(THREE), S(THREE)}).data(), 2), 11);
    // The highest two wins over aces and kings; then the highest ace.
    EXPECT_EQ(GameTable::CardValue(G({S(ACE), D(TWO), H(TWO), D(KING), S(KING)}).data(), 5), 58);
    EXPECT_EQ(GameTable::CardValue(G({Cl(ACE), H(ACE), S(KING)}).data(), 3), 54);
    EXPECT_EQ(GameTable::CardValue(G({D(TEN), Cl(JACK), D(QUEEN), S(QUEEN), H(NINE)}).data(), 5),
              4 * QUEEN + SPADES);
}

// Groups whose first n places do not all hold cards are no combination: an
// empty buffer is not a flush, two empty places are not a pair.
TEST(Combination, GroupsWithEmptyPlacesAreNotLegal) {
    const Group empty = G({});
    for (int n : {1, 2, 3, 5}) EXPECT_EQ(Valid(empty, n), 0) << n;
    const Group shifted = {NO_CARD, D(FIVE), Cl(FIVE), NO_CARD, NO_CARD};
    EXPECT_EQ(Valid(shifted, 2), 0);
    EXPECT_EQ(Valid(G({D(FIVE), Cl(FIVE)}), 3), 0);  // a pair offered as three cards
    // Four cards and an empty place that would read as an eight.
    EXPECT_EQ(Valid(G({D(FOUR), D(FIVE), D(SIX), D(SEVEN)}), 5), 0);
}

}  // namespace
