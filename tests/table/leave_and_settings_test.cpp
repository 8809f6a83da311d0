// The question before a running game is left, and what the window remembers
// from one run to the next in the run's own configuration folder (see
// main.cpp: every test starts as a first run).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <functional>
#include <memory>

#include "net/connect.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "net/socket_layer.h"
#include "resources/resource_ids.h"
#include "table/computer_dialog.h"
#include "table/connect_dialog.h"
#include "table/table_window.h"
#include "tests/support/scripted_peer.h"
#include "tests/table/window_harness.h"
#include "ui/card_image.h"
#include "ui/table_painter.h"

namespace {

bool IsQuestion(QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    return box != nullptr && box->icon() == QMessageBox::Question;
}

// The texts of the box's buttons, in the order they were added.
QStringList ButtonTexts(QMessageBox* box) {
    QStringList texts;
    for (QAbstractButton* button : box->buttons()) texts.append(button->text());
    return texts;
}

QPushButton* ButtonCalled(QMessageBox* box, const QString& text) {
    for (QAbstractButton* button : box->buttons())
        if (button->text() == text) return qobject_cast<QPushButton*>(button);
    return nullptr;
}

class LeaveQuestion : public testing::Test {
  protected:
    void SetUp() override {
        vtest::ResetSockets();
        window_ = std::make_unique<TableWindow>();
        window_->SetLeaveQuestion(AskLeaveGame);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        window_.reset();
        vtest::ResetSockets();
    }
    void Escape() { QTest::keyClick(window_->ChatInput(), Qt::Key_Escape); }

    std::unique_ptr<TableWindow> window_;
};

TEST_F(LeaveQuestion, EscapeAsksWhileFourAreSeatedAndNonKeepsTheGame) {
    g_playerCount = 4;
    bool asked = false;
    wtest::WhenModalIsUp(IsQuestion, [&](QWidget* widget) {
        auto* box = static_cast<QMessageBox*>(widget);
        asked = true;
        EXPECT_EQ(box->parentWidget(), window_.get());
        EXPECT_EQ(box->text(), QStringLiteral("Une partie est en cours à quatre joueurs. "
                                              "Voulez-vous vraiment quitter la table ?"));
        EXPECT_EQ(ButtonTexts(box), (QStringList{QStringLiteral("Oui"), QStringLiteral("Non")}));
        EXPECT_EQ(box->defaultButton(), ButtonCalled(box, QStringLiteral("Non")));
        QTest::keyClick(box, Qt::Key_Escape);  // Escape answers "Non"
    });
    Escape();
    ASSERT_TRUE(vtest::PumpUntil([&] { return asked; }));
    EXPECT_FALSE(window_->IsDestroyed());
    EXPECT_TRUE(window_->isVisible());

    // The close box asks too; "Oui" ends the window.
    wtest::WhenModalIsUp(IsQuestion, [&](QWidget* widget) {
        auto* box = static_cast<QMessageBox*>(widget);
        QTest::mouseClick(ButtonCalled(box, QStringLiteral("Oui")), Qt::LeftButton);
    });
    window_->close();
    EXPECT_TRUE(window_->IsDestroyed());
    g_playerCount = 0;
}

TEST_F(LeaveQuestion, WithoutAGameRunningEscapeEndsAtOnce) {
    wtest::BoxCatcher boxes;
    g_playerCount = 3;  // a table still waiting for its fourth player
    Escape();
    EXPECT_TRUE(window_->IsDestroyed());
    QTest::qWait(20);
    EXPECT_TRUE(boxes.boxes().empty());
    g_playerCount = 0;
}

TEST_F(LeaveQuestion, DisconnectAsksAndNonKeepsTheConnection) {
    Socket mine = INVALID_SOCKET;
    Socket host = INVALID_SOCKET;
    ASSERT_EQ(SockCreatePair(&mine, &host), 0);
    g_sock = mine;
    g_localSeat = 3;
    g_playerCount = 4;
    const auto answer = [&](const char* text) {
        wtest::WhenModalIsUp(IsQuestion, [text](QWidget* widget) {
            auto* box = static_cast<QMessageBox*>(widget);
            QTest::mouseClick(ButtonCalled(box, QString::fromUtf8(text)), Qt::LeftButton);
        });
        window_->MenuItem(IDM_DISCONNECT)->trigger();
    };
    answer("Non");
    EXPECT_EQ(g_sock, mine);
    EXPECT_EQ(g_playerCount, 4);
    answer("Oui");
    EXPECT_EQ(g_sock, INVALID_SOCKET);
    EXPECT_EQ(g_playerCount, 0);
    SockClose(host);
}

TEST(Remembered, OptionsAreWrittenToTheUsersConfigurationAndReadBack) {
    const QString file = QDir(qEnvironmentVariable("XDG_CONFIG_HOME"))
                             .filePath(QStringLiteral("Vantoro/vantoro.conf"));
    EXPECT_EQ(QSettings().fileName(), file);
    {
        TableWindow window;
        for (int id : {IDM_SHOW_MOVES, IDM_SOUNDS, IDM_FOUR_COLOURS, IDM_SORT_BY_STRENGTH})
            EXPECT_EQ(window.MenuItem(id)->isChecked(), id == IDM_SHOW_MOVES || id == IDM_SOUNDS)
                << "first run, item " << id;
        window.MenuItem(IDM_SOUNDS)->trigger();
        window.MenuItem(IDM_FOUR_COLOURS)->trigger();
        EXPECT_TRUE(FourColourDeck());
    }
    EXPECT_TRUE(QFileInfo::exists(file));
    SetFourColourDeck(false);

    TableWindow again;
    EXPECT_TRUE(again.MenuItem(IDM_SHOW_MOVES)->isChecked());
    EXPECT_FALSE(again.MenuItem(IDM_SOUNDS)->isChecked());
    EXPECT_TRUE(again.MenuItem(IDM_FOUR_COLOURS)->isChecked());
    EXPECT_FALSE(again.MenuItem(IDM_SORT_BY_STRENGTH)->isChecked());
    EXPECT_TRUE(FourColourDeck()) << "the stored deck is the one drawn";
    EXPECT_FALSE(HandByStrength());
    again.MenuItem(IDM_FOUR_COLOURS)->trigger();
    EXPECT_FALSE(FourColourDeck());
}

class RememberedFields : public testing::Test {
  protected:
    void SetUp() override { vtest::ResetSockets(); }
    void TearDown() override { vtest::ResetSockets(); }

