// Why a move is refused: each reason on a fixed deal, then the reasons held
// to Play, Pass and the list of legal plays on the positions of random games.
#include "bench/support/random_player.h"
#include "rules/game_table.h"
#include "tests/rules/legal_plays.h"
#include "tests/rules/rules_test_util.h"

namespace {

using namespace rules_test;

TEST(Refusal, EachReasonOnAFixedDeal) {
    // Seat 1 opens with the threes of diamonds and clubs; seat 2 holds the
    // pair of fours, seat 3 the threes of hearts and spades.
    GameTable t;
    InstallNewGame(t, {{
                          {D(THREE), Cl(THREE), D(FOUR), Cl(FIVE), D(SIX), D(SEVEN), D(EIGHT),
                           D(NINE), D(TEN), D(JACK), D(QUEEN), D(KING), D(ACE)},
                          {Cl(FOUR), Cl(SIX), Cl(SEVEN), Cl(EIGHT), Cl(NINE), Cl(TEN), Cl(JACK),
                           Cl(QUEEN), Cl(KING), Cl(ACE), Cl(TWO), D(TWO), H(FOUR)},
                          {H(ACE), H(TWO), H(THREE), H(FIVE), H(SIX), H(SEVEN), H(EIGHT), H(NINE),
                           H(TEN), H(JACK), H(QUEEN), H(KING), S(THREE)},
                          {S(ACE), S(TWO), S(FOUR), S(FIVE), S(SIX), S(SEVEN), S(EIGHT), S(NINE),
                           S(TEN), S(JACK), S(QUEEN), S(KING), D(FIVE)},
                      }});
    const auto why = [&t](int seat, std::initializer_list<std::uint8_t> cards) {
        return t.PlayRefusal(seat, Choose(t, seat, cards).data());
    };
    const Chosen none{};
    const Chosen six{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(t.PlayRefusal(0, none.data()), MoveRefusal::kNoSeat);
    EXPECT_EQ(why(2, {Cl(FOUR)}), MoveRefusal::kNotYourTurn);
    EXPECT_EQ(t.PassRefusal(2), MoveRefusal::kNotYourTurn);
    EXPECT_EQ(t.PlayRefusal(1, none.data()), MoveRefusal::kNoCardChosen);
    EXPECT_EQ(t.PlayRefusal(1, six.data()), MoveRefusal::kTooManyCards);
    EXPECT_EQ(why(1, {D(FOUR)}), MoveRefusal::kOpeningCardMissing);
    EXPECT_EQ(why(1, {D(THREE), D(FOUR)}), MoveRefusal::kNotACombination);
    EXPECT_EQ(t.PassRefusal(1), MoveRefusal::kLeaderCannotPass);
    const Chosen opening = Choose(t, 1, {D(THREE)});
    GameTable played(t);
    for (int p = 0; p < HAND_SIZE; ++p)
        if (opening[p] != 0) played.hands[1][p] = NO_CARD;
    EXPECT_EQ(played.PlayRefusal(1, opening.data()), MoveRefusal::kCardNotHeld);

    ASSERT_EQ(PlayCards(t, 1, {D(THREE), Cl(THREE)}), 1);
    EXPECT_EQ(why(2, {Cl(FOUR)}), MoveRefusal::kWrongCardCount);
    EXPECT_EQ(why(2, {Cl(FOUR), Cl(SIX)}), MoveRefusal::kNotACombination);
    ASSERT_EQ(PlayCards(t, 2, {Cl(FOUR), H(FOUR)}), 1);
    EXPECT_EQ(why(3, {H(THREE), S(THREE)}), MoveRefusal::kDoesNotBeat);
    t.roundOver = 1;
    EXPECT_EQ(t.PassRefusal(3), MoveRefusal::kRoundOver);
}

TEST(Refusal, NoneExactlyWhenTheMoveIsLegal) {
    RandomPlayer player(7);
    TestRandom random(7);
    std::array<std::vector<PlayChoice>, 6> legal;
    for (int game = 0; game < 60; ++game) {
        GameTable t;
        t.DealWithSeed(static_cast<std::uint32_t>(1000 + game), 1);
        for (int step = 0; step < 300 && t.roundOver == 0; ++step) {
            ListLegalPlays(t, legal);
            // Random choices of 0 to 6 cards, half of them for the seat on turn.
            for (int probe = 0; probe < 8; ++probe) {
                const int seat = probe < 4 ? t.turn : 1 + random.Below(SEAT_COUNT);
                Chosen chosen{};
                for (int k = random.Below(7); k > 0; --k) chosen[random.Below(HAND_SIZE)] = 0xFF;
                bool listed = false;
                for (const auto& plays : legal)
                    for (const PlayChoice& play : plays) listed = listed || play.chosen == chosen;
                GameTable copy(t);
                const bool played = copy.Play(seat, chosen.data()) == 1;
                ASSERT_EQ(played, seat == t.turn && listed);
                ASSERT_EQ(t.PlayRefusal(seat, chosen.data()) == MoveRefusal::kNone, played);
                GameTable other(t);
                ASSERT_EQ(t.PassRefusal(seat) == MoveRefusal::kNone, other.Pass(seat) == 1);
            }
            const Move move = player.Choose(t, t.turn);
            if (!move.pass) {
                ASSERT_EQ(t.PlayRefusal(t.turn, move.chosen), MoveRefusal::kNone);
            }
            ASSERT_EQ(move.pass ? t.Pass(t.turn) : t.Play(t.turn, move.chosen), 1);
        }
    }
}

}  // namespace
