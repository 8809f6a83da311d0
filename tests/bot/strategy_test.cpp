// The strategy's choices on hand-made positions where the obvious beginner's
// move (the lowest card that fits) is the wrong one, and its properties over
// random positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>

#include "bench/support/random_player.h"
#include "bot/hand_partition.h"
#include "bot/strategy.h"
#include "bot_test_util.h"

namespace {

using bot_test::Cards;
using bot_test::MakeTable;
using bot_test::Played;

std::vector<std::uint8_t> Choice(const GameTable& table, const RoundRecord* record = nullptr) {
    const Move move = ChooseMove(SeatView(table, table.turn), record);
    GameTable copy = table;
    EXPECT_EQ(ApplyMove(copy, table.turn, move), 1) << "the table refuses the strategy's move";
    return Played(table, table.turn, move);
}

// ---------------------------------------------------------------------------
// The split of a hand

TEST(HandPartition, FindsTheFewestPlays) {
    std::uint8_t hand[HAND_SIZE];
    auto load = [&hand](const std::string& names) {
        std::fill(hand, hand + HAND_SIZE, NO_CARD);
        const std::vector<std::uint8_t> cards = Cards(names);
        std::copy(cards.begin(), cards.end(), hand);
        return hand;
    };
    // A run, a pair and a single.
    EXPECT_EQ(MinimumPlays(load("3D 4C 5H 6S 7D 9C 9H KD")), 3);
    // The run takes 3 to 7 and leaves one seven: two plays, not the pair of
    // sevens and four singles.
    EXPECT_EQ(MinimumPlays(load("3D 4D 5C 6C 7H 7S")), 2);
    // Four of a kind goes out with any fifth card.
    EXPECT_EQ(MinimumPlays(load("8D 8C 8H 8S 3D")), 1);
    // Four cards of a kind alone are no play: two pairs, or three and one.
    EXPECT_EQ(MinimumPlays(load("8D 8C 8H 8S")), 2);
    // Two full houses out of two triples and two pairs.
    EXPECT_EQ(MinimumPlays(load("4D 4C 4H 9D 9S JC JH JS KD KH")), 2);
    // Eight cards hold one five-card hand at most (a flush or either of two
    // runs) and nothing else goes together: one play and three singles.
    EXPECT_EQ(MinimumPlays(load("3D 5D 7D 9D JD 4C 6H 8S")), 4);
    // An empty hand needs no play.
    EXPECT_EQ(MinimumPlays(load("")), 0);
}

TEST(HandPartition, FindsEveryGroupTheRulesAccept) {
    // Against asking the rules about every pair, three and five of the hand:
    // dealt hands, and one with runs from ace to five and from ten to ace.
    std::vector<std::vector<std::uint8_t>> hands;
    for (std::uint32_t seed = 1; seed <= 150; ++seed) {
        GameTable table;
        table.DealWithSeed(seed, 1);
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            hands.emplace_back(table.hands[s], table.hands[s] + HAND_SIZE);
        }
    }
    hands.push_back(Cards("AD 2C 3H 4S 5D TC JH QS KD AS 5S 3S 2S"));
    for (const std::vector<std::uint8_t>& hand : hands) {
        const int k = static_cast<int>(hand.size());
        std::vector<CardMask> expected;
        for (int n : {2, 3, 5}) {
            std::vector<CardMask> ofSize;
            for (unsigned mask = 0; mask < (1u << k); ++mask) {
                if (std::popcount(mask) != n) continue;
                std::uint8_t buffer[PLAY_SIZE];
                std::fill(buffer, buffer + PLAY_SIZE, NO_CARD);
                int i = 0;
                for (int j = 0; j < k; ++j) {
                    if (mask & (1u << j)) buffer[i++] = hand[static_cast<std::size_t>(j)];
                }
                if (GameTable::IsValidPlay(buffer, n) == 1)
                    ofSize.push_back(static_cast<CardMask>(mask));
            }
            // FindGroups lists them by size, then in lexicographic order of
            // their indexes: the order of the reversed bits.
            std::sort(ofSize.begin(), ofSize.end(), [](CardMask a, CardMask b) {
                const unsigned differ = static_cast<unsigned>(a ^ b);
                return differ != 0 && (a & (differ & (~differ + 1))) != 0;
            });
            expected.insert(expected.end(), ofSize.begin(), ofSize.end());
        }
        std::vector<CardMask> found = FindGroups(hand.data(), k);
        EXPECT_EQ(found, expected);
    }
}

