// The player's controls on the real table window, offscreen. The window hosts
// on 127.0.0.1 with three raw sockets in the other seats, or joins a raw
// scripted host; deals use fixed seeds, so every hand is known. What is
// checked is what the others and the player see: the bytes the peers
// receive, the game table, the painted board, the controls and the chat log.
#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "net/connect.h"
#include "net/message_handler.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "net/wire.h"
#include "resources/resource_ids.h"
#include "rules/game_table.h"
#include "table/board_widget.h"
#include "table/table_window.h"
#include "tests/support/scripted_peer.h"
#include "tests/table/window_harness.h"
#include "ui/chat_box.h"
#include "ui/table_painter.h"

namespace {

using vtest::Bytes;
using vtest::Msg;

// The local hand as the player sees it: the held cards from x = 10, 15
// pixels apart in slot order, 71 x 96, resting at y = 285; a chosen card
// stands at y = 265. Between y = 267 and 284 nothing but a chosen card is
// ever drawn over the hand's width (the latest play ends at 266).
constexpr int kHandLeft = 10;
constexpr int kStep = 15;
constexpr int kRaisedBandY = 272;
constexpr int kHandRight = 10 + 12 * 15 + 71;

constexpr std::uint32_t kLoopback = 0x7F000001;

// Where the held card of `slot` of the local hand shows its strip: three
// pixels into it, at height y.
QPoint StripPoint(int slot, int y) {
    int before = 0;
    for (int p = 0; p < slot; ++p) before += g_table->hands[g_localSeat][p] != NO_CARD ? 1 : 0;
    return {kHandLeft + kStep * before + 3, y};
}

bool IsFelt(const QImage& image, int x, int y) {
    return image.pixel(x, y) == wtest::kFeltRgb;
}

// True when no chosen card stands above the resting hand.
bool NoCardRaised(const QImage& image) {
    for (int x = kHandLeft; x < kHandRight; ++x) {
        if (!IsFelt(image, x, kRaisedBandY)) return false;
    }
    return true;
}

int ChosenCount() {
    int chosen = 0;
    for (std::uint8_t byte : g_table->selection) chosen += byte != 0 ? 1 : 0;
    return chosen;
}

// One window, the network as a program that has just started, and deals
// that use a fixed seed.
class WindowTest : public wtest::ShownWindowTest<> {
  protected:
    // Paints the board as it is now (which also records the cards' hit
    // rectangles) and returns the picture.
    QImage Paint() { return window_->Board()->grab().toImage(); }
    // The board as the screen shows it once the pending repaints are done:
    // only what was invalidated has been painted again.
    QImage Shown() {
        vtest::Pump(30);  // a window's update request may wait for a short timer
        QWidget* board = window_->Board();
        const QPoint origin = board->mapTo(window_.get(), QPoint(0, 0));
        const QImage screen = window_->screen()->grabWindow(window_->winId()).toImage();
        return screen.copy(QRect(origin, board->size())).convertToFormat(QImage::Format_RGB32);
    }
    void Click(QPoint point) {
        QTest::mouseClick(window_->Board(), Qt::LeftButton, Qt::NoModifier, point);
    }
    void Press(int id) { QTest::mouseClick(window_->Button(id), Qt::LeftButton); }
    bool Raised(const QImage& image, int slot) {
        const QPoint strip = StripPoint(slot, kRaisedBandY);
        return !IsFelt(image, strip.x(), strip.y());
    }
    QString ChatLogText() const { return window_->ChatLogBox()->toPlainText(); }
    void TypeInChat(const QString& text) { QTest::keyClicks(window_->ChatInput(), text); }
};

TEST_F(WindowTest, ChatBeforeJoiningATableKeepsTheTextAndShowsNoBox) {
    wtest::BoxCatcher boxes;
    TypeInChat(QStringLiteral("bonjour"));
    QTest::keyClick(window_->ChatInput(), Qt::Key_Return);
    QTest::qWait(30);
    EXPECT_EQ(window_->ChatInput()->text(), QStringLiteral("bonjour"));
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_TRUE(ChatLogText().isEmpty());
}

// The window hosts "Hana" in seat 1; Ali, Bob and Cem sit in seats 2, 3, 4.
class HostWindow : public WindowTest {
  protected:
    void TearDown() override {
        for (auto& peer : peers_.seat) peer.reset();
        WindowTest::TearDown();
    }

