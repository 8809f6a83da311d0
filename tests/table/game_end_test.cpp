// The game's end on a client window, against a scripted host that follows the
// existing messages exactly: it plays seats 1 to 3 and deals, the window's
// computer plays seat 4, and after three rounds the host deals a new game
// (MSG_DEAL then MSG_NEW_GAME). The window builds the standings from its own
// table as it stood, and its history follows the rounds as they come.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bot/auto_play.h"
#include "bot/host_computer.h"
#include "bot/moves.h"
#include "net/connect.h"
#include "net/message_handler.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "net/socket_layer.h"
#include "net/wire.h"
#include "resources/resource_ids.h"
#include "rules/game_table.h"
#include "table/game_history.h"
#include "table/table_window.h"
#include "tests/support/scripted_peer.h"
#include "tests/table/window_harness.h"

namespace {

using vtest::Bytes;
using vtest::Msg;

constexpr std::uint32_t kLoopback = 0x7F000001;

Bytes MoveMsg(int seat, const Move& move) {
    if (move.pass) return Msg({MSG_PASS, seat});
    Bytes msg{MSG_PLAY, static_cast<std::uint8_t>(seat)};
    msg.insert(msg.end(), move.chosen, move.chosen + HAND_SIZE);
    return msg;
}

// The move with the most cards, so that rounds end soon.
Move LongestMove(const GameTable& table, int seat) {
    const std::vector<Move> moves = LegalMoves(table, seat);
    Move best = moves.front();
    int most = -1;
    for (const Move& move : moves) {
        int cards = 0;
        for (std::uint8_t c : move.chosen) cards += c != 0 ? 1 : 0;
        if (!move.pass && cards > most) {
            most = cards;
            best = move;
        }
    }
    return best;
}

class GameEnd : public wtest::ShownWindowTest<> {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ShownWindowTest::SetUp());
        // Seat 4 plays itself, at once, as an away player's would.
        window_->AwayPlayer()->SetDelay(0);
        window_->AwayPlayer()->SetRoundPause(0);
        ASSERT_EQ(JoinTable("Cem", "127.0.0.1", std::to_string(host_.port()).c_str()).step,
                  ConnectStep::Connected);
        conn_ = host_.Accept();
        ASSERT_NE(conn_, nullptr);
    }
    void TearDown() override {
        conn_.reset();
        ShownWindowTest::TearDown();
    }

    // The host's side of one round, from its deal to the play that ends it.
    void PlayRound() {
        while (script_.roundOver == 0) {
            const int seat = script_.turn;
            Bytes msg;
            if (seat == 4) {
                msg = conn_->ReadMessage();
                ASSERT_FALSE(msg.empty()) << "seat 4 did not move";
            } else {
                msg = MoveMsg(seat, LongestMove(script_, seat));
                ASSERT_TRUE(conn_->Send(msg));
            }
            if (msg[0] == MSG_PASS) {
                ASSERT_EQ(script_.Pass(seat), 1);
            } else {
                ASSERT_EQ(msg[0], MSG_PLAY);
                ASSERT_EQ(script_.Play(seat, msg.data() + 2), 1);
            }
        }
    }
    // The next round's deal; a round seat 4 won waits for its request.
    void DealNext(int newGame) {
        if (script_.roundOver != 0 && script_.leader == 4 && newGame == 0) {
            ASSERT_EQ(conn_->ReadMessage(), Msg({MSG_NEXT_ROUND}));
        }
        script_.DealWithSeed(seed_++, newGame);
        ASSERT_TRUE(conn_->Send(vtest::DealMsg(script_.hands)));
        if (newGame != 0) {
            ASSERT_TRUE(conn_->Send(Msg({MSG_NEW_GAME})));
        }
    }

    vtest::ScriptedHost host_;
    std::unique_ptr<vtest::RawPeer> conn_;
    GameTable script_;
    std::uint32_t seed_ = 20261209;
};

