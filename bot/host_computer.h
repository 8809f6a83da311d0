// The host's computer: the part of a hosting program that plays the seats its
// host gives it, the seats the computer holds (IsComputerSeat) and the seats
// the turn limit has the host play (HostPlaysForSeat).
//
// It is a part of the host, not of a front end: whoever starts the host
// (the table window, vantoro-bot) creates one with its level and pace, beside
// the host's policy, and from then on it hears the table's events from the
// network code directly (g_hostComputer), not through the front end's view.
// It reads no socket. On a client it plays nothing.
#pragma once

#include "bot/seat_autopilot.h"
#include "net/table_view.h"

class HostComputer : public SeatAutopilot, public TableListener {
    Q_OBJECT

  public:
    // Installs itself as the network code's g_hostComputer; there is one per
    // program.
    explicit HostComputer(const AutopilotOptions& options, QObject* parent = nullptr);
    ~HostComputer() override;

    void OnTableEvent(const TableEvent& event) override { Hear(event); }

  protected:
    bool PlaysSeat(int seat) const override;
};