    // Seats everyone with deals from `seed`; the hands are checked against
    // the same seed's deal made here.
    void SeatEveryone(std::uint32_t seed) {
        SetDealSeedSource([seed] { return seed; });
        ASSERT_TRUE(vtest::HostFullTable(&peers_));
        dealt_.DealWithSeed(seed, 1);
        ASSERT_EQ(std::memcmp(g_table->hands, dealt_.hands, sizeof dealt_.hands), 0);
        ASSERT_EQ(window_->StatusText(), QStringLiteral("Game started"));
    }

    vtest::RawPeer& Peer(int seat) { return *peers_.seat[seat]; }
    void ExpectClientsReceive(const Bytes& bytes) {
        for (int seat = 2; seat <= SEAT_COUNT; ++seat) {
            EXPECT_EQ(Peer(seat).ReadMessage(), bytes) << "seat " << seat;
        }
    }
    void ExpectClientsHearNothing() {
        for (int seat = 2; seat <= SEAT_COUNT; ++seat) {
            EXPECT_TRUE(Peer(seat).ExpectSilence(30)) << "seat " << seat;
        }
    }

    // The clients in `seats` pass in turn; each pass is relayed by the host
    // to the other two clients, which read it.
    void ClientsPass(const std::vector<int>& seats) {
        for (int seat : seats) {
            ASSERT_TRUE(Peer(seat).Send(Msg({10, seat})));
            ASSERT_TRUE(vtest::PumpUntil([&] { return g_table->turn == seat % 4 + 1; }));
        }
        for (int seat : seats) {
            for (int other = 2; other <= SEAT_COUNT; ++other) {
                if (other == seat) continue;
                ASSERT_EQ(Peer(other).ReadMessage(), Msg({10, seat}));
            }
        }
    }

    // Chooses one card with a click on its strip and plays it.
    void PlaySingle(int slot) {
        Paint();
        Click(StripPoint(slot, 300));
        ASSERT_EQ(ChosenCount(), 1);
        ASSERT_NE(g_table->selection[slot], 0);
        Press(IDC_PLAY);
        ASSERT_EQ(g_table->hands[1][slot], NO_CARD);
        for (int seat = 2; seat <= SEAT_COUNT; ++seat) {
            ASSERT_EQ(Peer(seat).ReadMessage(), vtest::PlayMsg(1, {slot})) << seat;
        }
    }

    // The host holds the three of diamonds and plays its hand out, one card
    // at a time (the opening card first), while the three clients pass
    // every time, so that the lead always comes back to it.
    void HostPlaysItsHandOut() {
        std::vector<int> order{vtest::PositionOf(*g_table, 1, CARD_OPENING)};
        ASSERT_GE(order[0], 0);
        for (int p = 0; p < HAND_SIZE; ++p) {
            if (p != order[0]) order.push_back(p);
        }
        for (std::size_t i = 0; i < order.size(); ++i) {
            ASSERT_NO_FATAL_FAILURE(PlaySingle(order[i]));
            if (i + 1 == order.size()) break;
            ASSERT_NO_FATAL_FAILURE(ClientsPass({2, 3, 4}));
        }
        ASSERT_EQ(g_table->roundOver, 1);
        ASSERT_EQ(g_table->leader, 1);
    }

