// Why a move is refused: each reason on a fixed deal, and the reasons
// against Play and Pass themselves on random positions of random games.
#include "rules/game_table.h"
#include "tests/rules/random_player.h"
#include "tests/rules/rules_test_util.h"

namespace {

using namespace rules_test;

// Seat 1 opens (three of diamonds, three of clubs, a run from four to eight);
// seat 2 holds the pair of fours and the two of diamonds; seat 3 a pair of
// threes and a pair of sixes.
class RefusalTest : public testing::Test {
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
    }
    MoveRefusal Why(int seat, std::initializer_list<std::uint8_t> cards) {
        return t.PlayRefusal(seat, Choose(t, seat, cards).data());
    }

    GameTable t;
};

TEST_F(RefusalTest, EachReasonOnce) {
    const Chosen none{};
    Chosen six{};
    for (int p = 0; p < 6; ++p) six[p] = 0xFF;

    EXPECT_EQ(t.PlayRefusal(0, none.data()), MoveRefusal::kNoSeat);
    EXPECT_EQ(t.PassRefusal(5), MoveRefusal::kNoSeat);
    EXPECT_EQ(Why(2, {Cl(FOUR)}), MoveRefusal::kNotYourTurn);
    EXPECT_EQ(t.PassRefusal(2), MoveRefusal::kNotYourTurn);
    EXPECT_EQ(t.PlayRefusal(1, none.data()), MoveRefusal::kNoCardChosen);
    EXPECT_EQ(t.PlayRefusal(1, six.data()), MoveRefusal::kTooManyCards);
    EXPECT_EQ(Why(1, {D(FOUR)}), MoveRefusal::kOpeningCardMissing);
    EXPECT_EQ(Why(1, {D(THREE), D(FOUR)}), MoveRefusal::kNotACombination);
    EXPECT_EQ(t.PassRefusal(1), MoveRefusal::kLeaderCannotPass);
    const Chosen opening = Choose(t, 1, {D(THREE)});
    GameTable played(t);
    for (int p = 0; p < HAND_SIZE; ++p)
        if (opening[p] != 0) played.hands[1][p] = NO_CARD;
    EXPECT_EQ(played.PlayRefusal(1, opening.data()), MoveRefusal::kCardNotHeld);
    // Null stands for the record's own selection, as in Play.
    std::copy(opening.begin(), opening.end(), t.selection);
    EXPECT_EQ(t.PlayRefusal(1, nullptr), MoveRefusal::kNone);

    ASSERT_EQ(PlayCards(t, 1, {D(THREE), Cl(THREE)}), 1);
    EXPECT_EQ(Why(1, {D(FOUR)}), MoveRefusal::kNotYourTurn);
    EXPECT_EQ(Why(2, {Cl(FOUR)}), MoveRefusal::kWrongCardCount);
    EXPECT_EQ(Why(2, {Cl(FOUR), Cl(SIX)}), MoveRefusal::kNotACombination);  // no pair
    EXPECT_EQ(t.PassRefusal(2), MoveRefusal::kNone);
    ASSERT_EQ(PlayCards(t, 2, {Cl(FOUR), H(FOUR)}), 1);
    EXPECT_EQ(Why(3, {H(THREE), S(THREE)}), MoveRefusal::kDoesNotBeat);
    EXPECT_EQ(Why(3, {H(FIVE), H(SIX)}), MoveRefusal::kNotACombination);

    t.roundOver = 1;
    EXPECT_EQ(Why(3, {H(SIX)}), MoveRefusal::kRoundOver);
    EXPECT_EQ(t.PassRefusal(3), MoveRefusal::kRoundOver);
}

// Play and Pass decide through the reasons; this holds them to it on the
// positions random games go through, for random choices of every size, and
// holds both to the list of legal plays that the generated games use.
TEST(Refusal, NoneExactlyWhenPlayOrPassAccepts) {
    RandomPlayer player(7);
    TestRandom& random = player.Random();
    std::array<std::vector<PlayChoice>, 6> legal;
    int accepted = 0;
    int refused = 0;
    for (int game = 0; game < 60; ++game) {
        GameTable t;
        t.DealWithSeed(static_cast<std::uint32_t>(1000 + game), 1);
        for (int step = 0; step < 300 && t.roundOver == 0; ++step) {
            ListLegalPlays(t, legal);
            for (int probe = 0; probe < 8; ++probe) {
                const int seat = probe < 4 ? t.turn : 1 + random.Below(SEAT_COUNT);
                Chosen chosen{};
                const int picks = random.Below(7);
                for (int k = 0; k < picks; ++k) chosen[random.Below(HAND_SIZE)] = 0xFF;
                GameTable copy(t);
                const bool played = copy.Play(seat, chosen.data()) == 1;
                ASSERT_EQ(t.PlayRefusal(seat, chosen.data()) == MoveRefusal::kNone, played);
                bool listed = false;
                for (const auto& plays : legal)
                    for (const PlayChoice& play : plays) listed = listed || play.chosen == chosen;
                ASSERT_EQ(played, seat == t.turn && listed);
                GameTable other(t);
                ASSERT_EQ(t.PassRefusal(seat) == MoveRefusal::kNone, other.Pass(seat) == 1);
                (played ? accepted : refused) += 1;
            }
            const PlayChoice* move = player.Choose(t);
            if (move == nullptr) {
                ASSERT_EQ(t.PassRefusal(t.turn), MoveRefusal::kNone);
                ASSERT_EQ(t.Pass(t.turn), 1);
            } else {
                ASSERT_EQ(t.PlayRefusal(t.turn, move->chosen.data()), MoveRefusal::kNone);
                ASSERT_EQ(t.Play(t.turn, move->chosen.data()), 1);
            }
        }
    }
    EXPECT_GT(accepted, 100);
    EXPECT_GT(refused, 1000);
}

}  // namespace
