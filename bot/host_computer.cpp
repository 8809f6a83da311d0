#include "bot/host_computer.h"

#include "net/relay.h"
#include "net/seat_table.h"

HostComputer::HostComputer(const AutopilotOptions& options, QObject* parent)
    : SeatAutopilot(options, parent) {
    g_hostComputer = this;
}

HostComputer::~HostComputer() {
    if (g_hostComputer == this) g_hostComputer = nullptr;
}

bool HostComputer::PlaysSeat(int seat) const {
    return IsComputerSeat(seat) || HostPlaysForSeat(seat);
}