    vtest::FullTable peers_;
    GameTable dealt_;
};

TEST_F(HostWindow, ClicksFollowTheFanOfTheHandAndTheRaisedStrip) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(vtest::SeedOpenedBy(1)));
    ASSERT_EQ(GameTable::CountCards(g_table->hands[1], HAND_SIZE), 13);
    QImage board = Shown();  // every pending repaint done
    ASSERT_TRUE(NoCardRaised(board));

    // Above the resting hand nothing answers a click.
    Click({75, 270});
    EXPECT_EQ(ChosenCount(), 0);

    // At x = 12 only the leftmost card lies under the point.
    // The click repaints that card's place, which reaches up to the raised
    // position; the screen shows it raised.
    Click({12, 300});
    EXPECT_EQ(ChosenCount(), 1);
    EXPECT_EQ(g_table->selection[0], 0xFF);
    board = Shown();
    EXPECT_TRUE(Raised(board, 0));
    EXPECT_EQ(g_cardRects[0].top, 265);
    // The same card again: chosen no more, and back in its place.
    Click({12, 300});
    EXPECT_EQ(ChosenCount(), 0);
    board = Shown();
    EXPECT_TRUE(NoCardRaised(board));
    EXPECT_EQ(g_cardRects[0].top, 285);

    // At x = 80 the cards of slots 0 to 4 overlap; slot 4 (left edge 70) lies on top.
    Click({80, 300});
    EXPECT_EQ(ChosenCount(), 1);
    EXPECT_EQ(g_table->selection[4], 0xFF);
    board = Paint();
    EXPECT_TRUE(Raised(board, 4));
    EXPECT_FALSE(IsFelt(board, 135, kRaisedBandY)) << "the raised card shows its whole width";
    EXPECT_TRUE(IsFelt(board, 145, kRaisedBandY));

    // y = 270 is above every resting card: only the raised one answers there
    // (the same point answered nothing before it was chosen), across its
    // whole width, and nothing answers right of it.
    Click({150, 270});
    EXPECT_EQ(ChosenCount(), 1);
    Click({75, 270});
    EXPECT_EQ(ChosenCount(), 0);
    board = Shown();
    EXPECT_TRUE(NoCardRaised(board));
    Click({80, 300});
    Shown();
    Click({138, 270});
    EXPECT_EQ(ChosenCount(), 0);
    Shown();

    // A raised card ends at y = 361, but its strip still answers below that,
    // down to y = 380; below the hand nothing answers.
    for (int y : {361, 380}) {
        Click({80, 300});
        Shown();
        ASSERT_EQ(g_table->selection[4], 0xFF) << y;
        Click({75, y});
        EXPECT_EQ(ChosenCount(), 0) << y;
        Shown();
    }
    Click({75, 381});
    EXPECT_EQ(ChosenCount(), 0);

    // With three players at the table (a client hears of a departure before
    // the seat is taken again), clicks change nothing, although the hit
    // rectangles of the last full paint are still there.
    Paint();
    g_playerCount = 3;
    Paint();  // the waiting screen
    ASSERT_EQ(g_cardRects[0].left, 10);
    Click({12, 300});
    Click({80, 300});
    EXPECT_EQ(ChosenCount(), 0);
    g_playerCount = 4;
}

TEST_F(HostWindow, RefusedPlayKeepsTheChoiceAcceptedPlaySendsItAndLowersTheCards) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(vtest::SeedOpenedBy(1)));
    ASSERT_EQ(g_table->turn, 1);
    const int opening = vtest::PositionOf(*g_table, 1, CARD_OPENING);
    ASSERT_GE(opening, 0);
    const int other = opening == 12 ? 11 : 12;
    ASSERT_NE(GameTable::RankOf(static_cast<std::int8_t>(g_table->hands[1][other])), 2)
        << "the other card must not pair with the three";

    // The opening seat may not pass.
    Press(IDC_PASS);
    ExpectClientsHearNothing();
    EXPECT_EQ(g_table->turn, 1);

    // The first play of the game must hold the three of diamonds.
    Paint();
    Click(StripPoint(other, 300));
    ASSERT_EQ(g_table->selection[other], 0xFF);
    Press(IDC_PLAY);
    ExpectClientsHearNothing();
    EXPECT_EQ(g_table->selection[other], 0xFF);
    EXPECT_EQ(GameTable::CountCards(g_table->hands[1], HAND_SIZE), 13);
    EXPECT_TRUE(Raised(Paint(), other));

    // Both cards are no combination (their ranks differ): refused as well.
    Click(StripPoint(opening, 300));
    ASSERT_EQ(ChosenCount(), 2);
    Press(IDC_PLAY);
    ExpectClientsHearNothing();
    EXPECT_EQ(ChosenCount(), 2);

    // The three alone: every client receives the 15 bytes of the choice as
    // it was, and the choice is cleared and every card lowered.
    Paint();
    Click(StripPoint(other, 300));
    ASSERT_EQ(ChosenCount(), 1);
    Press(IDC_PLAY);
    Bytes expected(15, 0);
    expected[0] = 9;
    expected[1] = 1;
    expected[2 + opening] = 0xFF;
    ExpectClientsReceive(expected);
    ExpectClientsHearNothing();
    EXPECT_EQ(ChosenCount(), 0);
    EXPECT_EQ(g_table->hands[1][opening], NO_CARD);
    EXPECT_EQ(g_table->turn, 2);
    EXPECT_TRUE(NoCardRaised(Paint()));
    EXPECT_FALSE(window_->Button(IDC_NEXT_ROUND)->isEnabled());

    // Not the host's turn any more: play and pass do nothing.
    Click(StripPoint(other, 300));
    Press(IDC_PLAY);
    Press(IDC_PASS);
    ExpectClientsHearNothing();
    EXPECT_EQ(g_table->selection[other], 0xFF);
}

