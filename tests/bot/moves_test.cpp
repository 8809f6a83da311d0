// The move generator against the table itself: over positions reached by
// random play from seeded deals, a selection of hand positions is in
// LegalMoves exactly when GameTable::Play accepts it, and the pass exactly
// when GameTable::Pass does.
#include <gtest/gtest.h>

#include <set>

#include "bench/support/random_player.h"
#include "bot/moves.h"
#include "bot_test_util.h"

namespace {

struct Coverage {
    int openings = 0;          // the first play of a new game
    int roundStarts = 0;       // the winner's free lead at a following round
    int leadsAfterPasses = 0;  // the lead came back after three passes
    int follows = 0;
    int finishedRounds = 0;
};

// Checks every one of the 8192 selections for the seat on turn, and that the
// other seats have no move at all.
void CheckPosition(const GameTable& table, Coverage& coverage) {
    for (int seat = 1; seat <= SEAT_COUNT; ++seat) {
        const std::vector<Move> moves = LegalMoves(table, seat);
        if (seat != table.turn || table.roundOver != 0) {
            EXPECT_TRUE(moves.empty()) << "seat " << seat << " is not to move";
            continue;
        }
        std::set<std::uint16_t> legal;
        bool passLegal = false;
        for (const Move& move : moves) {
            if (move.pass) {
                EXPECT_FALSE(passLegal) << "the pass is listed twice";
                EXPECT_EQ(MovePositions(move), 0);
                passLegal = true;
                continue;
            }
            for (std::uint8_t byte : move.chosen) EXPECT_LE(byte, 1);
            EXPECT_TRUE(legal.insert(MovePositions(move)).second) << "a play is listed twice";
        }

        // A refused play leaves the record unchanged, so one scratch copy
        // serves until a play is accepted.
        GameTable scratch = table;
        for (unsigned mask = 0; mask < (1u << HAND_SIZE); ++mask) {
            const Move move = PlayMove(static_cast<std::uint16_t>(mask));
            const bool accepted = scratch.Play(seat, move.chosen) == 1;
            EXPECT_EQ(accepted, legal.count(static_cast<std::uint16_t>(mask)) == 1)
                << "selection " << mask << " of seat " << seat;
            if (accepted) scratch = table;
        }
        EXPECT_EQ(scratch.Pass(seat) == 1, passLegal);

        if (table.mustOpenLowest != 0) {
            ++coverage.openings;
        } else if (table.tableCount == 0) {
            ++coverage.roundStarts;
        } else if (table.leader == seat) {
            ++coverage.leadsAfterPasses;
        } else {
            ++coverage.follows;
        }
    }
}

TEST(LegalMoves, AreExactlyWhatTheTableAccepts) {
    Coverage coverage;
    RandomPlayer random(20240601);
    for (std::uint32_t game = 0; game < 6; ++game) {
        GameTable table;
        table.DealWithSeed(1000 + game, 1);
        for (int round = 0; round < 3; ++round) {
            int step = 0;
            while (table.roundOver == 0) {
                // Every position of the first round, every third one later.
                if (round == 0 || step % 3 == 0) CheckPosition(table, coverage);
                const int seat = table.turn;
                ASSERT_EQ(ApplyMove(table, seat, random.Choose(table, seat)), 1);
                ASSERT_LT(++step, 1000) << "the round does not end";
            }
            CheckPosition(table, coverage);  // no seat may move once the round is over
            ++coverage.finishedRounds;
            table.DealWithSeed(2000 + 10 * game + static_cast<std::uint32_t>(round), 0);
        }
    }
    // The positions covered every kind of turn.
    EXPECT_GT(coverage.openings, 0);
    EXPECT_GT(coverage.roundStarts, 0);
    EXPECT_GT(coverage.leadsAfterPasses, 0);
    EXPECT_GT(coverage.follows, 0);
    EXPECT_EQ(coverage.finishedRounds, 18);
}

TEST(LegalMoves, OpeningHoldsTheThreeOfDiamondsAndCannotPass) {
    using bot_test::MakeTable;
    using bot_test::Names;
    // Seat 2 opens a new game with the three of diamonds, a pair of threes, a
    // run from three to seven and nothing else that goes with them.
    const std::string hands[] = {"", "", "3D 3S 4C 5H 6S 7D 9C JH KS", "", ""};
    GameTable table = MakeTable(hands, 2, 2, "");
    table.mustOpenLowest = 1;
    std::set<std::string> plays;
    for (const Move& move : LegalMoves(table, 2)) {
        ASSERT_FALSE(move.pass) << "the opening seat cannot pass";
        plays.insert(Names(bot_test::Played(table, 2, move)));
    }
    // The single, the pair, and the run with either three (only the one with
    // the three of diamonds may open).
    const std::set<std::string> expected = {"3D", "3D 3S", "3D 4C 5H 6S 7D"};
    EXPECT_EQ(plays, expected);
}

TEST(LegalMoves, FollowingAPairOffersHigherPairsAndThePass) {
    using bot_test::Names;
    const std::string hands[] = {"", "", "5C 5S 8D 8H 8S KD KH 2D", "", ""};
    const GameTable table = bot_test::MakeTable(hands, 2, 1, "5D 5H");
    std::set<std::string> plays;
    bool pass = false;
    for (const Move& move : LegalMoves(table, 2)) {
        if (move.pass) {
            pass = true;
        } else {
            plays.insert(Names(bot_test::Played(table, 2, move)));
        }
    }
    // 5C 5S is topped by the spade and beats the heart; three eights make
    // three pairs; the kings one. A single two is no pair.
    const std::set<std::string> expected = {"5C 5S", "8D 8H", "8D 8S", "8H 8S", "KD KH"};
    EXPECT_EQ(plays, expected);
    EXPECT_TRUE(pass);
}

}  // namespace
