// The seats a program plays by itself: on the host, the seats its computer
// player holds; and the program's own seat while it is asked to (always for
// vantoro-bot, while "Absent" is checked for the table window).
//
// The front end hands it the table's events (its TableView gets them from the
// network code) and it looks at the table after each one. When a seat it
// plays must act (play or pass on its turn, or ask for the next round after
// winning one), it waits the think time and then acts through the network
// commands, exactly as a person at that seat would, so every other program
// sees ordinary moves. At most one action waits at a time; it looks at the
// table again before acting, so a change in between (another move, a seat
// taken over, "Absent" unchecked) is never acted on stale.
//
// One ComputerPlayer per seat decides; each hears every move of the round
// (a player that starts in the middle of a round is handed the round so far).
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

struct AutoPlayOptions {
    BotLevel level = DEFAULT_BOT_LEVEL;
    int computerDelayMs = 700;  // think time of a computer-held seat
    int localDelayMs = 1000;    // think time when playing the program's own seat
    // How long after a round ends the winner it plays waits, at least, before
    // it asks for the next round: the time for people to see what everyone
    // held and paid. 0 leaves only the think time.
    int roundPauseMs = DEFAULT_ROUND_PAUSE_MS;
    std::uint64_t seed = 1;  // each seat's player draws from its own seed after it
};

class AutoPlay : public QObject {
    Q_OBJECT

  public:
    explicit AutoPlay(const AutoPlayOptions& options, QObject* parent = nullptr);
    ~AutoPlay() override;

    // Whether the program's own seat plays by itself. Turning it off drops a
    // move waiting for that seat at once.
    void SetPlaysLocalSeat(bool plays);
    bool PlaysLocalSeat() const { return playsLocal_; }
    void SetLevel(BotLevel level);
    BotLevel Level() const { return options_.level; }
    void SetDelays(int computerDelayMs, int localDelayMs);
    void SetRoundPause(int roundPauseMs);
    // True for a seat whose moves this program makes by itself now.
    bool PlaysSeat(int seat) const;

    // The table's events, forwarded by the front end as its view hears them:
    // the round's record follows the deals, plays and passes, and after every
    // event the player looks again at who must act.
    void Hear(const TableEvent& event);
    // Looks at the table again (a change the network code does not tell, such
    // as the front end's own options).
    void Look();

  signals:
    // The program's own seat has just acted by itself (a move, or asking for
    // the next round), for a front end that follows its own seat.
    void LocalSeatActed();

  private:
    // The seat that must act now and that this program plays; 0 for none.
    int SeatToAct() const;
    void Act();
    ComputerPlayer& PlayerFor(int seat);

    AutoPlayOptions options_;
    bool playsLocal_ = false;
    RoundRecord round_;
    std::unique_ptr<ComputerPlayer> players_[SEAT_COUNT + 1];
    QTimer timer_;
    int waitingSeat_ = 0;          // the seat the timer waits for
    bool askedNextRound_ = false;  // a client's seat asked for the deal that has not come yet
};
