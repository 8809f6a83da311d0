// What the window keeps of a game against the computer, offscreen: each
// finished round lands in the statistics (against the computer at the
// dialog's level), the last game is kept in the data folder, "Enregistrer la
// partie..." writes a file that replays to the live table, and leaving closes
// the game's record.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "bot/auto_play.h"
#include "bot/host_computer.h"
#include "net/seat_table.h"
#include "record/game_file.h"
#include "record/statistics_store.h"
#include "resources/resource_ids.h"
#include "table/computer_dialog.h"
#include "table/game_keeper.h"
#include "table/keeping_menu.h"
#include "table/replay_session.h"
#include "table/table_window.h"
#include "tests/support/scripted_peer.h"
#include "tests/table/window_harness.h"

namespace {

GameTable ReplayedEnd(const QString& path) {
    QString error;
    std::unique_ptr<ReplaySession> session = ReplaySession::Open(path, &error);
    EXPECT_NE(nullptr, session) << error.toStdString();
    if (session == nullptr) return GameTable();
    session->Replay().GoTo(session->Replay().PositionCount() - 1);
    return session->Replay().Table();
}

TEST(KeepingGame, RoundsAgainstTheComputerAreKeptSavedAndReplayed) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    auto window = std::make_unique<TableWindow>();
    vtest::ResetSockets();
    window->SetComputerDialogRunner([](QWidget* owner) { return RunComputerDialog(owner); });
    const QString saved = folder.filePath(QStringLiteral("sauvee.vantoro"));
    window->Keeping()->SetFileQuestion(
        [&](QWidget*, bool save) { return save ? saved : QString(); });
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    wtest::WhenModalIsUp(
        [](QWidget* widget) { return qobject_cast<ComputerDialog*>(widget) != nullptr; },
        [](QWidget* widget) {
            auto* dialog = static_cast<ComputerDialog*>(widget);
            dialog->LevelBox()->setCurrentIndex(0);  // Facile
            // A nickname no other test of this program plays under: the
            // statistics are per nickname, in a data folder they share.
            dialog->Nickname()->setText(QStringLiteral("Ines"));
            QTest::keyClick(dialog->Nickname(), Qt::Key_Return);
        });
    window->MenuItem(IDM_PLAY_COMPUTER)->trigger();
    ASSERT_EQ(4, g_playerCount);
    EXPECT_FALSE(window->Keeping()->Keeper()->CanSave());  // no round finished yet

    // The computer plays every seat, the window's too ("Absent").
    window->Computer()->SetDelay(0);
    window->AwayPlayer()->SetDelay(0);
    window->Button(IDC_AWAY)->click();
    ASSERT_TRUE(QTest::qWaitFor([] { return g_table->roundsPlayed >= 3; }, 30000))
        << g_table->roundsPlayed;
    window->Button(IDC_AWAY)->click();
    QTest::qWait(0);
    const GameTable live = *g_table;

    StatisticsStore* store = window->Keeping()->Keeper()->Store();
    ASSERT_NE(nullptr, store);
    std::vector<KindSummary> kinds = store->Summaries(QStringLiteral("Ines"));
    ASSERT_EQ(1u, kinds.size());
    EXPECT_EQ("contre l'ordinateur (Facile)", kinds[0].label.toStdString());
    EXPECT_EQ(1, kinds[0].games);
    EXPECT_EQ(live.roundsPlayed, kinds[0].rounds);
    EXPECT_EQ(live.wins[1], kinds[0].roundsWon);
    EXPECT_EQ(live.money[1] - START_MONEY, kinds[0].moneyWon);

    // "Enregistrer la partie...": the file replays to the live table.
    ASSERT_TRUE(window->Keeping()->Keeper()->CanSave());
    window->Keeping()->OnSaveGameFile();
    ASSERT_TRUE(QFile::exists(saved));
    const GameTable replayed = ReplayedEnd(saved);
    EXPECT_EQ(live.roundsPlayed, replayed.roundsPlayed);
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        EXPECT_EQ(live.money[s], replayed.money[s]) << s;
        EXPECT_EQ(live.wins[s], replayed.wins[s]) << s;
        EXPECT_EQ(0, std::memcmp(live.hands[s], replayed.hands[s], HAND_SIZE)) << s;
    }
    // The last game was kept by itself at its latest finished round.
    EXPECT_EQ(live.roundsPlayed, ReplayedEnd(GameKeeper::LastGamePath()).roundsPlayed);

    // Leaving closes the game: the next game is another one.
    window->OnDisconnect();
    EXPECT_FALSE(store->HasOpenGame());
    window.reset();
    vtest::ResetSockets();
}

}  // namespace