TEST_F(HostWindow, HostThatGoesOutDealsTheNextRoundAtOnce) {
    wtest::BoxCatcher boxes;
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(vtest::SeedOpenedBy(1)));

    // Before any round has ended the statistics box does not come up.
    window_->OnCommand(IDC_SAVE_GAME);
    QTest::qWait(30);
    EXPECT_TRUE(boxes.boxes().empty());

    ASSERT_NO_FATAL_FAILURE(HostPlaysItsHandOut());
    QPushButton* next = window_->Button(IDC_NEXT_ROUND);
    EXPECT_TRUE(next->isEnabled());
    EXPECT_EQ(g_table->wins[1], 1);

    // Every client still held 13 cards: 39 charged to each, none to the winner.
    window_->OnCommand(IDC_SAVE_GAME);
    ASSERT_TRUE(vtest::PumpUntil([&] { return !boxes.boxes().empty(); }));
    EXPECT_EQ(boxes.boxes()[0].text,
              QStringLiteral("game played: 1\nHana card: 0\nAli card: 39\nBob card: 39\n"
                             "Cem card: 39"));
    EXPECT_EQ(boxes.boxes()[0].owner, nullptr);
    // The charges are shown as signed bytes.
    g_table->history[0].charged[3] = 0xF6;
    boxes.Clear();
    window_->OnCommand(IDC_SAVE_GAME);
    ASSERT_TRUE(vtest::PumpUntil([&] { return !boxes.boxes().empty(); }));
    EXPECT_TRUE(boxes.boxes()[0].text.contains(QStringLiteral("Bob card: -10\n")));
    g_table->history[0].charged[3] = 39;

    // "Tour suivant": the host deals the next round at once, with no new game.
    SetDealSeedSource([] { return 777u; });
    Press(IDC_NEXT_ROUND);
    GameTable next_round = dealt_;
    next_round.DealWithSeed(777, 0);
    ExpectClientsReceive(vtest::DealMsg(next_round.hands));
    ExpectClientsHearNothing();
    EXPECT_FALSE(next->isEnabled());
    EXPECT_EQ(g_table->roundOver, 0);
    EXPECT_EQ(g_table->turn, 1) << "the winner leads";
    EXPECT_EQ(g_table->roundsPlayed, 1);
    EXPECT_EQ(std::memcmp(g_table->hands, next_round.hands, sizeof next_round.hands), 0);
    EXPECT_EQ(window_->StatusText(), QStringLiteral("Game started"));
}

