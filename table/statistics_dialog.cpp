#include "table/statistics_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "record/statistics_store.h"
#include "rules/game_table.h"

namespace {

bool AskClear(QWidget* owner) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Vantoro"),
                    QStringLiteral("Effacer toutes les statistiques ? Les parties et les manches "
                                   "enregistrées seront perdues."),
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Oui"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Non"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace

GamesMoneyChart::GamesMoneyChart(QWidget* parent) : QWidget(parent) {
    setMinimumSize(420, 160);
    setAccessibleName(QStringLiteral("Argent à la fin de chaque partie"));
}

void GamesMoneyChart::SetMoney(std::vector<int> money) {
    money_ = std::move(money);
    update();
}

void GamesMoneyChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().base());
    const QRect area = rect().adjusted(40, 10, -10, -20);
    painter.setPen(palette().text().color());
    if (money_.empty()) {
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Aucune partie enregistrée"));
        return;
    }
    int low = START_MONEY;
    int high = START_MONEY;
    for (int m : money_) {
        low = std::min(low, m);
        high = std::max(high, m);
    }
    if (high == low) high = low + 1;
    const auto y = [&](int m) {
        return area.bottom() - static_cast<double>(m - low) * area.height() / (high - low);
    };
    const auto x = [&](std::size_t i) {
        return money_.size() == 1 ? area.center().x()
                                  : area.left() + static_cast<double>(i) * area.width() /
                                                      static_cast<double>(money_.size() - 1);
    };
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.bottomLeft(), area.topLeft());
    painter.drawText(QRect(0, area.top() - 6, 36, 14), Qt::AlignRight, QString::number(high));
    painter.drawText(QRect(0, area.bottom() - 8, 36, 14), Qt::AlignRight, QString::number(low));
    painter.drawText(QRect(area.left(), area.bottom() + 2, area.width(), 16), Qt::AlignCenter,
                     QStringLiteral("%1 dernières parties").arg(money_.size()));
    QPen dashed(palette().mid().color(), 1, Qt::DashLine);
    painter.setPen(dashed);
    painter.drawLine(QPointF(area.left(), y(START_MONEY)), QPointF(area.right(), y(START_MONEY)));
    QPainterPath path;
    for (std::size_t i = 0; i < money_.size(); ++i) {
        const QPointF point(x(i), y(money_[i]));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    painter.setPen(QPen(QColor(0, 100, 180), 2));
    painter.drawPath(path);
    painter.setBrush(QColor(0, 100, 180));
    for (std::size_t i = 0; i < money_.size(); ++i)
        painter.drawEllipse(QPointF(x(i), y(money_[i])), 2.5, 2.5);
}

StatisticsDialog::StatisticsDialog(StatisticsStore* store, const QString& nickname, QWidget* owner)
    : QDialog(owner), store_(store), nickname_(nickname), clearQuestion_(AskClear) {
    setWindowTitle(QStringLiteral("Statistiques de %1").arg(nickname));
    auto* layout = new QVBoxLayout(this);
    if (store_ == nullptr)
        layout->addWidget(
            new QLabel(QStringLiteral("Les statistiques ne sont pas disponibles."), this));
    table_ = new QTableWidget(0, 8, this);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Adversaires"), QStringLiteral("Parties"), QStringLiteral("Manches"),
         QStringLiteral("Manches gagnées"), QStringLiteral("$ par manche"),
         QStringLiteral("Meilleure manche"), QStringLiteral("Pire manche"),
         QStringLiteral("Plus longue série")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(table_);
    layout->addWidget(new QLabel(
        QStringLiteral("Argent à la fin des %1 dernières parties :").arg(CHART_GAMES), this));
    chart_ = new GamesMoneyChart(this);
    layout->addWidget(chart_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* clear =
        buttons->addButton(QStringLiteral("Effacer les statistiques"), QDialogButtonBox::ResetRole);
    clear->setEnabled(store_ != nullptr);
    QPushButton* close = buttons->addButton(QStringLiteral("Fermer"), QDialogButtonBox::AcceptRole);
    connect(clear, &QPushButton::clicked, this, &StatisticsDialog::OnClear);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(760, 420);
    Refresh();
}

void StatisticsDialog::Refresh() {
    table_->setRowCount(0);
    if (store_ == nullptr) return;
    const std::vector<KindSummary> summaries = store_->Summaries(nickname_);
    table_->setRowCount(static_cast<int>(summaries.size()));
    int row = 0;
    for (const KindSummary& k : summaries) {
        const double percent = k.rounds > 0 ? 100.0 * k.roundsWon / k.rounds : 0.0;
        const double perRound = k.rounds > 0 ? static_cast<double>(k.moneyWon) / k.rounds : 0.0;
        const QString cells[] = {
            k.label,
            QString::number(k.games),
            QString::number(k.rounds),
            QStringLiteral("%1 (%2 %)").arg(k.roundsWon).arg(percent, 0, 'f', 1),
            QString::number(perRound, 'f', 2),
            k.bestRound > 0 ? QStringLiteral("+%1").arg(k.bestRound) : QString::number(k.bestRound),
            QString::number(k.worstRound),
            QString::number(k.longestRun),
        };
        for (int c = 0; c < 8; ++c) table_->setItem(row, c, new QTableWidgetItem(cells[c]));
        ++row;
    }
    chart_->SetMoney(store_->MoneyPerGame(nickname_, CHART_GAMES));
}

void StatisticsDialog::OnClear() {
    if (store_ == nullptr || !clearQuestion_(this)) return;
    store_->Clear();
    Refresh();
}
