#include "table/table_accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <array>

#include "net/seat_table.h"
#include "rules/game_table.h"
#include "table/aid_texts.h"
#include "table/board_widget.h"
#include "table/hand_cursor.h"
#include "ui/card_image.h"
#include "ui/table_painter.h"

namespace {

AccessibilityObserver& Observer() {
    static AccessibilityObserver observer;
    return observer;
}

bool Listened() {
    return QAccessible::isActive() || Observer() != nullptr;
}

void Send(QAccessibleEvent* event) {
    if (Observer()) Observer()(event);
    QAccessible::updateAccessibility(event);
}

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The held cards of the local player from the left (0 when none is shown).
int HeldCards(int placed[HAND_SIZE]) {
    if (g_table == nullptr || g_playerCount != SEAT_COUNT) return 0;
    if (g_localSeat < 1 || g_localSeat > SEAT_COUNT) return 0;
    return HandLayout(g_table->hands[g_localSeat], placed);
}

class HandAccessible;

// One held card: the card at place `place` of the hand as it lies now.
class CardAccessible : public QAccessibleInterface {
  public:
    CardAccessible(HandAccessible* hand, int place) : hand_(hand), place_(place) {}

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

  private:
    // The slot of the hand at this place, or -1.
    int Slot() const {
        int placed[HAND_SIZE];
        return place_ < HeldCards(placed) ? placed[place_] : -1;
    }

    HandAccessible* hand_;
    int place_;
};

// The hand: a list of the held cards.
class HandAccessible : public QAccessibleWidget {
  public:
    explicit HandAccessible(HandCursor* cursor)
        : QAccessibleWidget(cursor, QAccessible::List, Text(NAME_HAND)) {}
    ~HandAccessible() override {
        for (QAccessible::Id id : ids_) {
            if (id != 0) QAccessible::deleteAccessibleInterface(id);
        }
    }

    HandCursor* Cursor() const { return static_cast<HandCursor*>(widget()); }

    int childCount() const override {
        int placed[HAND_SIZE];
        return HeldCards(placed);
    }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        auto& id = ids_[static_cast<std::size_t>(index)];
        if (id == 0) {
            id = QAccessible::registerAccessibleInterface(
                new CardAccessible(const_cast<HandAccessible*>(this), index));
        }
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < HAND_SIZE; ++i) {
            if (ids_[static_cast<std::size_t>(i)] != 0 &&
                QAccessible::accessibleInterface(ids_[static_cast<std::size_t>(i)]) == child)
                return i;
        }
        return -1;
    }
    QAccessibleInterface* focusChild() const override {
        if (!Cursor()->hasFocus()) return nullptr;
        return child(Cursor()->Place());
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return Text(NAME_HAND);
        return QAccessibleWidget::text(t);
    }

  private:
    mutable std::array<QAccessible::Id, HAND_SIZE> ids_{};
};

bool CardAccessible::isValid() const {
    return hand_->isValid() && Slot() >= 0;
}

QWindow* CardAccessible::window() const {
    return hand_->window();
}

QAccessibleInterface* CardAccessible::parent() const {
    return hand_;
}

QString CardAccessible::text(QAccessible::Text t) const {
    if (t != QAccessible::Name) return {};
    const int slot = Slot();
    if (slot < 0) return {};
    QString name = CardName(g_table->hands[g_localSeat][slot]);
    if (g_table->selection[slot] != 0) name += QStringLiteral(", ") + Text(CARD_CHOSEN);
    return name;
}

QRect CardAccessible::rect() const {
    const int slot = Slot();
    if (slot < 0) return {};
    HandCursor* cursor = hand_->Cursor();
    auto* board = static_cast<BoardWidget*>(cursor->parentWidget());
    int placed[HAND_SIZE];
    const int count = HeldCards(placed);
    const int y = g_table->selection[slot] != 0 ? HAND_TOP_SELECTED : HAND_TOP;
    const int width = place_ == count - 1 ? CardWidth() : HAND_STEP;
    const QRect table(HAND_LEFT + HAND_STEP * place_, y, width, CardHeight());
    const QRect shown = board->BoardRect(table);
    return QRect(board->mapToGlobal(shown.topLeft()), shown.size());
}

QAccessible::State CardAccessible::state() const {
    QAccessible::State state;
    state.selectable = true;
    state.focusable = true;
    const int slot = Slot();
    if (slot < 0) {
        state.invalid = true;
        return state;
    }
    state.selected = g_table->selection[slot] != 0;
    state.focused = hand_->Cursor()->hasFocus() && hand_->Cursor()->Place() == place_;
    return state;
}

QAccessibleInterface* TableFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("HandCursor") && object != nullptr && object->isWidgetType())
        return new HandAccessible(static_cast<HandCursor*>(object));
    return nullptr;
}

}  // namespace

void InstallTableAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(TableFactory);
}

QString CardName(std::uint8_t card) {
    if (card >= DECK_SIZE) return {};
    return Text(CARD_RANK_NAMES[card % 13]) + QLatin1Char(' ') + Text(CARD_OF) + QLatin1Char(' ') +
           Text(CARD_SUIT_NAMES[card / 13]);
}

void NotifyCursorMoved(HandCursor* cursor, int place) {
    if (!Listened() || place < 0) return;
    QAccessibleEvent focus(cursor, QAccessible::Focus);
    focus.setChild(place);
    Send(&focus);
}

void NotifyCardToggled(HandCursor* cursor, int place) {
    if (!Listened() || place < 0) return;
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent state(cursor, changed);
    state.setChild(place);
    Send(&state);
    QAccessibleEvent name(cursor, QAccessible::NameChanged);
    name.setChild(place);
    Send(&name);
}

void Announce(QWidget* source, const QString& text) {
    if (text.isEmpty()) return;
    source->setAccessibleDescription(text);
    if (!Listened()) return;
    QAccessibleEvent alert(source, QAccessible::Alert);
    Send(&alert);
}

void SetAccessibilityObserver(AccessibilityObserver observer) {
    Observer() = std::move(observer);
}
