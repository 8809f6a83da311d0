#include "bench/support/match.h"

#include <time.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>

#include "bench/support/random_player.h"
#include "bot/computer_player.h"
#include "bot/round_record.h"

namespace {

// The processor time of the calling thread.
std::int64_t ThreadNanos() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::uint64_t Mix(std::uint64_t x) {
    return BotRandom(x).Next();
}

std::uint64_t SeedOf(std::uint64_t seed, int deal, int part) {
    return Mix(Mix(seed * 0x100000001B3ull + static_cast<std::uint64_t>(deal)) +
               static_cast<std::uint64_t>(part));
}

// One seat's player for one round.
class SeatPlayer {
  public:
    SeatPlayer(Contender contender, std::uint64_t seed) : random_(seed) {
        if (contender != Contender::kRandom) {
            const BotLevel level = contender == Contender::kEasy     ? BotLevel::kEasy
                                   : contender == Contender::kNormal ? BotLevel::kNormal
                                                                     : BotLevel::kHard;
            player_ = std::make_unique<ComputerPlayer>(level, seed);
        }
    }
    ComputerPlayer* Computer() { return player_.get(); }
    Move Choose(const GameTable& table, int seat) {
        return player_ ? player_->Choose(SeatView(table, seat)) : random_.Choose(table, seat);
    }

  private:
    RandomPlayer random_;
    std::unique_ptr<ComputerPlayer> player_;
};

// The deal's table: hands, leader, 100 each.
GameTable DealTable(std::uint64_t seed, int deal, GameTable table) {
    table.DealWithSeed(static_cast<std::uint32_t>(SeedOf(seed, deal, 0) >> 32), 1);
    if (deal % 4 != 0) {
        table.leader = 1 + static_cast<int>(SeedOf(seed, deal, 1) % SEAT_COUNT);
        table.mustOpenLowest = 0;
        table.ResetRound();
    }
    return table;
}

}  // namespace

Contender ContenderOf(BotLevel level) {
    switch (level) {
        case BotLevel::kEasy:
            return Contender::kEasy;
        case BotLevel::kHard:
            return Contender::kHard;
        case BotLevel::kNormal:
            break;
    }
    return Contender::kNormal;
}

const char* ContenderName(Contender contender) {
    switch (contender) {
        case Contender::kRandom:
            return "random";
        case Contender::kEasy:
            return "easy";
        case Contender::kNormal:
            return "normal";
        case Contender::kHard:
            return "hard";
    }
    return "random";
}

bool ParseContender(const char* text, Contender* contender) {
    for (Contender c :
         {Contender::kRandom, Contender::kEasy, Contender::kNormal, Contender::kHard}) {
        if (std::strcmp(text, ContenderName(c)) == 0) {
            *contender = c;
            return true;
        }
    }
    return false;
}

double MatchResult::MoneyHalfWidth95() const {
    const std::size_t n = dealMoney.size();
    if (n < 2) return 0.0;
    double sum = 0.0;
    for (double m : dealMoney) sum += m;
    const double mean = sum / static_cast<double>(n);
    double squares = 0.0;
    for (double m : dealMoney) squares += (m - mean) * (m - mean);
    const double sd = std::sqrt(squares / static_cast<double>(n - 1));
    return 1.96 * sd / std::sqrt(static_cast<double>(n));
}

void MatchResult::Merge(const MatchResult& other) {
    rounds += other.rounds;
    wins += other.wins;
    money += other.money;
    for (int s = 0; s <= SEAT_COUNT; ++s) winsBySeat[s] += other.winsBySeat[s];
    for (int i = 0; i < SEAT_COUNT; ++i) {
        winsOf[i] += other.winsOf[i];
        moneyOf[i] += other.moneyOf[i];
    }
    dealMoney.insert(dealMoney.end(), other.dealMoney.begin(), other.dealMoney.end());
    decisions += other.decisions;
    searchedDecisions += other.searchedDecisions;
    refusedMoves += other.refusedMoves;
    unfinishedRounds += other.unfinishedRounds;
    decisionNanos.Merge(other.decisionNanos);
    searchedNanos.Merge(other.searchedNanos);
    clockNanos.Merge(other.clockNanos);
}

