// Leading, following and passing.
#include <climits>
#include <cstring>

#include "rules/game_table.h"
#include "tests/rules/rules_test_util.h"

namespace {

using namespace rules_test;

// Seat 1 opens with the three of diamonds and also holds the three of clubs
// and a straight from four to eight; seat 2 holds the pair of fours; seat 3
// the pair of threes of hearts and spades.
class PlayTest : public testing::Test {
  protected:
    void SetUp() override {
        InstallNewGame(t, {{
                              {D(THREE), Cl(THREE), D(FOUR), Cl(FIVE), D(SIX), D(SEVEN), D(EIGHT),
                               D(NINE), D(TEN), D(JACK), D(QUEEN), D(KING), D(ACE)},
                              {Cl(FOUR), Cl(SIX), Cl(SEVEN), Cl(EIGHT), Cl(NINE), Cl(TEN), Cl(JACK),
                               Cl(QUEEN), Cl(KING), Cl(ACE), Cl(TWO), D(TWO), H(FOUR)},
                              {H(ACE), H(TWO), H(THREE), H(FIVE), H(SIX), H(SEVEN), H(EIGHT),
                               H(NINE), H(TEN), H(JACK), H(QUEEN), H(KING), S(THREE)},
                              {S(ACE), S(TWO), S(FOUR), S(FIVE), S(SIX), S(SEVEN), S(EIGHT),
                               S(NINE), S(TEN), S(JACK), S(QUEEN), S(KING), D(FIVE)},
                          }});
        ASSERT_EQ(t.turn, 1);
        ASSERT_EQ(t.leader, 1);
        ASSERT_EQ(t.mustOpenLowest, 1);
    }

    // Expects the move to be refused and the record to stay byte for byte.
    void ExpectRefusedPlay(int seat, std::initializer_list<std::uint8_t> cards) {
        const auto before = Snapshot(t);
        EXPECT_EQ(PlayCards(t, seat, cards), 0) << "seat " << seat;
        EXPECT_EQ(Snapshot(t), before);
    }
    void ExpectRefusedPass(int seat) {
        const auto before = Snapshot(t);
        EXPECT_EQ(t.Pass(seat), 0) << "seat " << seat;
        EXPECT_EQ(Snapshot(t), before);
    }

