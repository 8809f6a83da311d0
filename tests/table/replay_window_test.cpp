// A saved game watched again in the table window, offscreen: opened from a
// file, every position shows the table of the live game with the status line
// and the round's game lines, the arrow keys and the bar's buttons step it,
// closing it gives the empty table back; a damaged file is refused with its
// message and nothing of it is shown.
#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <memory>

#include "bench/support/recorded_game.h"
#include "net/notices.h"
#include "net/seat_table.h"
#include "record/game_file.h"
#include "resources/resource_ids.h"
#include "table/keeping_menu.h"
#include "table/replay_session.h"
#include "table/table_window.h"
#include "ui/chat_box.h"
#include "ui/table_painter.h"

namespace {

class ReplayWindow : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        window_ = std::make_unique<TableWindow>();
        window_->Keeping()->SetProblemBox(
            [this](QWidget*, const QString& text) { problems_ << text; });
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override { window_.reset(); }

    QString Write(const std::vector<std::uint8_t>& bytes) {
        const QString path = folder_.filePath(QStringLiteral("partie.vantoro"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path;
    }

    static std::vector<std::uint8_t> FileOf(const RecordedGame& game) {
        GameFileHeader header;
        const char* names[] = {"", "Anne", "Bruno", "Chloé", "David"};
        for (int s = 1; s <= SEAT_COUNT; ++s) std::strcpy(header.names[s], names[s]);
        header.playerSeat = 3;
        return EncodeGameFile(header, game.messages.data(), game.messages.size());
    }

    QTemporaryDir folder_;
    std::unique_ptr<TableWindow> window_;
    QStringList problems_;
};

TEST_F(ReplayWindow, StepsThroughTheSavedGameAndClosesToTheEmptyTable) {
    const RecordedGame game = PlayRecordedGame(3, 99);
    ASSERT_TRUE(window_->Keeping()->OpenReplay(Write(FileOf(game))));
    ASSERT_NE(nullptr, window_->Keeping()->Replay());
    EXPECT_TRUE(problems_.isEmpty());
    EXPECT_TRUE(AllHandsFaceUp());
    EXPECT_EQ(3, g_localSeat);
    EXPECT_STREQ("Chloé", g_seats[3].name);
    const int moves = window_->Keeping()->Replay()->Replay().MovesInRound();
    EXPECT_EQ(QStringLiteral("Revoir : manche 1, coup 0 / %1").arg(moves), window_->StatusText());
    EXPECT_FALSE(window_->Button(IDC_PLAY)->isEnabled());
    EXPECT_FALSE(window_->ChatInput()->isEnabled());

    // The arrow keys step move by move; the window shows the live table.
    QTest::keyClick(window_.get(), Qt::Key_Right);
    QTest::keyClick(window_.get(), Qt::Key_Right);
    EXPECT_EQ(QStringLiteral("Revoir : manche 1, coup 2 / %1").arg(moves), window_->StatusText());
    for (int s = 1; s <= SEAT_COUNT; ++s)
        EXPECT_EQ(0, std::memcmp(game.tables[3].hands[s], g_table->hands[s], HAND_SIZE));
    // The first move is the opening play of Anne, Bruno, Chloé or David.
    const QString log = window_->ChatLogBox()->toPlainText();
    EXPECT_TRUE(log.contains(QStringLiteral("» Manche 1")));
    EXPECT_TRUE(log.contains(QStringLiteral(" joue "))) << log.toStdString();
    QTest::keyClick(window_.get(), Qt::Key_Left);
    EXPECT_EQ(QStringLiteral("Revoir : manche 1, coup 1 / %1").arg(moves), window_->StatusText());

    // "Manche suivante" goes to the next deal; its table is the live one.
    window_->Keeping()->Replay()->NextRoundButton()->click();
    EXPECT_TRUE(window_->StatusText().startsWith(QStringLiteral("Revoir : manche 2, coup 0 / ")));
    const std::size_t deal =
        static_cast<std::size_t>(window_->Keeping()->Replay()->Replay().Position()) + 1;
    EXPECT_EQ(game.tables[deal].money[1], g_table->money[1]);
    EXPECT_EQ(1, g_table->roundsPlayed);
    // The end of the game: every round played, the round's end in the log.
    QTest::keyClick(window_.get(), Qt::Key_End);
    EXPECT_EQ(3, g_table->roundsPlayed);
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        EXPECT_EQ(game.tables.back().money[s], g_table->money[s]);
        EXPECT_EQ(game.tables.back().wins[s], g_table->wins[s]);
    }
    EXPECT_TRUE(window_->ChatLogBox()->toPlainText().contains(QStringLiteral("gagne la manche")));
    EXPECT_FALSE(window_->Keeping()->Replay()->ForwardButton()->isEnabled());

    // Escape closes the replay: the empty table, ready for a game.
    QTest::keyClick(window_.get(), Qt::Key_Escape);
    EXPECT_EQ(nullptr, window_->Keeping()->Replay());
    EXPECT_FALSE(window_->IsDestroyed());
    EXPECT_EQ(0, g_playerCount);
    EXPECT_EQ(0, g_localSeat);
    EXPECT_FALSE(AllHandsFaceUp());
    EXPECT_EQ(QString::fromLatin1(STATUS_NO_CONNECTION), window_->StatusText());
    EXPECT_TRUE(window_->ChatInput()->isEnabled());
}

TEST_F(ReplayWindow, DamagedFileIsRefusedWithItsMessageAndNothingIsShown) {
    const RecordedGame game = PlayRecordedGame(2, 5);
    std::vector<std::uint8_t> bytes = FileOf(game);
    bytes.resize(bytes.size() - 3);  // the last move cut short
    EXPECT_FALSE(window_->Keeping()->OpenReplay(Write(bytes)));
    ASSERT_EQ(1, problems_.size());
    EXPECT_TRUE(problems_[0].startsWith(
        QStringLiteral("Cette partie ne peut pas être ouverte : fichier tronqué")))
        << problems_[0].toStdString();
    EXPECT_TRUE(problems_[0].contains(QStringLiteral("(octet %1)").arg(bytes.size())));
    EXPECT_EQ(nullptr, window_->Keeping()->Replay());
    EXPECT_EQ(0, g_playerCount);
    EXPECT_FALSE(AllHandsFaceUp());
    EXPECT_EQ(QString::fromLatin1(STATUS_NO_CONNECTION), window_->StatusText());
}

}  // namespace
