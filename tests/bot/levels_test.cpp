// The levels of the computer player: the hard level's search and its deals of
// the unseen cards, the record it reads, and a short match that ranks the
// levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "bench/support/match.h"
#include "bench/support/random_player.h"
#include "bot/computer_player.h"
#include "bot/deal_sampler.h"
#include "bot/easy_strategy.h"
#include "bot/search.h"
#include "bot/strategy.h"
#include "bot_test_util.h"

namespace {

// Searches small enough for the sanitizer build: a few deals per decision.
SearchParams SmallSearch() {
    SearchParams params;
    params.budget = 20000;
    params.maxDeals = 12;
    params.minDeals = 4;
    return params;
}

SearchParams TinySearch() {
    SearchParams params;
    params.budget = 3000;
    params.maxDeals = 4;
    params.minDeals = 2;
    return params;
}

// Positions of rounds from seeded deals, each with the round's record so far:
// the strategy in one seat, a beginner in the next, and random players or
// (with `reasonable`) the strategy in the other two. Reasonable players go
// out whenever they can, as the deals of the search assume.
template <typename Check>
void ForRecordedPositions(int rounds, bool reasonable, Check&& check) {
    RandomPlayer random(91);
    BotRandom easyRandom(92);
    for (int round = 0; round < rounds; ++round) {
        GameTable table;
        table.DealWithSeed(static_cast<std::uint32_t>(900 + round), 1);
        if (round % 2 == 1) {  // a free lead, as after a won round
            table.leader = 1 + round % SEAT_COUNT;
            table.mustOpenLowest = 0;
            table.ResetRound();
        }
        const int strategySeat = 1 + round % SEAT_COUNT;
        const int easySeat = strategySeat % SEAT_COUNT + 1;
        RoundRecord record;
        while (table.roundOver == 0) {
            const int seat = table.turn;
            check(table, record);
            const SeatView view(table, seat);
            Move move;
            if (seat == easySeat) {
                move = ChooseEasyMove(view, easyRandom);
            } else if (seat == strategySeat || reasonable) {
                move = ChooseMove(view, &record);
            } else {
                move = random.Choose(table, seat);
            }
            ASSERT_EQ(record.Apply(table, seat, move), 1);
        }
    }
}

TEST(Levels, NamesAndLabels) {
    BotLevel level = BotLevel::kEasy;
    for (BotLevel each : BOT_LEVELS) {
        ASSERT_TRUE(ParseBotLevel(BotLevelName(each), &level));
        EXPECT_EQ(level, each);
    }
    EXPECT_STREQ(BotLevelLabel(BotLevel::kEasy), "Facile");
    EXPECT_STREQ(BotLevelLabel(BotLevel::kNormal), "Normal");
    EXPECT_STREQ(BotLevelLabel(BotLevel::kHard), "Difficile");
    EXPECT_FALSE(ParseBotLevel("Hard", &level));
    EXPECT_FALSE(ParseBotLevel("", &level));
    EXPECT_EQ(level, BotLevel::kHard);
    EXPECT_EQ(DEFAULT_BOT_LEVEL, BotLevel::kNormal);
}

// ---------------------------------------------------------------------------
// What a seat may know

TEST(SeatView, ShowsTheCountsAndItsPublicTableHoldsNoOtherSeatsCard) {
    // The search deals its worlds into the view's public table: a leak of
    // another hand there, or a public field lost, would change what it plays.
    int positions = 0;
    ForRecordedPositions(6, true, [&](const GameTable& table, const RoundRecord&) {
        const int seat = table.turn;
        const SeatView view(table, seat);
        const GameTable world = view.PublicTable();
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            ASSERT_EQ(view.Held(s), GameTable::CountCards(table.hands[s], HAND_SIZE));
            if (s == seat) continue;
            ASSERT_EQ(GameTable::CountCards(world.hands[s], HAND_SIZE), 0) << "seat " << s;
        }
        ASSERT_EQ(std::memcmp(world.hands[seat], table.hands[seat], HAND_SIZE), 0);
        ASSERT_EQ(std::memcmp(world.lastPlays, table.lastPlays, sizeof table.lastPlays), 0);
        ASSERT_EQ(std::memcmp(world.tablePlay, table.tablePlay, PLAY_SIZE), 0);
        ASSERT_EQ(std::memcmp(world.passed, table.passed, sizeof table.passed), 0);
        ASSERT_EQ(std::memcmp(world.money, table.money, sizeof table.money), 0);
        ASSERT_EQ(std::memcmp(world.wins, table.wins, sizeof table.wins), 0);
        ASSERT_EQ(world.leader, table.leader);
        ASSERT_EQ(world.turn, table.turn);
        ASSERT_EQ(world.tableCount, table.tableCount);
        ASSERT_EQ(world.roundsPlayed, table.roundsPlayed);
        ASSERT_EQ(world.mustOpenLowest, table.mustOpenLowest);
        ++positions;
    });
    EXPECT_GT(positions, 100);
    // A number that is no seat sees no hand and is never on turn.
    GameTable table;
    EXPECT_EQ(SeatView(table, 7).Seat(), 0);
    EXPECT_TRUE(LegalMoves(SeatView(table, 7)).empty());
}

