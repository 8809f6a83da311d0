#include "table/table_fit.h"

#include <QAction>
#include <QActionGroup>
#include <QDialog>
#include <QEvent>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "table/aid_texts.h"
#include "table/board_widget.h"
#include "table/hand_cursor.h"
#include "table/settings.h"

namespace {

// The smallest the player may make the table.
constexpr qreal MIN_SCALE = 0.25;

int Scaled(int value, qreal scale) {
    return static_cast<int>(std::lround(value * scale));
}

}  // namespace

TableFit::TableFit(QDialog* window, BoardWidget* board, QLayout* layout, QMenu* options)
    : QObject(window),
      window_(window),
      board_(board),
      layout_(layout),
      design_(board->size()),
      choice_(LoadTableSize()) {
    for (QObject* child : board->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        // The hand cursor follows the board's size by itself.
        if (widget == nullptr || qobject_cast<HandCursor*>(widget) != nullptr) continue;
        controls_.push_back({widget, widget->geometry(), widget->font()});
    }
    layout_->activate();
    chrome_ = window_->sizeHint() - design_;
    window_->setWindowFlag(Qt::WindowMaximizeButtonHint);
    // The board takes every pixel the player gives the window.
    board_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    QMenu* sizes = options->addMenu(QString::fromUtf8(ITEM_TABLE_SIZE));
    items_ = new QActionGroup(this);
    for (int choice : {TABLE_SIZE_FIT, 100, 150, 200}) {
        const QString label = choice == TABLE_SIZE_FIT ? QString::fromUtf8(ITEM_FIT_SCREEN)
                                                       : QStringLiteral("%1 %").arg(choice);
        QAction* item = sizes->addAction(label);
        item->setCheckable(true);
        item->setChecked(choice == choice_);
        item->setData(choice);
        items_->addAction(item);
        connect(item, &QAction::triggered, this, [this, choice] { Choose(choice); });
    }

    board_->installEventFilter(this);
    window_->installEventFilter(this);
    FitWindow();
}

QAction* TableFit::ChoiceItem(int choice) const {
    for (QAction* item : items_->actions()) {
        if (item->data().toInt() == choice) return item;
    }
    return nullptr;
}

void TableFit::Choose(int choice) {
    choice_ = choice;
    if (QAction* item = ChoiceItem(choice)) item->setChecked(true);
    SaveTableSize(choice);
    FitWindow();
}

void TableFit::FitWindow() {
    // What the window system adds around the window: known once it is shown.
    QSize frame(0, 0);
    if (window_->isVisible()) frame = window_->frameGeometry().size() - window_->size();
    const QScreen* screen = window_->screen();
    qreal fit = 1.0;
    if (screen != nullptr) {
        const QSize room = screen->availableGeometry().size() - chrome_ - frame;
        fit = std::min(static_cast<qreal>(room.width()) / design_.width(),
                       static_cast<qreal>(room.height()) / design_.height());
    }
    const qreal wanted = choice_ == TABLE_SIZE_FIT ? 1.0 : choice_ / 100.0;
    const qreal scale = std::max(MIN_SCALE, std::min(wanted, fit));
    const QSize board(Scaled(design_.width(), scale), Scaled(design_.height(), scale));

    // The layout gives the window its size around a board of that size, then
    // lets the player resize it.
    layout_->setSizeConstraint(QLayout::SetFixedSize);
    board_->setFixedSize(board);
    layout_->activate();
    layout_->setSizeConstraint(QLayout::SetDefaultConstraint);
    board_->setMinimumSize(Scaled(design_.width(), MIN_SCALE), Scaled(design_.height(), MIN_SCALE));
    board_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window_->setMinimumSize(board_->minimumSize() + chrome_);
    window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window_->resize(board + chrome_);
    Apply(scale);
}

void TableFit::Apply(qreal scale) {
    if (scale == scale_ && board_->TableScale() == scale) return;
    scale_ = scale;
    for (const Control& control : controls_) {
        if (scale == 1.0) {
            control.widget->setGeometry(control.design);
            control.widget->setFont(control.font);
            continue;
        }
        const QRect& r = control.design;
        control.widget->setGeometry(Scaled(r.x(), scale), Scaled(r.y(), scale),
                                    Scaled(r.width(), scale), Scaled(r.height(), scale));
        QFont font = control.font;
        font.setPointSizeF(control.font.pointSizeF() * scale);
        control.widget->setFont(font);
    }
    board_->SetTableScale(scale, design_);
}

bool TableFit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == board_ && event->type() == QEvent::Resize) {
        // The largest scale at which the whole table shows on the board.
        const QSize size = board_->size();
        qreal scale = std::min(static_cast<qreal>(size.width()) / design_.width(),
                               static_cast<qreal>(size.height()) / design_.height());
        // A board of the designed size (or within a pixel of a chosen size)
        // keeps the table's pixels exact.
        if (size == design_) scale = 1.0;
        Apply(std::max(MIN_SCALE, scale));
    } else if (watched == window_ && event->type() == QEvent::Show && !shownOnce_) {
        shownOnce_ = true;
        // Now that the window system's frame is known, it must fit as well.
        const QScreen* screen = window_->screen();
        if (screen != nullptr) {
            const QRect avail = screen->availableGeometry();
            const QSize outer = window_->frameGeometry().size();
            if (outer.width() > avail.width() || outer.height() > avail.height()) FitWindow();
        }
    }
    return QObject::eventFilter(watched, event);
}
