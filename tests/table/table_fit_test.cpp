// The table on a screen too small for it (see fit_main.cpp): it opens inside
// the screen's available area with the whole table scaled down alike, the
// player's resizing scales it again, a raised card stays raised, clicks land
// on the card drawn under them, and "Taille de la table" is remembered.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <memory>

#include "net/connect.h"
#include "net/seat_table.h"
#include "resources/resource_ids.h"
#include "table/board_widget.h"
#include "table/settings.h"
#include "table/table_fit.h"
#include "table/table_window.h"
#include "tests/support/scripted_peer.h"
#include "ui/card_image.h"
#include "ui/chat_box.h"
#include "ui/table_painter.h"

namespace {

// True when `widget` lies wholly inside the screen's available area.
bool OnScreen(QWidget* widget) {
    const QRect avail = QApplication::primaryScreen()->availableGeometry();
    const QRect global(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    return avail.contains(global);
}

class FitTest : public testing::Test {
  protected:
    void SetUp() override {
        vtest::ResetSockets();
        window_ = std::make_unique<TableWindow>();
        window_->move(QApplication::primaryScreen()->availableGeometry().topLeft());
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        for (auto& peer : peers_.seat) peer.reset();
        window_.reset();
        vtest::ResetSockets();
        SetDealSeedSource(nullptr);
    }
    std::unique_ptr<TableWindow> window_;
    vtest::FullTable peers_;
};

TEST_F(FitTest, TheWholeTableOpensOnTheSmallScreenAndFollowsTheResizing) {
    const QRect avail = QApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(QApplication::primaryScreen()->devicePixelRatio(), 2.0);
    ASSERT_EQ(avail.size(), QSize(640, 450));
    TableFit* fit = window_->Fit();
    EXPECT_EQ(fit->SizeChoice(), TABLE_SIZE_FIT);
    EXPECT_TRUE(fit->ChoiceItem(TABLE_SIZE_FIT)->isChecked());
    // Designed larger than the screen: scaled down, in proportion.
    const QSize design = fit->DesignSize();
    ASSERT_GT(design.height() + 40, avail.height());
    EXPECT_LT(fit->Scale(), 1.0);
    EXPECT_LE(window_->frameGeometry().width(), avail.width());
    EXPECT_LE(window_->frameGeometry().height(), avail.height());
    for (int id : {IDC_PASS, IDC_PLAY, IDC_NEXT_ROUND, IDC_AWAY, IDC_CLEAR_CHAT, IDC_PLAYER_INFO}) {
        EXPECT_TRUE(OnScreen(window_->Button(id))) << id;
    }
    EXPECT_TRUE(OnScreen(window_->ChatInput()));
    EXPECT_TRUE(OnScreen(window_->ChatLogBox()));
    // Controls keep their places on the table: "Passer" below "Jouer cartes".
    const QRect pass = window_->Button(IDC_PASS)->geometry();
    const QRect play = window_->Button(IDC_PLAY)->geometry();
    EXPECT_EQ(pass.left(), play.left());
    EXPECT_GT(pass.top(), play.bottom());
    EXPECT_NEAR(window_->Board()->width(), design.width() * fit->Scale(), 1.0);
    EXPECT_NEAR(window_->Board()->height(), design.height() * fit->Scale(), 1.0);
    // The picture at this scale is the one drawn at twice the size.
    EXPECT_GT(window_->Board()->devicePixelRatioF() * fit->Scale(), 1.0);

    // A game: a raised card stays raised through a resize, and a click on
    // the scaled table raises the card drawn under it.
    ASSERT_EQ(StartNetwork(), 0);
    ASSERT_TRUE(vtest::HostFullTable(&peers_));
    window_->Board()->grab();
    const qreal before = fit->Scale();
    const QPoint onFirst(qRound((HAND_LEFT + 3) * before), qRound(300 * before));
    QTest::mouseClick(window_->Board(), Qt::LeftButton, Qt::NoModifier, onFirst);
    int placed[HAND_SIZE];
    ASSERT_GT(HandLayout(g_table->hands[1], placed), 0);
    EXPECT_NE(g_table->selection[placed[0]], 0);
    EXPECT_EQ(g_table->selection[placed[1]], 0);

    window_->resize(window_->width() / 2 + 40, window_->height() / 2 + 40);
    QCoreApplication::processEvents();
    EXPECT_LT(fit->Scale(), before);
    EXPECT_NE(g_table->selection[placed[0]], 0);
    // The smaller table shows the felt and the cards: the raised card's
    // corner is paper, the felt above it green.
    const QImage shown = window_->Board()->grab().toImage();
    const qreal s = fit->Scale();
    const QPoint corner(qRound((HAND_LEFT + 5) * s), qRound((HAND_TOP_SELECTED + 40) * s));
    EXPECT_GT(qGray(shown.pixel(corner * shown.devicePixelRatio())), 200);
    EXPECT_EQ(shown.pixel(QPoint(qRound(5 * s), qRound(250 * s)) * shown.devicePixelRatio()),
              qRgb(0, 128, 0));
}

TEST_F(FitTest, ChosenSizesAreRememberedAndStillFitTheScreen) {
    TableFit* fit = window_->Fit();
    const QRect avail = QApplication::primaryScreen()->availableGeometry();
    window_->Fit()->ChoiceItem(200)->trigger();
    EXPECT_EQ(fit->SizeChoice(), 200);
    EXPECT_EQ(LoadTableSize(), 200);
    EXPECT_LE(window_->frameGeometry().width(), avail.width());
    EXPECT_LE(window_->frameGeometry().height(), avail.height());
    EXPECT_LT(fit->Scale(), 1.0);

    // The next window opens with the remembered choice.
    window_.reset();
    TableWindow again;
    EXPECT_EQ(again.Fit()->SizeChoice(), 200);
    EXPECT_TRUE(again.Fit()->ChoiceItem(200)->isChecked());
    QSettings().setValue(QStringLiteral("options/tableSize"), 37);
    EXPECT_EQ(LoadTableSize(), TABLE_SIZE_FIT);
}

}  // namespace
