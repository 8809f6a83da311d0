// The game's history and its end, as every window shows them by itself from
// its own copy of the table: the rounds' payments (GameTable::history), the
// money and the wins, and the seats' names.
//
// GameRecord is a copy of a game as it stood (the table and the names), so a
// game that has ended can still be shown after the new game has reset the
// table. HistoryWindow is the non-modal "Historique de la partie" window: a
// table of the rounds and a chart of each seat's money, following the live
// game or showing an ended one. StandingsDialog is the non-modal "Fin de la
// partie" dialog.
#pragma once

#include <QColor>
#include <QDialog>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "rules/game_table.h"

class QLabel;
class QPainter;
class QPushButton;
class QTableWidget;
class QTimer;

// A game as it stood: its table and the seats' names.
struct GameRecord {
    GameTable table;
    QString names[SEAT_COUNT + 1];
};
// g_table (which must exist) and the names in g_seats, now.
GameRecord RecordOfLiveGame();

// One finished round as the history shows it.
struct HistoryRow {
    int number = 0;                       // 1 for the first round of the game
    int winner = 0;                       // the seat that went out
    int paid[SEAT_COUNT + 1] = {};        // cards charged, 0 for the winner
    int moneyAfter[SEAT_COUNT + 1] = {};  // each seat's money once the round was settled
};
// The rounds of `table`'s history, oldest first, each seat starting with
// START_MONEY: as many rows as the table has records.
std::vector<HistoryRow> HistoryRows(const GameTable& table);

// One place of the standings.
struct Standing {
    int seat = 0;
    int money = 0;
    int wins = 0;
};
// The four seats from the first place to the last: most money first, then
// most rounds won, then the lower seat number.
std::vector<Standing> Standings(const GameTable& table);

// Each seat's colour in the chart and the standings.
QColor SeatColor(int seat);

// Draws the chart of each seat's money over the rounds of `record` into
// `area`: round 0 (START_MONEY each) to the last round on the x axis, a scale
// that holds every value (negative money too), one line per seat in its
// colour and a legend with the names.
void PaintMoneyChart(QPainter& painter, const QRect& area, const GameRecord& record);

// The chart as a widget; it paints the record its owner gives it.
class MoneyChart : public QWidget {
  public:
    explicit MoneyChart(QWidget* parent = nullptr);
    void SetRecord(const GameRecord* record);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const GameRecord* record_ = nullptr;
};

class HistoryWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HistoryWindow(QWidget* owner);
    ~HistoryWindow() override;

    // Follows the live game (g_table and g_seats) from now on.
    void FollowLiveGame();
    // Shows a game that has ended, which no longer changes.
    void ShowEndedGame(const GameRecord& record);
    // The live game has changed (a round ended, a new game, a seat's name):
    // shown again when the window follows it.
    void LiveGameChanged();
    bool FollowsLiveGame() const { return live_; }

    QTableWidget* Rounds() const { return rounds_; }
    MoneyChart* Chart() const { return chart_; }

  private:
    void Show();

    QTableWidget* rounds_ = nullptr;
    MoneyChart* chart_ = nullptr;
    GameRecord record_;
    bool live_ = true;
};

// "Fin de la partie": the places 1 to 4 of a game that has ended (money,
// rounds won), its winner named, and a button to its history. On the host,
// while the new game waits (HostGameOver), "Nouvelle partie" deals it at once
// and a line counts the seconds down. Shown with show(), never exec(): the
// game goes on behind it.
class StandingsDialog : public QDialog {
    Q_OBJECT

  public:
    // `openHistory` is called with the ended game when its button is pressed;
    // `startNewGame` when "Nouvelle partie" is.
    StandingsDialog(QWidget* owner, std::function<void(const GameRecord&)> openHistory,
                    std::function<void()> startNewGame);
    ~StandingsDialog() override;

    // Fills the dialog with `record`'s game; `hostWaits` shows "Nouvelle
    // partie" and the countdown.
    void ShowGame(const GameRecord& record, bool hostWaits);
    // The new game has started: "Nouvelle partie" and the countdown go.
    void NewGameStarted();
    bool HostWaits() const { return hostWaits_; }

    const GameRecord& Record() const { return record_; }
    QLabel* WinnerLabel() const { return winner_; }
    QTableWidget* Places() const { return places_; }
    QPushButton* HistoryButton() const { return history_; }
    QPushButton* NewGameButton() const { return newGame_; }

  private:
    void Tick();

    GameRecord record_;
    QLabel* winner_ = nullptr;
    QLabel* countdown_ = nullptr;
    QTableWidget* places_ = nullptr;
    QPushButton* history_ = nullptr;
    QPushButton* newGame_ = nullptr;
    QTimer* ticker_ = nullptr;
    bool hostWaits_ = false;
    std::function<void(const GameRecord&)> openHistory_;
    std::function<void()> startNewGame_;
};
