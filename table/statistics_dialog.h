// "Jeu" → "Statistiques...": the player's statistics per kind of opponents
// (the table `vantoro --statistics` prints), a chart of the player's money at
// the end of each of the last 50 games, and "Effacer les statistiques", which
// asks first.
#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>
#include <vector>

class QTableWidget;
class StatisticsStore;

// The chart: one point per game, the player's money at its end, with the
// starting money as a dashed line. Painted with QPainter.
class GamesMoneyChart : public QWidget {
  public:
    explicit GamesMoneyChart(QWidget* parent = nullptr);
    void SetMoney(std::vector<int> money);
    const std::vector<int>& Money() const { return money_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<int> money_;
};

class StatisticsDialog : public QDialog {
    Q_OBJECT

  public:
    // Asks, over the dialog, whether to forget every statistic; true to do it.
    using ClearQuestion = std::function<bool(QWidget* owner)>;

    // `store` (may be null when the database cannot be opened) outlives the
    // dialog.
    StatisticsDialog(StatisticsStore* store, const QString& nickname, QWidget* owner);

    void SetClearQuestion(ClearQuestion question) { clearQuestion_ = std::move(question); }
    // "Effacer les statistiques": asks, then empties the database and the view.
    void OnClear();
    // Reads the database again.
    void Refresh();

    QTableWidget* Table() const { return table_; }
    GamesMoneyChart* Chart() const { return chart_; }

  private:
    StatisticsStore* store_;
    QString nickname_;
    QTableWidget* table_ = nullptr;
    GamesMoneyChart* chart_ = nullptr;
    ClearQuestion clearQuestion_;
};

// The number of games the chart shows.
constexpr int CHART_GAMES = 50;
