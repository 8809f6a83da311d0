#include "bot/bot_player.h"

#include <QTimer>
#include <cstring>

#include "net/commands.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "net/wire.h"

namespace {

void AppendHex(std::string& out, const std::uint8_t* bytes, int n) {
    static const char digits[] = "0123456789abcdef";
    for (int i = 0; i < n; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 0x0F];
    }
}

}  // namespace

std::string FormatTraceLine(std::uint64_t n, const GameTable& table) {
    char head[160];
    std::snprintf(head, sizeof head,
                  "state %llu turn=%d leader=%d count=%d over=%d rounds=%d money=%d,%d,%d,%d "
                  "wins=%d,%d,%d,%d table=",
                  static_cast<unsigned long long>(n), table.turn, table.leader, table.tableCount,
                  table.roundOver, table.roundsPlayed, table.money[1], table.money[2],
                  table.money[3], table.money[4], table.wins[1], table.wins[2], table.wins[3],
                  table.wins[4]);
    std::string line(head);
    AppendHex(line, table.tablePlay, PLAY_SIZE);
    line += " hands=";
    AppendHex(line, &table.hands[1][0], SEAT_COUNT * HAND_SIZE);
    return line;
}

namespace {

// A seed from the player's name (64-bit FNV-1a): the same name makes the same
// choices at a replayed table.
std::uint64_t NameSeed(const std::string& name) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (unsigned char c : name) hash = (hash ^ c) * 0x100000001B3ull;
    return hash;
}

AutopilotOptions AutopilotOf(const BotOptions& options) {
    AutopilotOptions autopilot;
    autopilot.level = options.level;
    autopilot.delayMs = options.delayMs;
    autopilot.roundPauseMs = options.roundPauseMs;
    autopilot.seed = NameSeed(options.name);
    return autopilot;
}

}  // namespace

BotPlayer::BotPlayer(const BotOptions& options, std::FILE* traceOut, std::FILE* logOut)
    : options_(options),
      traceOut_(traceOut),
      logOut_(logOut),
      autoPlay_(AutopilotOf(options)),
      hostComputer_(AutopilotOf(options)) {
    autoPlay_.SetPlaysLocalSeat(true);
    g_view = this;
    // Its computer player can hold the seats of a table it hosts.
    SetHostPolicy(HostPolicy{true, 0, GameLength{}});
}

BotPlayer::~BotPlayer() {
    if (g_view == this) g_view = nullptr;
}

void BotPlayer::SetStatusText(const char* text) {
    if (options_.verbose) std::fprintf(logOut_, "%s [status] %s\n", options_.name.c_str(), text);
}

void BotPlayer::AppendChatText(const char* text) {
    if (options_.verbose) std::fprintf(logOut_, "%s [chat] %s", options_.name.c_str(), text);
}

void BotPlayer::OnTableEvent(const TableEvent& event) {
    using Kind = TableEvent::Kind;
    if (event.kind == Kind::kTableClosed) {
        // The host has gone (or turned this player away and closed): the
        // evening is over for this player.
        Leave();
        return;
    }
    autoPlay_.Hear(event);
    switch (event.kind) {
        case Kind::kRoundDealt:
        case Kind::kPlayApplied:
        case Kind::kPassApplied:
        case Kind::kGameStarted:
        case Kind::kMessageHandled:
            TraceState();
            break;
        case Kind::kRoundEnded:
            RoundEnded(event.seat);
            break;
        default:
            break;
    }
}

void BotPlayer::TraceState() {
    if (!options_.trace || g_table == nullptr) return;
    const std::string line = FormatTraceLine(++traceCount_, *g_table);
    std::fprintf(traceOut_, "%s\n", line.c_str());
    std::fflush(traceOut_);
}

void BotPlayer::RoundEnded(int winner) {
    if (finished_ || !GameLive()) return;
    ++roundsFinished_;
    if (options_.verbose) {
        std::fprintf(logOut_, "%s [round] %d finished, won by seat %d\n", options_.name.c_str(),
                     roundsFinished_, winner);
    }
    if (options_.rounds > 0 && roundsFinished_ >= options_.rounds) Leave();
}

void BotPlayer::Leave() {
    if (finished_) return;
    finished_ = true;
    autoPlay_.SetPlaysLocalSeat(false);
    // A clean departure: every connection closed, as "Déconnecter" does.
    Disconnect();
    QTimer::singleShot(0, this, [this] { emit Finished(static_cast<int>(BotExit::Left)); });
}
