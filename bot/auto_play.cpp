#include "bot/auto_play.h"

#include "net/commands.h"
#include "net/seat_table.h"

AutoPlay::AutoPlay(const AutopilotOptions& options, QObject* parent)
    : SeatAutopilot(options, parent) {}

void AutoPlay::SetPlaysLocalSeat(bool plays) {
    if (playsLocal_ == plays) return;
    playsLocal_ = plays;
    Look();
}

bool AutoPlay::PlaysSeat(int seat) const {
    return playsLocal_ && seat >= 1 && seat == g_localSeat;
}

bool AutoPlay::CaughtUp() const {
    return !HostMessagesWaiting();
}

void AutoPlay::Acted(int /*seat*/) {
    emit LocalSeatActed();
}