// ---------------------------------------------------------------------------
// The deals of the unseen cards

TEST(DealSampler, DealsAgreeWithWhatTheSeatKnows) {
    BotRandom random(5);
    int deals = 0;
    int passClues = 0;
    ForRecordedPositions(40, true, [&](const GameTable& table, const RoundRecord& record) {
        const int seat = table.turn;
        const SeatView view(table, seat);
        const DealSampler sampler(view, record);
        ASSERT_TRUE(sampler.Valid());
        // What the seat cannot see is exactly what the other seats hold.
        std::uint64_t hidden = 0;
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            for (std::uint8_t card : table.hands[s]) {
                if (s != seat && card != NO_CARD) hidden |= std::uint64_t{1} << card;
            }
        }
        ASSERT_EQ(sampler.Unseen(), hidden);

        for (int draw = 0; draw < 3; ++draw) {
            GameTable world = view.PublicTable();
            sampler.Draw(random, world);
            ++deals;
            ASSERT_EQ(std::memcmp(world.hands[seat], table.hands[seat], HAND_SIZE), 0);
            std::uint64_t dealt = 0;
            for (int s = 1; s <= SEAT_COUNT; ++s) {
                if (s == seat) continue;
                ASSERT_EQ(GameTable::CountCards(world.hands[s], HAND_SIZE),
                          GameTable::CountCards(table.hands[s], HAND_SIZE));
                for (std::uint8_t card : world.hands[s]) {
                    if (card == NO_CARD) continue;
                    ASSERT_LT(card, DECK_SIZE);
                    ASSERT_EQ(dealt & (std::uint64_t{1} << card), 0u) << "a card dealt twice";
                    dealt |= std::uint64_t{1} << card;
                }
            }
            // Never a card of the seat's hand, a card played or one on the table.
            ASSERT_EQ(dealt, hidden);
            ASSERT_EQ(std::memcmp(world.tablePlay, table.tablePlay, PLAY_SIZE), 0);

            // A seat that passed holding exactly as many cards as the play
            // could not have gone out on it: these players always go out.
            std::uint64_t playedSince[SEAT_COUNT + 1] = {};
            const std::vector<SeenAction>& actions = record.Actions();
            for (std::size_t i = actions.size(); i-- > 0;) {
                const SeenAction& action = actions[i];
                for (int j = 0; j < action.count; ++j)
                    playedSince[action.seat] |= std::uint64_t{1} << action.cards[j];
                if (action.count > 0 || action.seat == seat) continue;
                auto onTable =
                    std::find_if(actions.rbegin() + static_cast<std::ptrdiff_t>(actions.size() - i),
                                 actions.rend(), [](const SeenAction& a) { return a.count > 0; });
                std::vector<std::uint8_t> then;
                for (std::uint8_t card : world.hands[action.seat]) {
                    if (card != NO_CARD) then.push_back(card);
                }
                for (int c = 0; c < DECK_SIZE; ++c) {
                    if (playedSince[action.seat] & (std::uint64_t{1} << c))
                        then.push_back(static_cast<std::uint8_t>(c));
                }
                if (static_cast<int>(then.size()) != onTable->count) continue;
                std::sort(then.begin(), then.end(), [](std::uint8_t a, std::uint8_t b) {
                    return a % 13 != b % 13 ? a % 13 < b % 13 : a < b;
                });
                then.resize(PLAY_SIZE, NO_CARD);
                EXPECT_NE(GameTable::ComparePlays(onTable->cards, then.data(), onTable->count), 1)
                    << "seat " << int{action.seat} << " passed up going out";
                ++passClues;
            }
        }
    });
    EXPECT_GT(deals, 1500);
    EXPECT_GT(passClues, 50);
}

