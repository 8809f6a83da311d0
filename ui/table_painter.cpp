#include "ui/table_painter.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QStaticText>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <utility>

#include "net/relay.h"
#include "net/seat_table.h"
#include "resources/resource_ids.h"
#include "ui/card_image.h"
#include "ui/wire_text.h"

CardRect g_cardRects[HAND_SIZE];

namespace {

bool g_handByStrength = false;
bool g_allHandsFaceUp = false;

// The latest plays: their cards 15 pixels apart from x = area + 10, at y = 70
// for the other seats and y = 170 for the local one.
constexpr int PLAY_STEP = 15;
constexpr int PLAY_LEFT = 10;
constexpr int OTHER_PLAY_TOP = 70;
constexpr int LOCAL_PLAY_TOP = 170;

// A text whose top-left corner is at (x, y): its baseline at y plus the
// font's ascent in whole pixels.
//
// The table's texts change rarely (wins, money, the round), so at 100 % each
// is laid out once per font and kept (QStaticText): a paint then only draws
// the glyphs, which is most of what a text costs. The glyphs fall on the
// pixels a plain drawText gives them. Scaled, where the two may differ by a
// shade at a glyph's edge, the text is drawn plainly.
void DrawTextAt(QPainter& painter, int x, int y, const QString& text) {
    if (painter.deviceTransform().type() > QTransform::TxTranslate) {
        painter.drawText(x, y + painter.fontMetrics().ascent(), text);
        return;
    }
    struct Laid {
        QStaticText text;
        qreal top = 0;  // from the whole-pixel baseline up to the layout's top
    };
    // Kept for the program's life, never destroyed after the application.
    static auto* laidOut = new QHash<std::pair<QFont, QString>, Laid>;
    const QFont& font = painter.font();
    auto it = laidOut->find({font, text});
    if (it == laidOut->end()) {
        // The texts that change (money, the countdown) must not pile up.
        if (laidOut->size() >= 256) laidOut->clear();
        Laid laid;
        laid.text.setText(text);
        laid.text.setTextFormat(Qt::PlainText);
        laid.text.prepare(QTransform(), font);
        laid.top = QFontMetrics(font).ascent() - QFontMetricsF(font).ascent();
        it = laidOut->insert({font, text}, laid);
    }
    painter.drawStaticText(QPointF(x, y + it->top), it->text);
}

// The other seats' held cards: backs (or, at the round's end, the cards) 10
// pixels apart from x = area + 50, at y = 15.
constexpr int HELD_LEFT = 50;
constexpr int HELD_STEP = 10;
constexpr int HELD_TOP = 15;
// Where a seat's payment is written at the round's end: under its money.
constexpr int PAID_LEFT = 5;
constexpr int PAID_TOP = 62;

// The gold of the marks that call for attention (one card left, a payment).
QColor AttentionColor() {
    return QColor(255, 204, 0);
}

int SmallBackWidth() {
    const CardImage* back = CardSlot(CARD_BACK_SMALL);
    if (back != nullptr && !back->IsNull()) return back->Width();
    return 35;
}

// The number of cards a seat holds, just right of its backs whose right edge
// is `right`; with one card left it stands out, black on gold.
void PaintHeldCount(QPainter& painter, int held, int right) {
    const QString text = QString::number(held);
    QFont font = painter.font();
    font.setBold(true);
    painter.save();
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const QRect box(right + 3, HELD_TOP + 14, metrics.horizontalAdvance(text) + 8,
                    metrics.height() + 2);
    if (held == 1) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(AttentionColor());
        painter.drawRoundedRect(box, 3, 3);
        painter.setPen(Qt::black);
    } else {
        painter.setPen(Qt::white);
    }
    painter.drawText(box, Qt::AlignCenter, text);
    painter.restore();
}

// At the round's end, what the seat paid ("−3") or, for the winner, what it
// took ("+9"), under its money.
void PaintRoundResult(QPainter& painter, const GameTable& table, int seat, int left) {
    if (table.roundsPlayed < 1 || table.history == nullptr) return;
    const RoundResult& result = table.history[table.roundsPlayed - 1];
    int amount = -static_cast<int>(result.charged[seat]);
    if (seat == table.leader) {
        amount = 0;
        for (int s = 1; s <= SEAT_COUNT; ++s) amount += result.charged[s];
    }
    QFont font = painter.font();
    font.setBold(true);
    painter.save();
    painter.setFont(font);
    painter.setPen(AttentionColor());
    const QString text =
        amount > 0 ? QStringLiteral("+%1").arg(amount) : QStringLiteral("\u2212%1").arg(-amount);
    DrawTextAt(painter, left + PAID_LEFT, PAID_TOP, text);
    painter.restore();
}

