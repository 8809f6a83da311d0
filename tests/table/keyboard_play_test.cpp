// Playing with the keyboard alone, offscreen, against three computer seats
// on real sockets on this machine: starting the game from the menu's letter,
// a whole round played with the hand cursor and Enter / P, the keys out of
// turn, the chat and back, the focus at each deal, a box that keeps its keys,
// the hint, and the visible frames of the focus.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <memory>

#include "bot/host_computer.h"
#include "bot/moves.h"
#include "net/connect.h"
#include "net/seat_table.h"
#include "resources/resource_ids.h"
#include "table/board_widget.h"
#include "table/computer_dialog.h"
#include "table/hand_cursor.h"
#include "table/player_aids.h"
#include "table/table_window.h"
#include "tests/support/scripted_peer.h"
#include "tests/table/window_harness.h"
#include "ui/chat_box.h"
#include "ui/table_painter.h"

namespace {

constexpr QRgb kFrameBlue = 0xFF00AAFFu;

class KeyboardPlay : public testing::Test {
  protected:
    void SetUp() override {
        window_ = std::make_unique<TableWindow>();
        vtest::ResetSockets();
        window_->SetComputerDialogRunner([](QWidget* owner) { return RunComputerDialog(owner); });
        window_->show();
        QApplication::setActiveWindow(window_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }
    void TearDown() override {
        window_.reset();
        wtest::CloseNetwork();
    }

    HandCursor* Cursor() { return window_->Aids()->Cursor(); }
    void Key(Qt::Key key) { QTest::keyClick(window_->focusWidget(), key); }
    QString Log() const { return window_->ChatLogBox()->toPlainText(); }
    int Held() const {
        int placed[HAND_SIZE];
        return HandLayout(g_table->hands[1], placed);
    }
    bool MyTurn() const { return g_table->roundOver == 0 && g_table->turn == 1; }

    // Starts a game against the computer as a player would: Alt+J opens
    // "Jeu", Down to "Jouer contre l'ordinateur...", Enter; the nickname
    // typed and Enter in the dialog.
    void StartWithKeys(int opener) {
        const std::uint32_t seed = vtest::SeedOpenedBy(opener);
        SetDealSeedSource([seed] { return seed; });
        wtest::WhenModalIsUp(
            [](QWidget* widget) { return qobject_cast<ComputerDialog*>(widget) != nullptr; },
            [](QWidget* widget) {
                auto* dialog = static_cast<ComputerDialog*>(widget);
                QTest::keyClicks(dialog->Nickname(), QStringLiteral("Lea"));
                QTest::keyClick(dialog->Nickname(), Qt::Key_Return);
            });
        QTest::keyClick(window_.get(), Qt::Key_J, Qt::AltModifier);
        ASSERT_TRUE(vtest::PumpUntil([&] { return window_->GameMenu()->isVisible(); }));
        QMenu* menu = window_->GameMenu();
        while (menu->activeAction() != window_->MenuItem(IDM_PLAY_COMPUTER))
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
        ASSERT_TRUE(vtest::PumpUntil([] { return g_playerCount == SEAT_COUNT; }));
        // (Offscreen, nothing gives the window the keyboard back after a box.)
        QApplication::setActiveWindow(window_.get());
    }

    // Raises exactly the cards of `move` with the cursor and Space, leaving
    // the cursor on the last card.
    void RaiseWithKeys(const Move& move) {
        int placed[HAND_SIZE];
        const int count = HandLayout(g_table->hands[1], placed);
        Key(Qt::Key_Home);
        for (int place = 0; place < count; ++place) {
            EXPECT_EQ(Cursor()->Place(), place);
            const bool want = move.chosen[placed[place]] != 0;
            if (want != (g_table->selection[placed[place]] != 0)) Key(Qt::Key_Space);
            Key(Qt::Key_Right);
        }
        EXPECT_EQ(Cursor()->Place(), count - 1);  // Right stops on the last card
    }

    std::unique_ptr<TableWindow> window_;
};

TEST_F(KeyboardPlay, WholeRoundWithKeysAloneAgainstTheComputer) {
    StartWithKeys(2);
    ASSERT_EQ(g_localSeat, 1);
    // The table has the keys from the deal on, with its frame on a card.
    EXPECT_EQ(window_->focusWidget(), Cursor());
    EXPECT_FALSE(Cursor()->FrameRect().isEmpty());

    // Seat 2 opens and thinks: keys out of turn move and raise, play nothing.
    ASSERT_FALSE(MyTurn());
    Key(Qt::Key_End);
    EXPECT_EQ(Cursor()->Place(), 12);
    Key(Qt::Key_Right);
    EXPECT_EQ(Cursor()->Place(), 12);
    Key(Qt::Key_Left);
    Key(Qt::Key_Space);
    const int raised = Cursor()->Slot();
    EXPECT_NE(g_table->selection[raised], 0);
    Key(Qt::Key_Return);
    EXPECT_TRUE(Log().endsWith(QStringLiteral("» Coup refusé : ce n'est pas votre tour\n")));
    Key(Qt::Key_P);
    EXPECT_EQ(Held(), 13);
    EXPECT_NE(g_table->selection[raised], 0);  // the choice stays up
    Key(Qt::Key_Space);
    EXPECT_EQ(g_table->selection[raised], 0);
    // H out of turn gives no hint.
    EXPECT_FALSE(window_->Aids()->ShowHint());

    // A box open takes its own keys: P there passes nothing.
    int boxesSeen = 0;
    wtest::WhenModalIsUp(
        [](QWidget* widget) { return qobject_cast<QMessageBox*>(widget) != nullptr; },
        [&](QWidget* widget) {
            ++boxesSeen;
            const QString before = Log();
            QTest::keyClick(widget, Qt::Key_P);
            QTest::keyClick(widget, Qt::Key_Space);
            EXPECT_EQ(Log(), before);
            QTest::keyClick(widget, Qt::Key_Escape);
        });
    window_->MenuItem(IDM_KEYS)->trigger();
    EXPECT_EQ(boxesSeen, 1);
    EXPECT_EQ(window_->focusWidget(), Cursor());

    // The chat and back: C and Tab go there, Enter sends, Escape returns.
    Key(Qt::Key_C);
    ASSERT_EQ(window_->focusWidget(), window_->ChatInput());
    QTest::keyClicks(window_->ChatInput(), QStringLiteral("pan"));
    Key(Qt::Key_Return);
    EXPECT_TRUE(Log().contains(QStringLiteral("pan")));
    EXPECT_EQ(Held(), 13);
    Key(Qt::Key_Escape);
    EXPECT_EQ(window_->focusWidget(), Cursor());
    EXPECT_FALSE(window_->IsDestroyed());
    Key(Qt::Key_Tab);
    EXPECT_EQ(window_->focusWidget(), window_->ChatInput());
    Key(Qt::Key_Escape);
    // From the log too, where a line may have been selected with the mouse.
    window_->ChatLogBox()->setFocus();
    QTest::keyClick(window_->ChatLogBox(), Qt::Key_Escape);
    EXPECT_EQ(window_->focusWidget(), Cursor());
    EXPECT_FALSE(window_->IsDestroyed());

    // The round, with a quick computer: on each turn the first move the
    // table would take, the cursor left on the hand's last card.
    window_->Computer()->SetDelay(1);
    int plays = 0;
    int passes = 0;
    bool hinted = false;
    while (g_table->roundOver == 0) {
        ASSERT_TRUE(vtest::PumpUntil([&] { return MyTurn() || g_table->roundOver != 0; }));
        if (!MyTurn()) break;
        if (!hinted) {
            // H raises what the hard player would play (or says "passer").
            Key(Qt::Key_H);
            const std::vector<Move> legal = LegalMoves(*g_table, 1);
            std::uint16_t shown = 0;
            for (int slot = 0; slot < HAND_SIZE; ++slot)
                shown |= g_table->selection[slot] != 0 ? 1u << slot : 0u;
            const bool said = Log().endsWith(QStringLiteral("» Conseil : passer\n"));
            const bool legalShown = std::any_of(legal.begin(), legal.end(), [&](const Move& m) {
                return !m.pass && MovePositions(m) == shown;
            });
            EXPECT_TRUE(said || legalShown);
            hinted = true;
        }
        const Move move = LegalMoves(*g_table, 1).front();
        const int held = Held();
        if (move.pass) {
            Key(Qt::Key_Home);
            for (int i = 0; i < held; ++i) {
                if (g_table->selection[Cursor()->Slot()] != 0) Key(Qt::Key_Space);
                Key(Qt::Key_Right);
            }
            Key(Qt::Key_P);
            EXPECT_NE(g_table->passed[1], 0);
            ++passes;
            continue;
        }
        RaiseWithKeys(move);
        const int lastSlot = Cursor()->Slot();
        Key(Qt::Key_Return);
        ASSERT_EQ(Held(), held - MoveSize(move)) << Log().toStdString();
        if (Held() == 0) break;
        // The cursor stays on its card, or on the last place when it went.
        if (move.chosen[lastSlot] == 0)
            EXPECT_EQ(Cursor()->Slot(), lastSlot);
        else
            EXPECT_EQ(Cursor()->Place(), Held() - 1);
        EXPECT_EQ(window_->focusWidget(), Cursor());
        ++plays;
    }
    ASSERT_TRUE(vtest::PumpUntil([] { return g_table->roundOver != 0; }));
    EXPECT_GT(plays, 0);
    EXPECT_FALSE(Log().contains(QStringLiteral("Coup refusé : ce coup")));
    EXPECT_FALSE(Log().contains(QStringLiteral("Coup refusé : ces cartes")));

    // The next deal: the winner's N (or the computer's own), and the table
    // takes the keys back from an empty chat field.
    const int rounds = g_table->roundsPlayed;
    window_->ChatInput()->setFocus();
    if (g_table->leader == 1) {
        QTest::keyClick(window_->ChatInput(), Qt::Key_Escape);
        Key(Qt::Key_N);
    }
    ASSERT_TRUE(vtest::PumpUntil([&] { return g_table->roundsPlayed == rounds && Held() == 13; }));
    EXPECT_EQ(window_->focusWidget(), Cursor());
    (void)passes;
}

TEST_F(KeyboardPlay, CursorFollowsAShrinkingHandDownToOneCard) {
    // A table of four shown with a hand set here: five cards, then fewer.
    g_playerCount = SEAT_COUNT;
    g_localSeat = 1;
    std::fill(g_table->hands[1], g_table->hands[1] + HAND_SIZE, NO_CARD);
    std::fill(g_table->selection, g_table->selection + HAND_SIZE, 0);
    for (int slot = 0; slot < 5; ++slot)
        g_table->hands[1][slot] = static_cast<std::uint8_t>(slot + 2);
    HandCursor* cursor = Cursor();
    cursor->setFocus();
    QTest::keyClick(cursor, Qt::Key_End);
    EXPECT_EQ(cursor->Place(), 4);
    QTest::keyClick(cursor, Qt::Key_Left);
    const int slot = cursor->Slot();
    EXPECT_EQ(slot, 3);
    // A card before the cursor leaves: the cursor stays on its card.
    g_table->hands[1][0] = NO_CARD;
    EXPECT_EQ(cursor->Slot(), slot);
    EXPECT_EQ(cursor->Place(), 2);
    // Its own card leaves: it keeps its place, within the hand.
    g_table->hands[1][3] = NO_CARD;
    g_table->hands[1][4] = NO_CARD;
    EXPECT_EQ(cursor->Place(), 1);
    EXPECT_EQ(cursor->Slot(), 2);
    // One card: every move stays on it, Space raises and lowers it.
    g_table->hands[1][1] = NO_CARD;
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End}) {
        QTest::keyClick(cursor, key);
        EXPECT_EQ(cursor->Place(), 0);
        EXPECT_EQ(cursor->Slot(), 2);
    }
    QTest::keyClick(cursor, Qt::Key_Space);
    EXPECT_NE(g_table->selection[2], 0);
    EXPECT_FALSE(cursor->FrameRect().isEmpty());
    QTest::keyClick(cursor, Qt::Key_Space);
    EXPECT_EQ(g_table->selection[2], 0);
    // No card: no cursor, and Space does nothing.
    g_table->hands[1][2] = NO_CARD;
    EXPECT_EQ(cursor->Place(), -1);
    EXPECT_FALSE(cursor->ToggleCard());
    EXPECT_TRUE(cursor->FrameRect().isEmpty());
    g_playerCount = 0;
    g_localSeat = 0;
}