TEST_F(HostWindow, ALeaversSeatIsKeptForTheComputerAndTakenBackWithTheGameSoFar) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(vtest::SeedOpenedBy(1)));
    ASSERT_NO_FATAL_FAILURE(HostPlaysItsHandOut());
    QPushButton* next = window_->Button(IDC_NEXT_ROUND);
    ASSERT_TRUE(next->isEnabled());

    // The host's own corner as it is; it must stay on screen throughout.
    const QImage live = Shown();
    const QRect ownHalf(0, live.height() / 2, 370, live.height() / 2);

    // Bob leaves: the others hear him go and the computer take his seat, and
    // nobody is dealt anything.
    peers_.seat[3].reset();
    for (int seat : {2, 4}) {
        ASSERT_EQ(Peer(seat).ReadMessage(), Msg({5, 3}));
        const Bytes info = Peer(seat).ReadMessage();
        ASSERT_EQ(info.size(), 41u);
        EXPECT_STREQ(reinterpret_cast<const char*>(info.data() + 2), "Bob (ordi)");
    }
    EXPECT_TRUE(IsComputerSeat(3));
    EXPECT_EQ(g_playerCount, 4);
    EXPECT_EQ(Shown().copy(ownHalf), live.copy(ownHalf));
    EXPECT_TRUE(next->isEnabled()) << "the host's round is still won";
    EXPECT_TRUE(ChatLogText().contains(QStringLiteral("\"Bob (ordi)\" is ready.")));

    // Bob comes back and takes the seat over: the game so far as the
    // messages that made it, then, the seat his once he has it all, his
    // record, while the others hear the computer go and Bob come.
    auto bob = std::make_unique<vtest::RawPeer>();
    ASSERT_TRUE(bob->Connect(g_bindAddr.port));
    ASSERT_EQ(bob->ReadMessage(), Msg({4, 3}));
    for (int record = 0; record < 3; ++record) ASSERT_EQ(bob->ReadMessage().size(), 41u);
    ASSERT_TRUE(bob->Send(vtest::JoinMsg("Bob")));
    EXPECT_EQ(bob->ReadMessage(), vtest::DealMsg(dealt_.hands));
    EXPECT_EQ(bob->ReadMessage(), Msg({MSG_NEW_GAME}));
    int plays = 0, passes = 0, records = 0;
    for (Bytes m = bob->ReadMessage(300); !m.empty(); m = bob->ReadMessage(300)) {
        plays += m[0] == MSG_PLAY ? 1 : 0;
        passes += m[0] == MSG_PASS ? 1 : 0;
        if (m[0] == MSG_SEAT_INFO) {
            EXPECT_EQ(plays + passes, 13 + 12 * 3) << "the record comes after the whole game";
            ++records;
        }
    }
    EXPECT_EQ(plays, 13);
    EXPECT_EQ(passes, 12 * 3);
    EXPECT_EQ(records, 1);
    peers_.seat[3] = std::move(bob);
    for (int seat : {2, 4}) {
        ASSERT_EQ(Peer(seat).ReadMessage(), Msg({5, 3}));
        const Bytes info = Peer(seat).ReadMessage();
        ASSERT_EQ(info.size(), 41u);
        EXPECT_STREQ(reinterpret_cast<const char*>(info.data() + 2), "Bob");
    }
    EXPECT_FALSE(IsComputerSeat(3));
    EXPECT_EQ(Shown().copy(ownHalf), live.copy(ownHalf));

    // The winner deals the next round to everyone: the game goes on.
    Press(IDC_NEXT_ROUND);
    for (int seat = 2; seat <= SEAT_COUNT; ++seat) {
        EXPECT_EQ(Peer(seat).ReadMessage().size(), 66u) << seat;
    }
    ExpectClientsHearNothing();
    EXPECT_EQ(g_table->roundsPlayed, 1);
    EXPECT_FALSE(next->isEnabled());
}

TEST_F(HostWindow, PassKeepsTheChoiceAndAClientsWinLeavesTheHostsButtonOff) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(vtest::SeedOpenedBy(2)));
    const int opening = vtest::PositionOf(*g_table, 2, CARD_OPENING);
    std::vector<int> order{opening};
    for (int p = 0; p < HAND_SIZE; ++p) {
        if (p != opening) order.push_back(p);
    }

    // Seat 2 plays its hand out one card at a time; seats 3 and 4 pass, and
    // so does the host, with a card of its own chosen that stays up.
    Paint();
    Click(StripPoint(5, 300));
    ASSERT_EQ(g_table->selection[5], 0xFF);
    for (std::size_t i = 0; i < order.size(); ++i) {
        ASSERT_TRUE(Peer(2).Send(vtest::PlayMsg(2, {order[i]})));
        ASSERT_TRUE(vtest::PumpUntil([&] { return g_table->hands[2][order[i]] == NO_CARD; }));
        ASSERT_EQ(Peer(3).ReadMessage(), vtest::PlayMsg(2, {order[i]}));
        ASSERT_EQ(Peer(4).ReadMessage(), vtest::PlayMsg(2, {order[i]}));
        if (i + 1 == order.size()) break;
        ASSERT_NO_FATAL_FAILURE(ClientsPass({3, 4}));
        ASSERT_EQ(g_table->turn, 1);
        Press(IDC_PASS);
        ExpectClientsReceive(Msg({10, 1}));
        ASSERT_EQ(g_table->turn, 2);
        ASSERT_EQ(g_table->selection[5], 0xFF);
    }
    ASSERT_EQ(g_table->roundOver, 1);
    ASSERT_EQ(g_table->leader, 2);
    EXPECT_TRUE(Raised(Paint(), 5));
    EXPECT_EQ(ChosenCount(), 1);
    EXPECT_FALSE(window_->Button(IDC_NEXT_ROUND)->isEnabled()) << "only the winner's window";

    // The command on the host (the button is off) asks the clients, which
    // do not deal; the host deals when the winner asks.
    window_->OnCommand(IDC_NEXT_ROUND);
    ExpectClientsReceive(Msg({12}));
    EXPECT_EQ(g_table->roundOver, 1);
    SetDealSeedSource([] { return 778u; });
    ASSERT_TRUE(Peer(2).Send(Msg({12})));
    ASSERT_TRUE(vtest::PumpUntil([] { return g_table->roundOver == 0; }));
    GameTable next_round = dealt_;
    next_round.DealWithSeed(778, 0);
    ExpectClientsReceive(vtest::DealMsg(next_round.hands));
    EXPECT_EQ(ChosenCount(), 0) << "every deal clears the choice";
    EXPECT_TRUE(NoCardRaised(Paint()));
}

