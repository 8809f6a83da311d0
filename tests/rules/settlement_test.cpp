// Going out, the charges, the money and the round history.
#include <array>
#include <climits>
#include <cstring>
#include <vector>

#include "rules/game_table.h"
#include "tests/rules/rules_test_util.h"

namespace {

using namespace rules_test;

constexpr std::uint8_t TWO_OF_SPADES = 40;
constexpr std::uint8_t ON_TABLE = 3;  // the four of diamonds, when the winner follows

// Brings the record to the last move of a round: each seat holds cardsLeft[s]
// cards, the winner exactly one, the two of spades. With `winnerLeads` the
// winner has a free lead; otherwise it follows the four of diamonds played by
// the seat before it. Money, wins and history stay as they are.
void SetUpLastMove(GameTable& t, const std::array<int, 5>& cardsLeft, int winner,
                   bool winnerLeads) {
    t.ResetRound();
    std::uint8_t next = 0;
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        std::memset(t.hands[s], NO_CARD, HAND_SIZE);
        if (s == winner) {
            t.hands[s][HAND_SIZE - 1] = TWO_OF_SPADES;  // any position works
            continue;
        }
        for (int p = 0; p < cardsLeft[s]; ++p) {
            while (next == TWO_OF_SPADES || next == ON_TABLE) ++next;
            t.hands[s][p] = next++;
        }
    }
    t.mustOpenLowest = 0;
    t.turn = winner;
    t.leader = winnerLeads ? winner : (winner + 2) % 4 + 1;  // the seat before
    if (!winnerLeads) {
        t.tableCount = 1;
        t.tablePlay[0] = ON_TABLE;
    }
}

int GoOut(GameTable& t, int winner) {
    return PlayCards(t, winner, {TWO_OF_SPADES});
}

// Cards charged for the cards left in a losing hand.
int ExpectedCharge(int left) {
    static const int charges[14] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 20, 22, 24, 39};
    return charges[left];
}

std::vector<int> Money(const GameTable& t) {
    return {t.money + 1, t.money + 5};
}

std::vector<int> Charges(const GameTable& t, int round) {
    const RoundResult& r = t.history[round];
    return {r.charged[1], r.charged[2], r.charged[3], r.charged[4]};
}

TEST(Settlement, GoingOutWithTheLead) {
    GameTable t;
    t.DealWithSeed(0, 1);
    SetUpLastMove(t, {0, 13, 10, 0, 3}, 3, true);
    ASSERT_EQ(GoOut(t, 3), 1);
    EXPECT_EQ(t.roundOver, 1);
    EXPECT_EQ(t.roundsPlayed, 1);
    ASSERT_NE(t.history, nullptr);
    EXPECT_EQ(Charges(t, 0), (std::vector<int>{39, 20, 0, 3}));
    EXPECT_EQ(Money(t), (std::vector<int>{61, 80, 162, 97}));
    EXPECT_EQ(t.wins[3], 1);
    EXPECT_EQ(t.wins[1] + t.wins[2] + t.wins[4], 0);
    EXPECT_EQ(t.leader, 3);
    EXPECT_EQ(t.turn, 4);  // the turn moves on although the round is over
    EXPECT_EQ(t.tablePlay[0], TWO_OF_SPADES);
    EXPECT_EQ(t.lastPlays[3][0], TWO_OF_SPADES);
    for (int i = 0; i < PLAY_SIZE; ++i) EXPECT_EQ(t.lastPlays[4][i], NO_CARD);

    // Nothing is accepted until the next deal.
    const auto before = Snapshot(t);
    Chosen all{};
    all.fill(0xFF);
    for (int seat = -1; seat <= 5; ++seat) {
        for (int p = 0; p < HAND_SIZE; ++p) {
            Chosen one{};
            one[p] = 1;
            EXPECT_EQ(t.Play(seat, one.data()), 0);
        }
        EXPECT_EQ(t.Play(seat, all.data()), 0);
        EXPECT_EQ(t.Pass(seat), 0);
    }
    EXPECT_EQ(Snapshot(t), before);
}

