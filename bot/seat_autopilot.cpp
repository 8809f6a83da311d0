#include "bot/seat_autopilot.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bot/moves.h"
#include "net/commands.h"
#include "net/relay.h"
#include "net/seat_table.h"

namespace {

// How soon an autopilot looks again when its copy has not caught up.
constexpr int CATCH_UP_MS = 10;

}  // namespace

SeatAutopilot::SeatAutopilot(const AutopilotOptions& options, QObject* parent)
    : QObject(parent), options_(options) {
    timer_.setSingleShot(true);
    // A precise timer never fires early: the round's pause is at least its length.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &SeatAutopilot::Act);
}

SeatAutopilot::~SeatAutopilot() = default;

void SeatAutopilot::SetLevel(BotLevel level) {
    if (options_.level == level) return;
    options_.level = level;
    for (auto& player : players_)
        player.reset();  // the next decision starts a player of the new level
}

void SeatAutopilot::SetDelay(int delayMs) {
    options_.delayMs = delayMs;
}

void SeatAutopilot::SetRoundPause(int roundPauseMs) {
    options_.roundPauseMs = roundPauseMs;
}

void SeatAutopilot::Hear(const TableEvent& event) {
    switch (event.kind) {
        case TableEvent::Kind::kRoundDealt:
            round_.NewRound();
            askedNextRound_ = false;
            for (auto& player : players_) {
                if (player != nullptr) player->NewRound();
            }
            break;
        case TableEvent::Kind::kPlayApplied:
            round_.Played(event.seat, event.cards);
            for (auto& player : players_) {
                if (player != nullptr) player->SawPlay(event.seat, event.cards);
            }
            break;
        case TableEvent::Kind::kPassApplied:
            round_.Passed(event.seat);
            for (auto& player : players_) {
                if (player != nullptr) player->SawPass(event.seat);
            }
            break;
        default:
            break;
    }
    Look();
}

int SeatAutopilot::SeatToAct() const {
    if (g_table == nullptr || !GameLive()) return 0;
    if (g_table->roundOver != 0) {
        // The host deals the new game by itself once the game has ended.
        if (HostGameOver()) return 0;
        const int winner = g_table->leader;
        return !askedNextRound_ && PlaysSeat(winner) ? winner : 0;
    }
    return PlaysSeat(g_table->turn) ? g_table->turn : 0;
}

void SeatAutopilot::Look() {
    const int seat = SeatToAct();
    if (seat == 0) {
        timer_.stop();
        waitingSeat_ = 0;
        return;
    }
    if (timer_.isActive() && waitingSeat_ == seat) return;
    waitingSeat_ = seat;
    int delay = options_.delayMs;
    // The winner's request for the next round: the round's end stays on
    // every table for the pause first.
    if (g_table->roundOver != 0) delay = std::max(delay, options_.roundPauseMs);
    timer_.start(delay);
}

ComputerPlayer& SeatAutopilot::PlayerFor(int seat) {
    std::unique_ptr<ComputerPlayer>& player = players_[seat];
    if (player == nullptr) {
        player = std::make_unique<ComputerPlayer>(options_.level,
                                                  options_.seed + static_cast<std::uint64_t>(seat));
        player->Resume(round_);  // it may start in the middle of a round
    }
    return *player;
}

void SeatAutopilot::Act() {
    const int seat = SeatToAct();
    waitingSeat_ = 0;
    if (seat == 0) return;
    if (!CaughtUp()) {
        waitingSeat_ = seat;
        timer_.start(CATCH_UP_MS);
        return;
    }
    if (g_table->roundOver != 0) {
        if (NextRoundForSeat(seat) != 0 && g_localSeat != 1) askedNextRound_ = true;
    } else {
        const Move move = PlayerFor(seat).Choose(SeatView(*g_table, seat));
        int accepted = move.pass ? PassForSeat(seat) : PlayForSeat(seat, move.chosen);
        if (accepted == 0) {
            // The players only offer moves the table accepts; should one be
            // refused, the table goes on with a move it takes.
            std::fprintf(stderr, "vantoro: the computer's move for seat %d was refused\n", seat);
            const std::vector<Move> moves = LegalMoves(*g_table, seat);
            if (!moves.empty()) {
                accepted = moves.front().pass ? PassForSeat(seat)
                                              : PlayForSeat(seat, moves.front().chosen);
            }
        }
    }
    Acted(seat);
    Look();
}
