// The connect dialog's Host and Join steps without the window: the state
// they leave, the errors they report, and that no failure leaves a socket
// open (counted in /proc/self/fd).
#include "net/connect.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <QEventLoop>
#include <QTimer>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "net/relay.h"
#include "net/socket_layer.h"
#include "net/table_view.h"
#include "net/winsock_error.h"
#include "tests/support/scripted_peer.h"

namespace {

constexpr std::uint32_t LOOPBACK = 0x7F000001;

int OpenDescriptors() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) return -1;
    while (const dirent* entry = readdir(dir)) count += entry->d_name[0] != '.' ? 1 : 0;
    closedir(dir);
    return count;
}

class RecordingView : public TableView {
  public:
    void SetStatusText(const char* text) override { status.push_back(text); }
    void AppendChatText(const char* text) override { chat += text; }
    void Repaint() override {}
    void SetAwayChecked(bool) override {}
    void EnablePlayerInfo(bool enabled) override { playerInfo.push_back(enabled); }

    std::vector<std::string> status;
    std::string chat;
    std::vector<bool> playerInfo;
};

class ConnectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(StartNetwork(), 0);
        ResetSeatTable();
        g_view = &view;
        descriptorsBefore = OpenDescriptors();
        ASSERT_GT(descriptorsBefore, 0);
    }

    void TearDown() override {
        Disconnect();
        AbortConnect(&g_sock);
        SockCleanup();
        SetConnectTimeoutForTest(0);
        g_view = nullptr;
    }

    // The state a failed Host or Join must leave.
    void ExpectNothingLeft(const ConnectOutcome& outcome, int error) {
        EXPECT_EQ(outcome.step, ConnectStep::Failed);
        EXPECT_EQ(outcome.endResult, 0);
        EXPECT_EQ(outcome.error, error) << WinsockErrorText(outcome.error);
        EXPECT_EQ(g_sock, INVALID_SOCKET);
        EXPECT_EQ(g_localSeat, 0);
        EXPECT_EQ(g_playerCount, 0);
        EXPECT_EQ(g_seats[1].sock, INVALID_SOCKET);
        EXPECT_EQ(view.chat, "");
        EXPECT_TRUE(view.playerInfo.empty());
    }

    int descriptorsBefore = 0;
    RecordingView view;
};

std::string PortText(std::uint16_t port) {
    return std::to_string(port);
}

TEST_F(ConnectTest, HostTakesSeatOneListensAndAnnouncesItself) {
    const ConnectOutcome outcome = HostTable("Alice", "127.0.0.1", "0");
    ASSERT_EQ(outcome.step, ConnectStep::Connected);
    EXPECT_EQ(outcome.endResult, 0);
    EXPECT_EQ(outcome.error, 0);
    ASSERT_NE(g_sock, INVALID_SOCKET);
    EXPECT_EQ(g_localSeat, 1);
    EXPECT_EQ(g_playerCount, 1);
    EXPECT_STREQ(g_seats[1].name, "Alice");
    EXPECT_EQ(g_seats[1].sock, g_sock);
    EXPECT_EQ(g_seats[1].addr.family, 2);
    EXPECT_EQ(g_seats[1].addr.ipv4, LOOPBACK);
    // Port 0 asks the system for one; the record names the port really bound.
    EXPECT_NE(g_seats[1].addr.port, 0);
    EXPECT_EQ(view.chat, "[Vantoro]>> \"Alice\" (Host) is ready, awaiting...\r\n");
    EXPECT_EQ(view.playerInfo, std::vector<bool>{true});
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore + 1);

    Socket client = SockCreate();
    EXPECT_EQ(SockConnect(client, {LOOPBACK, g_seats[1].addr.port}), 0) << "nobody listens there";
}

