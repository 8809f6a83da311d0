// Playing alone from the window: the "Jeu" menu's items and their rule, and
// the "Jouer contre l'ordinateur" dialog driven as the player drives it, on
// real sockets on this machine.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "net/connect.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "resources/resource_ids.h"
#include "table/computer_dialog.h"
#include "table/table_window.h"
#include "tests/support/scripted_peer.h"
#include "tests/table/window_harness.h"
#include "ui/chat_box.h"

namespace {

class ComputerGameTest : public testing::Test {
  protected:
    void SetUp() override {
        window_ = std::make_unique<TableWindow>();
        vtest::ResetSockets();
        window_->SetComputerDialogRunner([](QWidget* owner) { return RunComputerDialog(owner); });
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        window_.reset();
        wtest::CloseNetwork();
    }

    // The enabled state of each item of the "Jeu" menu as it opens.
    std::vector<bool> MenuStates() {
        window_->GameMenu()->popup(window_->mapToGlobal(QPoint(0, 0)));
        QCoreApplication::processEvents();
        std::vector<bool> states;
        for (int id : {IDM_NETWORK_GAME, IDM_PLAY_COMPUTER, IDM_FILL_COMPUTER, IDM_DISCONNECT}) {
            states.push_back(window_->MenuItem(id)->isEnabled());
        }
        window_->GameMenu()->hide();
        return states;
    }

    // Opens the dialog from the menu and runs `script` on it once it is up.
    void OpenDialog(const std::function<void(ComputerDialog*)>& script) {
        wtest::WhenModalIsUp(
            [](QWidget* widget) { return qobject_cast<ComputerDialog*>(widget) != nullptr; },
            [&](QWidget* widget) { script(static_cast<ComputerDialog*>(widget)); });
        window_->MenuItem(IDM_PLAY_COMPUTER)->trigger();
    }

    std::unique_ptr<TableWindow> window_;
};

TEST_F(ComputerGameTest, TheMenuOffersAGameAloneOffTheNetworkAndFillingWhileHosting) {
    QStringList labels;
    for (QAction* action : window_->GameMenu()->actions()) {
        if (!action->isSeparator()) labels << action->text();
    }
    EXPECT_EQ(
        labels,
        QStringList(
            {QStringLiteral("Jeu en réseau..."), QStringLiteral("Jouer contre l'ordinateur..."),
             QStringLiteral("Compléter avec l'ordinateur"), QStringLiteral("Nouvelle partie"),
             QStringLiteral("Historique de la partie..."), QStringLiteral("Statistiques..."),
             QStringLiteral("Enregistrer la partie..."), QStringLiteral("Revoir une partie..."),
             QStringLiteral("Déconnecter"), QStringLiteral("Quitter")}));
    // network, computer, fill, disconnect
    EXPECT_EQ(MenuStates(), std::vector<bool>({true, true, false, false}));
    EXPECT_FALSE(window_->MenuItem(IDM_NEW_GAME)->isEnabled());
    EXPECT_FALSE(window_->MenuItem(IDM_GAME_HISTORY)->isEnabled());
    ASSERT_EQ(StartNetwork(), 0);
    ASSERT_EQ(HostTable("Hana", "127.0.0.1", "0").step, ConnectStep::Connected);
    EXPECT_EQ(MenuStates(), std::vector<bool>({false, false, true, true}));

    // Filling gives every empty seat to the computer: the game starts at once.
    window_->MenuItem(IDM_FILL_COMPUTER)->trigger();
    EXPECT_EQ(g_playerCount, 4);
    EXPECT_EQ(window_->StatusText(), QStringLiteral("Game started"));
    EXPECT_EQ(MenuStates(), std::vector<bool>({false, false, false, true}));
    // Seated, four at the table: the host may end the game, and see its history.
    EXPECT_TRUE(window_->MenuItem(IDM_NEW_GAME)->isEnabled());
    EXPECT_TRUE(window_->MenuItem(IDM_GAME_HISTORY)->isEnabled());
}

TEST_F(ComputerGameTest, EnterPlaysAtOnceAndTakesAnotherPortWhenTheUsualOneIsBusy) {
    // Something already listens on 7171 when it is free: the table goes elsewhere.
    const int busy = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(7171);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool held = ::bind(busy, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
                      ::listen(busy, 1) == 0;

    bool focusedNickname = false;
    QString level;
    QStringList levels;
    QString firstLength;
    QStringList lengths;
    OpenDialog([&](ComputerDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Jouer contre l'ordinateur"));
        focusedNickname = dialog->focusWidget() == dialog->Nickname();
        level = dialog->LevelBox()->currentText();
        for (int i = 0; i < dialog->LevelBox()->count(); ++i)
            levels << dialog->LevelBox()->itemText(i);
        for (int i = 0; i < dialog->GameLengthBox()->count(); ++i)
            lengths << dialog->GameLengthBox()->itemText(i);
        firstLength = dialog->GameLengthBox()->currentText();
        dialog->GameLengthBox()->setCurrentIndex(3);
        QTest::keyClicks(dialog->Nickname(), QStringLiteral("Lea"));
        QTest::keyClick(dialog->Nickname(), Qt::Key_Return);
    });
    ::close(busy);
    EXPECT_TRUE(focusedNickname);
    EXPECT_EQ(level, QStringLiteral("Normal"));
    EXPECT_EQ(levels, QStringList({QStringLiteral("Facile"), QStringLiteral("Normal"),
                                   QStringLiteral("Difficile")}));
    // "Fin de partie": "Jamais" first; the choice made is the host's.
    EXPECT_EQ(firstLength, QStringLiteral("Jamais"));
    EXPECT_EQ(lengths, QStringList({QStringLiteral("Jamais"), QStringLiteral("Après 10 manches"),
                                    QStringLiteral("Après 20 manches"),
                                    QStringLiteral("Quand un joueur n'a plus d'argent")}));
    EXPECT_TRUE(CurrentHostPolicy().gameLength.untilBroke);
    EXPECT_EQ(CurrentHostPolicy().gameLength.rounds, 0);
    ASSERT_EQ(g_localSeat, 1);
    if (held) {
        EXPECT_NE(g_bindAddr.port, 7171);
    }
    EXPECT_EQ(g_bindAddr.ipv4, 0x7F000001u);
    EXPECT_EQ(g_playerCount, 4);
    for (int seat = 2; seat <= SEAT_COUNT; ++seat) EXPECT_TRUE(IsComputerSeat(seat)) << seat;
    EXPECT_STREQ(g_seats[4].name, "Ordi 4");
    EXPECT_EQ(window_->StatusText(), QStringLiteral("Game started"));
    EXPECT_TRUE(window_->ChatLogBox()->toPlainText().contains(
        QStringLiteral("[Vantoro]>> \"Ordi 2\" is ready.")));
}

TEST_F(ComputerGameTest, EscapeLeavesTheWindowOffTheNetwork) {
    OpenDialog([](ComputerDialog* dialog) {
        QTest::keyClicks(dialog->Nickname(), QStringLiteral("Lea"));
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(g_localSeat, 0);
    EXPECT_EQ(g_sock, INVALID_SOCKET);
    EXPECT_EQ(window_->StatusText(), QStringLiteral("Ready/No Connection"));
}

}  // namespace