// The left edge of the area of the other seat `seat` (the seat after the
// local one sits in the left third, the one before it in the right third).
int AreaLeft(int seat, int local, const QRect& client) {
    const int area = (seat - local + SEAT_COUNT) % SEAT_COUNT - 1;
    return area * (client.width() / 3);
}

// The waiting screen: the four suits in rows, ace to king, each card over its
// left neighbour and each row over the one above, and the title beside them.
void PaintWaitingScreen(QPainter& painter) {
    DrawDeckRows(painter, 30, 30, 15, 80);
    if (g_titleImage != nullptr) g_titleImage->Draw(painter, 415, 40);
}

void DrawImage(QPainter& painter, const CardImage* image, int x, int y) {
    if (image != nullptr) image->Draw(painter, x, y);
}

// One of the three other seats, in the area whose left edge is `left`.
void PaintOtherSeat(QPainter& painter, const GameTable& table, int seat, int left, int areaWidth) {
    // The seat's turn or pass marker, while the round runs: over the held
    // cards (the backs end above it, a replay's taller faces would hide it)
    // and under the latest play.
    const bool roundEnd = table.roundOver != 0;
    const bool faceUp = roundEnd || g_allHandsFaceUp;
    const auto paintMarker = [&] {
        if (roundEnd) return;
        if (table.turn == seat)
            DrawImage(painter, g_turnOtherImage, left + 90, 70);
        else if (table.passed[seat] != 0)
            DrawImage(painter, g_passImage, left + 90, 70);
    };
    if (!faceUp) paintMarker();

    painter.setPen(Qt::white);
    const QString name = TextFromBytes(g_seats[seat].name, NAME_SIZE);
    painter.drawText(QRect(left, 2, areaWidth, 98),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, name);
    if (g_away[seat] != 0) DrawImage(painter, g_awayImage, left, 5);
    DrawTextAt(painter, left + 2, 32, QStringLiteral("W: %1").arg(table.wins[seat]));
    DrawTextAt(painter, left + 5, 47, QStringLiteral("$: %1").arg(table.money[seat]));
    painter.setPen(Qt::black);

    // While the round runs, a back per card held; from its end until the next
    // deal, and in a replay, the cards themselves in the same places, kept
    // inside the seat's area (the latest play is drawn over their lower part).
    if (faceUp) {
        painter.save();
        painter.setClipRect(QRect(left, 0, areaWidth, OTHER_PLAY_TOP + CardHeight()),
                            Qt::IntersectClip);
    }
    int held = 0;
    for (int slot = 0; slot < HAND_SIZE; ++slot) {
        const std::uint8_t card = table.hands[seat][slot];
        if (card == NO_CARD) continue;
        DrawCard(painter, faceUp ? card : CARD_BACK_SMALL, left + HELD_LEFT + HELD_STEP * held,
                 HELD_TOP);
        ++held;
    }
    if (faceUp) {
        painter.restore();
        paintMarker();
    }
    int shown = 0;
    for (int place = 0; place < PLAY_SIZE; ++place) {
        const std::uint8_t card = table.lastPlays[seat][place];
        if (card == NO_CARD) continue;
        DrawCard(painter, card, left + PLAY_LEFT + PLAY_STEP * shown, OTHER_PLAY_TOP);
        ++shown;
    }

    if (roundEnd) {
        PaintRoundResult(painter, table, seat, left);
    } else if (held > 0) {
        PaintHeldCount(painter, held, left + HELD_LEFT + HELD_STEP * (held - 1) + SmallBackWidth());
    }
}

// The host's turn limit, over its last TURN_COUNTDOWN_MS: the seconds left,
// beside the turn marker of the seat whose move it waits for.
void PaintTurnCountdown(QPainter& painter, int local, const QRect& client) {
    int msLeft = 0;
    const int seat = TurnLimitSeat(&msLeft);
    if (seat == 0 || msLeft > TURN_COUNTDOWN_MS) return;
    const int seconds = (msLeft + 999) / 1000;
    const QPoint at =
        seat == local ? QPoint(140, 245) : QPoint(AreaLeft(seat, local, client) + 125, 80);
    QFont font = painter.font();
    font.setBold(true);
    painter.save();
    painter.setFont(font);
    painter.setPen(QColor(255, 200, 0));
    DrawTextAt(painter, at.x(), at.y(), QStringLiteral("%1 s").arg(seconds));
    painter.restore();
}

