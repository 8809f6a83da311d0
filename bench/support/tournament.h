// An in-process tournament: the strategy in one seat against three players
// that choose uniformly among their legal moves, on one GameTable, with no
// network. Games run round after round (Deal with newGame = 0, the winner
// leading); a new game starts when a seat has run out of money, and each new
// game moves the strategy to the next seat. Every deal and every random
// choice comes from the configured seed, so a run is repeatable.
#pragma once

#include <cstdint>
#include <vector>

#include "bench/support/random_player.h"
#include "bench/support/time_histogram.h"
#include "bot/moves.h"
#include "bot/strategy.h"
#include "rules/game_table.h"

struct TournamentConfig {
    int rounds = 10000;
    std::uint64_t seed = 1;
    bool useMemory = true;       // the strategy counts the cards played
    bool timeDecisions = false;  // record the time of every strategy decision
    int maxRoundsPerGame = 40;   // a game also ends after this many rounds
    StrategyParams params;
};

struct TournamentResult {
    int rounds = 0;
    int games = 0;
    int strategyWins = 0;
    std::int64_t strategyMoney = 0;  // the strategy seat's money won minus paid, summed over rounds
    int roundsBySeat[SEAT_COUNT + 1] = {};
    int winsBySeat[SEAT_COUNT + 1] = {};
    std::int64_t strategyDecisions = 0;
    std::int64_t refusedMoves = 0;      // moves the table refused (a fault: must stay 0)
    std::int64_t unfinishedRounds = 0;  // rounds stopped by the move limit (a fault: must stay 0)
    TimeHistogram decisionNanos;        // the strategy's decisions, when timed

    double WinRate() const { return rounds > 0 ? static_cast<double>(strategyWins) / rounds : 0.0; }
    double MoneyPerRound() const {
        return rounds > 0 ? static_cast<double>(strategyMoney) / rounds : 0.0;
    }
};

TournamentResult RunTournament(const TournamentConfig& config);
