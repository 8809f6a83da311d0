// The generator, the shuffle, the hand sort and the new-game and new-round
// resets.
#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "rules/game_table.h"
#include "tests/rules/rules_test_util.h"

namespace {

using namespace rules_test;
using Hands = std::array<std::vector<std::uint8_t>, 4>;

// The deal written out again from its rules: the same generator, every place
// exchanged with a different one, 13 cards to each seat, hand order by key.
Hands ReferenceDeal(std::uint32_t seed) {
    std::uint32_t state = seed;
    auto draw = [&state] {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    };
    std::vector<std::uint8_t> deck(52);
    for (int i = 0; i < 52; ++i) deck[i] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 52; ++i) {
        int j = draw() % 52;
        while (j == i) j = draw() % 52;
        std::swap(deck[i], deck[j]);
    }
    Hands hands;
    for (int s = 0; s < 4; ++s) {
        hands[s].assign(deck.begin() + 13 * s, deck.begin() + 13 * s + 13);
        SortIntoHandOrder(hands[s]);
    }
    return hands;
}

Hands HandsOf(const GameTable& t) {
    Hands hands;
    for (int s = 1; s <= 4; ++s) hands[s - 1].assign(t.hands[s], t.hands[s] + HAND_SIZE);
    return hands;
}

int HolderOf(const GameTable& t, std::uint8_t card) {
    for (int s = 1; s <= 4; ++s) {
        for (int p = 0; p < HAND_SIZE; ++p) {
            if (t.hands[s][p] == card) return s;
        }
    }
    return 0;
}

// Ends the round at once: the winner leads its one last card while the next
// seat holds one card and the others none.
void FinishRoundWonBy(GameTable& t, int winner) {
    for (int s = 1; s <= 4; ++s) std::memset(t.hands[s], NO_CARD, HAND_SIZE);
    t.hands[winner][0] = Card(KING, SPADES);
    t.hands[winner % 4 + 1][0] = Card(KING, HEARTS);
    t.mustOpenLowest = 0;
    t.leader = winner;
    t.turn = winner;
    t.tableCount = 0;
    ASSERT_EQ(PlayCards(t, winner, {Card(KING, SPADES)}), 1);
    ASSERT_EQ(t.roundOver, 1);
}

TEST(DealRandom, SeededToZeroFirstDrawIs38) {
    DealRandom random(0);
    EXPECT_EQ(random.Next(), 38);
    EXPECT_EQ(random.State(), 2531011u);
}

// Hands for two seeds, worked out once outside this code base from the deal's
// rules (generator, exchanges, split, hand order).
TEST(Deal, KnownSeedsGiveKnownHands) {
    const Hands seed0 = {{
        {26, 39, 27, 3, 42, 4, 5, 31, 20, 46, 8, 35, 10},
        {1, 40, 29, 30, 44, 19, 32, 21, 34, 48, 23, 36, 25},
        {15, 28, 16, 17, 43, 6, 7, 33, 22, 24, 37, 50, 12},
        {0, 13, 14, 2, 41, 18, 45, 47, 9, 49, 11, 38, 51},
    }};
    const Hands seed7171 = {{
        {14, 15, 28, 41, 3, 42, 4, 18, 6, 45, 9, 23, 12},
        {26, 1, 2, 16, 17, 5, 32, 7, 46, 8, 10, 37, 51},
        {40, 43, 31, 44, 19, 20, 47, 22, 36, 49, 11, 24, 25},
        {0, 13, 39, 27, 29, 30, 33, 21, 34, 35, 48, 50, 38},
    }};
    GameTable t;
    t.DealWithSeed(0, 1);
    EXPECT_EQ(HandsOf(t), seed0);
    EXPECT_EQ(t.turn, 4);
    EXPECT_EQ(t.leader, 4);
    t.DealWithSeed(7171, 1);
    EXPECT_EQ(HandsOf(t), seed7171);
    EXPECT_EQ(t.turn, 2);
    EXPECT_EQ(t.leader, 2);
    EXPECT_EQ(ReferenceDeal(0), seed0);
    EXPECT_EQ(ReferenceDeal(7171), seed7171);
}

