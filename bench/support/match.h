// Matches between players of any level on fixed deals, with no network.
//
// Each deal is played four times, the tested player moving through the four
// seats and the other players keeping their order around it, so that every
// player meets the same cards from every seat. A deal fixes the hands and
// who leads: every fourth deal is the first round of a game (the holder of
// the three of diamonds opens with it), the others are led freely by a seat
// the deal draws, as the winner of a round leads the next. Each round is
// settled alone (money counted from 100 each). Deals, seats and every
// player's generator come from the configured seed and the deal's number,
// so a run, or any stretch of its deals, can be played again.
#pragma once

#include <cstdint>
#include <vector>

#include "bench/support/time_histogram.h"
#include "bot/bot_level.h"
#include "bot/search.h"

// Who sits in a seat: a computer player of a level, or a player that picks
// uniformly among its legal moves.
enum class Contender { kRandom, kEasy, kNormal, kHard };

Contender ContenderOf(BotLevel level);
// "random", "easy", "normal" or "hard".
const char* ContenderName(Contender contender);
// Reads a name as ContenderName writes it; false for any other text.
bool ParseContender(const char* text, Contender* contender);

struct MatchConfig {
    // lineup[0] is the tested player; lineup[i] sits i seats after it.
    Contender lineup[SEAT_COUNT] = {Contender::kHard, Contender::kNormal, Contender::kNormal,
                                    Contender::kNormal};
    std::uint64_t seed = 1;
    int firstDeal = 0;
    int deals = 10000;
    // Time every decision of the tested player: the processor time of the
    // deciding thread (what the decision costs on one core, whatever else
    // runs on the machine), and the time on the clock.
    bool timeDecisions = false;
    SearchParams search;  // for every hard player
};

struct MatchResult {
    int rounds = 0;
    int wins = 0;            // rounds the tested player won
    std::int64_t money = 0;  // its money won minus paid, over all rounds
    int winsBySeat[SEAT_COUNT + 1] = {};
    // Rounds won and money of every player of the lineup (index 0: the tested one).
    int winsOf[SEAT_COUNT] = {};
    std::int64_t moneyOf[SEAT_COUNT] = {};
    // Per deal, its mean money over the deal's four rounds: the deals are
    // independent where the four rounds of one deal are not.
    std::vector<double> dealMoney;
    std::int64_t decisions = 0;          // by the tested player
    std::int64_t searchedDecisions = 0;  // of those, the ones a hard player searched
    std::int64_t refusedMoves = 0;       // moves the table refused (a fault: must stay 0)
    std::int64_t unfinishedRounds = 0;   // rounds stopped by the action limit (a fault)
    TimeHistogram decisionNanos;         // the tested player's decisions, when timed
    TimeHistogram searchedNanos;         // the same, searched decisions only
    TimeHistogram clockNanos;            // its decisions on the clock

    double WinRate() const { return rounds > 0 ? static_cast<double>(wins) / rounds : 0.0; }
    double MoneyPerRound() const { return rounds > 0 ? static_cast<double>(money) / rounds : 0.0; }
    // Half the width of the 95% confidence interval of MoneyPerRound, from
    // the spread of the per-deal means.
    double MoneyHalfWidth95() const;
    // Adds another stretch of deals.
    void Merge(const MatchResult& other);
};

MatchResult RunMatch(const MatchConfig& config);
