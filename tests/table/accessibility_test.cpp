// The table through Qt's accessibility interfaces, as a screen reader sees
// it: every control named, the hand a list of the held cards named in French
// (", choisi" when raised), and the plays, passes and turns announced as
// alerts from the table. Offscreen, hosting against scripted peers.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "net/connect.h"
#include "net/seat_table.h"
#include "resources/resource_ids.h"
#include "table/board_widget.h"
#include "table/hand_cursor.h"
#include "table/player_aids.h"
#include "table/table_accessibility.h"
#include "table/table_window.h"
#include "tests/support/scripted_peer.h"
#include "tests/table/window_harness.h"
#include "ui/table_painter.h"

namespace {

// A card as a player says it, written out here rather than taken from the
// code under test.
QString Spoken(std::uint8_t card) {
    static const char* const ranks[] = {"As",   "Deux", "Trois", "Quatre", "Cinq", "Six", "Sept",
                                        "Huit", "Neuf", "Dix",   "Valet",  "Dame", "Roi"};
    static const char* const suits[] = {"carreau", "trèfle", "cœur", "pique"};
    return QString::fromUtf8(ranks[card % 13]) + QStringLiteral(" de ") +
           QString::fromUtf8(suits[card / 13]);
}

struct Heard {
    QAccessible::Event type;
    QObject* object;
    int child;
    QString text;  // an alert's description
};
std::vector<Heard> g_heard;

void Record(QAccessibleEvent* event) {
    QString text;
    if (event->type() == QAccessible::Alert && event->accessibleInterface() != nullptr)
        text = event->accessibleInterface()->text(QAccessible::Description);
    g_heard.push_back({event->type(), event->object(), event->child(), text});
}

// Every interface under `root`, depth first.
void Walk(QAccessibleInterface* root, const std::function<void(QAccessibleInterface*)>& visit) {
    visit(root);
    for (int i = 0; i < root->childCount(); ++i) {
        if (QAccessibleInterface* child = root->child(i)) Walk(child, visit);
    }
}

class Accessibility : public wtest::ShownWindowTest<> {
  protected:
    void SetUp() override {
        // Offscreen has no assistive technology for Qt to hand events to: the
        // table's observer hears what it sends.
        SetAccessibilityObserver(Record);
        g_heard.clear();
        ShownWindowTest::SetUp();
    }
    void TearDown() override {
        for (auto& peer : peers_.seat) peer.reset();
        ShownWindowTest::TearDown();
        SetAccessibilityObserver(nullptr);
    }
    std::vector<QString> Alerts() const {
        std::vector<QString> texts;
        for (const Heard& h : g_heard)
            if (h.type == QAccessible::Alert && h.object == window_->Board())
                texts.push_back(h.text);
        return texts;
    }

    vtest::FullTable peers_;
};

TEST_F(Accessibility, ControlsAreNamedAndTheHandIsAListOfCardsInFrench) {
    const std::uint32_t seed = vtest::SeedOpenedBy(2);
    SetDealSeedSource([seed] { return seed; });
    ASSERT_TRUE(vtest::HostFullTable(&peers_));

    // Every visible control a screen reader can reach has a name.
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window_.get());
    ASSERT_NE(root, nullptr);
    QAccessibleInterface* hand = nullptr;
    int controls = 0;
    Walk(root, [&](QAccessibleInterface* iface) {
        auto* widget = qobject_cast<QWidget*>(iface->object());
        if (widget != nullptr && !widget->isVisible()) return;
        const QAccessible::Role role = iface->role();
        if (role == QAccessible::PushButton || role == QAccessible::EditableText ||
            role == QAccessible::List || role == QAccessible::StatusBar) {
            ++controls;
            EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty()) << role;
        }
        if (iface->object() == window_->Aids()->Cursor()) hand = iface;
    });
    EXPECT_GE(controls, 9);  // six buttons, the log, the input, the hand
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(hand->role(), QAccessible::List);
    EXPECT_EQ(hand->text(QAccessible::Name), QStringLiteral("Votre main"));
    EXPECT_EQ(window_->ChatInput()->accessibleName(), QStringLiteral("Votre message"));

    // The held cards from the left, as they lie.
    int placed[HAND_SIZE];
    const int count = HandLayout(g_table->hands[1], placed);
    ASSERT_EQ(hand->childCount(), count);
    for (int place = 0; place < count; ++place) {
        QAccessibleInterface* card = hand->child(place);
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->role(), QAccessible::ListItem);
        EXPECT_EQ(card->text(QAccessible::Name), Spoken(g_table->hands[1][placed[place]]));
        EXPECT_EQ(card->parent(), hand);
        EXPECT_EQ(hand->indexOfChild(card), place);
    }

    // The cursor's card is the focused item; Space raises it: "choisi".
    HandCursor* cursor = window_->Aids()->Cursor();
    cursor->setFocus();
    g_heard.clear();
    QTest::keyClick(cursor, Qt::Key_Right);
    QTest::keyClick(cursor, Qt::Key_Space);
    QAccessibleInterface* second = hand->child(1);
    EXPECT_EQ(second->text(QAccessible::Name),
              Spoken(g_table->hands[1][placed[1]]) + QStringLiteral(", choisi"));
    EXPECT_TRUE(second->state().selected);
    EXPECT_FALSE(hand->child(0)->state().selected);
    bool focusHeard = false;
    bool selectionHeard = false;
    for (const Heard& h : g_heard) {
        focusHeard = focusHeard || (h.type == QAccessible::Focus && h.child == 1);
        selectionHeard = selectionHeard || (h.type == QAccessible::StateChanged && h.child == 1);
    }
    EXPECT_TRUE(focusHeard);
    EXPECT_TRUE(selectionHeard);
}

TEST_F(Accessibility, PlaysPassesAndTurnsAreAnnounced) {
    const std::uint32_t seed = vtest::SeedOpenedBy(2);
    SetDealSeedSource([seed] { return seed; });
    ASSERT_TRUE(vtest::HostFullTable(&peers_));
    ASSERT_FALSE(Alerts().empty());
    EXPECT_EQ(Alerts().back(), QStringLiteral("Au tour de Ali"));

    // Ali opens with the three of diamonds; Bob passes.
    g_heard.clear();
    const int opening = vtest::PositionOf(*g_table, 2, CARD_OPENING);
    ASSERT_TRUE(peers_.seat[2]->Send(vtest::PlayMsg(2, {opening})));
    ASSERT_TRUE(vtest::PumpUntil([] { return g_table->turn == 3; }));
    ASSERT_TRUE(peers_.seat[3]->Send(vtest::Msg({10, 3})));
    ASSERT_TRUE(vtest::PumpUntil([] { return g_table->turn == 4; }));
    EXPECT_EQ(Alerts(), (std::vector<QString>{
                            QStringLiteral("» Ali joue 3♦"), QStringLiteral("Au tour de Bob"),
                            QStringLiteral("» Bob passe"), QStringLiteral("Au tour de Cem")}));
    EXPECT_EQ(window_->Board()->accessibleDescription(), QStringLiteral("Au tour de Cem"));
}

}  // namespace
