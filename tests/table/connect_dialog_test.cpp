// The connect dialog driven as the player drives it: opened from the table
// window's menu, filled with key clicks, its buttons clicked, against real
// sockets on this machine. The boxes it shows are read and closed from
// timers inside their own loops.
#include "table/connect_dialog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

#include "net/connect.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "resources/resource_ids.h"
#include "table/table_window.h"
#include "tests/support/scripted_peer.h"
#include "tests/table/window_harness.h"
#include "ui/chat_box.h"

namespace {

bool IsConnectDialog(QWidget* widget) {
    return qobject_cast<ConnectDialog*>(widget) != nullptr;
}

// Replaces a field's text the way a player does: select all, then type.
void TypeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

class ConnectDialogTest : public testing::Test {
  protected:
    void SetUp() override {
        window_ = std::make_unique<TableWindow>();
        vtest::ResetSockets();
        window_->SetConnectDialogRunner([this](QWidget* owner) {
            ++runs_;
            result_ = RunConnectDialog(owner);
            return result_;
        });
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        window_.reset();
        wtest::CloseNetwork();
    }

    // Opens the dialog from the menu and runs `script` on it once it is up;
    // returns when the menu command has ended (the dialog with it).
    void OpenDialog(const std::function<void(ConnectDialog*)>& script) {
        wtest::WhenModalIsUp(IsConnectDialog,
                             [&](QWidget* widget) { script(static_cast<ConnectDialog*>(widget)); });
        const int runs = runs_;
        window_->MenuItem(IDM_NETWORK_GAME)->trigger();
        ASSERT_EQ(runs_, runs + 1) << "the menu command ran the dialog";
    }

    // Fills the three fields and clicks Host or Join.
    static void Submit(ConnectDialog* dialog, const QString& nickname, const QString& address,
                       const QString& port, int button) {
        TypeInto(dialog->Field(IDC_NICKNAME), nickname);
        TypeInto(dialog->Field(IDC_IP), address);
        TypeInto(dialog->Field(IDC_PORT), port);
        QTest::mouseClick(dialog->Button(button), Qt::LeftButton);
    }

    // One failing attempt: the error box with its caption, the dialog ended
    // with 0, and no socket left behind.
    void ExpectFailure(const QString& address, const QString& port, int button,
                       const QString& error) {
        wtest::BoxCatcher boxes;
        wtest::ModalGuard guard;
        const int socketsBefore = wtest::OpenSocketCount();
        ConnectDialog* shown = nullptr;
        OpenDialog([&](ConnectDialog* dialog) {
            shown = dialog;
            Submit(dialog, QStringLiteral("Hana"), address, port, button);
            // The box came up over the dialog, which has ended but still exists.
            ASSERT_EQ(boxes.boxes().size(), 1u);
            EXPECT_EQ(boxes.boxes()[0].owner, dialog);
            EXPECT_FALSE(dialog->isVisible());
        });
        EXPECT_FALSE(guard.fired()) << "the failure ends the dialog";
        EXPECT_NE(shown, nullptr);
        EXPECT_EQ(result_, 0);
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text, error);
        EXPECT_EQ(boxes.boxes()[0].caption, QStringLiteral("Winsock Error"));
        EXPECT_EQ(boxes.boxes()[0].icon, QMessageBox::Warning);
        EXPECT_EQ(g_sock, INVALID_SOCKET);
        EXPECT_EQ(wtest::OpenSocketCount(), socketsBefore);
        EXPECT_EQ(g_localSeat, 0);
        EXPECT_EQ(g_playerCount, 0);
        EXPECT_FALSE(window_->IsDestroyed());
        EXPECT_EQ(window_->StatusText(), QStringLiteral("Ready/No Connection"));
        EXPECT_TRUE(window_->ChatLogBox()->toPlainText().isEmpty());
    }

    std::unique_ptr<TableWindow> window_;
    int runs_ = 0;
    int result_ = -2;
};

