// The window following the game for the player, offscreen, against scripted
// peers: the game lines of a round, refused moves, the frame of the play to
// beat, the hand laid out by strength under the pointer, the turn announced
// only in the background, the question before leaving a game, and what is
// remembered in the run's own configuration folder (main.cpp empties it
// before each test).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>

#include "net/connect.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "resources/resource_ids.h"
#include "table/board_widget.h"
#include "table/connect_dialog.h"
#include "table/game_lines.h"
#include "table/hand_cursor.h"
#include "table/player_aids.h"
#include "table/table_marks.h"
#include "table/table_window.h"
#include "tests/support/scripted_peer.h"
#include "tests/table/window_harness.h"
#include "ui/card_image.h"
#include "ui/chat_box.h"
#include "ui/table_painter.h"

namespace {

using vtest::Msg;

constexpr QRgb kGold = 0xFFFFCC00u;

// A card as a player reads it, written out here rather than taken from the
// code under test.
QString Named(std::uint8_t card) {
    static const char* const ranks[] = {"A", "2", "3",  "4", "5", "6", "7",
                                        "8", "9", "10", "J", "Q", "K"};
    static const char* const suits[] = {"♦", "♣", "♥", "♠"};
    return QString::fromUtf8(ranks[card % 13]) + QString::fromUtf8(suits[card / 13]);
}

class CountingWindow : public TableWindow {
  public:
    int announced = 0;

  protected:
    void AnnounceTurn() override { ++announced; }
};

// The window hosts "Hana" in seat 1; Ali, Bob and Cem sit in seats 2, 3, 4.
class FollowGame : public wtest::ShownWindowTest<CountingWindow> {
  protected:
    void TearDown() override {
        for (auto& peer : peers_.seat) peer.reset();
        ShownWindowTest::TearDown();
        SetHandByStrength(false);
    }
    void SeatEveryone(int opener) {
        const std::uint32_t seed = vtest::SeedOpenedBy(opener);
        SetDealSeedSource([seed] { return seed; });
        ASSERT_TRUE(vtest::HostFullTable(&peers_));
        window_->ChatLogBox()->Clear();
    }

    QImage Paint() { return window_->Board()->grab().toImage(); }
    // A click on the strip of the card at `place` from the left.
    void ClickPlace(int place) {
        Paint();
        QTest::mouseClick(window_->Board(), Qt::LeftButton, Qt::NoModifier,
                          {HAND_LEFT + HAND_STEP * place + 3, 300});
    }
    // The same for the card of `slot` in the hand's own order.
    void ClickSlot(int slot) {
        int place = 0;
        for (int p = 0; p < slot; ++p) place += g_table->hands[1][p] != NO_CARD ? 1 : 0;
        ClickPlace(place);
    }
    void Press(int id) { QTest::mouseClick(window_->Button(id), Qt::LeftButton); }
    QString Log() const { return window_->ChatLogBox()->toPlainText(); }
    QString LastLine() const { return Log().section(QLatin1Char('\n'), -2, -2); }
    vtest::RawPeer& Peer(int seat) { return *peers_.seat[seat]; }
    // A client's move, relayed by the host to the two other clients.
    void ClientSends(int seat, const vtest::Bytes& move) {
        ASSERT_TRUE(Peer(seat).Send(move));
        ASSERT_TRUE(vtest::PumpUntil([&] { return g_table->turn == seat % 4 + 1; }));
        for (int other : {2, 3, 4}) {
            if (other != seat) {
                ASSERT_EQ(Peer(other).ReadMessage(), move);
            }
        }
    }

    vtest::FullTable peers_;
};

TEST_F(FollowGame, RoundOfPlaysAndPassesIsToldLineByLineWithItsEnd) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(1));
    std::vector<int> order{vtest::PositionOf(*g_table, 1, CARD_OPENING)};
    for (int p = 0; p < HAND_SIZE; ++p)
        if (p != order[0]) order.push_back(p);
    // The host plays its hand out a card at a time; every client passes.
    QString expected;
    for (std::size_t i = 0; i < order.size(); ++i) {
        expected +=
            QStringLiteral("» Hana joue ") + Named(g_table->hands[1][order[i]]) + QLatin1Char('\n');
        ClickSlot(order[i]);
        Press(IDC_PLAY);
        for (int seat : {2, 3, 4}) ASSERT_EQ(Peer(seat).ReadMessage().size(), 15u);
        // The play to beat is framed in gold, left of the local play at (10, 170).
        if (i == 0) {
            EXPECT_EQ(Paint().pixel(8, 200), kGold);
        }
        if (i + 1 == order.size()) break;
        for (int seat : {2, 3, 4}) ASSERT_NO_FATAL_FAILURE(ClientSends(seat, Msg({10, seat})));
        expected += QStringLiteral("» Ali passe\n» Bob passe\n» Cem passe\n");
        // The lead is back with the host: nothing to beat, no frame.
        if (i == 0) {
            EXPECT_EQ(Paint().pixel(8, 200), wtest::kFeltRgb);
        }
    }
    expected += QStringLiteral(
        "» Hana gagne la manche (+117)\n»   Ali paie 39\n»   Bob paie 39\n»   Cem paie 39\n");
    EXPECT_EQ(Log(), expected);
    // The winner is named on the felt until the next deal.
    EXPECT_EQ(Paint().pixel(RoundWinnerRect().topLeft()), kGold);
    Press(IDC_NEXT_ROUND);
    EXPECT_EQ(Paint().pixel(RoundWinnerRect().topLeft()), wtest::kFeltRgb);
}