MatchResult RunMatch(const MatchConfig& config) {
    MatchResult result;
    GameTable table;  // one record, dealt again for every round
    for (int deal = config.firstDeal; deal < config.firstDeal + config.deals; ++deal) {
        const GameTable dealt = DealTable(config.seed, deal, table);
        std::int64_t dealMoney = 0;
        for (int rotation = 0; rotation < SEAT_COUNT; ++rotation) {
            table = dealt;
            const int testedSeat = 1 + rotation;
            std::unique_ptr<SeatPlayer> players[SEAT_COUNT + 1];
            for (int i = 0; i < SEAT_COUNT; ++i) {
                const int seat = 1 + (rotation + i) % SEAT_COUNT;
                players[seat] = std::make_unique<SeatPlayer>(
                    config.lineup[i], SeedOf(config.seed, deal, 2 + SEAT_COUNT * rotation + i));
                if (ComputerPlayer* computer = players[seat]->Computer()) {
                    computer->SetSearchParams(config.search);
                }
            }
            RoundRecord record;
            int actions = 0;
            while (table.roundOver == 0 && actions < MAX_ROUND_ACTIONS) {
                const int seat = table.turn;
                SeatPlayer& player = *players[seat];
                Move move;
                if (seat == testedSeat) {
                    const auto start = std::chrono::steady_clock::now();
                    const std::int64_t cpuStart = ThreadNanos();
                    move = player.Choose(table, seat);
                    const std::int64_t nanos = ThreadNanos() - cpuStart;
                    const auto clock = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                           std::chrono::steady_clock::now() - start)
                                           .count();
                    ++result.decisions;
                    const bool searched =
                        player.Computer() != nullptr && player.Computer()->LastSearch().searched;
                    if (searched) ++result.searchedDecisions;
                    if (config.timeDecisions) {
                        result.decisionNanos.Add(nanos);
                        result.clockNanos.Add(clock);
                        if (searched) result.searchedNanos.Add(nanos);
                    }
                } else {
                    move = player.Choose(table, seat);
                }
                if (record.Apply(table, seat, move) != 1) {
                    ++result.refusedMoves;
                    // Keep the round going with a move the table takes.
                    const std::vector<Move> moves = LegalMoves(table, seat);
                    if (moves.empty() || record.Apply(table, seat, moves.front()) != 1) break;
                }
                // Everybody sees the action.
                const SeenAction& seen = record.Actions().back();
                for (int s = 1; s <= SEAT_COUNT; ++s) {
                    ComputerPlayer* computer = players[s]->Computer();
                    if (computer == nullptr) continue;
                    if (seen.count == 0) {
                        computer->SawPass(seen.seat);
                    } else {
                        computer->SawPlay(seen.seat, seen.cards);
                    }
                }
                ++actions;
            }
            if (table.roundOver == 0) {
                ++result.unfinishedRounds;
                continue;
            }
            ++result.rounds;
            for (int i = 0; i < SEAT_COUNT; ++i) {
                const int seat = 1 + (rotation + i) % SEAT_COUNT;
                if (table.leader == seat) ++result.winsOf[i];
                result.moneyOf[i] += table.money[seat] - START_MONEY;
            }
            if (table.leader == testedSeat) {
                ++result.wins;
                ++result.winsBySeat[testedSeat];
            }
            const std::int64_t money = table.money[testedSeat] - START_MONEY;
            result.money += money;
            dealMoney += money;
        }
        result.dealMoney.push_back(static_cast<double>(dealMoney) / SEAT_COUNT);
    }
    return result;
}