TEST_F(HostWindow, AwayChangesTheButtonAndTheMarkerAtOnce) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(vtest::SeedOpenedBy(3)));
    QPushButton* away = window_->Button(IDC_AWAY);
    // The local away marker (17 x 22) goes at (270, 325), where nothing else is drawn.
    const auto markerShown = [&] {
        const QImage board = Paint();
        for (int y = 325; y < 347; ++y) {
            for (int x = 270; x < 287; ++x) {
                if (!IsFelt(board, x, y)) return true;
            }
        }
        return false;
    };
    ASSERT_FALSE(markerShown());

    Press(IDC_AWAY);
    EXPECT_TRUE(away->isChecked());
    EXPECT_EQ(g_away[1], 1);
    EXPECT_TRUE(markerShown());
    ExpectClientsReceive(Msg({13, 1, 1}));

    Press(IDC_AWAY);
    EXPECT_FALSE(away->isChecked());
    EXPECT_EQ(g_away[1], 0);
    EXPECT_FALSE(markerShown());
    ExpectClientsReceive(Msg({13, 1, 0}));
    ExpectClientsHearNothing();
}

TEST_F(HostWindow, ChatLinesGoOutWithEnterAndShowAtOnce) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(vtest::SeedOpenedBy(1)));
    wtest::BoxCatcher boxes;
    QLineEdit* input = window_->ChatInput();
    window_->ChatLogBox()->Clear();

    // Enter with nothing typed: the box, and nothing sent.
    QTest::keyClick(input, Qt::Key_Return);
    ASSERT_TRUE(vtest::PumpUntil([&] { return !boxes.boxes().empty(); }));
    EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("You must enter something to send")});
    EXPECT_EQ(boxes.boxes()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(boxes.boxes()[0].owner, window_.get());
    ExpectClientsHearNothing();
    EXPECT_TRUE(ChatLogText().isEmpty());

    // Enter sends the line (the hidden OK command); the host sees it at once.
    TypeInChat(QStringLiteral("salut a tous"));
    QTest::keyClick(input, Qt::Key_Return);
    ExpectClientsReceive(vtest::ChatMsg(1, "salut a tous"));
    EXPECT_TRUE(input->text().isEmpty());
    EXPECT_EQ(ChatLogText(), QStringLiteral("Hana: salut a tous\n"));

    // The longest line the input takes, 512 characters, is a 517-byte message.
    TypeInChat(QString(600, QLatin1Char('z')));
    ASSERT_EQ(input->text().size(), 512);
    QTest::keyClick(input, Qt::Key_Return);
    for (int seat = 2; seat <= SEAT_COUNT; ++seat) {
        const Bytes line = Peer(seat).ReadMessage();
        ASSERT_EQ(line.size(), 517u);
        EXPECT_EQ(line, vtest::ChatMsg(1, std::string(512, 'z')));
    }
    EXPECT_TRUE(input->text().isEmpty());
    EXPECT_TRUE(ChatLogText().endsWith(QStringLiteral("Hana: ") + QString(512, QLatin1Char('z')) +
                                       QStringLiteral("\n")));
    EXPECT_EQ(boxes.boxes().size(), 1u);
}

// Regression: a full input of characters that take three bytes each (1536
// bytes) used to go out cut to its first 999 bytes while the whole input was
// emptied, so two thirds of the line were lost. A message carries at most
// 1000 bytes of text, so such a line now goes out as two messages, cut
// between characters.
TEST_F(HostWindow, LongLineOfWideCharactersIsSentWhole) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(vtest::SeedOpenedBy(1)));
    window_->ChatLogBox()->Clear();
    const QString euros(512, QChar(0x20AC));  // "€", three bytes in UTF-8
    window_->ChatInput()->setText(euros);
    ASSERT_EQ(window_->ChatInput()->text(), euros);
    QTest::keyClick(window_->ChatInput(), Qt::Key_Return);
    std::string first;
    for (int i = 0; i < 333; ++i) first += "\xE2\x82\xAC";
    std::string second;
    for (int i = 0; i < 179; ++i) second += "\xE2\x82\xAC";
    ExpectClientsReceive(vtest::ChatMsg(1, first));   // 999 bytes of text
    ExpectClientsReceive(vtest::ChatMsg(1, second));  // the remaining 537
    ExpectClientsHearNothing();
    EXPECT_TRUE(window_->ChatInput()->text().isEmpty());
    EXPECT_EQ(ChatLogText(), QStringLiteral("Hana: ") + QString(333, QChar(0x20AC)) +
                                 QStringLiteral("\nHana: ") + QString(179, QChar(0x20AC)) +
                                 QStringLiteral("\n"));
}