TEST_F(FollowGame, RefusedMovesSayWhySendNothingAndKeepTheChoice) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(1));
    const QString refused = QStringLiteral("» Coup refusé : ");
    Press(IDC_PASS);
    EXPECT_EQ(LastLine(), refused + QStringLiteral("vous avez la main, vous ne pouvez pas passer"));
    const int opening = vtest::PositionOf(*g_table, 1, CARD_OPENING);
    const int other = opening == 12 ? 11 : 12;
    ClickSlot(other);
    Press(IDC_PLAY);
    EXPECT_EQ(LastLine(),
              refused + QStringLiteral("le premier coup de la partie doit contenir le 3♦"));
    EXPECT_NE(g_table->selection[other], 0);
    for (int seat : {2, 3, 4}) EXPECT_TRUE(Peer(seat).ExpectSilence(30));
    ClickSlot(other);
    ClickSlot(opening);
    Press(IDC_PLAY);
    EXPECT_EQ(LastLine(), QStringLiteral("» Hana joue 3♦"));
    for (int seat : {2, 3, 4}) ASSERT_EQ(Peer(seat).ReadMessage().size(), 15u);

    // Without the play lines a pass goes unsaid; refusals are still told.
    window_->MenuItem(IDM_SHOW_MOVES)->trigger();
    const QString before = Log();
    ASSERT_NO_FATAL_FAILURE(ClientSends(2, Msg({10, 2})));
    EXPECT_EQ(Log(), before);
    Press(IDC_PLAY);
    EXPECT_EQ(LastLine(), refused + QStringLiteral("ce n'est pas votre tour"));

    // The count needed in the singular; a straight lists its cards in hand order.
    EXPECT_EQ(RefusalLine(MoveRefusal::kWrongCardCount, 1),
              "» Coup refusé : il faut jouer 1 carte\r\n");
    const std::uint8_t straight[PLAY_SIZE] = {39, 9, 23, 37, 51};
    EXPECT_EQ(PlayLine("Ali", straight), "» Ali joue A♠ 10♦ J♣ Q♥ K♠\r\n");
}

TEST_F(FollowGame, HandByStrengthLiesFromThreeToTwoAndClicksFollowIt) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(1));
    window_->MenuItem(IDM_SORT_BY_STRENGTH)->trigger();
    int bySlot[HAND_SIZE];
    for (int slot = 0; slot < HAND_SIZE; ++slot) bySlot[slot] = slot;
    const std::uint8_t* hand = g_table->hands[1];
    std::sort(bySlot, bySlot + HAND_SIZE, [hand](int a, int b) {
        return GameTable::PlayValue(hand[a]) < GameTable::PlayValue(hand[b]);
    });
    for (int place = 0; place < HAND_SIZE; ++place) {
        ClickPlace(place);
        int chosen = -1;
        for (int slot = 0; slot < HAND_SIZE; ++slot)
            if (g_table->selection[slot] != 0) chosen = chosen == -1 ? slot : -2;
        EXPECT_EQ(chosen, bySlot[place]) << "place " << place;
        // The card raised is the one under the pointer.
        EXPECT_NE(Paint().pixel(HAND_LEFT + HAND_STEP * place + 3, 272), wtest::kFeltRgb);
        ClickPlace(place);
    }
    // What is sent is the slot chosen, not the place: the three of diamonds.
    ASSERT_EQ(hand[bySlot[0]], CARD_OPENING);
    ClickPlace(0);
    Press(IDC_PLAY);
    vtest::Bytes sent(15, 0);
    sent[0] = 9;
    sent[1] = 1;
    sent[2 + bySlot[0]] = 0xFF;
    EXPECT_EQ(Peer(2).ReadMessage(), sent);
}

TEST_F(FollowGame, TurnIsAnnouncedOnlyWhileTheWindowIsInTheBackground) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(2));
    QWidget elsewhere;
    elsewhere.show();
    QApplication::setActiveWindow(&elsewhere);
    ASSERT_TRUE(vtest::PumpUntil([&] { return !window_->isActiveWindow(); }));
    const int opening = vtest::PositionOf(*g_table, 2, CARD_OPENING);
    ASSERT_NO_FATAL_FAILURE(ClientSends(2, vtest::PlayMsg(2, {opening})));
    ASSERT_NO_FATAL_FAILURE(ClientSends(3, Msg({10, 3})));
    EXPECT_EQ(window_->announced, 0);
    ASSERT_NO_FATAL_FAILURE(ClientSends(4, Msg({10, 4})));
    EXPECT_EQ(window_->announced, 1);

    QApplication::setActiveWindow(window_.get());
    ASSERT_TRUE(vtest::PumpUntil([&] { return window_->isActiveWindow(); }));
    Press(IDC_PASS);
    for (int seat : {2, 3, 4}) ASSERT_EQ(Peer(seat).ReadMessage(), Msg({10, 1}));
    ASSERT_NO_FATAL_FAILURE(ClientSends(2, vtest::PlayMsg(2, {opening == 0 ? 1 : 0})));
    ASSERT_NO_FATAL_FAILURE(ClientSends(3, Msg({10, 3})));
    ASSERT_NO_FATAL_FAILURE(ClientSends(4, Msg({10, 4})));
    EXPECT_EQ(window_->announced, 1);
}

