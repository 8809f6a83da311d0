// Following the game at the real table window, offscreen: the game lines of
// the chat log for a round played against scripted peers, the reasons of
// refused moves, the frame of the play to beat, the hand laid out by
// strength under the pointer, and the player's turn announced only while the
// window is not active.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "net/connect.h"
#include "net/seat_table.h"
#include "resources/resource_ids.h"
#include "rules/game_table.h"
#include "table/board_widget.h"
#include "table/game_lines.h"
#include "table/table_marks.h"
#include "table/table_window.h"
#include "tests/support/scripted_peer.h"
#include "tests/table/window_harness.h"
#include "ui/chat_box.h"
#include "ui/table_painter.h"

namespace {

using vtest::Msg;

constexpr QRgb kGold = 0xFFFFCC00u;

// The card as a player reads it, written out here rather than taken from
// the code under test.
QString Named(std::uint8_t card) {
    static const char* const ranks[] = {"A", "2", "3",  "4", "5", "6", "7",
                                        "8", "9", "10", "J", "Q", "K"};
    static const char* const suits[] = {"♦", "♣", "♥", "♠"};
    return QString::fromUtf8(ranks[card % 13]) + QString::fromUtf8(suits[card / 13]);
}

// A window that counts the announcements of the player's turn.
class CountingWindow : public TableWindow {
  public:
    int announced = 0;

  protected:
    void AnnounceTurn() override { ++announced; }
};

// The window hosts "Hana" in seat 1; Ali, Bob and Cem sit in seats 2, 3, 4.
class FollowGame : public testing::Test {
  protected:
    void SetUp() override {
        window_ = std::make_unique<CountingWindow>();
        vtest::ResetSockets();
        ASSERT_EQ(StartNetwork(), 0);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        for (auto& peer : peers_.seat) peer.reset();
        window_.reset();
        vtest::ResetSockets();
        SetDealSeedSource(nullptr);
        SetHandByStrength(false);
    }

    void SeatEveryone(int opener) {
        const std::uint32_t seed = vtest::SeedOpenedBy(opener);
        SetDealSeedSource([seed] { return seed; });
        ASSERT_TRUE(vtest::HostFullTable(&peers_));
        window_->ChatLogBox()->Clear();
    }

    QImage Paint() { return window_->Board()->grab().toImage(); }
    void Click(QPoint point) {
        QTest::mouseClick(window_->Board(), Qt::LeftButton, Qt::NoModifier, point);
    }
    void Press(int id) { QTest::mouseClick(window_->Button(id), Qt::LeftButton); }
    QString Log() const { return window_->ChatLogBox()->toPlainText(); }
    QString LastLine() const { return Log().section(QLatin1Char('\n'), -2, -2); }
    vtest::RawPeer& Peer(int seat) { return *peers_.seat[seat]; }
    bool ClientsHearNothing() {
        for (int seat = 2; seat <= SEAT_COUNT; ++seat)
            if (!Peer(seat).ExpectSilence(30)) return false;
        return true;
    }

    // Chooses the card of `slot` with a click on its strip (the hand in its
    // own order) and presses "Jouer cartes".
    void PlaySlot(int slot) {
        Paint();
        int place = 0;
        for (int p = 0; p < slot; ++p) place += g_table->hands[1][p] != NO_CARD ? 1 : 0;
        Click({HAND_LEFT + HAND_STEP * place + 3, 300});
        ASSERT_NE(g_table->selection[slot], 0);
        Press(IDC_PLAY);
    }

    // A client's pass, relayed by the host to the two other clients.
    void ClientPasses(int seat) {
        ASSERT_TRUE(Peer(seat).Send(Msg({10, seat})));
        ASSERT_TRUE(vtest::PumpUntil([&] { return g_table->turn == seat % 4 + 1; }));
        for (int other = 2; other <= SEAT_COUNT; ++other) {
            if (other != seat) {
                ASSERT_EQ(Peer(other).ReadMessage(), Msg({10, seat}));
            }
        }
    }

