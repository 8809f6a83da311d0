#include "net/table_view.h"

TableView* g_view = nullptr;
TableListener* g_hostComputer = nullptr;

void TellView(const TableEvent& event) {
    if (g_hostComputer != nullptr) g_hostComputer->OnTableEvent(event);
    if (g_view == nullptr) return;
    g_view->OnTableEvent(event);
    // A handled message changed nothing that its own events have not told.
    // The view may have been taken away by its own event (a front end that
    // leaves when the table closes).
    if (event.kind != TableEvent::Kind::kMessageHandled && g_view != nullptr) g_view->Repaint();
}

void TellSeatChanged(int seat) {
    TableEvent event;
    event.kind = TableEvent::Kind::kSeatChanged;
    event.seat = seat;
    TellView(event);
}

void TellTableChanged() {
    TellView(TableEvent{});
}
