#include "bot/auto_play.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bot/moves.h"
#include "net/commands.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "net/socket_layer.h"

namespace {

// How soon a client looks again when its host's messages are still being read.
constexpr int CATCH_UP_MS = 10;

}  // namespace

AutoPlay::AutoPlay(const AutoPlayOptions& options, QObject* parent)
    : QObject(parent), options_(options) {
    timer_.setSingleShot(true);
    // A precise timer never fires early: the round's pause is at least its length.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &AutoPlay::Act);
}

AutoPlay::~AutoPlay() = default;

void AutoPlay::SetPlaysLocalSeat(bool plays) {
    if (playsLocal_ == plays) return;
    playsLocal_ = plays;
    Look();
}

void AutoPlay::SetLevel(BotLevel level) {
    if (options_.level == level) return;
    options_.level = level;
    for (auto& player : players_)
        player.reset();  // the next decision starts a player of the new level
}

void AutoPlay::SetDelays(int computerDelayMs, int localDelayMs) {
    options_.computerDelayMs = computerDelayMs;
    options_.localDelayMs = localDelayMs;
}

void AutoPlay::SetRoundPause(int roundPauseMs) {
    options_.roundPauseMs = roundPauseMs;
}

bool AutoPlay::PlaysSeat(int seat) const {
    if (seat < 1 || seat > SEAT_COUNT) return false;
    return (seat == g_localSeat && playsLocal_) || IsComputerSeat(seat) || HostPlaysForSeat(seat);
}

void AutoPlay::Hear(const TableEvent& event) {
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

int AutoPlay::SeatToAct() const {
    if (g_table == nullptr || !GameLive()) return 0;
    if (g_table->roundOver != 0) {
        // The host deals the new game by itself once the game has ended.
        if (HostGameOver()) return 0;
        const int winner = g_table->leader;
        return !askedNextRound_ && PlaysSeat(winner) ? winner : 0;
    }
    return PlaysSeat(g_table->turn) ? g_table->turn : 0;
}

void AutoPlay::Look() {
    const int seat = SeatToAct();
    if (seat == 0) {
        timer_.stop();
        waitingSeat_ = 0;
        return;
    }
    if (timer_.isActive() && waitingSeat_ == seat) return;
    waitingSeat_ = seat;
    int delay = seat == g_localSeat ? options_.localDelayMs : options_.computerDelayMs;
    // The winner's request for the next round: the round's end stays on
    // every table for the pause first.
    if (g_table->roundOver != 0) delay = std::max(delay, options_.roundPauseMs);
    timer_.start(delay);
}

ComputerPlayer& AutoPlay::PlayerFor(int seat) {
    std::unique_ptr<ComputerPlayer>& player = players_[seat];
    if (player == nullptr) {
        player = std::make_unique<ComputerPlayer>(options_.level,
                                                  options_.seed + static_cast<std::uint64_t>(seat));
        player->Resume(round_);  // it may start in the middle of a round
    }
    return *player;
}

void AutoPlay::Act() {
    const int seat = SeatToAct();
    waitingSeat_ = 0;
    if (seat == 0) return;
    // A client acts only on a table that has caught up with its host: what has
    // arrived is read first (a newcomer's replay may still be coming in).
    std::size_t unread = 0;
    if (g_localSeat >= 2 && SockAvailable(g_sock, &unread) == 0 && unread > 0) {
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
    if (seat == g_localSeat) emit LocalSeatActed();
    Look();
}