bool IsQuestion(QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    return box != nullptr && box->icon() == QMessageBox::Question;
}

TEST(LeaveQuestion, AskedOnlyWhileFourAreSeatedAndNonKeepsTheGame) {
    TableWindow window;
    window.SetLeaveQuestion(AskLeaveGame);
    window.show();
    g_playerCount = 4;
    QStringList buttons;
    wtest::WhenModalIsUp(IsQuestion, [&](QWidget* widget) {
        auto* box = static_cast<QMessageBox*>(widget);
        for (QAbstractButton* button : box->buttons()) buttons.append(button->text());
        EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("Non"));
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QTest::keyClick(window.Aids()->Cursor(), Qt::Key_Escape);
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("Oui"), QStringLiteral("Non")}));
    EXPECT_FALSE(window.IsDestroyed());

    // A table still waiting for its fourth player is left at once.
    wtest::BoxCatcher boxes;
    g_playerCount = 3;
    QTest::keyClick(window.Aids()->Cursor(), Qt::Key_Escape);
    EXPECT_TRUE(window.IsDestroyed());
    EXPECT_TRUE(boxes.boxes().empty());
    g_playerCount = 0;
}

TEST(Remembered, OptionsAreWrittenToTheConfigurationFolderAndReadBack) {
    EXPECT_EQ(QSettings().fileName(), QDir(qEnvironmentVariable("XDG_CONFIG_HOME"))
                                          .filePath(QStringLiteral("Vantoro/vantoro.conf")));
    {
        TableWindow window;
        EXPECT_TRUE(window.MenuItem(IDM_SOUNDS)->isChecked()) << "first run";
        EXPECT_FALSE(window.MenuItem(IDM_FOUR_COLOURS)->isChecked());
        window.MenuItem(IDM_SOUNDS)->trigger();
        window.MenuItem(IDM_FOUR_COLOURS)->trigger();
    }
    SetFourColourDeck(false);
    TableWindow again;
    EXPECT_TRUE(again.MenuItem(IDM_SHOW_MOVES)->isChecked());
    EXPECT_FALSE(again.MenuItem(IDM_SOUNDS)->isChecked());
    EXPECT_TRUE(again.MenuItem(IDM_FOUR_COLOURS)->isChecked());
    EXPECT_TRUE(FourColourDeck()) << "the remembered deck is the one drawn";
    again.MenuItem(IDM_FOUR_COLOURS)->trigger();
}

TEST(Remembered, ConnectDialogProposesTheFieldsOfTheLastSuccessfulHostOrJoin) {
    vtest::ResetSockets();
    wtest::BoxCatcher boxes;
    const auto withConnectDialog = [](const std::function<void(ConnectDialog*)>& script) {
        wtest::WhenModalIsUp([](QWidget* w) { return qobject_cast<ConnectDialog*>(w) != nullptr; },
                             [&](QWidget* w) { script(static_cast<ConnectDialog*>(w)); });
        RunConnectDialog(nullptr);
    };
    const auto submit = [](ConnectDialog* dialog, const QString& port, int button) {
        dialog->Field(IDC_NICKNAME)->setText(QStringLiteral("Zoé"));
        dialog->Field(IDC_IP)->setText(QStringLiteral("127.0.0.1"));
        dialog->Field(IDC_PORT)->setText(port);
        QTest::mouseClick(dialog->Button(button), Qt::LeftButton);
    };
    // A join that fails is not remembered; a host that succeeds is.
    const QString port = QString::number(wtest::FreeShortPort());
    withConnectDialog(
        [&](ConnectDialog* d) { submit(d, QString::number(wtest::FreeShortPort()), IDC_JOIN); });
    ASSERT_EQ(boxes.Texts(), QStringList{QStringLiteral("Connection refused")});
    withConnectDialog([&](ConnectDialog* d) {
        EXPECT_TRUE(d->Field(IDC_NICKNAME)->text().isEmpty());
        EXPECT_EQ(d->Field(IDC_PORT)->text(), QStringLiteral("7171"));
        submit(d, port, IDC_HOST);
    });
    ASSERT_EQ(g_localSeat, 1);
    Disconnect();
    withConnectDialog([&](ConnectDialog* d) {
        EXPECT_EQ(d->Field(IDC_NICKNAME)->text(), QStringLiteral("Zoé"));
        EXPECT_EQ(d->Field(IDC_IP)->text(), QStringLiteral("127.0.0.1"));
        EXPECT_EQ(d->Field(IDC_PORT)->text(), port);
        d->close();
    });
    vtest::ResetSockets();
}

}  // namespace
