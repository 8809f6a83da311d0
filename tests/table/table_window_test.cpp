// The table window: its state at start, the menu rule, where commands go, the
// connect dialog's outcome, disconnecting, and the end of the window.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "net/connect.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "net/socket_layer.h"
#include "resources/resource_ids.h"
#include "table/board_widget.h"
#include "table/hand_cursor.h"
#include "table/player_aids.h"
#include "table/table_window.h"
#include "ui/card_image.h"
#include "ui/chat_box.h"
#include "ui/table_painter.h"

namespace {

// A window that notes every command before handling it, and what was
// already released when a status text arrived.
class RecordingWindow : public TableWindow {
  public:
    void OnCommand(int id) override {
        commands.push_back(id);
        TableWindow::OnCommand(id);
    }
    void SetStatusText(const char* text) override {
        statusSeen.push_back({text, g_table == nullptr, g_cardImages == nullptr});
        TableWindow::SetStatusText(text);
    }

    struct StatusSeen {
        std::string text;
        bool tableGone;
        bool imagesGone;
    };
    std::vector<int> commands;
    std::vector<StatusSeen> statusSeen;
};

// Opens the "Jeu" menu (which runs the menu rule) and reports the two items.
void OpenMenu(TableWindow& window, bool* networkEnabled, bool* disconnectEnabled) {
    window.GameMenu()->popup(window.mapToGlobal(QPoint(0, 0)));
    QCoreApplication::processEvents();
    *networkEnabled = window.MenuItem(IDM_NETWORK_GAME)->isEnabled();
    *disconnectEnabled = window.MenuItem(IDM_DISCONNECT)->isEnabled();
    window.GameMenu()->hide();
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Runs the window modally; `start` is called once the loop runs. Any message
// box that comes up is noted and closed. Gives up after five seconds.
int RunModal(TableWindow& window, const std::function<void()>& start,
             QStringList* boxTexts = nullptr) {
    QTimer::singleShot(0, &window, start);
    QTimer boxes;
    QObject::connect(&boxes, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (boxTexts != nullptr) boxTexts->append(box->text());
            if (box->icon() == QMessageBox::Critical && boxTexts != nullptr)
                boxTexts->append(QStringLiteral("(stop icon)"));
            box->accept();
        }
    });
    boxes.start(10);
    QTimer::singleShot(5000, &window, [&] { window.done(-1); });
    return window.exec();
}

void ExpectAllReleased() {
    EXPECT_EQ(g_table, nullptr);
    EXPECT_EQ(g_cardImages, nullptr);
    EXPECT_EQ(g_titleImage, nullptr);
    EXPECT_EQ(g_view, nullptr);
}

}  // namespace

TEST(TableWindowStart, EmptySeatsNoPlayersStatusFocusAndButtons) {
    // The records start as whatever the process left in them.
    std::memset(g_seats, 0, sizeof g_seats);
    g_playerCount = 3;
    RecordingWindow window;
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    EXPECT_EQ(window.StatusText(), QStringLiteral("Ready/No Connection"));
    EXPECT_EQ(g_playerCount, 0);
    for (int seat = 0; seat <= SEAT_COUNT; ++seat) {
        EXPECT_EQ(g_seats[seat].sock, INVALID_SOCKET) << seat;
        EXPECT_EQ(g_seats[seat].number, seat);
        EXPECT_EQ(g_seats[seat].name[0], '\0');
    }
    EXPECT_EQ(g_view, static_cast<TableView*>(&window));
    ASSERT_NE(g_table, nullptr);
    EXPECT_NE(g_cardImages, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), window.Aids()->Cursor());

    EXPECT_FALSE(window.Button(IDC_PLAYER_INFO)->isEnabled());
    EXPECT_FALSE(window.Button(IDC_NEXT_ROUND)->isEnabled());
    EXPECT_TRUE(window.Button(IDC_PLAY)->isEnabled());
    EXPECT_TRUE(window.Button(IDC_PASS)->isEnabled());
    EXPECT_FALSE(window.Button(IDC_AWAY)->isChecked());
    EXPECT_FALSE(window.Button(IDOK)->isVisible());
    EXPECT_FALSE(window.Button(IDC_SAVE_GAME)->isVisible());
    EXPECT_TRUE(window.ChatLogBox()->toPlainText().isEmpty());

    bool network = false;
    bool disconnect = true;
    OpenMenu(window, &network, &disconnect);
    EXPECT_TRUE(network);
    EXPECT_FALSE(disconnect);
    EXPECT_TRUE(window.MenuItem(IDCANCEL)->isEnabled());

    // The chat input takes at most 512 characters.
    QTest::keyClicks(window.ChatInput(), QString(600, QLatin1Char('x')));
    EXPECT_EQ(window.ChatInput()->text().size(), 512);
    EXPECT_TRUE(window.commands.empty());
}