// ---------------------------------------------------------------------------
// Opening, leading and following

TEST(Strategy, OpensWithTheCombinationHoldingTheThreeOfDiamonds) {
    // A run from three to seven holds the three of diamonds: a beginner opens
    // with the three alone and leaves four loose cards.
    {
        const std::string hands[] = {"", "3D 4C 5H 6S 7D 9C 9H JD QS KC KH AD 2C", "", "", ""};
        const int filler[] = {0, 0, 13, 13, 13};
        GameTable table = MakeTable(hands, 1, 1, "", filler);
        table.mustOpenLowest = 1;
        EXPECT_EQ(Choice(table), Cards("3D 4C 5H 6S 7D"));
    }
    // A pair of threes with the three of diamonds.
    {
        const std::string hands[] = {"", "", "3D 3H 6C 8S 9D TC JH QD KS AH 2S 4D 4S", "", ""};
        const int filler[] = {0, 13, 0, 13, 13};
        GameTable table = MakeTable(hands, 2, 2, "", filler);
        table.mustOpenLowest = 1;
        EXPECT_EQ(Choice(table), Cards("3D 3H"));
    }
}

TEST(Strategy, LeadsItsWeakestCardAndKeepsTheTwo) {
    const std::string hands[] = {"", "4D 9C KH 2S", "", "", ""};
    const int filler[] = {0, 0, 9, 9, 9};
    const GameTable table = MakeTable(hands, 1, 1, "", filler);
    EXPECT_EQ(Choice(table), Cards("4D"));
}

TEST(Strategy, DoesNotBreakARunToFollowASingle) {
    // The beginner follows the four with the five and is left with four loose
    // cards of a broken run; the jack stands alone and goes instead.
    const std::string hands[] = {"", "", "5C 6D 7H 8S 9D JH KC KS", "", ""};
    const int filler[] = {0, 10, 0, 10, 10};
    const GameTable table = MakeTable(hands, 2, 1, "4D", filler);
    EXPECT_EQ(Choice(table), Cards("JH"));
}

TEST(Strategy, PassesRatherThanBreakItsLastCombination) {
    // An eight would beat the seven but leave two pairs to play; the full
    // house goes out in one play at the next lead.
    const std::string hands[] = {"", "", "4C 4S 8D 8H 8S", "", ""};
    const int filler[] = {0, 10, 0, 10, 10};
    const GameTable table = MakeTable(hands, 2, 1, "7C", filler);
    EXPECT_TRUE(Choice(table).empty());
}

// ---------------------------------------------------------------------------
// Going out

TEST(Strategy, PlaysTheLastCombinationToGoOut) {
    // A beginner leads the lowest single; the full house empties the hand.
    const std::string hands[] = {"", "", "", "4D 4C 4H 9D 9S", ""};
    const int filler[] = {0, 8, 8, 0, 8};
    const GameTable table = MakeTable(hands, 3, 3, "", filler);
    EXPECT_EQ(Choice(table), Cards("4D 4C 4H 9D 9S"));
}

TEST(Strategy, LeadsTheUnbeatablePairThenGoesOutWithTheSingle) {
    // No pair beats the twos of clubs and spades: leading them keeps the lead
    // and the five goes out next. The beginner's five is beaten at once.
    const std::string hands[] = {"", "5D 2C 2S", "", "", ""};
    const int filler[] = {0, 0, 7, 7, 7};
    const GameTable table = MakeTable(hands, 1, 1, "", filler);
    EXPECT_EQ(Choice(table), Cards("2C 2S"));
}