TEST_F(GameEnd, AClientShowsTheStandingsOfAGameOfThreeRoundsAndItsHistoryFollowedIt) {
    ASSERT_TRUE(conn_->Send(
        vtest::Concat({Msg({MSG_SEAT_ASSIGN, 4}), vtest::SeatInfoMsg(1, "Hana", 5, kLoopback, 7171),
                       vtest::SeatInfoMsg(2, "Ali", 6, kLoopback, 40001),
                       vtest::SeatInfoMsg(3, "Bob", 7, kLoopback, 40002),
                       vtest::SeatInfoMsg(4, "Cem", 8, kLoopback, 40003)})));
    ASSERT_EQ(conn_->ReadMessage(), vtest::JoinMsg("Cem"));
    ASSERT_NO_FATAL_FAILURE(DealNext(1));
    ASSERT_TRUE(vtest::PumpUntil([] { return g_playerCount == 4 && GameLive(); }));
    window_->AwayPlayer()->SetPlaysLocalSeat(true);
    // The history, open from the first round on, follows the live game.
    window_->OnCommand(IDM_GAME_HISTORY);
    ASSERT_NE(window_->History(), nullptr);
    ASSERT_TRUE(window_->History()->isVisible());

    for (int round = 1; round <= 3; ++round) {
        ASSERT_NO_FATAL_FAILURE(PlayRound()) << round;
        ASSERT_TRUE(vtest::PumpUntil([&] { return g_table->roundsPlayed == round; })) << round;
        EXPECT_EQ(window_->History()->Rounds()->rowCount(), round);
        if (round < 3) {
            ASSERT_NO_FATAL_FAILURE(DealNext(0));
        }
    }
    EXPECT_TRUE(window_->StandingsBox() == nullptr || !window_->StandingsBox()->isVisible());

    // The history's rows are the table's records, money after each included.
    QTableWidget* rows = window_->History()->Rounds();
    int money[SEAT_COUNT + 1] = {0, START_MONEY, START_MONEY, START_MONEY, START_MONEY};
    for (int r = 0; r < 3; ++r) {
        const RoundResult& result = script_.history[r];
        int winner = 0;
        int total = 0;
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            total += result.charged[s];
            if (result.charged[s] == 0) winner = s;
        }
        for (int s = 1; s <= SEAT_COUNT; ++s) money[s] += s == winner ? total : -result.charged[s];
        EXPECT_EQ(rows->item(r, 0)->text(), QString::number(r + 1));
        EXPECT_EQ(rows->item(r, 1)->text(),
                  QString::fromUtf8(g_seats[winner].name, std::strlen(g_seats[winner].name)));
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            if (s != winner) {
                EXPECT_EQ(rows->item(r, 1 + s)->text(),
                          QStringLiteral("\u2212%1").arg(result.charged[s]))
                    << r << " " << s;
            }
            EXPECT_EQ(rows->item(r, 1 + SEAT_COUNT + s)->text(), QString::number(money[s]))
                << r << " " << s;
        }
    }
    for (int s = 1; s <= SEAT_COUNT; ++s) EXPECT_EQ(money[s], g_table->money[s]);

    // The host ends the game: the standings of the three rounds, before the
    // new game reset the table.
    const GameTable ended = *g_table;
    ASSERT_NO_FATAL_FAILURE(DealNext(1));
    ASSERT_TRUE(vtest::PumpUntil([] { return g_table->roundsPlayed == 0; }));
    StandingsDialog* standings = window_->StandingsBox();
    ASSERT_NE(standings, nullptr);
    EXPECT_TRUE(standings->isVisible());
    EXPECT_FALSE(standings->isModal());
    EXPECT_FALSE(standings->NewGameButton()->isVisible());  // a client deals nothing
    EXPECT_EQ(standings->Record().table.roundsPlayed, 3);
    const std::vector<Standing> places = Standings(ended);
    for (int place = 0; place < SEAT_COUNT; ++place) {
        const Standing& want = places[static_cast<std::size_t>(place)];
        const QString name = QString::fromUtf8(g_seats[want.seat].name);
        EXPECT_EQ(standings->Places()->item(place, 1)->text(), name) << place;
        EXPECT_EQ(standings->Places()->item(place, 2)->text(), QString::number(want.money));
        EXPECT_EQ(standings->Places()->item(place, 3)->text(), QString::number(want.wins));
        if (place > 0) {
            EXPECT_GE(places[static_cast<std::size_t>(place) - 1].money, want.money);
        }
    }
    EXPECT_TRUE(standings->WinnerLabel()->text().contains(
        QString::fromUtf8(g_seats[places.front().seat].name)));
    // The history of the live game starts anew; the standings' button shows
    // the ended one.
    EXPECT_EQ(window_->History()->Rounds()->rowCount(), 0);
    QTest::mouseClick(standings->HistoryButton(), Qt::LeftButton);
    EXPECT_FALSE(window_->History()->FollowsLiveGame());
    EXPECT_EQ(window_->History()->Rounds()->rowCount(), 3);

    // A game that ends with no round played shows no standings.
    standings->hide();
    ASSERT_NO_FATAL_FAILURE(DealNext(1));
    ASSERT_TRUE(vtest::PumpUntil([&] { return g_readStats.handled[MSG_NEW_GAME] >= 3; }));
    vtest::Pump(50);
    EXPECT_FALSE(standings->isVisible());
}

}  // namespace