    GameTable t;
};

TEST_F(PlayTest, TheOpeningNeedsTheThreeOfDiamonds) {
    ExpectRefusedPlay(1, {D(FOUR)});
    ExpectRefusedPlay(1, {D(FOUR), Cl(FIVE), D(SIX), D(SEVEN), D(EIGHT)});
    ExpectRefusedPlay(1, {D(THREE), D(FOUR)});  // holds it but is no combination
    ExpectRefusedPass(1);                       // the opening seat cannot pass
    ExpectRefusedPlay(2, {Cl(FOUR)});
    ExpectRefusedPass(2);

    ASSERT_EQ(PlayCards(t, 1, {D(THREE), Cl(THREE)}), 1);
    EXPECT_EQ(t.mustOpenLowest, 0);
    // Hand order puts the ace first; the played positions empty, the rest stay put.
    EXPECT_EQ(t.hands[1][0], D(ACE));
    EXPECT_EQ(t.hands[1][1], NO_CARD);
    EXPECT_EQ(t.hands[1][2], NO_CARD);
    EXPECT_EQ(t.hands[1][3], D(FOUR));
    EXPECT_EQ(GameTable::CountCards(t.hands[1], HAND_SIZE), 11);
    EXPECT_EQ(t.tableCount, 2);
    EXPECT_EQ(t.leader, 1);
    EXPECT_EQ(t.turn, 2);
    EXPECT_EQ(G({D(THREE), Cl(THREE)}), (Group{t.tablePlay[0], t.tablePlay[1], t.tablePlay[2],
                                               t.tablePlay[3], t.tablePlay[4]}));
    EXPECT_EQ(0, std::memcmp(t.lastPlays[1], t.tablePlay, PLAY_SIZE));
}

TEST_F(PlayTest, FollowingASingle) {
    ASSERT_EQ(PlayCards(t, 1, {D(THREE)}), 1);
    ASSERT_EQ(PlayCards(t, 2, {Cl(SIX)}), 1);
    ExpectRefusedPlay(3, {H(THREE), S(THREE)});  // a pair cannot follow a single
    ExpectRefusedPlay(3, {H(FIVE)});             // lower than the six of clubs
    ExpectRefusedPlay(3, {});
    ExpectRefusedPlay(4, {S(KING)});  // not on turn
    ExpectRefusedPlay(1, {D(KING)});
    ExpectRefusedPass(1);
    ASSERT_EQ(PlayCards(t, 3, {H(SEVEN)}), 1);
    EXPECT_EQ(t.leader, 3);
    EXPECT_EQ(t.turn, 4);
    EXPECT_EQ(t.tablePlay[0], H(SEVEN));
}

TEST_F(PlayTest, ThreePassesGiveTheLeaderAFreeLead) {
    ASSERT_EQ(PlayCards(t, 1, {D(THREE)}), 1);
    ASSERT_EQ(t.Pass(2), 1);
    EXPECT_EQ(t.passed[2], 1);
    ASSERT_EQ(t.Pass(3), 1);
    ASSERT_EQ(t.Pass(4), 1);
    EXPECT_EQ(t.turn, 1);
    EXPECT_EQ(t.passed[1], 0);
    EXPECT_EQ(t.passed[2] + t.passed[3] + t.passed[4], 3);
    for (int i = 0; i < PLAY_SIZE; ++i) EXPECT_EQ(t.lastPlays[1][i], NO_CARD);
    EXPECT_EQ(t.tablePlay[0], D(THREE));  // the old play stays until the leader plays
    ExpectRefusedPass(1);
    ExpectRefusedPlay(1, {D(FOUR), D(SIX)});  // a free lead still needs a combination
    ASSERT_EQ(PlayCards(t, 1, {D(FOUR), Cl(FIVE), D(SIX), D(SEVEN), D(EIGHT)}), 1);
    EXPECT_EQ(t.tableCount, 5);
    EXPECT_EQ(t.turn, 2);
    EXPECT_EQ(t.passed[2], 0);  // the turn reaching a seat clears its pass
}

TEST_F(PlayTest, PassingGivesUpOnlyOneTurn) {
    ASSERT_EQ(PlayCards(t, 1, {D(THREE)}), 1);
    ASSERT_EQ(t.Pass(2), 1);
    ASSERT_EQ(PlayCards(t, 3, {H(FIVE)}), 1);
    ASSERT_EQ(t.Pass(4), 1);
    ASSERT_EQ(t.Pass(1), 1);
    EXPECT_EQ(t.turn, 2);
    EXPECT_EQ(t.leader, 3);
    ExpectRefusedPlay(2, {Cl(FOUR)});  // below the five of hearts
    ASSERT_EQ(PlayCards(t, 2, {Cl(SIX)}), 1);
    EXPECT_EQ(t.leader, 2);
}

TEST_F(PlayTest, FiveCardPlaysMustBeatFiveCards) {
    ASSERT_EQ(PlayCards(t, 1, {D(THREE)}), 1);
    ASSERT_EQ(t.Pass(2), 1);
    ASSERT_EQ(t.Pass(3), 1);
    ASSERT_EQ(t.Pass(4), 1);
    ASSERT_EQ(PlayCards(t, 1, {D(FOUR), Cl(FIVE), D(SIX), D(SEVEN), D(EIGHT)}), 1);
    ExpectRefusedPlay(2, {Cl(FOUR), H(FOUR)});
    ExpectRefusedPlay(2, {Cl(FOUR), Cl(SIX), Cl(SEVEN), Cl(EIGHT)});  // four cards never
    ASSERT_EQ(PlayCards(t, 2, {Cl(SIX), Cl(SEVEN), Cl(EIGHT), Cl(NINE), Cl(TEN)}), 1);
    ExpectRefusedPlay(3, {H(FIVE), H(SIX), H(SEVEN), H(EIGHT), H(NINE)});  // lower straight flush
    ASSERT_EQ(PlayCards(t, 3, {H(SIX), H(SEVEN), H(EIGHT), H(NINE), H(TEN)}), 1);  // suit decides
}

TEST_F(PlayTest, SelectionsThatAreNoPlay) {
    Chosen six{};
    for (int p = 0; p < 6; ++p) six[p] = 1;
    auto before = Snapshot(t);
    EXPECT_EQ(t.Play(1, six.data()), 0);
    EXPECT_EQ(Snapshot(t), before);

    // A position whose card has been played holds no card any more.
    ASSERT_EQ(PlayCards(t, 1, {D(THREE)}), 1);
    ASSERT_EQ(t.Pass(2), 1);
    ASSERT_EQ(t.Pass(3), 1);
    ASSERT_EQ(t.Pass(4), 1);
    Chosen played{};
    played[1] = 1;  // where the three of diamonds stood: an empty single
    before = Snapshot(t);
    EXPECT_EQ(t.Play(1, played.data()), 0);
    played[0] = 1;  // with the ace of diamonds
    EXPECT_EQ(t.Play(1, played.data()), 0);
    EXPECT_EQ(Snapshot(t), before);
}

TEST_F(PlayTest, NoSelectionMeansTheRecordsOwn) {
    t.selection[1] = 0xFF;  // the three of diamonds, behind the ace
    ASSERT_EQ(t.Play(1, nullptr), 1);
    EXPECT_EQ(t.tablePlay[0], D(THREE));
    t.selection[1] = 0;
    const auto before = Snapshot(t);
    EXPECT_EQ(t.Play(2, nullptr), 0);  // nothing chosen
    EXPECT_EQ(Snapshot(t), before);
}

TEST_F(PlayTest, SeatsOutsideTheTableAreRefused) {
    Chosen all{};
    all.fill(0xFF);
    Chosen first{};
    first[0] = 0xFF;
    for (int seat : {0, 5, -1, 100, INT_MIN, INT_MAX}) {
        const auto before = Snapshot(t);
        EXPECT_EQ(t.Play(seat, first.data()), 0) << seat;
        EXPECT_EQ(t.Play(seat, all.data()), 0) << seat;
        EXPECT_EQ(t.Pass(seat), 0) << seat;
        EXPECT_EQ(Snapshot(t), before);
    }
}

}  // namespace
