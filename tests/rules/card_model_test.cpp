// The card byte, its suit and rank, the play order and the record's layout.
#include <cstring>
#include <vector>

#include "rules/game_table.h"
#include "tests/rules/rules_test_util.h"

namespace {

using namespace rules_test;

TEST(CardModel, SuitBoundariesAndNoCard) {
    EXPECT_EQ(GameTable::SuitOf(0), 0);
    EXPECT_EQ(GameTable::SuitOf(12), 0);
    EXPECT_EQ(GameTable::SuitOf(13), 1);
    EXPECT_EQ(GameTable::SuitOf(25), 1);
    EXPECT_EQ(GameTable::SuitOf(26), 2);
    EXPECT_EQ(GameTable::SuitOf(38), 2);
    EXPECT_EQ(GameTable::SuitOf(39), 3);
    EXPECT_EQ(GameTable::SuitOf(51), 3);
    EXPECT_EQ(GameTable::SuitOf(static_cast<std::int8_t>(NO_CARD)), 4);
}

TEST(CardModel, RankOfCardsAndNoCard) {
    EXPECT_EQ(GameTable::RankOf(0), ACE);
    EXPECT_EQ(GameTable::RankOf(14), TWO);
    EXPECT_EQ(GameTable::RankOf(CARD_OPENING), THREE);
    EXPECT_EQ(GameTable::RankOf(51), KING);
    // NO_CARD reads as an eight, never as a two or an ace.
    EXPECT_EQ(GameTable::RankOf(static_cast<std::int8_t>(NO_CARD)), EIGHT);
}

TEST(CardModel, CountCards) {
    std::uint8_t full[HAND_SIZE];
    for (int p = 0; p < HAND_SIZE; ++p) full[p] = static_cast<std::uint8_t>(p * 4);
    std::uint8_t empty[HAND_SIZE];
    std::memset(empty, NO_CARD, sizeof empty);
    EXPECT_EQ(GameTable::CountCards(full, HAND_SIZE), 13);
    EXPECT_EQ(GameTable::CountCards(empty, HAND_SIZE), 0);
    EXPECT_EQ(GameTable::CountCards(full, 0), 0);
    EXPECT_EQ(GameTable::CountCards(full, -3), 0);
    full[0] = NO_CARD;
    full[12] = NO_CARD;
    EXPECT_EQ(GameTable::CountCards(full, HAND_SIZE), 11);
    EXPECT_EQ(GameTable::CountCards(full, 1), 0);  // only the first n bytes count
}

TEST(CardModel, PlayValuesOfTheNamedCards) {
    EXPECT_EQ(GameTable::PlayValue(CARD_OPENING), 8);
    EXPECT_EQ(GameTable::PlayValue(51), 51);
    EXPECT_EQ(GameTable::PlayValue(0), 52);
    EXPECT_EQ(GameTable::PlayValue(40), 59);
}

// Listing the cards from the three of diamonds up to the two of spades, rank by
// rank and suit by suit, must give strictly rising play values; the value of a
// single card as a group is its play value.
TEST(CardModel, PlayValueIsTheStrengthOrder) {
    std::vector<std::uint8_t> strength;
    for (int rank :
         {THREE, FOUR, FIVE, SIX, SEVEN, EIGHT, NINE, TEN, JACK, QUEEN, KING, ACE, TWO}) {
        for (int suit = DIAMONDS; suit <= SPADES; ++suit) strength.push_back(Card(rank, suit));
    }
    ASSERT_EQ(strength.size(), 52u);
    for (std::size_t i = 1; i < strength.size(); ++i) {
        EXPECT_LT(GameTable::PlayValue(strength[i - 1]), GameTable::PlayValue(strength[i]))
            << "cards " << int(strength[i - 1]) << " and " << int(strength[i]);
    }
    for (std::uint8_t card : strength) {
        EXPECT_EQ(GameTable::CardValue(G({card}).data(), 1), GameTable::PlayValue(card));
    }
}

// The MSG_DEAL payload is the hands block byte for byte: byte 13 * s + p is
// position p of seat s.
TEST(CardModel, DealPayloadMapsOntoHands) {
    static_assert(sizeof(GameTable::hands) == 65, "the deal payload is 65 bytes");
    std::uint8_t payload[65];
    for (int i = 0; i < 65; ++i) payload[i] = static_cast<std::uint8_t>((i * 7) % 52);
    GameTable t;
    std::memcpy(t.hands, payload, sizeof payload);
    EXPECT_EQ(t.hands[1][0], payload[13]);
    EXPECT_EQ(t.hands[2][5], payload[31]);
    EXPECT_EQ(t.hands[4][12], payload[64]);
}

}  // namespace