    std::unique_ptr<CountingWindow> window_;
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
        const std::uint8_t card = g_table->hands[1][order[i]];
        ASSERT_NO_FATAL_FAILURE(PlaySlot(order[i]));
        for (int seat = 2; seat <= SEAT_COUNT; ++seat)
            ASSERT_EQ(Peer(seat).ReadMessage(), vtest::PlayMsg(1, {order[i]}));
        expected += QStringLiteral("» Hana joue ") + Named(card) + QLatin1Char('\n');
        if (i == 0) {
            // The play to beat is framed in gold, left of the local play at (10, 170).
            EXPECT_EQ(Paint().pixel(8, 200), kGold);
        }
        if (i + 1 == order.size()) break;
        for (int seat : {2, 3, 4}) ASSERT_NO_FATAL_FAILURE(ClientPasses(seat));
        expected += QStringLiteral("» Ali passe\n» Bob passe\n» Cem passe\n");
        if (i == 0) {
            // The lead is back with the host: nothing to beat, no frame.
            EXPECT_EQ(Paint().pixel(8, 200), wtest::kFeltRgb);
        }
    }
    ASSERT_EQ(g_table->roundOver, 1);
    expected += QStringLiteral(
        "» Hana gagne la manche (+117)\n»   Ali paie 39\n»   Bob paie 39\n»   Cem paie 39\n");
    EXPECT_EQ(Log(), expected);

    // The winner is named on the table until the next deal.
    const QRect named = RoundWinnerRect();
    EXPECT_EQ(Paint().pixel(named.topLeft()), kGold);
    Press(IDC_NEXT_ROUND);
    EXPECT_EQ(Paint().pixel(named.topLeft()), wtest::kFeltRgb);
}

TEST_F(FollowGame, RefusedMovesSayWhyAndSendNothing) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(1));
    const QString refused = QStringLiteral("» Coup refusé : ");
    Press(IDC_PASS);
    EXPECT_EQ(LastLine(), refused + QStringLiteral("vous avez la main, vous ne pouvez pas passer"));

    const int opening = vtest::PositionOf(*g_table, 1, CARD_OPENING);
    const int other = opening == 12 ? 11 : 12;
    ASSERT_NO_FATAL_FAILURE(PlaySlot(other));
    EXPECT_EQ(LastLine(),
              refused + QStringLiteral("le premier coup de la partie doit contenir le 3♦"));
    EXPECT_TRUE(ClientsHearNothing());
    EXPECT_NE(g_table->selection[other], 0) << "the chosen card stays up";

    // With both chosen (their ranks differ).
    ASSERT_NO_FATAL_FAILURE(PlaySlot(opening));
    EXPECT_EQ(LastLine(), refused + QStringLiteral("ces cartes ne forment pas une combinaison"));
    Click({HAND_LEFT + HAND_STEP * other + 3, 300});  // all 13 held: place = slot
    Press(IDC_PLAY);
    EXPECT_EQ(LastLine(), QStringLiteral("» Hana joue 3♦"));
    for (int seat = 2; seat <= SEAT_COUNT; ++seat) ASSERT_EQ(Peer(seat).ReadMessage().size(), 15u);
    Press(IDC_PLAY);
    EXPECT_EQ(LastLine(), refused + QStringLiteral("ce n'est pas votre tour"));
    EXPECT_TRUE(ClientsHearNothing());

    // Without the play lines, a pass goes unsaid; refusals are still told.
    QAction* showMoves = window_->MenuItem(IDM_SHOW_MOVES);
    ASSERT_TRUE(showMoves->isChecked());
    showMoves->trigger();
    const QString before = Log();
    ASSERT_NO_FATAL_FAILURE(ClientPasses(2));
    EXPECT_EQ(Log(), before);
    Press(IDC_PASS);
    EXPECT_EQ(LastLine(), refused + QStringLiteral("ce n'est pas votre tour"));
    showMoves->trigger();
    ASSERT_NO_FATAL_FAILURE(ClientPasses(3));
    EXPECT_EQ(LastLine(), QStringLiteral("» Bob passe"));
}

TEST(GameLines, EveryRefusalHasItsOwnReasonAndPlaysListTheirCardsInHandOrder) {
    std::set<std::string> reasons;
    const std::string prefix = "» Coup refusé : ";
    for (int r = static_cast<int>(MoveRefusal::kNoSeat);
         r <= static_cast<int>(MoveRefusal::kLeaderCannotPass); ++r) {
        const std::string line = RefusalLine(static_cast<MoveRefusal>(r), 2);
        EXPECT_EQ(line.rfind(prefix, 0), 0u) << r;
        EXPECT_GT(line.size(), prefix.size() + 2) << r;
        EXPECT_EQ(line.substr(line.size() - 2), "\r\n") << r;
        reasons.insert(line);
    }
    EXPECT_EQ(reasons.size(), static_cast<std::size_t>(MoveRefusal::kLeaderCannotPass));
    EXPECT_EQ(RefusalLine(MoveRefusal::kNone, 2), "");
    EXPECT_EQ(RefusalLine(MoveRefusal::kWrongCardCount, 1),
              "» Coup refusé : il faut jouer 1 carte\r\n");
    EXPECT_EQ(RefusalLine(MoveRefusal::kWrongCardCount, 5),
              "» Coup refusé : il faut jouer 5 cartes\r\n");

    // A straight up to the king in hand order, the ace first; a pair with
    // its empty places; a name that fills its field without a NUL.
    const std::uint8_t straight[PLAY_SIZE] = {39, 9, 23, 37, 51};
    EXPECT_EQ(PlayLine("Ali", straight), "» Ali joue A♠ 10♦ J♣ Q♥ K♠\r\n");
    const std::uint8_t pair[PLAY_SIZE] = {2, NO_CARD, 15, NO_CARD, NO_CARD};
    char name[NAME_SIZE];
    std::memset(name, 'M', sizeof name);
    EXPECT_EQ(PlayLine(name, pair), "» MMMMMMMMMMMMMMMMM joue 3♦ 3♣\r\n");
    EXPECT_EQ(PassLine(name), "» MMMMMMMMMMMMMMMMM passe\r\n");
}