TEST(Strategy, SpendsAFiveCardHandNobodyCanAnswer) {
    // Nobody holds five cards, so the run cannot be beaten; after it the nine
    // goes out. Led first, the nine would be beaten.
    const std::string hands[] = {"", "", "3C 4D 5H 6S 7C 9D", "", ""};
    const int filler[] = {0, 4, 0, 4, 3};
    const GameTable table = MakeTable(hands, 2, 2, "", filler);
    EXPECT_EQ(Choice(table), Cards("3C 4D 5H 6S 7C"));
}

TEST(Strategy, CountsPlayedCardsToFindItsWinner) {
    // With the two of spades gone, the two of hearts is the highest single
    // left: leading it keeps the lead for the pair of sevens.
    const std::string hands[] = {"", "", "", "7C 7H 2H", ""};
    const int filler[] = {0, 9, 9, 0, 9};
    const GameTable table = MakeTable(hands, 3, 3, "", filler);
    RoundRecord record;
    record.NewRound();
    const std::uint8_t gone[PLAY_SIZE] = {bot_test::Card("2S"), NO_CARD, NO_CARD, NO_CARD, NO_CARD};
    record.Played(1, gone);
    ASSERT_TRUE(record.Gone(bot_test::Card("2S")));
    EXPECT_EQ(Choice(table, &record), Cards("2H"));
    // Not knowing it, the two of hearts is no sure winner and the seat keeps
    // it, leading the pair.
    EXPECT_EQ(Choice(table), Cards("7C 7H"));
}

TEST(Strategy, LeadsAStraightFlushNoCardsLeftCanBeat) {
    // With every ace and every other two gone, no five cards still out can
    // make a run holding an ace or a two, so nothing outranks the spade
    // straight flush from nine to king: lead it, then the four goes out.
    const std::string hands[] = {"", "9S TS JS QS KS 4D", "", "", ""};
    const int filler[] = {0, 0, 8, 8, 8};
    const GameTable table = MakeTable(hands, 1, 1, "", filler);
    RoundRecord record;
    record.NewRound();
    for (const char* gone : {"2C", "2H", "2S", "AD", "AC", "AH", "AS"}) {
        const std::uint8_t play[PLAY_SIZE] = {bot_test::Card(gone), NO_CARD, NO_CARD, NO_CARD,
                                              NO_CARD};
        record.Played(2, play);
    }
    EXPECT_EQ(Choice(table, &record), Cards("9S TS JS QS KS"));
    // Without counting, an ace-to-five straight flush may be out: the four,
    // the weakest play, goes first.
    EXPECT_EQ(Choice(table), Cards("4D"));
}

TEST(RoundRecord, CountsTheCardsOfAcceptedPlaysOnly) {
    const std::string hands[] = {"", "4D 9C", "5D 7H", "6C", "8S"};
    GameTable table = MakeTable(hands, 1, 1, "");
    RoundRecord memory;
    memory.NewRound();
    // Seat 2 is not on turn: refused, nothing recorded.
    EXPECT_EQ(memory.Apply(table, 2, PlayMove(0b01)), 0);
    EXPECT_EQ(memory.GoneCount(), 0);
    EXPECT_EQ(memory.Apply(table, 1, PlayMove(0b01)), 1);  // the four of diamonds
    EXPECT_EQ(memory.Apply(table, 2, PassMove()), 1);
    EXPECT_EQ(memory.Apply(table, 3, PlayMove(0b01)), 1);  // the six of clubs
    EXPECT_EQ(memory.GoneCount(), 2);
    EXPECT_TRUE(memory.Gone(bot_test::Card("4D")));
    EXPECT_TRUE(memory.Gone(bot_test::Card("6C")));
    EXPECT_FALSE(memory.Gone(bot_test::Card("5D")));
    EXPECT_FALSE(memory.Gone(NO_CARD));
    memory.NewRound();
    EXPECT_EQ(memory.GoneCount(), 0);
}

// ---------------------------------------------------------------------------
// Stopping an opponent

TEST(Strategy, PlaysItsHighestSingleWhenAnOpponentHasOneCard) {
    // Seat 4 holds one card; the beginner's six lets it out on anything
    // higher. Only the ace can stop it.
    const std::string hands[] = {"", "", "", "6C 9H JD AS", ""};
    const int filler[] = {0, 6, 6, 0, 1};
    const GameTable table = MakeTable(hands, 3, 2, "5D", filler);
    EXPECT_EQ(Choice(table), Cards("AS"));
}