TEST_F(HostWindow, PlayerInfoListsEveryConnectedSeat) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone(vtest::SeedOpenedBy(1)));
    wtest::BoxCatcher boxes;
    ASSERT_TRUE(window_->Button(IDC_PLAYER_INFO)->isEnabled());
    Press(IDC_PLAYER_INFO);
    ASSERT_TRUE(vtest::PumpUntil([&] { return !boxes.boxes().empty(); }));
    const wtest::SeenBox& box = boxes.boxes()[0];
    EXPECT_EQ(box.caption, QStringLiteral("Vantoro"));
    EXPECT_EQ(box.icon, QMessageBox::Information);
    EXPECT_EQ(box.text, QStringLiteral("Connected players: 4\n\n"
                                       "\nID/name: (1) Hana\nIP: 127.0.0.1"
                                       "\nID/name: (2) Ali\nIP: 127.0.0.1"
                                       "\nID/name: (3) Bob\nIP: 127.0.0.1"
                                       "\nID/name: (4) Cem\nIP: 127.0.0.1"));
}

// The window joins a scripted host as "Cem" and is given seat 4.
class ClientWindow : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_EQ(JoinTable("Cem", "127.0.0.1", std::to_string(host_.port()).c_str()).step,
                  ConnectStep::Connected);
        conn_ = host_.Accept();
        ASSERT_NE(conn_, nullptr);
    }
    void TearDown() override {
        conn_.reset();
        WindowTest::TearDown();
    }

    // Seat 4, the four records, a deal in which seat 4 opens, the new game.
    void SeatEveryone() {
        dealt_.DealWithSeed(vtest::SeedOpenedBy(4), 1);
        const std::uint64_t newGames = g_readStats.handled[MSG_NEW_GAME];
        ASSERT_TRUE(conn_->Send(
            vtest::Concat({Msg({4, 4}), vtest::SeatInfoMsg(1, "Hana", 5, kLoopback, 7171),
                           vtest::SeatInfoMsg(2, "Ali", 6, kLoopback, 40001),
                           vtest::SeatInfoMsg(3, "Bob", 7, kLoopback, 40002),
                           vtest::SeatInfoMsg(4, "Cem", 8, kLoopback, 40003),
                           vtest::DealMsg(dealt_.hands), Msg({6})})));
        ASSERT_EQ(conn_->ReadMessage(), vtest::JoinMsg("Cem"));
        ASSERT_TRUE(vtest::PumpUntil([&] { return g_readStats.handled[MSG_NEW_GAME] > newGames; }));
        ASSERT_EQ(g_localSeat, 4);
        ASSERT_EQ(g_playerCount, 4);
        ASSERT_EQ(g_table->turn, 4);
        window_->ChatLogBox()->Clear();
    }

    vtest::ScriptedHost host_;
    std::unique_ptr<vtest::RawPeer> conn_;
    GameTable dealt_;
};

// A seat kept for the host's computer, then taken over, while the game runs:
// the window went back to the start picture and stayed there, since the
// record that completed the table again asked for no repaint.
TEST_F(ClientWindow, AKeptSeatAndItsTakeoverLeaveTheLiveTableOnScreen) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone());
    const QImage live = Shown();
    // The player's own corner: its hand, its latest play, its wins and money
    // (the controls and the chat log beside it are not the table's).
    const QRect ownHalf(0, live.height() / 2, 370, live.height() / 2);
    for (const char* name : {"Bob (ordi)", "Dan"}) {
        // The two messages one at a time, each painted, as a slow link brings them.
        const std::uint64_t lefts = g_readStats.handled[MSG_SEAT_LEFT];
        ASSERT_TRUE(conn_->Send(Msg({MSG_SEAT_LEFT, 3})));
        ASSERT_TRUE(vtest::PumpUntil([&] { return g_readStats.handled[MSG_SEAT_LEFT] > lefts; }));
        Shown();
        const std::uint64_t records = g_readStats.handled[MSG_SEAT_INFO];
        ASSERT_TRUE(conn_->Send(vtest::SeatInfoMsg(3, name, 7, kLoopback, 40002)));
        ASSERT_TRUE(vtest::PumpUntil([&] { return g_readStats.handled[MSG_SEAT_INFO] > records; }));
        ASSERT_EQ(g_playerCount, 4);
        EXPECT_EQ(Shown().copy(ownHalf), live.copy(ownHalf)) << name;
    }
    // And the player plays on: the opening card goes out.
    Paint();
    const int opening = vtest::PositionOf(*g_table, 4, CARD_OPENING);
    Click(StripPoint(opening, 300));
    Press(IDC_PLAY);
    EXPECT_EQ(conn_->ReadMessage(), vtest::PlayMsg(4, {opening}));
}