// The local hand, drawn from the left so that each card lies over its left
// neighbour. The pictures are opaque, so drawing over is the same as
// clipping each card out of the ones before it, and much cheaper.
void PaintLocalHand(QPainter& painter, const GameTable& table, int local) {
    const std::uint8_t* hand = table.hands[local];
    const int width = CardWidth();
    const int height = CardHeight();
    int placed[HAND_SIZE];
    const int count = HandLayout(hand, placed);
    for (int place = 0; place < count; ++place) {
        const int slot = placed[place];
        const int x = HAND_LEFT + HAND_STEP * place;
        const int y = table.selection[slot] != 0 ? HAND_TOP_SELECTED : HAND_TOP;
        DrawCard(painter, hand[slot], x, y);
        g_cardRects[slot] = {x, y, x + width, HAND_TOP + height};
    }
}

}  // namespace

void SetHandByStrength(bool byStrength) {
    g_handByStrength = byStrength;
}

bool HandByStrength() {
    return g_handByStrength;
}

void SetAllHandsFaceUp(bool faceUp) {
    g_allHandsFaceUp = faceUp;
}

bool AllHandsFaceUp() {
    return g_allHandsFaceUp;
}

int HandLayout(const std::uint8_t* hand, int placed[HAND_SIZE]) {
    int count = 0;
    for (int slot = 0; slot < HAND_SIZE; ++slot) {
        if (hand[slot] != NO_CARD) placed[count++] = slot;
    }
    if (g_handByStrength) {
        std::stable_sort(placed, placed + count, [hand](int a, int b) {
            return GameTable::PlayValue(hand[a]) < GameTable::PlayValue(hand[b]);
        });
    }
    return count;
}

QRect LatestPlayRect(const GameTable& table, int seat, const QRect& client) {
    const int local = g_localSeat;
    if (g_playerCount != SEAT_COUNT || local < 1 || local > SEAT_COUNT || seat < 1 ||
        seat > SEAT_COUNT)
        return {};
    const int shown = GameTable::CountCards(table.lastPlays[seat], PLAY_SIZE);
    if (shown == 0) return {};
    const QSize size(PLAY_STEP * (shown - 1) + CardWidth(), CardHeight());
    if (seat == local) return QRect(QPoint(PLAY_LEFT, LOCAL_PLAY_TOP), size);
    return QRect(QPoint(AreaLeft(seat, local, client) + PLAY_LEFT, OTHER_PLAY_TOP), size);
}

QFont TableWindowFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(9);
    return font;
}

void PaintTable(QPainter& painter, const QRect& client) {
    const int local = g_localSeat;
    if (g_playerCount != SEAT_COUNT || g_table == nullptr || local < 1 || local > SEAT_COUNT) {
        // A table of four whose local seat is not known yet has no own hand
        // to show: it keeps the waiting screen.
        PaintWaitingScreen(painter);
        return;
    }
    const GameTable& table = *g_table;
    FreeDeckRows();

    painter.save();
    painter.setFont(TableWindowFont());
    painter.setBackgroundMode(Qt::TransparentMode);
    const int areaWidth = client.width() / 3;

    // The seat after the local one sits in the left third, the one before it
    // in the right third.
    int seat = local;
    for (int area = 0; area < 3; ++area) {
        seat = seat % SEAT_COUNT + 1;
        PaintOtherSeat(painter, table, seat, area * areaWidth, areaWidth);
    }

    PaintTurnCountdown(painter, local, client);
    if (table.roundOver == 0) {
        if (table.turn == local)
            DrawImage(painter, g_turnLocalImage, 100, 230);
        else if (table.passed[local] != 0)
            DrawImage(painter, g_passImage, 100, 230);
    }
    painter.setPen(Qt::white);
    // The number stays the same from the start of a round until the next deal.
    const int round = table.roundOver == 0 ? table.roundsPlayed + 1 : table.roundsPlayed;
    DrawTextAt(painter, 380, 200, QStringLiteral("Current Round: %1").arg(round));
    if (g_away[local] != 0) DrawImage(painter, g_awayImage, 270, 325);
    DrawTextAt(painter, 270, 350, QStringLiteral("W: %1").arg(table.wins[local]));
    DrawTextAt(painter, 272, 365, QStringLiteral("$: %1").arg(table.money[local]));
    painter.setPen(Qt::black);

    int shown = 0;
    for (int place = 0; place < PLAY_SIZE; ++place) {
        const std::uint8_t card = table.lastPlays[local][place];
        if (card == NO_CARD) continue;
        DrawCard(painter, card, PLAY_LEFT + PLAY_STEP * shown, LOCAL_PLAY_TOP);
        ++shown;
    }

    PaintLocalHand(painter, table, local);
    painter.restore();
}

void PaintBoard(QPainter& painter, const QRect& client) {
    painter.fillRect(client, FeltColor());
    PaintTable(painter, client);
}
