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

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// A seed from the player's name (64-bit FNV-1a): the same name makes the same
// choices at a replayed table.
std::uint64_t NameSeed(const std::string& name) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (unsigned char c : name) hash = (hash ^ c) * 0x100000001B3ull;
    return hash;
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

BotPlayer::BotPlayer(const BotOptions& options, std::FILE* traceOut, std::FILE* logOut)
    : options_(options),
      traceOut_(traceOut),
      logOut_(logOut),
      player_(options.level, NameSeed(options.name)) {
    std::memset(knownHands_, NO_CARD, sizeof knownHands_);
    g_view = this;
}

BotPlayer::~BotPlayer() {
    if (g_view == this) g_view = nullptr;
}

void BotPlayer::SetStatusText(const char* text) {
    if (options_.verbose) std::fprintf(logOut_, "%s [status] %s\n", options_.name.c_str(), text);
}

void BotPlayer::AppendChatText(const char* text) {
    if (options_.verbose) std::fprintf(logOut_, "%s [chat] %s", options_.name.c_str(), text);
    // The host has gone (or turned this player away and closed): the evening
    // is over for this player.
    if (StartsWith(text, CHAT_HOST_CLOSED)) Leave();
}

void BotPlayer::MessageHandled(int type) {
    // A client's game is live from MSG_NEW_GAME on: between the fourth seat
    // record and the deal, and between MSG_DEAL and MSG_NEW_GAME, its table
    // is not yet the host's, and a move made on it would be a move in a game
    // nobody else is playing.
    if (type == MSG_NEW_GAME) newGameSeen_ = true;
    RememberPlayedCards(type == MSG_PASS);
    TraceState();
    NoteRoundState();
    Think();
}

void BotPlayer::TraceState() {
    if (!options_.trace || g_table == nullptr) return;
    const std::string line = FormatTraceLine(++traceCount_, *g_table);
    std::fprintf(traceOut_, "%s\n", line.c_str());
    std::fflush(traceOut_);
}

void BotPlayer::RememberPlayedCards(bool passMessage) {
    // Every card that left a hand since the last look was played; a deal
    // fills the hands again and starts the record anew. Each look follows one
    // message or one own move, so the plays and passes arrive in table order.
    if (g_table == nullptr) return;
    int held = 0;
    for (int s = 1; s <= SEAT_COUNT; ++s)
        held += GameTable::CountCards(g_table->hands[s], HAND_SIZE);
    const bool changed = std::memcmp(knownHands_, g_table->hands, sizeof knownHands_) != 0;
    if (changed && held == DECK_SIZE) player_.NewRound();
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        std::uint8_t play[PLAY_SIZE];
        std::memset(play, NO_CARD, sizeof play);
        int n = 0;
        for (int p = 0; p < HAND_SIZE; ++p) {
            const std::uint8_t card = knownHands_[s][p];
            if (card < DECK_SIZE && g_table->hands[s][p] == NO_CARD && n < PLAY_SIZE) {
                play[n++] = card;
            }
        }
        if (n > 0) player_.SawPlay(s, play);
    }
    if (passMessage && !changed && knownTurn_ >= 1 && knownTurn_ <= SEAT_COUNT &&
        g_table->turn != knownTurn_ && g_table->passed[knownTurn_] != 0) {
        player_.SawPass(knownTurn_);
    }
    std::memcpy(knownHands_, g_table->hands, sizeof knownHands_);
    knownTurn_ = g_table->turn;
}

void BotPlayer::NoteRoundState() {
    if (g_table == nullptr) return;
    const bool over = g_table->roundOver != 0;
    if (over && !wasRoundOver_ && g_playerCount == SEAT_COUNT) {
        ++roundsFinished_;
        if (options_.verbose) {
            std::fprintf(logOut_, "%s [round] %d finished, won by seat %d\n", options_.name.c_str(),
                         roundsFinished_, g_table->leader);
        }
    }
    wasRoundOver_ = over;
    if (over && options_.rounds > 0 && roundsFinished_ >= options_.rounds) Leave();
}

bool BotPlayer::GameLive() {
    if (g_playerCount != SEAT_COUNT) newGameSeen_ = false;
    if (g_localSeat == 1) return g_playerCount == SEAT_COUNT;  // the host's table is the game
    return newGameSeen_;
}

void BotPlayer::Think() {
    if (finished_ || g_table == nullptr || g_localSeat == 0) return;
    if (!GameLive()) return;
    const GameTable& table = *g_table;
    if (table.roundOver == 0 && table.turn == g_localSeat && !moveScheduled_) {
        moveScheduled_ = true;
        QTimer::singleShot(options_.delayMs, this, &BotPlayer::MakeMove);
    }
}

void BotPlayer::MakeMove() {
    moveScheduled_ = false;
    if (finished_ || g_table == nullptr || !GameLive()) return;
    GameTable& table = *g_table;
    if (table.roundOver != 0 || table.turn != g_localSeat) return;

    const Move move = player_.Choose(table, g_localSeat);
    int accepted = 0;
    if (move.pass) {
        accepted = CommandPass();
    } else {
        for (int p = 0; p < HAND_SIZE; ++p) table.selection[p] = move.chosen[p] ? 0xFF : 0x00;
        accepted = CommandPlay();
        if (!accepted) std::memset(table.selection, 0, sizeof table.selection);
    }
    if (!accepted) {
        // The strategy only offers moves the table accepts; this is a fault.
        std::fprintf(logOut_, "%s [error] the table refused the chosen move\n",
                     options_.name.c_str());
        return;
    }
    RememberPlayedCards(move.pass);
    TraceState();
    const bool wonRound = !move.pass && LocalSeatWonRound();
    NoteRoundState();
    if (wonRound && !finished_ && !nextRoundScheduled_) {
        nextRoundScheduled_ = true;
        QTimer::singleShot(options_.delayMs, this, &BotPlayer::AskNextRound);
    }
    Think();
}

void BotPlayer::AskNextRound() {
    nextRoundScheduled_ = false;
    if (finished_) return;
    // Exactly the "Tour\nsuivant" command: the host that won deals, a client
    // that won asks the host.
    if (CommandNextRound() != 0 && g_localSeat == 1) {
        RememberPlayedCards();
        TraceState();
        NoteRoundState();
        Think();
    }
}

void BotPlayer::Leave() {
    if (finished_) return;
    finished_ = true;
    // A clean departure: every connection closed, as "Déconnecter" does.
    Disconnect();
    QTimer::singleShot(0, this, [this] { emit Finished(static_cast<int>(BotExit::Left)); });
}