TEST(DealSampler, NeedsTheWholeRound) {
    // A record that misses a play (a player started in the middle of the
    // round without it) does not tell which cards are gone: no deals, and
    // the hard player makes the strategy's move.
    ForRecordedPositions(4, false, [&](const GameTable& table, const RoundRecord& record) {
        if (record.Actions().size() != 6) return;
        RoundRecord partial;
        for (std::size_t i = 1; i < record.Actions().size(); ++i) {
            const SeenAction& action = record.Actions()[i];
            if (action.count == 0) {
                partial.Passed(action.seat);
            } else {
                partial.Played(action.seat, action.cards);
            }
        }
        const SeenAction& first = record.Actions().front();
        ASSERT_GT(first.count, 0);  // the round opens with a play
        const SeatView view(table, table.turn);
        EXPECT_FALSE(partial.Covers(view));
        EXPECT_FALSE(DealSampler(view, partial).Valid());
        BotRandom random(3);
        SearchStats stats;
        const Move move = ChooseSearchedMove(view, partial, random, SmallSearch(), &stats);
        EXPECT_FALSE(stats.searched);
        EXPECT_EQ(MovePositions(move), MovePositions(ChooseMove(view, &partial)));
    });
}

// ---------------------------------------------------------------------------
// The search

TEST(HardLevel, ChoosesLegalMovesAndSeesNoOtherSeatsCards) {
    int decisions = 0;
    int searched = 0;
    ForRecordedPositions(8, false, [&](const GameTable& table, const RoundRecord& record) {
        const int seat = table.turn;
        ComputerPlayer hard(BotLevel::kHard, 17);
        hard.SetSearchParams(TinySearch());
        hard.Resume(record);
        const Move move = hard.Choose(SeatView(table, seat));
        GameTable copy = table;
        ASSERT_EQ(ApplyMove(copy, seat, move), 1) << "the table refuses the hard player's move";
        ++decisions;
        if (!hard.LastSearch().searched) return;
        ++searched;
        // The same seed and record give the same move, and so does a table
        // whose other hands hold their cards in another order: the search
        // reads only the counts of those hands.
        ComputerPlayer again(BotLevel::kHard, 17);
        again.SetSearchParams(TinySearch());
        again.Resume(record);
        const GameTable reshuffled = bot_test::OthersReshuffled(table, seat);
        const Move shuffled = again.Choose(SeatView(reshuffled, seat));
        EXPECT_EQ(MovePositions(shuffled), MovePositions(move));
        EXPECT_EQ(shuffled.pass, move.pass);
    });
    EXPECT_GT(decisions, 400);
    EXPECT_GT(searched, 200);
}

TEST(Levels, HardBeatsNormalBeatsEasy) {
    // One table of all three levels (and a second beginner), every deal
    // played with each player in each seat. The search is a quarter of the
    // real one (much smaller, its play-outs are too few for the other seats'
    // slips to average out). Over seeds 1 to 8 the money of the three stays
    // in this order by 500 or more; too slow for the sanitizer build, which
    // leaves it out.
    MatchConfig config;
    config.lineup[0] = Contender::kHard;
    config.lineup[1] = Contender::kNormal;
    config.lineup[2] = Contender::kEasy;
    config.lineup[3] = Contender::kEasy;
    config.deals = 60;
    config.seed = 5;
    config.search.budget = 60000;
    config.search.maxDeals = 40;
    config.search.minDeals = 6;
    const MatchResult result = RunMatch(config);
    EXPECT_EQ(result.refusedMoves, 0);
    EXPECT_EQ(result.unfinishedRounds, 0);
    EXPECT_EQ(result.rounds, 240);
    EXPECT_GT(result.moneyOf[0], result.moneyOf[1])
        << "hard " << result.moneyOf[0] << ", normal " << result.moneyOf[1];
    EXPECT_GT(result.moneyOf[1], result.moneyOf[2])
        << "normal " << result.moneyOf[1] << ", easy " << result.moneyOf[2];
}

}  // namespace