TEST_F(ConnectTest, HostedTableAnswersANewcomerThroughTheMessageHandler) {
    ASSERT_EQ(HostTable("Alice", "127.0.0.1", "0").step, ConnectStep::Connected);
    Socket client = SockCreate();
    ASSERT_EQ(SockConnect(client, {LOOPBACK, g_seats[1].addr.port}), 0);
    // The accept reaches the relay, which seats the newcomer and tells it so:
    // MSG_SEAT_ASSIGN (4, seat 2), then the host's 41-byte MSG_SEAT_INFO.
    std::vector<std::uint8_t> got;
    ASSERT_TRUE(vtest::RunUntil(
        [&] {
            std::uint8_t buf[64];
            const int n = SockRecv(client, buf, sizeof buf);
            if (n > 0) got.insert(got.end(), buf, buf + n);
            return got.size() >= 2 + 41;
        },
        3000))
        << got.size();
    EXPECT_EQ(got[0], 4);
    EXPECT_EQ(got[1], 2);
    EXPECT_EQ(got[2], 2);  // MSG_SEAT_INFO
    EXPECT_EQ(got[3], 1);  // of seat 1
    EXPECT_STREQ(reinterpret_cast<const char*>(&got[4]), "Alice");
    EXPECT_NE(g_seats[2].sock, INVALID_SOCKET);
}

TEST_F(ConnectTest, HostCutsALongNicknameToSixteenCharacters) {
    ASSERT_EQ(HostTable("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "127.0.0.1", "0").step,
              ConnectStep::Connected);
    EXPECT_STREQ(g_seats[1].name, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(view.chat, "[Vantoro]>> \"ABCDEFGHIJKLMNOP\" (Host) is ready, awaiting...\r\n");
}

TEST_F(ConnectTest, WithoutANicknameNothingIsCreated) {
    for (const char* nickname : {"", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(HostTable(nickname, "127.0.0.1", "0").step, ConnectStep::NoNickname);
        EXPECT_EQ(JoinTable(nickname, "127.0.0.1", "7171").step, ConnectStep::NoNickname);
    }
    EXPECT_EQ(g_sock, INVALID_SOCKET);
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore);
    EXPECT_EQ(view.chat, "");
}

TEST_F(ConnectTest, WhileASocketIsOpenHostAndJoinDoNothing) {
    ASSERT_EQ(HostTable("Alice", "127.0.0.1", "0").step, ConnectStep::Connected);
    const Socket hosting = g_sock;
    const std::string chat = view.chat;
    const int descriptors = OpenDescriptors();
    const ConnectOutcome again = HostTable("Bob", "127.0.0.1", "0");
    EXPECT_EQ(again.step, ConnectStep::AlreadyOpen);
    EXPECT_EQ(again.error, 0);
    EXPECT_EQ(JoinTable("Bob", "127.0.0.1", PortText(g_seats[1].addr.port).c_str()).step,
              ConnectStep::AlreadyOpen);
    EXPECT_EQ(g_sock, hosting);
    EXPECT_EQ(g_playerCount, 1);
    EXPECT_STREQ(g_seats[1].name, "Alice");
    EXPECT_EQ(view.chat, chat);
    EXPECT_EQ(OpenDescriptors(), descriptors);
}

TEST_F(ConnectTest, HostFailuresCloseTheSocketAndReportTheError) {
    Socket taken = SockCreate();
    ASSERT_EQ(SockBind(taken, {LOOPBACK, 0}), 0);
    ASSERT_EQ(SockListen(taken, 5), 0);
    SockAddrIn bound;
    ASSERT_EQ(SockGetName(taken, &bound), 0);
    descriptorsBefore = OpenDescriptors();

    ExpectNothingLeft(HostTable("Alice", "127.0.0.1", PortText(bound.port).c_str()), 10048);
    EXPECT_STREQ(WinsockErrorText(10048), "Address already in use");
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore);

    // An address of no interface here (a documentation address; this
    // machine's own are checked first).
    std::uint32_t foreign = 0xCB007101;  // 203.0.113.1
    ifaddrs* list = nullptr;
    ASSERT_EQ(getifaddrs(&list), 0);
    for (ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
        if (i->ifa_addr != nullptr && i->ifa_addr->sa_family == AF_INET &&
            ntohl(reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr) == foreign) {
            foreign = 0xC6336401;  // 198.51.100.1
        }
    }
    freeifaddrs(list);
    char text[16];
    FormatDottedAddress(foreign, text);
    ExpectNothingLeft(HostTable("Alice", text, "0"), 10049);
    EXPECT_STREQ(WinsockErrorText(10049), "Cant assign requested address");
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore);

    // A name nobody knows creates nothing; digits and dots that are no
    // address stay the address that fails to bind, as they always were.
    EXPECT_EQ(HostTable("Alice", "no-such-machine.invalid", "0").step, ConnectStep::UnknownHost);
    EXPECT_EQ(JoinTable("Bob", "no-such-machine.invalid", "7171").step, ConnectStep::UnknownHost);
    EXPECT_EQ(g_sock, INVALID_SOCKET);
    EXPECT_EQ(g_localSeat, 0);
    ExpectNothingLeft(HostTable("Alice", "1.2.3", "0"), 10049);
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore);
}