TEST(Settlement, GoingOutWhileFollowingChargesTheNextSeatsInTurn) {
    GameTable t;
    t.DealWithSeed(0, 1);
    SetUpLastMove(t, {0, 1, 0, 9, 10}, 2, false);
    ASSERT_EQ(GoOut(t, 2), 1);
    EXPECT_EQ(Charges(t, 0), (std::vector<int>{1, 0, 9, 20}));
    EXPECT_EQ(Money(t), (std::vector<int>{99, 130, 91, 80}));
    EXPECT_EQ(t.turn, 3);
    EXPECT_EQ(t.leader, 2);
}

TEST(Settlement, ChargeTable) {
    for (int left = 0; left <= 13; ++left) EXPECT_EQ(GameTable::Charge(left), ExpectedCharge(left));

    GameTable t;
    t.DealWithSeed(0, 1);
    SetUpLastMove(t, {0, 0, 11, 12, 13}, 1, true);
    ASSERT_EQ(GoOut(t, 1), 1);
    EXPECT_EQ(Charges(t, 0), (std::vector<int>{0, 22, 24, 39}));
    EXPECT_EQ(Money(t), (std::vector<int>{185, 78, 76, 61}));
}

TEST(Settlement, MoneyMayGoNegative) {
    GameTable t;
    t.DealWithSeed(0, 1);
    t.money[1] = 10;
    t.money[2] = INT_MIN / 2;
    SetUpLastMove(t, {0, 13, 0, 2, 12}, 3, true);
    const long long sumBefore = 0LL + t.money[1] + t.money[2] + t.money[3] + t.money[4];
    ASSERT_EQ(GoOut(t, 3), 1);
    EXPECT_EQ(t.money[1], -29);
    EXPECT_EQ(t.money[2], INT_MIN / 2);
    EXPECT_EQ(0LL + t.money[1] + t.money[2] + t.money[3] + t.money[4], sumBefore);
}

// Each finished round adds one record behind the ones already there, and a
// copy of the record owns a copy of them.
TEST(Settlement, HistoryGrowsAndIsCopiedDeeply) {
    GameTable t;
    t.DealWithSeed(0, 1);
    const std::vector<std::array<int, 5>> rounds = {
        {0, 13, 10, 0, 3}, {0, 0, 1, 2, 3}, {0, 12, 0, 11, 10}, {0, 4, 5, 6, 0}};
    const std::vector<int> winners = {3, 1, 2, 4};
    GameTable copied;
    for (std::size_t r = 0; r < rounds.size(); ++r) {
        SetUpLastMove(t, rounds[r], winners[r], r % 2 == 0);
        ASSERT_EQ(GoOut(t, winners[r]), 1);
        ASSERT_EQ(t.roundsPlayed, static_cast<int>(r) + 1);
        for (std::size_t k = 0; k <= r; ++k) {
            std::vector<int> expected;
            for (int s = 1; s <= 4; ++s) {
                expected.push_back(s == winners[k] ? 0 : ExpectedCharge(rounds[k][s]));
            }
            EXPECT_EQ(Charges(t, static_cast<int>(k)), expected) << "round " << k;
        }
        if (r == 1) copied = t;
    }
    EXPECT_EQ(t.wins[1] + t.wins[2] + t.wins[3] + t.wins[4], 4);
    EXPECT_EQ(t.money[1] + t.money[2] + t.money[3] + t.money[4], 400);

    ASSERT_EQ(copied.roundsPlayed, 2);
    EXPECT_NE(copied.history, t.history);
    EXPECT_EQ(Charges(copied, 1), Charges(t, 1));
    t.history[0].charged[1] = 77;
    EXPECT_EQ(copied.history[0].charged[1], 39);

    GameTable constructed(t);
    EXPECT_EQ(Snapshot(constructed), Snapshot(t));
    constructed = copied;  // replaces a longer history
    EXPECT_EQ(Snapshot(constructed), Snapshot(copied));
    const GameTable& self = constructed;
    constructed = self;
    EXPECT_EQ(Snapshot(constructed), Snapshot(copied));
    copied.DealWithSeed(1, 1);  // a new game frees the history
    EXPECT_EQ(copied.history, nullptr);
    constructed = copied;
    EXPECT_EQ(constructed.history, nullptr);
    EXPECT_EQ(constructed.roundsPlayed, 0);
}

}  // namespace
