// The socket layer: stream sockets over POSIX TCP with Winsock's results and
// event delivery, on the one thread that runs the Qt event loop.
//
// Everything the network code needs of the operating system goes through
// here, so that the relay and the message handling are written once, against
// Winsock's contract:
//   - handles are small integers; INVALID_SOCKET marks none;
//   - a failing call returns SOCKET_ERROR (or INVALID_SOCKET) and leaves a
//     Winsock error number (10048 address in use, 10061 refused, ...) for
//     SockLastError;
//   - after SockAsyncSelect, the socket is non-blocking and its events
//     (FD_READ, FD_WRITE, FD_ACCEPT, FD_CLOSE) reach the one handler
//     installed with SetSocketEventHandler, one ready socket at a time, from
//     the event loop, never from inside another handler.
//
// Event semantics (as Winsock's):
//   FD_READ   bytes are waiting. Bytes are kept per connection until read; a
//             further FD_READ is posted after a handler that consumed bytes
//             while some remain, and whenever new bytes arrive. A handler
//             that consumes nothing (it waits for the rest of a message) is
//             not called again until more bytes arrive: nothing spins.
//   FD_WRITE  once when a connection is accepted (host event set) and again
//             only after a send had to wait and its queued bytes have gone.
//   FD_ACCEPT a connection waits on a listening socket; not posted again
//             until SockAccept has been called.
//   FD_CLOSE  the peer closed (or the connection failed), after every byte
//             that arrived before it has been offered with FD_READ.
// Sends never block and never lose bytes: what the kernel does not take at
// once is queued per connection and sent in order when the socket is
// writable again. A peer that leaves more than 4 MiB unsent to it (it has
// stopped reading) is given up: that send fails with WSAENOBUFS (10055), the
// connection is shut down and its FD_CLOSE follows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "net/socket_handle.h"

constexpr int SOCKET_ERROR = -1;

// Event codes, as they arrive in the low word of a Winsock notification.
constexpr int FD_READ = 1;
constexpr int FD_WRITE = 2;
constexpr int FD_ACCEPT = 8;
constexpr int FD_CONNECT = 16;
constexpr int FD_CLOSE = 32;

constexpr long HOST_EVENTS = FD_READ | FD_WRITE | FD_ACCEPT | FD_CLOSE;  // 0x2B
constexpr long CLIENT_EVENTS = FD_READ | FD_CONNECT | FD_CLOSE;          // 0x31

// Shutdown directions.
constexpr int SD_RECEIVE = 0;
constexpr int SD_SEND = 1;
constexpr int SD_BOTH = 2;

// Winsock error numbers used by the program.
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAEADDRINUSE = 10048;
constexpr int WSAEADDRNOTAVAIL = 10049;
constexpr int WSAETIMEDOUT = 10060;
constexpr int WSAECONNREFUSED = 10061;

// How long a blocking connect waits before it gives up with WSAETIMEDOUT.
constexpr int CONNECT_TIMEOUT_MS = 10000;

// Tests only: makes SockConnect give up after ms milliseconds instead (a
// value of 0 or less restores CONNECT_TIMEOUT_MS).
void SetConnectTimeoutForTest(int ms);

// An IPv4 address and port in host byte order.
struct SockAddrIn {
    std::uint32_t ipv4 = 0;
    std::uint16_t port = 0;
};

// The Winsock error number of the last failed call.
int SockLastError();
// Maps a POSIX errno value to its Winsock error number (0 stays 0; a value
// with no Winsock counterpart maps to itself).
int WinsockErrorFromErrno(int err);

// Library start; returns 0 (there is nothing to start on this platform).
int SockStartup();
// Closes every socket still open and forgets every registration.
void SockCleanup();

Socket SockCreate();  // AF_INET, SOCK_STREAM; INVALID_SOCKET on failure
// Binds to the address; 255.255.255.255 (what a failed dotted-address
// conversion leaves) is refused with WSAEADDRNOTAVAIL, as Winsock does.
int SockBind(Socket s, const SockAddrIn& addr);
int SockListen(Socket s, int backlog);
// Blocking connect; gives up after CONNECT_TIMEOUT_MS with WSAETIMEDOUT.
int SockConnect(Socket s, const SockAddrIn& addr);
// Registers the socket for the given events and makes it non-blocking.
int SockAsyncSelect(Socket s, long events);
// Accepts one waiting connection; the new socket inherits the listening
// socket's events (and receives its first FD_WRITE). `peer` may be null.
Socket SockAccept(Socket listening, SockAddrIn* peer);
// Queues len bytes for the peer; returns len, or SOCKET_ERROR on a socket
// that is not open.
int SockSend(Socket s, const void* data, int len);
// Takes up to len waiting bytes; returns the count (0 when none wait).
int SockRecv(Socket s, void* data, int len);
// Copies up to len waiting bytes without taking them; returns the count.
int SockPeek(Socket s, void* data, int len);
// Drops the next `count` bytes of a registered connection's stream: those
// waiting now at once, the rest as they arrive, none of them ever offered
// with FD_READ. What the reader decided to drop is then the layer's to
// forget, and it is forgotten with the connection. Returns 0, or
// SOCKET_ERROR for a socket that is not open and registered.
int SockDiscard(Socket s, std::size_t count);
// How many bytes wait to be read (FIONREAD); SOCKET_ERROR for no socket.
int SockAvailable(Socket s, std::size_t* count);
// How many bytes the layer holds for the peer that the kernel has not taken
// yet; 0 for a socket that is not open. While it is not 0, an FD_WRITE
// follows when they have gone.
std::size_t SockQueued(Socket s);
// The bytes for the peer that it has not acknowledged yet: those the layer
// holds and those the kernel has sent or holds without the peer's receipt.
// 0 for a socket that is not open. No event tells when it falls.
std::size_t SockUnacknowledged(Socket s);
int SockShutdown(Socket s, int how);
// Closes the socket: its notifications stop at once, and no event that was
// already posted for it is delivered.
int SockClose(Socket s);
// The locally bound address of a socket.
int SockGetName(Socket s, SockAddrIn* addr);

// A connected pair of stream sockets on this machine, not yet registered
// (for tests and fuzzing: one end plays the program's connection, the other
// the peer).
int SockCreatePair(Socket* a, Socket* b);

// The one handler of every socket event (OnSocketEvent in the program).
using SocketEventHandler = std::function<void(Socket, int event)>;
void SetSocketEventHandler(SocketEventHandler handler);

// Dotted text to an address, without a name lookup; false for text that is
// not four dotted numbers (Winsock's INADDR_NONE).
bool ParseDottedAddress(const char* text, std::uint32_t* ipv4);
// An address as dotted text ("127.0.0.1") into out (at least 16 bytes).
void FormatDottedAddress(std::uint32_t ipv4, char* out);
