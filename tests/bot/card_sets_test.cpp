// The strongest five-card hand of a set of cards, against every five cards
// of the set tried one by one with the table's own ranking.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "bench/support/random_player.h"
#include "bot/card_sets.h"
#include "bot_test_util.h"

namespace {

// Every five-card hand of the available cards that the rules accept; the
// strongest of them by ComparePlays. False if there is none.
bool StrongestByTryingAll(const bool available[DECK_SIZE], std::uint8_t strongest[PLAY_SIZE]) {
    std::vector<std::uint8_t> cards;
    for (int rank = 0; rank < 13; ++rank) {  // hand order: rank index, then suit
        for (int suit = 0; suit < 4; ++suit) {
            if (available[13 * suit + rank])
                cards.push_back(static_cast<std::uint8_t>(13 * suit + rank));
        }
    }
    const int n = static_cast<int>(cards.size());
    bool found = false;
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b)
            for (int c = b + 1; c < n; ++c)
                for (int d = c + 1; d < n; ++d)
                    for (int e = d + 1; e < n; ++e) {
                        const std::uint8_t hand[PLAY_SIZE] = {cards[a], cards[b], cards[c],
                                                              cards[d], cards[e]};
                        if (GameTable::IsValidPlay(hand, PLAY_SIZE) != 1) continue;
                        if (!found || GameTable::ComparePlays(strongest, hand, PLAY_SIZE) == 1) {
                            std::memcpy(strongest, hand, PLAY_SIZE);
                            found = true;
                        }
                    }
    return found;
}

TEST(StrongestFiveCardHand, MatchesTryingEveryFiveCards) {
    RandomPlayer random(99);
    int withHand = 0;
    int withoutHand = 0;
    for (int trial = 0; trial < 400; ++trial) {
        // Between 4 and 18 cards, drawn at random.
        bool available[DECK_SIZE] = {};
        const int count = 4 + static_cast<int>(random.Below(15));
        for (int drawn = 0; drawn < count;) {
            const auto card = random.Below(DECK_SIZE);
            if (!available[card]) {
                available[card] = true;
                ++drawn;
            }
        }
        std::uint8_t expected[PLAY_SIZE];
        std::uint8_t found[PLAY_SIZE];
        std::memset(found, NO_CARD, sizeof found);
        const bool exists = StrongestByTryingAll(available, expected);
        ASSERT_EQ(StrongestFiveCardHand(available, found), exists) << "trial " << trial;
        if (!exists) {
            ++withoutHand;
            continue;
        }
        ++withHand;
        // A legal hand of the available cards, in hand order...
        for (std::uint8_t card : found) ASSERT_TRUE(card < DECK_SIZE && available[card]);
        ASSERT_EQ(GameTable::IsValidPlay(found, PLAY_SIZE), 1);
        // ... that the strongest one tried does not beat. (Full houses with the
        // same three, and fours with another fifth card, rank equal.)
        EXPECT_EQ(GameTable::ComparePlays(expected, found, PLAY_SIZE), 1) << "trial " << trial;
    }
    EXPECT_GT(withHand, 100);
    EXPECT_GT(withoutHand, 10);
}

TEST(StrongestFiveCardHand, KnowsTheRanking) {
    auto strongestOf = [](const std::string& names) {
        bool available[DECK_SIZE] = {};
        for (std::uint8_t card : bot_test::Cards(names)) available[card] = true;
        std::uint8_t hand[PLAY_SIZE];
        EXPECT_TRUE(StrongestFiveCardHand(available, hand)) << names;
        return std::vector<std::uint8_t>(hand, hand + PLAY_SIZE);
    };
    using bot_test::Cards;
    // The run from ace to five outranks the one from ten to ace.
    EXPECT_EQ(strongestOf("AD 2C 3H 4S 5D TC JH QS KD"), Cards("AD 2C 3H 4S 5D"));
    // Any flush outranks a run; the one holding a two outranks one with an ace.
    EXPECT_EQ(strongestOf("3C 5C 7C 9C 2C AH AD 6H 8H TH 4D"), Cards("2C 3C 5C 7C 9C"));
    // Three twos make the strongest full house, whatever the pair.
    const std::vector<std::uint8_t> house = strongestOf("2D 2C 2S 4H 4S KD KC KH");
    EXPECT_EQ(GameTable::IsFullHouse(house.data()), 1);
    EXPECT_EQ(std::count_if(house.begin(), house.end(), [](std::uint8_t c) { return c % 13 == 1; }),
              3);
    // A straight flush outranks four of a kind.
    EXPECT_EQ(strongestOf("8D 8C 8H 8S 3D 9C TC JC QC KC"), Cards("9C TC JC QC KC"));
}

}  // namespace