namespace {

// The host's own end of a game: a window hosting three computer seats, with
// "Après 1 manche" as the length (the dialogs offer 10, 20 or broke; the
// policy takes any count). The round that reaches it deals no next round:
// the standings show with "Nouvelle partie", which deals the new game at
// once; "Nouvelle partie" of the menu ends a game with no round quietly.
TEST(HostGameEnd, TheHostStopsAfterTheLengthShowsTheStandingsAndDealsOnNouvellePartie) {
    auto window = std::make_unique<TableWindow>();
    vtest::ResetSockets();
    ASSERT_EQ(StartNetwork(), 0);
    window->show();
    for (SeatAutopilot* computer : {static_cast<SeatAutopilot*>(window->Computer()),
                                    static_cast<SeatAutopilot*>(window->AwayPlayer())}) {
        computer->SetDelay(0);
        computer->SetRoundPause(0);
    }
    ASSERT_EQ(HostTable("Hana", "127.0.0.1", "0").step, ConnectStep::Connected);
    HostPolicy policy = CurrentHostPolicy();
    policy.gameLength = GameLength{1, false};
    SetHostPolicy(policy);
    // A new game with no round played: no standings.
    ASSERT_EQ(FillEmptySeatsWithComputer(), 3);
    window->OnCommand(IDM_NEW_GAME);
    EXPECT_EQ(window->StandingsBox(), nullptr);
    // The host's own seat plays itself too (a new game clears "Absent").
    window->AwayPlayer()->SetPlaysLocalSeat(true);

    ASSERT_TRUE(vtest::PumpUntil([] { return g_table->roundsPlayed == 1; }, 20000));
    EXPECT_TRUE(HostGameOver());
    StandingsDialog* standings = window->StandingsBox();
    ASSERT_NE(standings, nullptr);
    EXPECT_TRUE(standings->isVisible());
    EXPECT_TRUE(standings->NewGameButton()->isVisible());
    // The winner's computer does not deal the next round of an ended game.
    vtest::Pump(200);
    EXPECT_EQ(g_table->roundOver, 1);
    EXPECT_EQ(g_table->roundsPlayed, 1);

    QTest::mouseClick(standings->NewGameButton(), Qt::LeftButton);
    EXPECT_FALSE(HostGameOver());
    EXPECT_EQ(g_table->roundOver, 0);
    EXPECT_EQ(g_table->roundsPlayed, 0);
    for (int seat = 1; seat <= SEAT_COUNT; ++seat) EXPECT_EQ(g_table->money[seat], START_MONEY);
    EXPECT_TRUE(standings->isVisible());  // the ended game's standings stay up
    EXPECT_FALSE(standings->NewGameButton()->isVisible());
    EXPECT_EQ(standings->Record().table.roundsPlayed, 1);

    SetHostPolicy(HostPolicy{true, 0, GameLength{}});
    window.reset();
    vtest::ResetSockets();
}

}  // namespace
