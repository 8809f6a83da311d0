#include "table/table_marks.h"

#include <QFont>
#include <QPainter>
#include <QRegion>

#include "net/seat_table.h"
#include "table/window_texts.h"
#include "ui/table_painter.h"
#include "ui/wire_text.h"

namespace {

// The frame: two pixels of gold, one pixel of felt away from the cards.
constexpr int FRAME_GAP = 1;
constexpr int FRAME_WIDTH = 2;

QColor Gold() {
    return QColor(255, 204, 0);
}

// The seat whose latest play is the one to beat, or 0: the leader while its
// play is on the table (once the three others have passed, the lead is free
// and its play is gone), the winner once the round is over.
int MarkedSeat(const GameTable& table) {
    if (table.leader < 1 || table.leader > SEAT_COUNT) return 0;
    if (table.roundOver == 0 && table.tableCount == 0) return 0;
    return table.leader;
}

void PaintFrame(QPainter& painter, const QRect& cards) {
    const int out = FRAME_GAP + FRAME_WIDTH;
    QRegion frame(cards.adjusted(-out, -out, out, out));
    frame -= QRegion(cards.adjusted(-FRAME_GAP, -FRAME_GAP, FRAME_GAP, FRAME_GAP));
    for (const QRect& part : frame) painter.fillRect(part, Gold());
}

void PaintWinner(QPainter& painter, const GameTable& table) {
    const QRect box = RoundWinnerRect();
    painter.fillRect(box, Gold());
    painter.fillRect(box.adjusted(FRAME_WIDTH, FRAME_WIDTH, -FRAME_WIDTH, -FRAME_WIDTH),
                     QColor(0, 80, 0));
    QFont font = TableWindowFont();
    font.setBold(true);
    font.setPointSize(11);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QRect inner = box.adjusted(4, 6, -4, -4);
    painter.drawText(inner, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                     TextFromBytes(g_seats[table.leader].name, NAME_SIZE));
    painter.setFont(TableWindowFont());
    painter.setPen(Gold());
    painter.drawText(inner, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
                     QString::fromUtf8(ROUND_WON));
}

}  // namespace

QRect RoundWinnerRect() {
    return QRect(158, 184, 206, 52);
}

void PaintTableMarks(QPainter& painter, const QRect& client) {
    const int local = g_localSeat;
    if (g_playerCount != SEAT_COUNT || g_table == nullptr || local < 1 || local > SEAT_COUNT)
        return;
    const GameTable& table = *g_table;
    const int seat = MarkedSeat(table);
    if (seat == 0) return;

    painter.save();
    // Never over the local hand: a raised card stands where the frame of
    // the local play ends.
    QRegion clip = painter.hasClipping() ? painter.clipRegion() : QRegion(client);
    for (int slot = 0; slot < HAND_SIZE; ++slot) {
        if (table.hands[local][slot] == NO_CARD) continue;
        const CardRect& r = g_cardRects[slot];
        clip -= QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    painter.setClipRegion(clip);
    const QRect cards = LatestPlayRect(table, seat, client);
    if (!cards.isEmpty()) PaintFrame(painter, cards);
    if (table.roundOver != 0) PaintWinner(painter, table);
    painter.restore();
}
