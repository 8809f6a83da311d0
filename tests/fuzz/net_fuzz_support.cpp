#include "tests/fuzz/net_fuzz_support.h"

#include <sys/ioctl.h>
#include <sys/socket.h>

#include <QCoreApplication>
#include <utility>

#include "net/seat_table.h"
#include "net/wire.h"
#include "rules/game_table.h"

namespace fuzz {
namespace {

// The table as it stands before any game, to start every input from.
const GameTable* g_freshTable = nullptr;

}  // namespace

void StartProgram(int* argc, char*** argv, TableView* view, SocketEventHandler handler) {
    static QCoreApplication app(*argc, *argv);
    SockStartup();
    SetDealSeedSource([] { return 20240601u; });
    static GameTable table;
    static const GameTable fresh;
    g_table = &table;
    g_freshTable = &fresh;
    g_view = view;
    SetSocketEventHandler(std::move(handler));
}

void ResetProgram() {
    SockCleanup();
    ResetSeatTable();
    *g_table = *g_freshTable;
}

void ResetOnClose(int fd) {
    const linger reset = {1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
}

int KernelBytes(int fd, unsigned long request) {
    int n = 0;
    return ioctl(fd, request, &n) == 0 ? n : -1;
}

void Occupy(int seat, const char* name, Socket sock, std::uint16_t port, std::uint32_t ipv4) {
    SeatRecord& record = g_seats[seat];
    record.number = static_cast<std::int8_t>(seat);
    std::snprintf(record.name, sizeof record.name, "%s", name);
    record.sock = sock;
    record.addr = {ADDR_FAMILY_INET, port, ipv4};
}

}  // namespace fuzz