TEST(TableWindowStart, ShowsTheProgramsIconAtEverySizeOfTheTheme) {
    TableWindow window;
    const QList<QSize> sizes = window.windowIcon().availableSizes();
    for (int size : {16, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    }
}

TEST(TableWindowMenu, FollowsThePlayerCountOnly) {
    TableWindow window;
    window.show();
    bool network = false;
    bool disconnect = false;

    g_playerCount = 1;  // hosting alone
    OpenMenu(window, &network, &disconnect);
    EXPECT_FALSE(network);
    EXPECT_TRUE(disconnect);

    g_playerCount = 4;
    OpenMenu(window, &network, &disconnect);
    EXPECT_FALSE(network);
    EXPECT_TRUE(disconnect);

    // A socket without players (a client not yet given its seat) counts for nothing.
    g_playerCount = 0;
    g_sock = 12345;
    OpenMenu(window, &network, &disconnect);
    EXPECT_TRUE(network);
    EXPECT_FALSE(disconnect);
    g_sock = INVALID_SOCKET;
}

TEST(TableWindowCommands, EnterIsTheHiddenOkCommandExceptOnAFocusedButton) {
    RecordingWindow window;
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    QTest::keyClicks(window.ChatInput(), "salut");
    QTest::keyClick(window.ChatInput(), Qt::Key_Return);
    QTest::keyClick(window.ChatInput(), Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(window.ChatLogBox(), Qt::Key_Return);
    window.Button(IDC_PASS)->setFocus();
    QTest::keyClick(window.Button(IDC_PASS), Qt::Key_Return);
    EXPECT_EQ(window.commands, (std::vector<int>{IDOK, IDOK, IDOK, IDC_PASS}));
}

TEST(TableWindowCommands, AbsentSendsItsCommandAndNeverTogglesItself) {
    RecordingWindow window;
    window.show();
    QPushButton* away = window.Button(IDC_AWAY);
    QTest::mouseClick(away, Qt::LeftButton);
    EXPECT_FALSE(away->isChecked());
    g_view->SetAwayChecked(true);
    EXPECT_TRUE(away->isChecked());
    QTest::mouseClick(away, Qt::LeftButton);
    EXPECT_TRUE(away->isChecked());
    EXPECT_EQ(window.commands, (std::vector<int>{IDC_AWAY, IDC_AWAY}));
}

TEST(TableWindowCommands, ButtonsAndTheViewReachTheirControls) {
    RecordingWindow window;
    window.show();
    g_view->AppendChatText("[Vantoro]>> \"Anne\" is ready.\r\n");
    g_view->SetStatusText("Game started");
    g_view->EnablePlayerInfo(true);
    EXPECT_EQ(window.ChatLogBox()->toPlainText(),
              QStringLiteral("[Vantoro]>> \"Anne\" is ready.\n"));
    EXPECT_EQ(window.StatusText(), QStringLiteral("Game started"));
    EXPECT_TRUE(window.Button(IDC_PLAYER_INFO)->isEnabled());

    QTest::mouseClick(window.Button(IDC_CLEAR_CHAT), Qt::LeftButton);
    EXPECT_TRUE(window.ChatLogBox()->toPlainText().isEmpty());
    EXPECT_EQ(window.ChatLogBox()->Length(), 0);

    for (int id : {IDC_PLAY, IDC_PASS, IDC_PLAYER_INFO})
        QTest::mouseClick(window.Button(id), Qt::LeftButton);
    EXPECT_EQ(window.commands,
              (std::vector<int>{IDC_CLEAR_CHAT, IDC_PLAY, IDC_PASS, IDC_PLAYER_INFO}));
}

TEST(TableWindowPaint, OneCardRectangleRepaintsJustThatRectangle) {
    TableWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    struct PaintSpy : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
    } spy;
    QCoreApplication::processEvents();
    window.Board()->installEventFilter(&spy);
    g_cardRects[4] = {70, 265, 141, 381};  // right and bottom are outside the card
    window.InvalidateCardRect(4);
    ASSERT_TRUE(WaitFor([&] { return !spy.painted.isEmpty(); }));
    EXPECT_EQ(spy.painted, QRegion(70, 265, 71, 116));
}

TEST(TableWindowNetworkGame, StatusFollowsTheSeatAfterTheConnectDialog) {
    TableWindow window;
    window.show();
    QWidget* owner = nullptr;
    int seatAfterDialog = 0;
    window.SetConnectDialogRunner([&](QWidget* parent) {
        owner = parent;
        g_localSeat = seatAfterDialog;
        return 0;
    });
    const auto statusAfter = [&](int seat) {
        seatAfterDialog = seat;
        window.MenuItem(IDM_NETWORK_GAME)->trigger();
        return window.StatusText();
    };
    EXPECT_EQ(statusAfter(1), QStringLiteral("Waiting user... 3 more needed"));
    EXPECT_EQ(owner, &window);
    EXPECT_EQ(statusAfter(2), QStringLiteral("Connecting..."));
    EXPECT_EQ(statusAfter(4), QStringLiteral("Connecting..."));
    // A client that has connected but has no seat yet.
    EXPECT_EQ(statusAfter(0), QStringLiteral("Ready/No Connection"));
    g_view->SetStatusText("Connected, waiting user... 2 more needed");
    EXPECT_EQ(statusAfter(-1), QStringLiteral("Connected, waiting user... 2 more needed"));
    EXPECT_FALSE(window.IsDestroyed());
    g_localSeat = 0;
}

TEST(TableWindowNetworkGame, FatalResultShowsTheBoxAndEndsTheWindow) {
    TableWindow window;
    window.SetConnectDialogRunner([](QWidget*) { return 1; });
    QStringList boxes;
    const int result = RunModal(
        window, [&] { window.MenuItem(IDM_NETWORK_GAME)->trigger(); }, &boxes);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(boxes,
              (QStringList{QStringLiteral("Winsock Fatal Error!"), QStringLiteral("(stop icon)")}));
    EXPECT_TRUE(window.IsDestroyed());
    ExpectAllReleased();
}

TEST(TableWindowEnd, QuitterEscapeAndTheCloseBoxEndTheWindowAtOnce) {
    const std::vector<std::function<void(RecordingWindow&)>> ways = {
        [](RecordingWindow& w) { w.MenuItem(IDCANCEL)->trigger(); },
        [](RecordingWindow& w) { QTest::keyClick(w.Aids()->Cursor(), Qt::Key_Escape); },
        [](RecordingWindow& w) { w.close(); },
    };
    for (std::size_t way = 0; way < ways.size(); ++way) {
        RecordingWindow window;
        const int result = RunModal(window, [&] { ways[way](window); });
        EXPECT_EQ(result, 0) << way;
        EXPECT_EQ(window.commands, std::vector<int>{IDCANCEL}) << way;
        EXPECT_TRUE(window.IsDestroyed());
        EXPECT_FALSE(window.isVisible());
        ExpectAllReleased();
    }
}

TEST(TableWindowDisconnect, WithoutASocketNothingHappens) {
    TableWindow window;
    g_sock = INVALID_SOCKET;
    g_playerCount = 2;  // whatever the count, only the socket matters
    window.EnablePlayerInfo(true);
    window.MenuItem(IDM_DISCONNECT)->trigger();
    EXPECT_TRUE(window.ChatLogBox()->toPlainText().isEmpty());
    EXPECT_EQ(window.StatusText(), QStringLiteral("Ready/No Connection"));
    EXPECT_TRUE(window.Button(IDC_PLAYER_INFO)->isEnabled());
    EXPECT_EQ(g_playerCount, 2);
    g_playerCount = 0;
}

TEST(TableWindowDisconnect, ClientLeavesTheTableAndTheHostSeesTheConnectionClose) {
    TableWindow window;
    Socket mine = INVALID_SOCKET;
    Socket host = INVALID_SOCKET;
    ASSERT_EQ(SockCreatePair(&mine, &host), 0);
    // A seated client at a full table.
    g_sock = mine;
    g_localSeat = 3;
    for (int seat = 1; seat <= SEAT_COUNT; ++seat) {
        g_seats[seat].sock = 100 + seat;
        std::strcpy(g_seats[seat].name, "joueur");
    }
    g_playerCount = 4;
    window.EnablePlayerInfo(true);
    window.SetAwayChecked(true);

    window.MenuItem(IDM_DISCONNECT)->trigger();
    EXPECT_EQ(window.ChatLogBox()->toPlainText(),
              QStringLiteral("[Vantoro]>> Connection closed.\n"));
    EXPECT_EQ(window.StatusText(), QStringLiteral("Disconnected from host"));
    EXPECT_EQ(g_sock, INVALID_SOCKET);
    EXPECT_EQ(g_localSeat, 0);
    EXPECT_EQ(g_playerCount, 0);
    for (int seat = 1; seat <= SEAT_COUNT; ++seat) EXPECT_EQ(g_seats[seat].sock, INVALID_SOCKET);
    EXPECT_FALSE(window.Button(IDC_PLAYER_INFO)->isEnabled());
    EXPECT_FALSE(window.Button(IDC_AWAY)->isChecked());

    char byte = 0;
    pollfd waiting{static_cast<int>(host), POLLIN, 0};
    ASSERT_EQ(poll(&waiting, 1, 2000), 1);
    EXPECT_EQ(recv(static_cast<int>(host), &byte, 1, 0), 0)
        << "the host reads the end of the stream";
    SockClose(host);
}

TEST(TableWindowEnd, QuitWhileHostingReleasesTableAndImagesThenClosesEveryConnection) {
    RecordingWindow window;
    window.show();
    ASSERT_EQ(StartNetwork(), 0);
    const ConnectOutcome hosted = HostTable("Anne", "127.0.0.1", "0");
    ASSERT_EQ(hosted.step, ConnectStep::Connected);
    const std::uint16_t port = g_bindAddr.port;
    ASSERT_NE(port, 0);

    // A raw client takes seat 2.
    const int client = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_TRUE(WaitFor([] { return g_seats[2].sock != INVALID_SOCKET; }));

    window.statusSeen.clear();
    window.MenuItem(IDCANCEL)->trigger();
    EXPECT_TRUE(window.IsDestroyed());
    ExpectAllReleased();

    // The network was taken down after the game table and the images.
    ASSERT_FALSE(window.statusSeen.empty());
    EXPECT_EQ(window.statusSeen.back().text, "Ready/No Connection");
    EXPECT_TRUE(window.statusSeen.back().tableGone);
    EXPECT_TRUE(window.statusSeen.back().imagesGone);

    // The client reads what the host sent at the accept, then the end.
    char buffer[256];
    ssize_t got = 1;
    while (got > 0) {
        pollfd waiting{client, POLLIN, 0};
        ASSERT_EQ(poll(&waiting, 1, 2000), 1);
        got = recv(client, buffer, sizeof buffer, 0);
    }
    EXPECT_EQ(got, 0);
    close(client);

    // Nobody listens any more.
    const int late = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_EQ(connect(late, reinterpret_cast<sockaddr*>(&address), sizeof address), -1);
    EXPECT_EQ(errno, ECONNREFUSED);
    close(late);
}
