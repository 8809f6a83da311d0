// The computer player at a networked table: a headless front end of the same
// rules and network code as the table window.
//
// It is the TableView of its process: what a window would show (status texts,
// chat lines) it writes to its log, and it hands the table's events to an
// AutoPlay that plays its own seat through the same commands as the window's
// buttons, asking for the next round as "Tour\nsuivant" does. When it hosts,
// its HostComputer plays every seat the computer holds. Moves wait `delayMs`
// first, so that people at the table can follow.
#pragma once

#include <QObject>
#include <cstdint>
#include <cstdio>
#include <string>

#include "bot/auto_play.h"
#include "bot/bot_level.h"
#include "bot/host_computer.h"
#include "net/table_view.h"

struct BotOptions {
    std::string name = "Bot";
    BotLevel level = DEFAULT_BOT_LEVEL;  // the players' generators are seeded from the name
    int delayMs = 600;
    int roundPauseMs = DEFAULT_ROUND_PAUSE_MS;  // the wait after a round it won, before the next
    int rounds = 0;                             // leave after this many finished rounds; 0 = stay
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
    // Every event: the computer player hears it, a trace line follows a
    // change of the table, a finished round is counted, and the table's
    // close ends the evening.
    void OnTableEvent(const TableEvent& event) override;

    // Writes one trace line of the current state (when tracing).
    void TraceState();

    int RoundsFinished() const { return roundsFinished_; }

  signals:
    // The player has left the table; the process can end.
    void Finished(int status);

  private:
    // A round has ended at the table: counted when it was played live (not
    // one of a newcomer's replay), and the player leaves after the last.
    void RoundEnded(int winner);
    void Leave();

    BotOptions options_;
    std::FILE* traceOut_;
    std::FILE* logOut_;
    AutoPlay autoPlay_;
    HostComputer hostComputer_;
    std::uint64_t traceCount_ = 0;
    int roundsFinished_ = 0;
    bool finished_ = false;
};

std::string FormatTraceLine(std::uint64_t n, const GameTable& table);