TEST_F(ConnectDialogTest, StartsWithThisMachineAndPortAndOnlyItsButtonsAndCloseBoxEndIt) {
    wtest::BoxCatcher boxes;
    wtest::ModalGuard guard;
    g_view->SetStatusText("Game started");  // so that the status after the dialog shows
    const int socketsBefore = wtest::OpenSocketCount();
    OpenDialog([&](ConnectDialog* dialog) {
        QLineEdit* nickname = dialog->Field(IDC_NICKNAME);
        QLineEdit* address = dialog->Field(IDC_IP);
        QLineEdit* port = dialog->Field(IDC_PORT);
        EXPECT_EQ(dialog->parentWidget(), window_.get());
        EXPECT_TRUE(wtest::IsLocalAddress(address->text())) << address->text().toStdString();
        EXPECT_EQ(port->text(), QStringLiteral("7171"));
        EXPECT_TRUE(nickname->text().isEmpty());
        EXPECT_EQ(dialog->focusWidget(), nickname);

        // At most 16 and 4 characters; the address may be a machine's name.
        TypeInto(nickname, QStringLiteral("abcdefghijklmnopqrst"));
        TypeInto(address, QStringLiteral("table.salon.example"));
        TypeInto(port, QStringLiteral("123456"));
        EXPECT_EQ(nickname->text(), QStringLiteral("abcdefghijklmnop"));
        EXPECT_EQ(address->text(), QStringLiteral("table.salon.example"));
        EXPECT_EQ(port->text(), QStringLiteral("1234"));

        // Escape and Enter end nothing.
        QTest::keyClick(nickname, Qt::Key_Escape);
        QTest::keyClick(nickname, Qt::Key_Return);
        QTest::keyClick(port, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog->isVisible());

        // Without a nickname, Host and Join only ask for one.
        TypeInto(nickname, QString());
        for (int button : {IDC_HOST, IDC_JOIN}) {
            QTest::mouseClick(dialog->Button(button), Qt::LeftButton);
            EXPECT_EQ(boxes.Texts().size(), 1) << button;
            if (!boxes.boxes().empty()) {
                EXPECT_EQ(boxes.boxes()[0].text,
                          QStringLiteral("Please enter a name to indentify yourself."));
                EXPECT_EQ(boxes.boxes()[0].owner, dialog);
            }
            EXPECT_EQ(dialog->focusWidget(), nickname);
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(g_sock, INVALID_SOCKET);
            EXPECT_EQ(wtest::OpenSocketCount(), socketsBefore);
            boxes.Clear();
        }
        // The close box ends it.
        dialog->close();
    });
    EXPECT_FALSE(guard.fired());
    EXPECT_EQ(result_, 0);
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(g_sock, INVALID_SOCKET);
    EXPECT_EQ(wtest::OpenSocketCount(), socketsBefore);
    EXPECT_FALSE(window_->IsDestroyed());
    EXPECT_EQ(window_->StatusText(), QStringLiteral("Ready/No Connection"));
}

TEST_F(ConnectDialogTest, HostingOnAPortInUseFails) {
    std::uint16_t port = 0;
    const int taken = wtest::ListenOnShortPort(&port);
    ASSERT_GE(taken, 0);
    ExpectFailure(QStringLiteral("127.0.0.1"), QString::number(port), IDC_HOST,
                  QStringLiteral("Address already in use"));
    close(taken);
}

TEST_F(ConnectDialogTest, HostingOnAnAddressOfAnotherMachineFails) {
    // 192.0.2.1 is kept for documentation: no machine has it, so the bind
    // fails here and nothing leaves this machine.
    ASSERT_FALSE(wtest::IsLocalAddress(QStringLiteral("192.0.2.1")));
    ExpectFailure(QStringLiteral("192.0.2.1"), QStringLiteral("7171"), IDC_HOST,
                  QStringLiteral("Cant assign requested address"));
}

TEST_F(ConnectDialogTest, JoiningWhereNobodyListensFails) {
    const std::uint16_t port = wtest::FreeShortPort();
    ASSERT_NE(port, 0);
    ExpectFailure(QStringLiteral("127.0.0.1"), QString::number(port), IDC_JOIN,
                  QStringLiteral("Connection refused"));
}

TEST_F(ConnectDialogTest, HostingWritesTheHostLineAndTheHostAloneIsListed) {
    wtest::BoxCatcher boxes;
    wtest::ModalGuard guard;
    const std::uint16_t port = wtest::FreeShortPort();
    ASSERT_NE(port, 0);
    OpenDialog([&](ConnectDialog* dialog) {
        Submit(dialog, QStringLiteral("Hana"), QStringLiteral("127.0.0.1"), QString::number(port),
               IDC_HOST);
    });
    EXPECT_FALSE(guard.fired());
    EXPECT_EQ(result_, 0);
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_NE(g_sock, INVALID_SOCKET);
    EXPECT_EQ(g_localSeat, 1);
    EXPECT_EQ(g_playerCount, 1);
    EXPECT_EQ(window_->ChatLogBox()->toPlainText(),
              QStringLiteral("[Vantoro]>> \"Hana\" (Host) is ready, awaiting...\n"));
    EXPECT_EQ(window_->StatusText(), QStringLiteral("Waiting user... 3 more needed"));
    QPushButton* info = window_->Button(IDC_PLAYER_INFO);
    ASSERT_TRUE(info->isEnabled());

    // Somebody can connect to the port that was typed.
    vtest::RawPeer peer;
    ASSERT_TRUE(peer.Connect(port));
    EXPECT_EQ(peer.ReadMessage(), vtest::Msg({4, 2}));
    peer.Close();
    ASSERT_TRUE(vtest::PumpUntil([] { return g_seats[2].sock == INVALID_SOCKET; }));

    // Alone at the table: the count 1 and the host's seat with the address it listens on.
    QTest::mouseClick(info, Qt::LeftButton);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].caption, QStringLiteral("Vantoro"));
    EXPECT_EQ(boxes.boxes()[0].icon, QMessageBox::Information);
    EXPECT_EQ(boxes.boxes()[0].owner, window_.get());
    EXPECT_EQ(boxes.boxes()[0].text,
              QStringLiteral("Connected players: 1\n\n\nID/name: (1) Hana\nIP: 127.0.0.1"));

    // While hosting, a second dialog's Host does nothing and leaves it open.
    const int sockets = wtest::OpenSocketCount();
    const QString log = window_->ChatLogBox()->toPlainText();
    boxes.Clear();
    OpenDialog([&](ConnectDialog* dialog) {
        Submit(dialog, QStringLiteral("Hana"), QStringLiteral("127.0.0.1"), QStringLiteral("0"),
               IDC_HOST);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(wtest::OpenSocketCount(), sockets);
        dialog->close();
    });
    EXPECT_FALSE(guard.fired());
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(g_localSeat, 1);
    EXPECT_EQ(g_playerCount, 1);
    EXPECT_EQ(window_->ChatLogBox()->toPlainText(), log);
}

