// The program's own seat, played by itself while it is asked to: always for
// vantoro-bot, while "Absent" is checked for the table window.
//
// The front end hands it the table's events (its TableView gets them from the
// network code). On a client it acts only on a copy that has read everything
// its host has sent so far (a newcomer's replay may still be coming in).
#pragma once

#include "bot/seat_autopilot.h"

class AutoPlay : public SeatAutopilot {
    Q_OBJECT

  public:
    explicit AutoPlay(const AutopilotOptions& options, QObject* parent = nullptr);

    // Whether the program's own seat plays by itself. Turning it off drops a
    // move waiting for that seat at once.
    void SetPlaysLocalSeat(bool plays);
    bool PlaysLocalSeat() const { return playsLocal_; }

  signals:
    // The program's own seat has just acted by itself (a move, or asking for
    // the next round), for a front end that follows its own seat.
    void LocalSeatActed();

  protected:
    bool PlaysSeat(int seat) const override;
    bool CaughtUp() const override;
    void Acted(int seat) override;

  private:
    bool playsLocal_ = false;
};