// Many seeds against the reference, plus the state of a new game after each.
TEST(Deal, NewGameStateForManySeeds) {
    GameTable t;
    for (std::uint32_t i = 0; i < 400; ++i) {
        const std::uint32_t seed = i * 2654435761u;
        t.DealWithSeed(seed, 1);
        SCOPED_TRACE(seed);
        ASSERT_EQ(HandsOf(t), ReferenceDeal(seed));
        int seen[52] = {};
        for (int s = 1; s <= 4; ++s) {
            for (int p = 0; p < HAND_SIZE; ++p) {
                ASSERT_LT(t.hands[s][p], 52);
                ++seen[t.hands[s][p]];
                if (p > 0) {
                    EXPECT_LT(HandOrderKey(t.hands[s][p - 1]), HandOrderKey(t.hands[s][p]));
                }
            }
        }
        for (int c = 0; c < 52; ++c) EXPECT_EQ(seen[c], 1) << "card " << c;
        EXPECT_EQ(t.turn, HolderOf(t, CARD_OPENING));
        EXPECT_EQ(t.leader, t.turn);
        EXPECT_EQ(t.mustOpenLowest, 1);
        EXPECT_EQ(t.tableCount, 0);
        EXPECT_EQ(t.roundOver, 0);
        EXPECT_EQ(t.roundsPlayed, 0);
        EXPECT_EQ(t.history, nullptr);
        for (int s = 1; s <= 4; ++s) {
            EXPECT_EQ(t.money[s], 100);
            EXPECT_EQ(t.wins[s], 0);
        }
    }
}

TEST(Deal, SameSeedSameHandsAndDealUsesTheSeedSource) {
    SeedSourceGuard guard;
    SetDealSeedSource([] { return 7171u; });
    GameTable fresh;  // the constructor deals with the installed seed too
    GameTable dealt;
    dealt.Deal(1);
    EXPECT_EQ(HandsOf(fresh), ReferenceDeal(7171));
    EXPECT_EQ(HandsOf(dealt), ReferenceDeal(7171));
    EXPECT_EQ(Snapshot(fresh), Snapshot(dealt));

    std::uint32_t next = 5;
    SetDealSeedSource([&next] { return next++; });
    dealt.Deal(1);
    EXPECT_EQ(HandsOf(dealt), ReferenceDeal(5));
    dealt.Deal(0);
    EXPECT_EQ(HandsOf(dealt), ReferenceDeal(6));
}

TEST(Deal, EmptySeedSourceFallsBackToTheTickCount) {
    SeedSourceGuard guard;
    SetDealSeedSource([] { return 1u; });
    SetDealSeedSource(nullptr);
    GameTable t;
    t.Deal(1);
    EXPECT_EQ(t.turn, HolderOf(t, CARD_OPENING));
    EXPECT_NE(t.turn, 0);
    // The tick count counts milliseconds.
    const std::uint32_t before = TickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const std::uint32_t elapsed = TickCount() - before;
    EXPECT_GE(elapsed, 29u);
    EXPECT_LT(elapsed, 5000u);
}

