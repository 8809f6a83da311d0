// The computer player at a networked table: a headless front end of the same
// rules and network code as the table window.
//
// It is the TableView of its process: what a window would show (status texts,
// chat lines) it writes to its log, and after every message it handles it
// looks at the table: it tells its ComputerPlayer (of the chosen level) each
// new deal, play and pass, and on its turn asks it for a move and plays or
// passes through the same commands as the window's buttons; when its own play
// ends a round it asks for the next one as "Tour\nsuivant" does. Moves wait
// `delayMs` first, so that people at the table can follow.
#pragma once

#include <QObject>
#include <cstdint>
#include <cstdio>
#include <string>

#include "bot/bot_level.h"
#include "bot/computer_player.h"
#include "net/table_view.h"

struct BotOptions {
    std::string name = "Bot";
    BotLevel level = DEFAULT_BOT_LEVEL;  // the player's generator is seeded from the name
    int delayMs = 600;
    int rounds = 0;        // leave after this many finished rounds; 0 = stay
    bool trace = false;    // one state line on stdout after every message and action
    bool verbose = false;  // what a window would show, on stderr
};

// How the player's evening ended.
enum class BotExit {
    Left = 0,  // rounds done, table closed by the host, or turned away
    ConnectFailed = 1,
};

class BotPlayer : public QObject, public TableView {
    Q_OBJECT

  public:
    explicit BotPlayer(const BotOptions& options, std::FILE* traceOut = stdout,
                       std::FILE* logOut = stderr);
    ~BotPlayer() override;

    // TableView.
    void SetStatusText(const char* text) override;
    void AppendChatText(const char* text) override;
    void Repaint() override {}
    void SetAwayChecked(bool) override {}
    void EnablePlayerInfo(bool) override {}
    void MessageHandled(int type) override;

    // Writes one trace line of the current state (when tracing).
    void TraceState();
    // Looks at the table and schedules what this seat must do now.
    void Think();

    int RoundsFinished() const { return roundsFinished_; }

  signals:
    // The player has left the table; the process can end.
    void Finished(int status);

  private:
    // True while this copy's table is the table's game: on the host, four
    // players; on a client, four players and the new game received.
    bool GameLive();
    void MakeMove();
    void AskNextRound();
    void NoteRoundState();
    // Tells the player what happened since the last look: a new deal, or
    // the cards a seat played (those that left its hand), or, after a pass
    // message, the pass of the seat that was on turn.
    void RememberPlayedCards(bool passMessage = false);
    void Leave();

    BotOptions options_;
    std::FILE* traceOut_;
    std::FILE* logOut_;
    ComputerPlayer player_;
    std::uint8_t knownHands_[SEAT_COUNT + 1][HAND_SIZE] = {};
    int knownTurn_ = 0;
    std::uint64_t traceCount_ = 0;
    int roundsFinished_ = 0;
    bool wasRoundOver_ = true;
    bool moveScheduled_ = false;
    bool nextRoundScheduled_ = false;
    bool finished_ = false;
    bool newGameSeen_ = false;
};

// Writes one trace line of the table into out (for tests and the bot).
// Format: state <n> turn=<t> leader=<l> count=<c> over=<0|1> rounds=<r>
// money=<m1>,<m2>,<m3>,<m4> wins=<w1>,<w2>,<w3>,<w4> table=<5 bytes hex>
// hands=<52 bytes hex, seats 1..4 in seat order>
std::string FormatTraceLine(std::uint64_t n, const GameTable& table);