    // Opens a connect dialog, hands it to `script` once it is up, and
    // returns when it has ended.
    static void WithConnectDialog(const std::function<void(ConnectDialog*)>& script) {
        wtest::WhenModalIsUp([](QWidget* w) { return qobject_cast<ConnectDialog*>(w) != nullptr; },
                             [&](QWidget* w) { script(static_cast<ConnectDialog*>(w)); });
        RunConnectDialog(nullptr);
    }
    static void Submit(ConnectDialog* dialog, const QString& nickname, const QString& port,
                       int button) {
        dialog->Field(IDC_NICKNAME)->setText(nickname);
        dialog->Field(IDC_IP)->setText(QStringLiteral("127.0.0.1"));
        dialog->Field(IDC_PORT)->setText(port);
        QTest::mouseClick(dialog->Button(button), Qt::LeftButton);
    }
};

TEST_F(RememberedFields, ConnectDialogProposesTheLastSuccessfulHostOrJoin) {
    wtest::BoxCatcher boxes;
    wtest::ModalGuard guard;
    QString defaultAddress;
    WithConnectDialog([&](ConnectDialog* dialog) {
        EXPECT_TRUE(dialog->Field(IDC_NICKNAME)->text().isEmpty());
        EXPECT_EQ(dialog->Field(IDC_PORT)->text(), QStringLiteral("7171"));
        defaultAddress = dialog->Field(IDC_IP)->text();
        // A join that fails is not remembered.
        Submit(dialog, QStringLiteral("Zoé"), QString::number(wtest::FreeShortPort()), IDC_JOIN);
    });
    ASSERT_EQ(boxes.Texts(), QStringList{QStringLiteral("Connection refused")});
    WithConnectDialog([&](ConnectDialog* dialog) {
        EXPECT_TRUE(dialog->Field(IDC_NICKNAME)->text().isEmpty());
        EXPECT_EQ(dialog->Field(IDC_IP)->text(), defaultAddress);
        dialog->close();
    });

    const QString port = QString::number(wtest::FreeShortPort());
    WithConnectDialog(
        [&](ConnectDialog* dialog) { Submit(dialog, QStringLiteral("Zoé"), port, IDC_HOST); });
    ASSERT_EQ(g_localSeat, 1);
    Disconnect();
    WithConnectDialog([&](ConnectDialog* dialog) {
        EXPECT_EQ(dialog->Field(IDC_NICKNAME)->text(), QStringLiteral("Zoé"));
        EXPECT_EQ(dialog->Field(IDC_IP)->text(), QStringLiteral("127.0.0.1"));
        EXPECT_EQ(dialog->Field(IDC_PORT)->text(), port);
        dialog->close();
    });
    EXPECT_FALSE(guard.fired());
}

TEST_F(RememberedFields, ComputerDialogProposesTheLastNicknameAndLevel) {
    wtest::ModalGuard guard;
    {
        ComputerDialog first(nullptr);
        EXPECT_TRUE(first.Nickname()->text().isEmpty());
        EXPECT_EQ(first.LevelBox()->currentData().toInt(), static_cast<int>(DEFAULT_BOT_LEVEL));
        first.Nickname()->setText(QStringLiteral("Zoé"));
        first.LevelBox()->setCurrentIndex(first.LevelBox()->findData(int(BotLevel::kHard)));
        first.OnPlay();
        ASSERT_TRUE(first.Outcome().hosting);
    }
    Disconnect();
    ComputerDialog again(nullptr);
    EXPECT_EQ(again.Nickname()->text(), QStringLiteral("Zoé"));
    EXPECT_EQ(again.LevelBox()->currentData().toInt(), static_cast<int>(BotLevel::kHard));
}

}  // namespace