TEST_F(KeyboardPlay, FramesOfTheFocusShowOnTheHandAndTheButtons) {
    StartWithKeys(2);
    const QImage board = window_->Board()->grab().toImage();
    const QRect frame = Cursor()->FrameRect();
    ASSERT_FALSE(frame.isEmpty());
    // The frame's blue band runs along the card's top edge.
    EXPECT_EQ(board.pixel(frame.left() + 1, frame.top() + 4) | 0xFF000000u, kFrameBlue);
    EXPECT_EQ(board.pixel(frame.center().x(), frame.top() + 1), kFrameBlue);
    // Without the focus there is no frame.
    window_->ChatInput()->setFocus();
    EXPECT_TRUE(Cursor()->FrameRect().isEmpty());
    const QImage unfocused = window_->Board()->grab().toImage();
    EXPECT_NE(unfocused.pixel(frame.center().x(), frame.top() + 1), kFrameBlue);

    // Tab from the chat field and on reaches the buttons, which show the band.
    QPushButton* pass = window_->Button(IDC_PASS);
    pass->setFocus(Qt::TabFocusReason);
    const QImage button = pass->grab().toImage();
    EXPECT_EQ(button.pixel(2, button.height() / 2), kFrameBlue);
    // Clicking a button leaves the keys where they were.
    Cursor()->setFocus();
    QTest::mouseClick(window_->Button(IDC_CLEAR_CHAT), Qt::LeftButton);
    EXPECT_EQ(window_->focusWidget(), Cursor());

    // Letters: the menus and the buttons, each once.
    QStringList menus;
    for (QAction* action : window_->findChild<QMenuBar*>()->actions()) menus << action->text();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("&Jeu"), QStringLiteral("&Options"),
                                  QStringLiteral("&Aide")}));
    EXPECT_EQ(window_->MenuItem(IDM_RULES)->shortcut(), QKeySequence(Qt::Key_F1));
    QStringList letters;
    for (int id : {IDC_PLAY, IDC_PASS, IDC_NEXT_ROUND, IDC_AWAY, IDC_PLAYER_INFO, IDC_CLEAR_CHAT}) {
        const QString text = window_->Button(id)->text();
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        ASSERT_GE(amp, 0) << id;
        letters << text.mid(amp + 1, 1).toUpper();
    }
    letters.removeDuplicates();
    EXPECT_EQ(letters.size(), 6);
    for (const char* taken : {"J", "O", "A", "P", "N", "H", "C"})
        EXPECT_FALSE(letters.contains(QLatin1String(taken))) << taken;
}

}  // namespace
