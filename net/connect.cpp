#include "net/connect.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "net/game_log.h"
#include "net/message_handler.h"
#include "net/notices.h"
#include "net/socket_layer.h"

SeatAddr g_bindAddr = {2, 0, 0};
bool g_winsockStarted = false;

namespace {

constexpr std::uint32_t INADDR_NONE_VALUE = 0xFFFFFFFFu;

bool IsLoopback(std::uint32_t ipv4) {
    return (ipv4 >> 24) == 127;
}

// The first IPv4 address of this machine's host name, preferring one that is
// not a loopback address; *any gets the very first one. False when the name
// cannot be looked up or has no IPv4 address.
bool LookUpHostName(std::uint32_t* nonLoopback, std::uint32_t* any) {
    char hostName[HOST_NAME_SIZE] = {};
    if (gethostname(hostName, sizeof hostName - 1) != 0) return false;
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(hostName, nullptr, &hints, &list) != 0 || list == nullptr) return false;
    bool found = false;
    bool foundNonLoopback = false;
    for (const addrinfo* ai = list; ai != nullptr; ai = ai->ai_next) {
        if (ai->ai_family != AF_INET || ai->ai_addr == nullptr) continue;
        sockaddr_in sa;
        std::memcpy(&sa, ai->ai_addr, sizeof sa);
        const std::uint32_t ipv4 = ntohl(sa.sin_addr.s_addr);
        if (!found) {
            *any = ipv4;
            found = true;
        }
        if (!IsLoopback(ipv4)) {
            *nonLoopback = ipv4;
            foundNonLoopback = true;
            break;
        }
    }
    freeaddrinfo(list);
    if (!foundNonLoopback) *nonLoopback = 0;
    return found;
}

// The first IPv4 address of an interface that is up and not a loopback.
bool FirstInterfaceAddress(std::uint32_t* ipv4) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    bool found = false;
    for (const ifaddrs* ifa = list; ifa != nullptr; ifa = ifa->ifa_next) {
        if (ifa->ifa_addr == nullptr || ifa->ifa_addr->sa_family != AF_INET) continue;
        if ((ifa->ifa_flags & IFF_UP) == 0 || (ifa->ifa_flags & IFF_LOOPBACK) != 0) continue;
        sockaddr_in sa;
        std::memcpy(&sa, ifa->ifa_addr, sizeof sa);
        const std::uint32_t address = ntohl(sa.sin_addr.s_addr);
        if (IsLoopback(address)) continue;
        *ipv4 = address;
        found = true;
        break;
    }
    freeifaddrs(list);
    return found;
}

// Steps shared by Host and Join: refuse without a nickname or with a socket
// already open, create the socket, and put the fields into g_bindAddr.
bool BeginConnect(const char* nickname, const char* addressText, const char* portText,
                  ConnectOutcome* outcome) {
    if (nickname == nullptr || nickname[0] == '\0') {
        *outcome = {ConnectStep::NoNickname, 0, 0};
        return false;
    }
    if (g_sock != INVALID_SOCKET) {
        *outcome = {ConnectStep::AlreadyOpen, 0, 0};
        return false;
    }
    std::uint32_t ipv4 = INADDR_NONE_VALUE;
    switch (LookUpAddress(addressText, &ipv4)) {
        case AddressLookup::kFound:
            break;
        case AddressLookup::kUnknownHost:
            *outcome = {ConnectStep::UnknownHost, 0, 0};
            return false;
        case AddressLookup::kNoIpv4:
            *outcome = {ConnectStep::NoIpv4Host, 0, 0};
            return false;
    }
    g_sock = SockCreate();
    if (g_sock == INVALID_SOCKET) {
        *outcome = {ConnectStep::Failed, 0, SockLastError()};
        return false;
    }
    g_bindAddr.family = 2;
    g_bindAddr.ipv4 = ipv4;
    g_bindAddr.port = ParsePortText(portText);
    return true;
}

ConnectOutcome Fail(int endResult) {
    const int error = SockLastError();
    AbortConnect(&g_sock);
    return {ConnectStep::Failed, endResult, error};
}

void CopyNickname(const char* nickname, char* name) {
    std::memset(name, 0, NAME_SIZE);
    std::strncpy(name, nickname, NAME_MAX_CHARS);
}

}  // namespace

int StartNetwork() {
    if (!g_winsockStarted) {
        const int code = SockStartup();
        if (code != 0) return code;
        g_winsockStarted = true;
    }
    // Every socket event goes to the message handler; installing it again is harmless.
    SetSocketEventHandler(OnSocketEvent);
    return 0;
}