TEST_F(ClientWindow, AwayWaitsForTheHostsEcho) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone());
    QPushButton* away = window_->Button(IDC_AWAY);
    Press(IDC_AWAY);
    EXPECT_EQ(conn_->ReadMessage(), Msg({13, 4, 1}));
    QTest::qWait(30);
    EXPECT_FALSE(away->isChecked());
    EXPECT_EQ(g_away[4], 0);

    ASSERT_TRUE(conn_->Send(Msg({13, 4, 1})));
    ASSERT_TRUE(vtest::PumpUntil([&] { return away->isChecked(); }));
    EXPECT_EQ(g_away[4], 1);

    // Pressed again it asks to come back, and again waits for the echo.
    Press(IDC_AWAY);
    EXPECT_EQ(conn_->ReadMessage(), Msg({13, 4, 0}));
    EXPECT_TRUE(away->isChecked());
}

TEST_F(ClientWindow, OwnChatLineShowsOnlyWithTheEchoAndPlayerInfoDoesNothing) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone());
    wtest::BoxCatcher boxes;
    TypeInChat(QStringLiteral("bonsoir"));
    QTest::keyClick(window_->ChatInput(), Qt::Key_Return);
    EXPECT_EQ(conn_->ReadMessage(), vtest::ChatMsg(4, "bonsoir"));
    EXPECT_TRUE(window_->ChatInput()->text().isEmpty());
    QTest::qWait(30);
    EXPECT_TRUE(ChatLogText().isEmpty());

    ASSERT_TRUE(conn_->Send(vtest::ChatMsg(4, "bonsoir")));
    ASSERT_TRUE(vtest::PumpUntil([&] { return !ChatLogText().isEmpty(); }));
    EXPECT_EQ(ChatLogText(), QStringLiteral("Cem: bonsoir\n"));

    // The player list is the host's alone; its button is off here, and the
    // command does nothing.
    EXPECT_FALSE(window_->Button(IDC_PLAYER_INFO)->isEnabled());
    window_->OnCommand(IDC_PLAYER_INFO);
    QTest::qWait(30);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ClientWindow, WinnerAsksTheHostForTheNextRoundWithOneByte) {
    ASSERT_NO_FATAL_FAILURE(SeatEveryone());
    std::vector<int> order{vtest::PositionOf(*g_table, 4, CARD_OPENING)};
    for (int p = 0; p < HAND_SIZE; ++p) {
        if (p != order[0]) order.push_back(p);
    }
    QPushButton* next = window_->Button(IDC_NEXT_ROUND);
    for (std::size_t i = 0; i < order.size(); ++i) {
        Paint();
        Click(StripPoint(order[i], 300));
        Press(IDC_PLAY);
        ASSERT_EQ(conn_->ReadMessage(), vtest::PlayMsg(4, {order[i]}));
        if (i + 1 == order.size()) break;
        EXPECT_FALSE(next->isEnabled());
        // The host relays the other three seats' passes.
        ASSERT_TRUE(conn_->Send(vtest::Concat({Msg({10, 1}), Msg({10, 2}), Msg({10, 3})})));
        ASSERT_TRUE(vtest::PumpUntil([] { return g_table->turn == 4; }));
    }
    ASSERT_EQ(g_table->roundOver, 1);
    EXPECT_TRUE(next->isEnabled());

    Press(IDC_NEXT_ROUND);
    EXPECT_EQ(conn_->ReadMessage(), Msg({12}));
    EXPECT_TRUE(conn_->ExpectSilence(30));
    EXPECT_FALSE(next->isEnabled());
    EXPECT_EQ(g_table->roundOver, 1) << "a client waits for the host's deal";
}

}  // namespace