TEST_F(ConnectTest, AMachinesNameIsLookedUp) {
    std::uint32_t ipv4 = 0;
    ASSERT_EQ(LookUpAddress("localhost", &ipv4), AddressLookup::kFound);
    EXPECT_EQ(ipv4 >> 24, 127u);
    ASSERT_EQ(HostTable("Alice", "localhost", "0").step, ConnectStep::Connected);
    EXPECT_EQ(g_seats[1].addr.ipv4 >> 24, 127u);
    const std::uint16_t port = g_bindAddr.port;
    Disconnect();
    ASSERT_EQ(HostTable("Alice", "127.0.0.1", std::to_string(port).c_str()).step,
              ConnectStep::Connected);
}

TEST_F(ConnectTest, JoinConnectsRegistersAndWaitsForItsSeat) {
    Socket listener = SockCreate();
    ASSERT_EQ(SockBind(listener, {LOOPBACK, 0}), 0);
    ASSERT_EQ(SockListen(listener, 5), 0);
    SockAddrIn bound;
    ASSERT_EQ(SockGetName(listener, &bound), 0);
    g_playerCount = 0;

    const ConnectOutcome outcome = JoinTable("Bob", "127.0.0.1", PortText(bound.port).c_str());
    ASSERT_EQ(outcome.step, ConnectStep::Connected);
    EXPECT_EQ(outcome.endResult, 0);
    EXPECT_EQ(outcome.error, 0);
    ASSERT_NE(g_sock, INVALID_SOCKET);
    EXPECT_EQ(g_localSeat, 0);
    EXPECT_EQ(g_playerCount, 0);
    EXPECT_STREQ(g_seats[0].name, "Bob");
    EXPECT_EQ(view.playerInfo, std::vector<bool>{false});
    EXPECT_EQ(view.chat, "") << "joining writes nothing to the chat log";
    EXPECT_EQ(g_bindAddr.ipv4, LOOPBACK);
    EXPECT_EQ(g_bindAddr.port, bound.port);

    // The host's side: the connection is there; its seat assignment reaches
    // the message handler, which answers with MSG_JOIN carrying the nickname.
    Socket host = SockAccept(listener, nullptr);
    ASSERT_NE(host, INVALID_SOCKET);
    const std::uint8_t assign[2] = {4, 3};
    ASSERT_EQ(SockSend(host, assign, 2), 2);
    std::vector<std::uint8_t> got;
    ASSERT_TRUE(vtest::RunUntil(
        [&] {
            std::uint8_t buf[32];
            const int n = SockRecv(host, buf, sizeof buf);
            if (n > 0) got.insert(got.end(), buf, buf + n);
            return got.size() >= 18;
        },
        3000));
    EXPECT_EQ(g_localSeat, 3);
    EXPECT_EQ(got[0], 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(&got[1]), "Bob");
}

