// What the player keeps, in menu "Jeu": "Statistiques...", "Enregistrer la
// partie..." (seated, after a finished round) and "Revoir une partie..." (off
// the network), and the replay the last opens in the window.
//
// It owns the keeping (GameKeeper: the statistics and the last game, fed by
// the table's events) and the replay shown (ReplaySession). While a replay is
// open it puts the file's table in g_table and the file's names and seats in
// the seat table, every hand face up; it puts the empty table back when the
// replay closes. What a replay means for the window's controls (greyed
// buttons, the bar under the board, the status line and the game lines) is
// the window's, told by the signals below.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "net/table_view.h"

class GameKeeper;
class HostComputer;
class QAction;
class QKeyEvent;
class QMenu;
class QWidget;
class ReplaySession;

class KeepingMenu : public QObject {
    Q_OBJECT

  public:
    // Adds the items to `gameMenu`. `owner` parents the dialogs and boxes;
    // `computer` (may be null) tells the level of the host's computer seats.
    // Both outlive the menu.
    KeepingMenu(QWidget* owner, QMenu* gameMenu, const HostComputer* computer);
    ~KeepingMenu() override;

    // The item with this id (IDM_STATISTICS, IDM_SAVE_GAME, IDM_REPLAY_GAME),
    // or null.
    QAction* Item(int id) const { return items_.value(id, nullptr); }
    // Before the menu opens: each item enabled as the table allows.
    void EnableItems();
    // The commands that still work while a replay is shown (options, help,
    // statistics, another replay, emptying the chat log, leaving).
    static bool WorksDuringReplay(int id);

    void OnStatistics();
    void OnSaveGameFile();
    void OnReplayGame();
    // Opens a `.vantoro` file in the window, read-only; a refused file is
    // reported in a box and nothing of it is shown. Returns whether the
    // replay is open.
    bool OpenReplay(const QString& path);
    // Ends the replay and puts the empty table back.
    void CloseReplay();
    // A key of the replay (arrows, Page Up/Down, Home/End, Escape); true when
    // taken.
    bool ReplayKey(QKeyEvent* event);
    // The table's events, for the keeping; and the window leaving its table.
    void OnTableEvent(const TableEvent& event);
    void LeaveTable();

    // The replay shown, or null; the keeping.
    ReplaySession* Replay() const { return replay_.get(); }
    GameKeeper* Keeper() const { return keeper_.get(); }

    // Installs how the commands ask for a file name (the default is Qt's
    // file dialog) and show a problem (the default a message box).
    using FileQuestion = std::function<QString(QWidget* owner, bool save)>;
    using ProblemBox = std::function<void(QWidget* owner, const QString& text)>;
    void SetFileQuestion(FileQuestion question) { fileQuestion_ = std::move(question); }
    void SetProblemBox(ProblemBox box) { problemBox_ = std::move(box); }

  signals:
    // An item was chosen; the window's OnCommand, which every command
    // reaches, leaves out what a replay does not let work.
    void Chosen(int id);
    // A replay has opened: `bar` (its buttons) goes under the board.
    void ReplayOpened(QWidget* bar);
    // The replay's position is in g_table: the window shows it.
    void ReplayMoved();
    // The replay has closed and the empty table is back.
    void ReplayClosed();

  private:
    // Puts the replay's position in g_table and sets its buttons.
    void ShowPosition();

    QWidget* owner_;
    QHash<int, QAction*> items_;
    std::unique_ptr<GameKeeper> keeper_;
    std::unique_ptr<ReplaySession> replay_;
    FileQuestion fileQuestion_;
    ProblemBox problemBox_;
};
