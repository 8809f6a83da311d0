// The socket set-up of the connect dialog: starting the network once per run,
// proposing this machine's address, and the Host and Join steps that turn the
// dialog's three fields into a listening socket (seat 1) or a connection to a
// host (g_sock, closed again by AbortConnect or by Disconnect). The dialog
// window shows the outcome; a headless front end (the computer player) uses
// the same operations. This is the top of the network code: starting the
// network installs the message handler as the one handler of socket events.
#pragma once

#include <cstdint>

#include "net/seat_table.h"

// The address to bind (host) or to connect to (client), host byte order in
// memory; family 2 once set. DefaultAddress proposes this machine's address;
// Host and Join overwrite address and port from the fields.
extern SeatAddr g_bindAddr;
// True once StartNetwork has succeeded; never cleared.
extern bool g_winsockStarted;

constexpr const char* DEFAULT_PORT_TEXT = "7171";
constexpr int LISTEN_BACKLOG = 5;
constexpr int HOST_NAME_SIZE = 128;    // the host-name buffer of the address lookup
constexpr int ADDRESS_TEXT_SIZE = 16;  // a dotted IPv4 address and its NUL

// Starts the socket library once per run and routes every socket event to
// OnSocketEvent (the routing is installed again on every call, which is
// harmless). Returns 0, or the start-up's error code (then g_winsockStarted
// stays false and nothing is routed).
int StartNetwork();

// Writes this machine's address in dotted form into out (ADDRESS_TEXT_SIZE
// bytes) and stores it in g_bindAddr: the first IPv4 address of the host
// name's lookup that is not a loopback address, else the first non-loopback
// IPv4 address of an interface that is up, else the lookup's first address;
// returns false and leaves out empty when there is none at all.
bool DefaultAddress(char* out);

// If *sock holds a socket: shuts it down both ways, closes it and sets it to
// INVALID_SOCKET. The dialog then shows the error and ends.
void AbortConnect(Socket* sock);

// What became of a Host or Join request.
enum class ConnectStep {
    Connected,    // hosting or joined; end the dialog with endResult (0)
    Failed,       // show WinsockErrorText(error), then end the dialog with endResult
    AlreadyOpen,  // g_sock already holds a socket: nothing done, the dialog stays open
    NoNickname,   // the nickname is empty: nothing done, the dialog stays open
    UnknownHost,  // the address is a name that no lookup knows: nothing created
    NoIpv4Host,   // the address is a name with IPv6 addresses only: nothing created
};

struct ConnectOutcome {
    ConnectStep step;
    int endResult;  // the dialog's end result: 1 when event registration failed, else 0
    int error;      // the Winsock error code of the failed call; 0 otherwise
};

// The Host button: a socket bound to the address and port texts, listening
// (backlog 5) and registered for HOST_EVENTS; seat 1 gets the nickname (cut to
// 16 characters), the bound address and the socket; g_localSeat 1, one more
// player, the "(Host) is ready, awaiting..." chat line and the player-info
// button enabled. The address text is a dotted IPv4 address, taken as it
// stands, or a machine's name (`localhost`, a name on the network), looked up
// (blocking for the lookup alone) for its first IPv4 address; a name nobody
// knows gives UnknownHost and one with IPv6 addresses only NoIpv4Host, with
// nothing created. An empty text stays what it always was: 255.255.255.255,
// whose bind or connect then fails with its own error. The port text is an
// unsigned decimal number; anything else is 0. Every failure leaves g_sock
// INVALID_SOCKET with no descriptor open.
ConnectOutcome HostTable(const char* nickname, const char* addressText, const char* portText);

// The Join button: a socket connected to the address and port (blocking, up
// to CONNECT_TIMEOUT_MS) and registered for CLIENT_EVENTS; the nickname goes
// into record 0 of g_seats for the MSG_JOIN sent once the host gives a seat;
// the player-info button is disabled; g_localSeat stays 0. Same address, port
// and failure rules as HostTable.
ConnectOutcome JoinTable(const char* nickname, const char* addressText, const char* portText);

// The address field's text as an IPv4 address (host byte order): a dotted
// address as it stands, else a name looked up; see HostTable.
enum class AddressLookup { kFound, kUnknownHost, kNoIpv4 };
AddressLookup LookUpAddress(const char* text, std::uint32_t* ipv4);

// The port field's text as a number: decimal digits after optional leading
// blanks, nothing else, at most 65535; 0 for anything else.
std::uint16_t ParsePortText(const char* text);