bool DefaultAddress(char* out) {
    out[0] = '\0';
    std::uint32_t nonLoopback = 0;
    std::uint32_t first = 0;
    std::uint32_t chosen = 0;
    const bool looked = LookUpHostName(&nonLoopback, &first);
    if (looked && nonLoopback != 0) {
        chosen = nonLoopback;
    } else if (FirstInterfaceAddress(&chosen)) {
        // a non-loopback interface address
    } else if (looked) {
        chosen = first;  // often 127.0.1.1 on this platform
    } else {
        return false;
    }
    g_bindAddr.family = 2;
    g_bindAddr.ipv4 = chosen;
    FormatDottedAddress(chosen, out);
    return true;
}

void AbortConnect(Socket* sock) {
    if (*sock == INVALID_SOCKET) return;
    SockShutdown(*sock, SD_BOTH);
    SockClose(*sock);
    *sock = INVALID_SOCKET;
}

ConnectOutcome HostTable(const char* nickname, const char* addressText, const char* portText) {
    ConnectOutcome outcome;
    if (!BeginConnect(nickname, addressText, portText, &outcome)) return outcome;
    if (SockBind(g_sock, SockAddrIn{g_bindAddr.ipv4, g_bindAddr.port}) != 0) return Fail(0);
    if (SockListen(g_sock, LISTEN_BACKLOG) != 0) return Fail(0);
    // With port 0 the system picks one; the seat record tells the real one.
    SockAddrIn bound;
    if (SockGetName(g_sock, &bound) == 0) g_bindAddr.port = bound.port;
    if (SockAsyncSelect(g_sock, HOST_EVENTS) != 0) return Fail(1);

    SeatRecord& host = g_seats[1];
    CopyNickname(nickname, host.name);
    host.number = 1;
    host.addr = g_bindAddr;
    host.sock = g_sock;
    g_localSeat = 1;
    g_gameLog.Clear();
    ShowChat(FormatNotice(host.name, CHAT_HOST_READY));
    g_playerCount += 1;
    if (g_view != nullptr) g_view->EnablePlayerInfo(true);
    return {ConnectStep::Connected, 0, 0};
}

ConnectOutcome JoinTable(const char* nickname, const char* addressText, const char* portText) {
    ConnectOutcome outcome;
    if (!BeginConnect(nickname, addressText, portText, &outcome)) return outcome;
    if (SockConnect(g_sock, SockAddrIn{g_bindAddr.ipv4, g_bindAddr.port}) != 0) return Fail(0);
    if (SockAsyncSelect(g_sock, CLIENT_EVENTS) != 0) return Fail(1);
    CopyNickname(nickname, g_seats[0].name);
    g_gameLog.Clear();
    if (g_view != nullptr) g_view->EnablePlayerInfo(false);
    return {ConnectStep::Connected, 0, 0};
}

AddressLookup LookUpAddress(const char* text, std::uint32_t* ipv4) {
    *ipv4 = INADDR_NONE_VALUE;
    if (text == nullptr || text[0] == '\0') return AddressLookup::kFound;  // fails later, as always
    if (ParseDottedAddress(text, ipv4)) return AddressLookup::kFound;
    // Digits and dots that are no dotted address stay what they always were
    // (a lookup would read "1.2.3" as 1.2.0.3).
    if (std::strspn(text, "0123456789.") == std::strlen(text)) {
        *ipv4 = INADDR_NONE_VALUE;
        return AddressLookup::kFound;
    }
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(text, nullptr, &hints, &list) != 0 || list == nullptr) {
        return AddressLookup::kUnknownHost;
    }
    AddressLookup result = AddressLookup::kNoIpv4;
    for (const addrinfo* ai = list; ai != nullptr; ai = ai->ai_next) {
        if (ai->ai_family != AF_INET || ai->ai_addr == nullptr) continue;
        sockaddr_in sa;
        std::memcpy(&sa, ai->ai_addr, sizeof sa);
        *ipv4 = ntohl(sa.sin_addr.s_addr);
        result = AddressLookup::kFound;
        break;
    }
    freeaddrinfo(list);
    return result;
}

std::uint16_t ParsePortText(const char* text) {
    if (text == nullptr) return 0;
    while (*text == ' ' || *text == '\t') ++text;
    if (*text == '\0') return 0;
    unsigned long value = 0;
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9') return 0;
        value = value * 10 + static_cast<unsigned long>(*text - '0');
        if (value > 65535) return 0;
    }
    return static_cast<std::uint16_t>(value);
}