TEST_F(ConnectTest, JoinFailuresCloseTheSocketAndReportTheError) {
    // A port held by a socket that does not listen: refused.
    Socket holder = SockCreate();
    ASSERT_EQ(SockBind(holder, {LOOPBACK, 0}), 0);
    SockAddrIn held;
    ASSERT_EQ(SockGetName(holder, &held), 0);
    descriptorsBefore = OpenDescriptors();
    ExpectNothingLeft(JoinTable("Bob", "127.0.0.1", PortText(held.port).c_str()), 10061);
    EXPECT_STREQ(WinsockErrorText(10061), "Connection refused");
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore);

    // A host name is not looked up: the connect fails with its own error.
    const ConnectOutcome named = JoinTable("Bob", "localhost", PortText(held.port).c_str());
    EXPECT_EQ(named.step, ConnectStep::Failed);
    EXPECT_NE(named.error, 0);
    EXPECT_STRNE(WinsockErrorText(named.error), "Not a WinSock error");
    EXPECT_EQ(g_sock, INVALID_SOCKET);
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore);

    // A listener that never accepts and whose backlog is full: timed out.
    Socket busy = SockCreate();
    ASSERT_EQ(SockBind(busy, {LOOPBACK, 0}), 0);
    ASSERT_EQ(SockListen(busy, 0), 0);
    SockAddrIn busyAddr;
    ASSERT_EQ(SockGetName(busy, &busyAddr), 0);
    SetConnectTimeoutForTest(300);
    std::vector<Socket> fillers;
    ConnectOutcome outcome{ConnectStep::Connected, 0, 0};
    for (int i = 0; i < 8; ++i) {
        outcome = JoinTable("Bob", "127.0.0.1", PortText(busyAddr.port).c_str());
        if (outcome.step != ConnectStep::Connected) break;
        fillers.push_back(g_sock);  // an accepted-by-the-kernel connection fills the backlog
        g_sock = INVALID_SOCKET;
    }
    view.playerInfo.clear();
    descriptorsBefore = OpenDescriptors();
    ASSERT_EQ(outcome.step, ConnectStep::Failed);
    EXPECT_EQ(outcome.error, 10060);
    EXPECT_STREQ(WinsockErrorText(outcome.error), "Connection timed out");
    EXPECT_EQ(g_sock, INVALID_SOCKET);
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore);
}

TEST_F(ConnectTest, AbortConnectClosesAndForgetsTheSocket) {
    Socket s = SockCreate();
    ASSERT_NE(s, INVALID_SOCKET);
    const int open = OpenDescriptors();
    AbortConnect(&s);
    EXPECT_EQ(s, INVALID_SOCKET);
    EXPECT_EQ(OpenDescriptors(), open - 1);
    AbortConnect(&s);  // nothing to do
    EXPECT_EQ(OpenDescriptors(), open - 1);
}

TEST(PortText, UnsignedDecimalOrZero) {
    EXPECT_EQ(ParsePortText("7171"), 7171);
    EXPECT_EQ(ParsePortText("1"), 1);
    EXPECT_EQ(ParsePortText("65535"), 65535);
    EXPECT_EQ(ParsePortText("  80"), 80);
    for (const char* none : {"", "   ", "abc", "71a", "-1", "+7", "7 1", "65536", "99999999999"}) {
        EXPECT_EQ(ParsePortText(none), 0) << none;
    }
    EXPECT_EQ(ParsePortText(nullptr), 0);
}

TEST(DefaultAddressTest, ProposesAnIPv4AddressOfThisMachine) {
    bool upInterface = false;
    std::vector<std::uint32_t> local;
    ifaddrs* list = nullptr;
    ASSERT_EQ(getifaddrs(&list), 0);
    for (ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET) continue;
        const std::uint32_t ip =
            ntohl(reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr);
        local.push_back(ip);
        if ((i->ifa_flags & IFF_UP) != 0 && (ip >> 24) != 127) upInterface = true;
    }
    freeifaddrs(list);

    char text[ADDRESS_TEXT_SIZE] = "junk";
    g_bindAddr = {0, 7171, 0};
    ASSERT_TRUE(DefaultAddress(text));
    std::uint32_t ip = 0;
    ASSERT_TRUE(ParseDottedAddress(text, &ip)) << text;
    EXPECT_EQ(g_bindAddr.ipv4, ip);
    EXPECT_EQ(g_bindAddr.family, 2);
    EXPECT_EQ(g_bindAddr.port, 7171) << "the port is the field's business";
    if (upInterface) {
        EXPECT_NE(ip >> 24, 127u) << "a loopback address proposed while " << local.size()
                                  << " addresses exist";
        // A non-loopback proposal is one a host here can bind.
        Socket s = SockCreate();
        EXPECT_EQ(SockBind(s, {ip, 0}), 0) << text;
        SockClose(s);
    }
}

}  // namespace
