// What a program's computer does at a networked table for the seats it is
// given to play.
//
// It hears the table's events and looks at the table after each one. When a
// seat it plays must act (play or pass on its turn, or ask for the next round
// after winning one), it waits its think time and then acts through the
// network commands, exactly as a person at that seat would, so every other
// program sees ordinary moves. At most one action waits at a time; it looks
// at the table again before acting, so a change in between (another move, a
// seat taken over, "Absent" unchecked) is never acted on stale.
//
// One ComputerPlayer per seat decides; each hears every move of the round
// (a player that starts in the middle of a round is handed the round so far).
// Which seats it plays is its kind's answer: the program's own seat
// (AutoPlay) or the host's seats (HostComputer).
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>

#include "bot/bot_level.h"
#include "bot/computer_player.h"
#include "bot/round_record.h"
#include "net/table_view.h"
#include "rules/game_table.h"

// The computer's pause after a round ends (vantoro-bot --round-pause).
constexpr int DEFAULT_ROUND_PAUSE_MS = 3000;

struct AutopilotOptions {
    BotLevel level = DEFAULT_BOT_LEVEL;
    int delayMs = 700;  // think time before each action
    // How long after a round ends the winner it plays waits, at least, before
    // it asks for the next round: the time for people to see what everyone
    // held and paid. 0 leaves only the think time.
    int roundPauseMs = DEFAULT_ROUND_PAUSE_MS;
    std::uint64_t seed = 1;  // each seat's player draws from its own seed after it
};

class SeatAutopilot : public QObject {
    Q_OBJECT

  public:
    ~SeatAutopilot() override;

    void SetLevel(BotLevel level);
    BotLevel Level() const { return options_.level; }
    void SetDelay(int delayMs);
    void SetRoundPause(int roundPauseMs);

    // The table's events: the round's record follows the deals, plays and
    // passes, and after every event the autopilot looks again at who must act.
    void Hear(const TableEvent& event);
    // Looks at the table again (a change the network code does not tell, such
    // as a front end's own options).
    void Look();

  protected:
    SeatAutopilot(const AutopilotOptions& options, QObject* parent);

    // True for a seat whose moves this autopilot makes now.
    virtual bool PlaysSeat(int seat) const = 0;
    // Whether this copy of the table has caught up enough to act on it; when
    // not, the action waits a moment and looks again.
    virtual bool CaughtUp() const { return true; }
    // The seat has just acted.
    virtual void Acted(int /*seat*/) {}

  private:
    // The seat that must act now and that this autopilot plays; 0 for none.
    int SeatToAct() const;
    void Act();
    ComputerPlayer& PlayerFor(int seat);

    AutopilotOptions options_;
    RoundRecord round_;
    std::unique_ptr<ComputerPlayer> players_[SEAT_COUNT + 1];
    QTimer timer_;
    int waitingSeat_ = 0;          // the seat the timer waits for
    bool askedNextRound_ = false;  // a client's seat asked for the deal that has not come yet
};
