// Runs vantoro-bot processes for end-to-end tests and reads what they print.
//
// Every process is started with a bounded life: the tests wait with
// timeouts, and a process still running when its BotProcess goes away is
// killed, so no test leaves a player behind.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <string>
#include <vector>

// A free TCP port on 127.0.0.1 (bound once to port 0, then released).
int FreeLoopbackPort();

// One state line of a --trace, without its counter.
struct TraceState {
    int turn = 0, leader = 0, count = 0, over = 0, rounds = 0;
    int money[5] = {};
    int wins[5] = {};
    std::string table;
    std::string hands;
    bool operator==(const TraceState& other) const;
    bool operator!=(const TraceState& other) const { return !(*this == other); }
    int MoneySum() const { return money[1] + money[2] + money[3] + money[4]; }
};

// Parses the "state ..." lines of a trace; other lines are skipped.
std::vector<TraceState> ParseTrace(const QByteArray& output);
// Drops each state equal to the one before it.
std::vector<TraceState> Distinct(const std::vector<TraceState>& states);

// Checks that a client's distinct states follow the host's: from the first
// state the two share, every client state is the host's next state, except
// one extra state at a new game (after MSG_DEAL, before MSG_NEW_GAME). Stops
// where either sequence ends. Returns an empty string when they agree, else
// a description of the first disagreement; `matched` counts matched states.
std::string FollowsHost(const std::vector<TraceState>& host, const std::vector<TraceState>& client,
                        std::size_t* matched);

class BotProcess {
  public:
    explicit BotProcess(QStringList arguments);
    ~BotProcess();
    BotProcess(const BotProcess&) = delete;
    BotProcess& operator=(const BotProcess&) = delete;

    // Waits until standard error holds `text` (the bot runs with --verbose),
    // up to timeoutMs. True when it did.
    bool WaitForLog(const QString& text, int timeoutMs);
    // Waits for the process to end, up to timeoutMs; kills it if it does not.
    // Returns its exit code, or -1 when it had to be killed or crashed.
    int WaitForExit(int timeoutMs);
    void Kill();
    // Stops the process where it is (SIGSTOP): it neither reads, moves nor
    // closes its connections. Kill ends it still.
    void Stop();
    bool IsRunning() const { return process_.state() != QProcess::NotRunning; }

    QByteArray Output();  // standard output so far
    QByteArray Log();     // standard error so far

  private:
    // The player writes into files, never into a pipe that nobody empties
    // while the test waits for another process.
    QTemporaryDir dir_;
    QProcess process_;
};