TEST_F(ConnectDialogTest, JoiningDisablesPlayerInfoAndWritesNothingUntilTheHostSpeaks) {
    wtest::BoxCatcher boxes;
    wtest::ModalGuard guard;
    std::uint16_t port = 0;
    const int listener = wtest::ListenOnShortPort(&port);
    ASSERT_GE(listener, 0);
    window_->EnablePlayerInfo(true);
    OpenDialog([&](ConnectDialog* dialog) {
        Submit(dialog, QStringLiteral("Cem"), QStringLiteral("127.0.0.1"), QString::number(port),
               IDC_JOIN);
    });
    EXPECT_FALSE(guard.fired());
    EXPECT_EQ(result_, 0);
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_NE(g_sock, INVALID_SOCKET);
    EXPECT_EQ(g_localSeat, 0);
    EXPECT_FALSE(window_->Button(IDC_PLAYER_INFO)->isEnabled());
    EXPECT_TRUE(window_->ChatLogBox()->toPlainText().isEmpty());
    EXPECT_EQ(window_->StatusText(), QStringLiteral("Ready/No Connection"));

    vtest::RawPeer host(wtest::AcceptWithin(listener));
    ASSERT_TRUE(host.IsOpen());
    close(listener);

    // Connected but not yet seated: a chat line stays in the input, unsent.
    QTest::keyClicks(window_->ChatInput(), QStringLiteral("bonjour"));
    QTest::keyClick(window_->ChatInput(), Qt::Key_Return);
    EXPECT_EQ(window_->ChatInput()->text(), QStringLiteral("bonjour"));
    EXPECT_TRUE(host.ExpectSilence(30));
    EXPECT_TRUE(boxes.boxes().empty());

    // Given seat 3 but no seat record yet, the menu still offers the dialog;
    // Join there does nothing, and closing it shows "Connecting...".
    ASSERT_TRUE(host.Send(vtest::Msg({4, 3})));
    ASSERT_EQ(host.ReadMessage(), vtest::JoinMsg("Cem"));
    ASSERT_EQ(g_localSeat, 3);
    const int sockets = wtest::OpenSocketCount();
    OpenDialog([&](ConnectDialog* dialog) {
        Submit(dialog, QStringLiteral("Cem"), QStringLiteral("127.0.0.1"), QString::number(port),
               IDC_JOIN);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(wtest::OpenSocketCount(), sockets);
        dialog->close();
    });
    EXPECT_FALSE(guard.fired());
    EXPECT_EQ(result_, 0);
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(window_->StatusText(), QStringLiteral("Connecting..."));
    EXPECT_TRUE(host.ExpectSilence(30));
}

// A machine's name in the address field: localhost joins; a name nobody
// knows is named in a box, creates nothing and leaves the dialog open.
TEST_F(ConnectDialogTest, AMachinesNameJoinsAndAnUnknownOneIsNamed) {
    wtest::BoxCatcher boxes;
    wtest::ModalGuard guard;
    std::uint16_t port = 0;
    const int listener = wtest::ListenOnShortPort(&port);
    ASSERT_GE(listener, 0);
    const int socketsBefore = wtest::OpenSocketCount();
    OpenDialog([&](ConnectDialog* dialog) {
        Submit(dialog, QStringLiteral("Cem"), QStringLiteral("nulle-part.invalid"),
               QString::number(port), IDC_JOIN);
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text,
                  QStringLiteral("Ordinateur introuvable : nulle-part.invalid"));
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(wtest::OpenSocketCount(), socketsBefore);
        Submit(dialog, QStringLiteral("Cem"), QStringLiteral("localhost"), QString::number(port),
               IDC_JOIN);
    });
    EXPECT_FALSE(guard.fired());
    EXPECT_EQ(boxes.boxes().size(), 1u);
    EXPECT_NE(g_sock, INVALID_SOCKET);
    vtest::RawPeer host(wtest::AcceptWithin(listener));
    EXPECT_TRUE(host.IsOpen());
    close(listener);
}

}  // namespace