TEST(Strategy, DoesNotLeadALowSingleWhenAnOpponentHasOneCard) {
    // Seat 3 holds one card: a low single would hand it the round; the pair
    // cannot be answered by it.
    const std::string hands[] = {"", "", "4D 8C 8H QS", "", ""};
    const int filler[] = {0, 7, 0, 1, 7};
    const GameTable table = MakeTable(hands, 2, 2, "", filler);
    EXPECT_EQ(Choice(table), Cards("8C 8H"));
}

TEST(Strategy, DoesNotPassWhenTheLeaderIsAboutToGoOut) {
    // Seat 1 led a single and holds one card more; passing lets it lead that
    // card at its next turn. The queen takes the lead instead.
    const std::string hands[] = {"", "", "5C 5S QD", "", ""};
    const int filler[] = {0, 1, 0, 8, 8};
    const GameTable table = MakeTable(hands, 2, 1, "9S", filler);
    EXPECT_EQ(Choice(table), Cards("QD"));
}

// ---------------------------------------------------------------------------
// Properties over random positions

// Positions reached by random play from seeded deals.
template <typename Check>
void ForRandomPositions(int games, Check&& check) {
    RandomPlayer random(77);
    for (int game = 0; game < games; ++game) {
        GameTable table;
        table.DealWithSeed(static_cast<std::uint32_t>(500 + game), 1);
        int steps = 0;
        while (table.roundOver == 0 && steps++ < 1000) {
            check(table);
            const int seat = table.turn;
            ASSERT_EQ(ApplyMove(table, seat, random.Choose(table, seat)), 1);
        }
    }
}

TEST(Strategy, AlwaysChoosesAMoveTheTableAccepts) {
    int decisions = 0;
    ForRandomPositions(40, [&decisions](const GameTable& table) {
        GameTable copy = table;
        const Move move = ChooseMove(SeatView(table, table.turn));
        EXPECT_EQ(ApplyMove(copy, table.turn, move), 1);
        ++decisions;
    });
    EXPECT_GT(decisions, 400);
}

TEST(Strategy, GroupsFoundAtTheDealGiveTheSameMoves) {
    // The search's play-outs find each hand's groups once, at the deal: the
    // strategy must choose exactly as when it looks for them at every turn.
    HandGroups groups[SEAT_COUNT + 1];
    int compared = 0;
    ForRandomPositions(40, [&](const GameTable& table) {
        int held = 0;
        for (int s = 1; s <= SEAT_COUNT; ++s)
            held += GameTable::CountCards(table.hands[s], HAND_SIZE);
        if (held == DECK_SIZE) {
            for (int s = 1; s <= SEAT_COUNT; ++s) groups[s].Find(table.hands[s]);
        }
        RoundRecord record;
        record.NewRound();
        record.Played(table.leader, table.tablePlay);
        const SeatView view(table, table.turn);
        const RoundRecord* const records[] = {nullptr, &record};
        for (const RoundRecord* seen : records) {
            const Move expected = ChooseMove(view, seen);
            const Move found = ChooseMoveWithGroups(view, groups[view.Seat()], seen);
            ASSERT_EQ(found.pass, expected.pass);
            ASSERT_EQ(MovePositions(found), MovePositions(expected));
        }
        ++compared;
    });
    EXPECT_GT(compared, 400);
}

TEST(Strategy, SeesNoOtherSeatsCards) {
    // Deal the opponents' cards among them again, each keeping its count: the
    // choice must not change.
    int compared = 0;
    ForRandomPositions(30, [&compared](const GameTable& table) {
        const int seat = table.turn;
        const GameTable shuffled = bot_test::OthersReshuffled(table, seat);
        const Move original = ChooseMove(SeatView(table, seat));
        const Move other = ChooseMove(SeatView(shuffled, seat));
        EXPECT_EQ(MovePositions(original), MovePositions(other));
        EXPECT_EQ(original.pass, other.pass);
        ++compared;
    });
    EXPECT_GT(compared, 300);
}

}  // namespace
