#include "table/hand_cursor.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

#include "net/seat_table.h"
#include "resources/resource_ids.h"
#include "rules/game_table.h"
#include "table/board_widget.h"
#include "table/table_accessibility.h"
#include "ui/card_image.h"
#include "ui/table_painter.h"

namespace {

// The cursor's frame: black, a bright blue band, black, so that it shows
// on the felt, on a white card and on a red one alike. Each band is in
// logical pixels and grows with the screen's scale.
constexpr int FRAME_OUTSET = 3;
const QColor FRAME_LIGHT(0, 170, 255);

// The held cards of the local player from the left, or 0 when no hand of the
// local player is shown.
int LocalHand(int placed[HAND_SIZE]) {
    if (g_table == nullptr || g_playerCount != SEAT_COUNT) return 0;
    if (g_localSeat < 1 || g_localSeat > SEAT_COUNT) return 0;
    return HandLayout(g_table->hands[g_localSeat], placed);
}

}  // namespace

HandCursor::HandCursor(BoardWidget* board) : QWidget(board) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::TabFocus);
    setGeometry(board->rect());
    board->installEventFilter(this);
    raise();
}

int HandCursor::Follow() const {
    int placed[HAND_SIZE];
    const int count = LocalHand(placed);
    if (count == 0) {
        slot_ = -1;
        return 0;
    }
    // The card under the cursor stays under it wherever it lies now; when it
    // has left the hand the cursor keeps its place, within the hand.
    const int* found = std::find(placed, placed + count, slot_);
    if (slot_ >= 0 && found != placed + count) {
        place_ = static_cast<int>(found - placed);
    } else {
        place_ = std::clamp(place_, 0, count - 1);
        slot_ = placed[place_];
    }
    return count;
}

int HandCursor::Place() const {
    return Follow() == 0 ? -1 : place_;
}

int HandCursor::Slot() const {
    return Follow() == 0 ? -1 : slot_;
}

void HandCursor::MoveTo(int place) {
    int placed[HAND_SIZE];
    const int count = LocalHand(placed);
    if (count == 0) return;
    const QRect before = FrameRect();
    place_ = std::clamp(place, 0, count - 1);
    slot_ = placed[place_];
    update(before);
    update(FrameRect());
    NotifyCursorMoved(this, place_);
    emit CursorChanged();
}

bool HandCursor::ToggleCard() {
    const int slot = Slot();
    if (slot < 0) return false;
    g_table->selection[slot] = static_cast<std::uint8_t>(~g_table->selection[slot]);
    // The painter rewrites the rectangle; a raised card's one covers both places.
    if (g_table->selection[slot] != 0) g_cardRects[slot].top = HAND_TOP_SELECTED;
    parentWidget()->update();
    NotifyCardToggled(this, place_);
    emit CursorChanged();
    return true;
}

QRect HandCursor::CardArea() const {
    int placed[HAND_SIZE];
    const int count = LocalHand(placed);
    if (Follow() == 0) return {};
    const int x = HAND_LEFT + HAND_STEP * place_;
    const int y = g_table->selection[slot_] != 0 ? HAND_TOP_SELECTED : HAND_TOP;
    // Each card but the last shows its strip only; the last shows all of it.
    const int width = place_ == count - 1 ? CardWidth() : HAND_STEP;
    return {x, y, width, CardHeight()};
}

QRect HandCursor::FrameRect() const {
    // The frame shows where the window's keys go, also while another
    // window is in front.
    if (window()->focusWidget() != this) return {};
    const QRect area = CardArea();
    if (area.isEmpty()) return {};
    return area.adjusted(-FRAME_OUTSET, -FRAME_OUTSET, FRAME_OUTSET, FRAME_OUTSET);
}

bool HandCursor::event(QEvent* event) {
    // Tab from the table goes to the chat field, not along the focus chain.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier) {
            if (onChat) onChat();
            return true;
        }
    }
    return QWidget::event(event);
}

bool HandCursor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize) {
            setGeometry(parentWidget()->rect());
        } else if (event->type() == QEvent::MouseButtonPress) {
            // A click on the table gives the table the keys again.
            setFocus(Qt::MouseFocusReason);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void HandCursor::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    const auto command = [this](int id) {
        if (onCommand) onCommand(id);
    };
    switch (event->key()) {
        case Qt::Key_Left:
            MoveTo(Place() - 1);
            break;
        case Qt::Key_Right:
            MoveTo(Place() + 1);
            break;
        case Qt::Key_Home:
            MoveTo(0);
            break;
        case Qt::Key_End:
            MoveTo(HAND_SIZE);
            break;
        case Qt::Key_Space:
            ToggleCard();
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            command(IDC_PLAY);
            break;
        case Qt::Key_P:
            command(IDC_PASS);
            break;
        case Qt::Key_N:
            command(IDC_NEXT_ROUND);
            break;
        case Qt::Key_A:
            command(IDC_AWAY);
            break;
        case Qt::Key_H:
            command(IDM_HINT);
            break;
        case Qt::Key_C:
            if (onChat) onChat();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void HandCursor::paintEvent(QPaintEvent*) {
    const QRect frame = FrameRect();
    if (frame.isEmpty()) return;
    QPainter painter(this);
    painter.setPen(Qt::NoPen);
    const qreal scale = static_cast<BoardWidget*>(parentWidget())->TableScale();
    painter.scale(scale, scale);
    const auto ring = [&painter](const QRect& outer, int width, const QColor& colour) {
        QRegion region(outer);
        region -= outer.adjusted(width, width, -width, -width);
        for (const QRect& r : region) painter.fillRect(r, colour);
    };
    ring(frame, 1, Qt::black);
    ring(frame.adjusted(1, 1, -1, -1), 2, FRAME_LIGHT);
    ring(frame.adjusted(3, 3, -3, -3), 1, Qt::black);
}

void HandCursor::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void HandCursor::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}
