// What the network fuzz targets share: the check that stops a run on a broken
// invariant, a view that shows nothing, the program's globals set up once per
// target and brought back between inputs, the sockets' reset on close, and
// the seats filled as a join fills them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "net/socket_layer.h"
#include "net/table_view.h"

#define FUZZ_CHECK(cond)                                                                       \
    do {                                                                                       \
        if (!(cond)) {                                                                         \
            std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

namespace fuzz {

// A view that shows nothing; a target that checks what it is told overrides
// the texts.
class QuietView : public TableView {
  public:
    void SetStatusText(const char*) override {}
    void AppendChatText(const char*) override {}
    void Repaint() override {}
    void SetAwayChecked(bool) override {}
    void EnablePlayerInfo(bool) override {}
};

// Once per target, from LLVMFuzzerInitialize: the application whose event
// loop the socket layer uses, one deal seed for every input, the program's
// table, `view` and the handler of every socket event.
void StartProgram(int* argc, char*** argv, TableView* view, SocketEventHandler handler);

// Between inputs: the socket layer's connections closed, every seat empty
// and the table as StartProgram made it.
void ResetProgram();

// The socket is reset rather than closed politely: at hundreds of inputs a
// second, closed connections waiting out TIME_WAIT would soon take every
// local port of the machine.
void ResetOnClose(int fd);

// What the kernel counts for the socket with ioctl `request` (FIONREAD:
// bytes that came and are not read; SIOCOUTQNSD: bytes not sent yet); -1 on
// failure.
int KernelBytes(int fd, unsigned long request);

// Fills seat `seat`'s record as a join does: its number, name, socket and an
// IPv4 address of this machine.
void Occupy(int seat, const char* name, Socket sock, std::uint16_t port,
            std::uint32_t ipv4 = 0x7F000001u);

}  // namespace fuzz