TEST_F(FollowGame, HandByStrengthLiesFromThreeToTwoAndClicksFollowIt) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(1));
    window_->MenuItem(IDM_SORT_BY_STRENGTH)->trigger();
    ASSERT_TRUE(HandByStrength());
    int bySlot[HAND_SIZE];
    for (int slot = 0; slot < HAND_SIZE; ++slot) bySlot[slot] = slot;
    const std::uint8_t* hand = g_table->hands[1];
    std::sort(bySlot, bySlot + HAND_SIZE, [hand](int a, int b) {
        return GameTable::PlayValue(hand[a]) < GameTable::PlayValue(hand[b]);
    });
    ASSERT_EQ(hand[bySlot[0]], CARD_OPENING) << "the three of diamonds lies leftmost";

    for (int place = 0; place < HAND_SIZE; ++place) {
        Paint();
        const int x = HAND_LEFT + HAND_STEP * place + 3;
        Click({x, 300});
        int chosen = -1;
        for (int slot = 0; slot < HAND_SIZE; ++slot)
            if (g_table->selection[slot] != 0) chosen = chosen == -1 ? slot : -2;
        EXPECT_EQ(chosen, bySlot[place]) << "place " << place;
        // The card raised is the one under the pointer.
        EXPECT_NE(Paint().pixel(x, HAND_TOP_SELECTED + 7), wtest::kFeltRgb) << place;
        Click({x, 300});
    }
    // What is played is what was chosen: the slot, not the place.
    Paint();
    Click({HAND_LEFT + 3, 300});
    Press(IDC_PLAY);
    vtest::Bytes sent(15, 0);
    sent[0] = 9;
    sent[1] = 1;
    sent[2 + bySlot[0]] = 0xFF;
    EXPECT_EQ(Peer(2).ReadMessage(), sent);
}

TEST_F(FollowGame, TurnIsAnnouncedOnlyWhileTheWindowIsNotActive) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(2));
    QWidget elsewhere;
    elsewhere.show();
    QApplication::setActiveWindow(&elsewhere);
    ASSERT_TRUE(vtest::PumpUntil([&] { return !window_->isActiveWindow(); }));

    const int opening = vtest::PositionOf(*g_table, 2, CARD_OPENING);
    ASSERT_TRUE(Peer(2).Send(vtest::PlayMsg(2, {opening})));
    ASSERT_TRUE(vtest::PumpUntil([] { return g_table->turn == 3; }));
    EXPECT_EQ(window_->announced, 0);
    ASSERT_TRUE(Peer(3).Send(Msg({10, 3})));
    ASSERT_TRUE(Peer(4).Send(Msg({10, 4})));
    ASSERT_TRUE(vtest::PumpUntil([] { return g_table->turn == 1; }));
    EXPECT_EQ(window_->announced, 1);

    // In front, the window says nothing when the turn comes back.
    window_->activateWindow();
    QApplication::setActiveWindow(window_.get());
    ASSERT_TRUE(vtest::PumpUntil([&] { return window_->isActiveWindow(); }));
    Press(IDC_PASS);
    ASSERT_EQ(g_table->turn, 2);
    // Seat 2 holds the lead again and plays another card.
    const int next = opening == 0 ? 1 : 0;
    ASSERT_TRUE(Peer(2).Send(vtest::PlayMsg(2, {next})));
    ASSERT_TRUE(Peer(3).Send(Msg({10, 3})));
    ASSERT_TRUE(Peer(4).Send(Msg({10, 4})));
    ASSERT_TRUE(vtest::PumpUntil([] { return g_table->turn == 1; }));
    EXPECT_EQ(window_->announced, 1);
}

}  // namespace