// A new game after a played round resets the scores; the next round keeps them.
TEST(Deal, NewRoundKeepsScoresAndTheWinnerLeads) {
    GameTable t;
    t.DealWithSeed(0, 1);
    FinishRoundWonBy(t, 3);
    t.money[2] = -17;  // whatever the money was, the next round keeps it
    const std::vector<int> money(t.money, t.money + 5);
    const std::vector<int> wins(t.wins, t.wins + 5);
    const RoundResult record = t.history[0];

    t.DealWithSeed(1, 0);
    EXPECT_EQ(HandsOf(t), ReferenceDeal(1));
    EXPECT_EQ(std::vector<int>(t.money, t.money + 5), money);
    EXPECT_EQ(std::vector<int>(t.wins, t.wins + 5), wins);
    EXPECT_EQ(t.roundsPlayed, 1);
    ASSERT_NE(t.history, nullptr);
    EXPECT_EQ(std::memcmp(&t.history[0], &record, sizeof record), 0);
    EXPECT_EQ(t.leader, 3);  // seed 1 gives the three of diamonds to seat 4; the winner leads
    EXPECT_EQ(t.turn, 3);
    EXPECT_EQ(t.mustOpenLowest, 0);
    EXPECT_EQ(t.roundOver, 0);
    EXPECT_EQ(t.tableCount, 0);

    t.DealWithSeed(1, 1);
    EXPECT_EQ(t.leader, 4);
    EXPECT_EQ(t.turn, 4);
    EXPECT_EQ(t.mustOpenLowest, 1);
    EXPECT_EQ(t.roundsPlayed, 0);
    EXPECT_EQ(t.history, nullptr);
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(t.money[s], 100);
        EXPECT_EQ(t.wins[s], 0);
    }
}

TEST(Deal, ResetRoundOnAFinishedRoundLeavesTheWinnerOnTurn) {
    GameTable t;
    t.DealWithSeed(0, 1);
    FinishRoundWonBy(t, 2);
    t.selection[4] = 0xFF;
    t.passed[3] = 1;
    t.ResetRound();
    EXPECT_EQ(t.roundOver, 0);
    EXPECT_EQ(t.leader, 2);
    EXPECT_EQ(t.turn, 2);
    EXPECT_EQ(t.tableCount, 0);
    EXPECT_EQ(t.roundsPlayed, 1);
    for (int i = 0; i < PLAY_SIZE; ++i) EXPECT_EQ(t.tablePlay[i], NO_CARD);
    for (int s = 0; s <= 4; ++s) {
        EXPECT_EQ(t.passed[s], 0);
        for (int i = 0; i < PLAY_SIZE; ++i) EXPECT_EQ(t.lastPlays[s][i], NO_CARD);
    }
    for (int p = 0; p < HAND_SIZE; ++p) EXPECT_EQ(t.selection[p], 0);
}

TEST(Deal, StartNewGameWithoutTheOpeningCardChangesNothing) {
    GameTable t;
    t.DealWithSeed(0, 1);
    FinishRoundWonBy(t, 1);  // hands now hold no three of diamonds
    const auto before = Snapshot(t);
    t.StartNewGame();
    EXPECT_EQ(Snapshot(t), before);
}

TEST(SortHands, SortsIntoHandOrderUsingAllTwelvePasses) {
    GameTable t;
    const std::uint8_t example[HAND_SIZE] = {51, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    const std::uint8_t exampleSorted[HAND_SIZE] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 51};
    // The lowest card dealt into the last position travels one place per pass.
    const std::uint8_t lowestLast[HAND_SIZE] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0};
    const std::uint8_t lowestLastSorted[HAND_SIZE] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    // One rank in every suit, dealt spades first and kings first.
    const std::uint8_t reversed[HAND_SIZE] = {51, 38, 25, 12, 50, 37, 24, 11, 49, 36, 23, 10, 48};
    const std::uint8_t reversedSorted[HAND_SIZE] = {48, 10, 23, 36, 49, 11, 24,
                                                    37, 50, 12, 25, 38, 51};
    std::memcpy(t.hands[1], example, HAND_SIZE);
    std::memcpy(t.hands[2], lowestLast, HAND_SIZE);
    std::memcpy(t.hands[3], reversed, HAND_SIZE);
    std::memset(t.hands[4], NO_CARD, HAND_SIZE);
    t.SortHands();
    EXPECT_EQ(std::memcmp(t.hands[1], exampleSorted, HAND_SIZE), 0);
    EXPECT_EQ(std::memcmp(t.hands[2], lowestLastSorted, HAND_SIZE), 0);
    EXPECT_EQ(std::memcmp(t.hands[3], reversedSorted, HAND_SIZE), 0);
}

}  // namespace
