#include "table/game_history.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "net/relay.h"
#include "net/seat_table.h"
#include "table/window_texts.h"
#include "ui/table_painter.h"
#include "ui/wire_text.h"

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString SignedAmount(int amount) {
    if (amount > 0) return QStringLiteral("+%1").arg(amount);
    if (amount < 0) return QStringLiteral("\u2212%1").arg(-amount);
    return QStringLiteral("0");
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment = Qt::AlignRight) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// A round step of the chart's scale: 1, 2 or 5 times a power of ten, so that
// about `lines` lines cover `span`.
int ScaleStep(int span, int lines) {
    const double raw = std::max(1.0, static_cast<double>(span) / lines);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= raw) return std::max(1, static_cast<int>(factor * power));
    }
    return static_cast<int>(10 * power);
}

constexpr int HISTORY_COLUMNS = 2 + 2 * SEAT_COUNT;

}  // namespace

GameRecord RecordOfLiveGame() {
    GameRecord record;
    if (g_table != nullptr) record.table = *g_table;
    for (int seat = 1; seat <= SEAT_COUNT; ++seat)
        record.names[seat] = TextFromBytes(g_seats[seat].name, NAME_SIZE);
    return record;
}

std::vector<HistoryRow> HistoryRows(const GameTable& table) {
    std::vector<HistoryRow> rows;
    if (table.history == nullptr) return rows;
    rows.reserve(static_cast<std::size_t>(std::max(0, table.roundsPlayed)));
    int money[SEAT_COUNT + 1];
    for (int& m : money) m = START_MONEY;
    for (int round = 0; round < table.roundsPlayed; ++round) {
        const RoundResult& result = table.history[round];
        HistoryRow row;
        row.number = round + 1;
        int total = 0;
        for (int seat = 1; seat <= SEAT_COUNT; ++seat) {
            row.paid[seat] = result.charged[seat];
            total += result.charged[seat];
            // Every seat but the winner holds a card, so pays at least one.
            if (result.charged[seat] == 0 && row.winner == 0) row.winner = seat;
        }
        for (int seat = 1; seat <= SEAT_COUNT; ++seat) {
            money[seat] += seat == row.winner ? total : -row.paid[seat];
            row.moneyAfter[seat] = money[seat];
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<Standing> Standings(const GameTable& table) {
    std::vector<Standing> places;
    for (int seat = 1; seat <= SEAT_COUNT; ++seat)
        places.push_back({seat, table.money[seat], table.wins[seat]});
    std::stable_sort(places.begin(), places.end(), [](const Standing& a, const Standing& b) {
        if (a.money != b.money) return a.money > b.money;
        return a.wins > b.wins;
    });
    return places;
}

QColor SeatColor(int seat) {
    static const QColor colors[SEAT_COUNT + 1] = {QColor(Qt::black), QColor(31, 119, 180),
                                                  QColor(214, 39, 40), QColor(44, 160, 44),
                                                  QColor(255, 127, 14)};
    return seat >= 1 && seat <= SEAT_COUNT ? colors[seat] : colors[0];
}

void PaintMoneyChart(QPainter& painter, const QRect& area, const GameRecord& record) {
    painter.save();
    painter.fillRect(area, Qt::white);
    painter.setFont(TableWindowFont());
    const QFontMetrics metrics = painter.fontMetrics();
    const GameTable& table = record.table;
    const int rounds = std::max(0, table.history != nullptr ? table.roundsPlayed : 0);

    // The money of each seat after each round, round 0 being the start.
    std::vector<int> money[SEAT_COUNT + 1];
    int low = START_MONEY;
    int high = START_MONEY;
    for (int seat = 1; seat <= SEAT_COUNT; ++seat) money[seat].push_back(START_MONEY);
    for (const HistoryRow& row : HistoryRows(table)) {
        for (int seat = 1; seat <= SEAT_COUNT; ++seat) {
            money[seat].push_back(row.moneyAfter[seat]);
            low = std::min(low, row.moneyAfter[seat]);
            high = std::max(high, row.moneyAfter[seat]);
        }
    }
    // The scale: round steps around every value, 0 always in view.
    low = std::min(low, 0);
    const int step = ScaleStep(std::max(1, high - low), 6);
    low = static_cast<int>(std::floor(static_cast<double>(low) / step)) * step;
    high = static_cast<int>(std::ceil(static_cast<double>(high) / step)) * step;
    if (high == low) high = low + step;

    // The legend on top, the scale's numbers on the left.
    const int legendHeight = metrics.height() + 6;
    const int labelWidth = metrics.horizontalAdvance(QStringLiteral("\u2212000")) + 8;
    const QRect plot(area.left() + labelWidth, area.top() + legendHeight + 4,
                     std::max(10, area.width() - labelWidth - 12),
                     std::max(10, area.height() - legendHeight - metrics.height() - 14));
    const auto xOf = [&](int round) {
        return plot.left() +
               (rounds == 0 ? 0.0 : plot.width() * static_cast<double>(round) / rounds);
    };
    const auto yOf = [&](int value) {
        return plot.bottom() - plot.height() * static_cast<double>(value - low) / (high - low);
    };

    int x = area.left() + labelWidth;
    for (int seat = 1; seat <= SEAT_COUNT; ++seat) {
        painter.fillRect(QRect(x, area.top() + 4 + metrics.height() / 2 - 2, 14, 4),
                         SeatColor(seat));
        x += 18;
        const QString name =
            record.names[seat].isEmpty() ? QString::number(seat) : record.names[seat];
        painter.setPen(Qt::black);
        painter.drawText(x, area.top() + 4 + metrics.ascent(), name);
        x += metrics.horizontalAdvance(name) + 14;
    }

    for (int value = low; value <= high; value += step) {
        const int y = static_cast<int>(std::lround(yOf(value)));
        painter.setPen(value == 0 ? QPen(Qt::black, 1) : QPen(QColor(220, 220, 220), 1));
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(Qt::black);
        const QString label =
            value < 0 ? QStringLiteral("\u2212%1").arg(-value) : QString::number(value);
        painter.drawText(
            QRect(area.left(), y - metrics.height() / 2, labelWidth - 4, metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, label);
    }
    painter.setPen(Qt::black);
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    const QString last = QString::number(rounds);
    painter.drawText(QRect(plot.right() - 60, plot.bottom() + 4, 60, metrics.height()),
                     Qt::AlignRight, last);
    painter.drawText(QRect(plot.left(), plot.bottom() + 4, 60, metrics.height()), Qt::AlignLeft,
                     QStringLiteral("0"));

    // More rounds than pixels: each pixel column keeps the lowest and the
    // highest money of its rounds, which draws the same line at a fraction of
    // the points; then the line needs no smoothing.
    const bool dense = rounds > plot.width();
    painter.setRenderHint(QPainter::Antialiasing, !dense);
    for (int seat = 1; seat <= SEAT_COUNT; ++seat) {
        const std::vector<int>& values = money[seat];
        QPolygonF line;
        line.reserve(dense ? 2 * plot.width() + 2 : rounds + 1);
        line << QPointF(xOf(0), yOf(values[0]));
        if (dense) {
            int round = 1;
            for (int column = 1; column <= plot.width() && round <= rounds; ++column) {
                const int upTo = std::min(rounds, static_cast<int>(static_cast<long long>(rounds) *
                                                                   column / plot.width()));
                if (upTo < round) continue;
                int lowest = values[static_cast<std::size_t>(round)];
                int highest = lowest;
                for (; round <= upTo; ++round) {
                    lowest = std::min(lowest, values[static_cast<std::size_t>(round)]);
                    highest = std::max(highest, values[static_cast<std::size_t>(round)]);
                }
                const double columnX = plot.left() + column;
                line << QPointF(columnX, yOf(highest)) << QPointF(columnX, yOf(lowest));
            }
        } else {
            for (int round = 1; round <= rounds; ++round)
                line << QPointF(xOf(round), yOf(values[static_cast<std::size_t>(round)]));
        }
        painter.setPen(QPen(SeatColor(seat), 2));
        painter.drawPolyline(line);
    }
    painter.restore();
}

MoneyChart::MoneyChart(QWidget* parent) : QWidget(parent) {
    setMinimumSize(420, 220);
}

void MoneyChart::SetRecord(const GameRecord* record) {
    record_ = record;
    update();
}

void MoneyChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (record_ != nullptr) PaintMoneyChart(painter, rect(), *record_);
}

HistoryWindow::HistoryWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setWindowTitle(Text(HISTORY_TITLE));
    setFont(TableWindowFont());
    auto* layout = new QVBoxLayout(this);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    rounds_ = new QTableWidget(0, HISTORY_COLUMNS, splitter);
    rounds_->verticalHeader()->hide();
    rounds_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 6);
    rounds_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rounds_->setSelectionBehavior(QAbstractItemView::SelectRows);
    chart_ = new MoneyChart(splitter);
    chart_->SetRecord(&record_);
    splitter->addWidget(rounds_);
    splitter->addWidget(chart_);
    layout->addWidget(splitter);
    resize(820, 600);
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::FollowLiveGame() {
    live_ = true;
    setWindowTitle(Text(HISTORY_TITLE));
    record_ = RecordOfLiveGame();
    Show();
}

void HistoryWindow::ShowEndedGame(const GameRecord& record) {
    live_ = false;
    setWindowTitle(Text(HISTORY_ENDED_TITLE));
    record_ = record;
    Show();
}

void HistoryWindow::LiveGameChanged() {
    if (!live_ || !isVisible()) return;
    record_ = RecordOfLiveGame();
    Show();
}

void HistoryWindow::Show() {
    QStringList headers{Text(HISTORY_ROUND), Text(HISTORY_WINNER)};
    for (int seat = 1; seat <= SEAT_COUNT; ++seat)
        headers << Text(HISTORY_PAID).arg(record_.names[seat]);
    for (int seat = 1; seat <= SEAT_COUNT; ++seat)
        headers << Text(HISTORY_MONEY).arg(record_.names[seat]);
    rounds_->setHorizontalHeaderLabels(headers);

    const std::vector<HistoryRow> rows = HistoryRows(record_.table);
    const int count = static_cast<int>(rows.size());
    // Rows already shown for this game stay; a new game starts the table anew.
    int kept = rounds_->rowCount();
    if (kept > count) kept = 0;
    rounds_->setUpdatesEnabled(false);
    rounds_->setRowCount(count);
    for (int r = kept; r < count; ++r) {
        const HistoryRow& row = rows[static_cast<std::size_t>(r)];
        rounds_->setItem(r, 0, Cell(QString::number(row.number)));
        rounds_->setItem(r, 1, Cell(record_.names[row.winner], Qt::AlignLeft));
        for (int seat = 1; seat <= SEAT_COUNT; ++seat) {
            rounds_->setItem(r, 1 + seat,
                             Cell(seat == row.winner ? QStringLiteral("\u2013")
                                                     : SignedAmount(-row.paid[seat])));
            rounds_->setItem(r, 1 + SEAT_COUNT + seat, Cell(QString::number(row.moneyAfter[seat])));
        }
    }
    // The winners' names follow a seat's new player.
    for (int r = 0; r < kept; ++r)
        rounds_->item(r, 1)->setText(record_.names[rows[static_cast<std::size_t>(r)].winner]);
    rounds_->setUpdatesEnabled(true);
    if (count > kept) rounds_->scrollToBottom();
    chart_->update();
    if (!isVisible()) {
        rounds_->resizeColumnsToContents();
        show();
    }
}

StandingsDialog::StandingsDialog(QWidget* owner, std::function<void(const GameRecord&)> openHistory,
                                 std::function<void()> startNewGame)
    : QDialog(owner), openHistory_(std::move(openHistory)), startNewGame_(std::move(startNewGame)) {
    setWindowTitle(Text(STANDINGS_TITLE));
    setModal(false);
    setFont(TableWindowFont());
    auto* layout = new QVBoxLayout(this);
    winner_ = new QLabel(this);
    QFont big = font();
    big.setPointSize(12);
    big.setBold(true);
    winner_->setFont(big);
    layout->addWidget(winner_);
    places_ = new QTableWidget(SEAT_COUNT, 4, this);
    places_->setHorizontalHeaderLabels({Text(STANDINGS_PLACE), Text(STANDINGS_PLAYER),
                                        Text(STANDINGS_MONEY), Text(STANDINGS_WINS)});
    places_->verticalHeader()->hide();
    places_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    places_->horizontalHeader()->setStretchLastSection(true);
    places_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    places_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    places_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    places_->setSelectionMode(QAbstractItemView::NoSelection);
    places_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(places_);
    countdown_ = new QLabel(this);
    layout->addWidget(countdown_);
    auto* buttons = new QHBoxLayout;
    history_ = new QPushButton(Text(STANDINGS_HISTORY), this);
    newGame_ = new QPushButton(Text(STANDINGS_NEW_GAME), this);
    auto* close = new QPushButton(Text(STANDINGS_CLOSE), this);
    buttons->addWidget(history_);
    buttons->addStretch(1);
    buttons->addWidget(newGame_);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(history_, &QPushButton::clicked, this, [this] {
        if (openHistory_) openHistory_(record_);
    });
    connect(newGame_, &QPushButton::clicked, this, [this] {
        if (startNewGame_) startNewGame_();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    ticker_ = new QTimer(this);
    ticker_->setInterval(500);
    connect(ticker_, &QTimer::timeout, this, &StandingsDialog::Tick);
}

StandingsDialog::~StandingsDialog() = default;

void StandingsDialog::ShowGame(const GameRecord& record, bool hostWaits) {
    record_ = record;
    const std::vector<Standing> places = Standings(record_.table);
    for (int place = 0; place < SEAT_COUNT; ++place) {
        const Standing& standing = places[static_cast<std::size_t>(place)];
        // Seats level on money and wins share their place.
        int shown = place + 1;
        for (int before = place - 1; before >= 0; --before) {
            const Standing& other = places[static_cast<std::size_t>(before)];
            if (other.money != standing.money || other.wins != standing.wins) break;
            shown = before + 1;
        }
        places_->setItem(place, 0, Cell(QString::number(shown)));
        auto* name = Cell(record_.names[standing.seat], Qt::AlignLeft);
        name->setForeground(SeatColor(standing.seat));
        places_->setItem(place, 1, name);
        places_->setItem(place, 2, Cell(QString::number(standing.money)));
        places_->setItem(place, 3, Cell(QString::number(standing.wins)));
    }
    // The whole table in view, no scrolling.
    int width = 2 * places_->frameWidth();
    for (int column = 0; column < places_->columnCount(); ++column)
        width += places_->horizontalHeader()->sectionSize(column);
    int height = 2 * places_->frameWidth() + places_->horizontalHeader()->height();
    for (int row = 0; row < SEAT_COUNT; ++row) height += places_->rowHeight(row);
    places_->setMinimumSize(width + 40, height);
    places_->setMaximumHeight(height);
    QStringList leaders;
    for (const Standing& standing : places) {
        if (standing.money == places.front().money && standing.wins == places.front().wins)
            leaders << record_.names[standing.seat];
    }
    winner_->setText(leaders.size() == 1 ? Text(STANDINGS_WINNER).arg(leaders.front())
                                         : Text(STANDINGS_WINNERS).arg(leaders.join(", ")));
    hostWaits_ = hostWaits;
    newGame_->setVisible(hostWaits);
    if (hostWaits) {
        ticker_->start();
    } else {
        ticker_->stop();
    }
    Tick();
    show();
    raise();
}

void StandingsDialog::NewGameStarted() {
    hostWaits_ = false;
    ticker_->stop();
    newGame_->hide();
    Tick();
}

void StandingsDialog::Tick() {
    int msLeft = 0;
    const QString rounds = Text(STANDINGS_ROUNDS).arg(record_.table.roundsPlayed);
    if (hostWaits_ && HostGameOver(&msLeft)) {
        countdown_->setText(rounds + QStringLiteral(" \u2014 ") +
                            Text(STANDINGS_COUNTDOWN).arg((msLeft + 999) / 1000));
    } else {
        countdown_->setText(rounds);
    }
}
