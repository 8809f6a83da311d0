// The table window: the program's one window, run modally from main.
//
// It is built the way its dialog template describes it: caption "Vantoro",
// the menus "Jeu", "Options" and "Aide", a board of 425 x 277 dialog units in
// the window font (DejaVu Sans, 9 points) on which the ten controls sit at
// their dialog-unit places, and a one-part status line below; its size
// follows the screen and the player (table/table_fit.h). It owns the one GameTable (g_table) and
// the images from creation to destruction, and it is the TableView through which the network code
// shows what happens (installed in g_view for its whole life).
//
// Every command, from a button, the menu, Enter (IDOK) or Escape and the
// close box (IDCANCEL), reaches OnCommand with its id. Destruction
// (Quitter, Escape, the close box, a fatal network error) releases, in this
// order, the game table, the images and, if the network was ever started,
// the connections; then the window ends with result 0. While four players
// are seated, "Quitter", Escape, the close box and "Déconnecter" first ask
// the leave question (SetLeaveQuestion) and do nothing on "Non".
//
// Beside the game itself the window follows it for the player: it writes the
// game lines into the chat log (table/game_lines.h), marks the play to beat
// and the round's winner on the table (table/table_marks.h), makes "Tour
// suivant" stand out on the winner's window, and announces the player's turn
// while the window is not active. Its options and the dialogs' fields are
// remembered across runs (table/settings.h).
#pragma once

#include <QDialog>
#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/table_view.h"
#include "rules/game_table.h"
#include "table/computer_dialog.h"
#include "table/settings.h"

class AutoPlay;
class HostComputer;
class PlayerAids;
class TableFit;
class BoardWidget;
class HistoryWindow;
class StandingsDialog;
struct GameRecord;
class ChatLog;
class KeepingMenu;
class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;

// Runs the connect dialog modally over `owner` and returns its end result: 1
// when the socket could not be registered for events (fatal), 0 otherwise.
using ConnectDialogRunner = std::function<int(QWidget* owner)>;
// Runs the "Jouer contre l'ordinateur" dialog modally over `owner`.
using ComputerDialogRunner = std::function<ComputerGameOutcome(QWidget* owner)>;
// Asks, modally over `owner`, whether to leave the running game; true to leave.
using LeaveQuestion = std::function<bool(QWidget* owner)>;

// The leave question of the program: a question box over `owner` with "Oui"
// and "Non", "Non" the default and Escape's answer. True for "Oui".
bool AskLeaveGame(QWidget* owner);

class TableWindow : public QDialog, public TableView {
    Q_OBJECT

  public:
    // Builds the window and runs its initialisation: empties the seats,
    // applies the remembered options, loads the images, shows "Ready/No
    // Connection", installs itself in g_view, creates g_table and puts the
    // focus in the chat input.
    TableWindow();
    ~TableWindow() override;

    // TableView: what the network code shows.
    void SetStatusText(const char* text) override;
    void AppendChatText(const char* text) override;
    void Repaint() override;
    void SetAwayChecked(bool checked) override;
    void EnablePlayerInfo(bool enabled) override;
    // Every event of the table: the window's computer player hears it (it
    // holds seats for the host and plays the local seat while "Absent" is
    // checked), the game lines follow it, and the window looks again at
    // whose turn it is. The repaint that follows every event is TellView's.
    void OnTableEvent(const TableEvent& event) override;

    // Every command arrives here, keyed on its id; unknown ids are ignored.
    virtual void OnCommand(int id);

    // The menu: "Jeu en réseau...", "Jouer contre l'ordinateur...",
    // "Compléter avec l'ordinateur", "Déconnecter", "Quitter".
    void OnNetworkGame();
    void OnPlayComputer();
    void OnFillComputer();
    // "Nouvelle partie" (the host's, four seated): the game ends at once and
    // a new one is dealt. "Historique de la partie...": the history window,
    // beside the table, following the game.
    void OnNewGame();
    void OnGameHistory();
    void OnDisconnect();
    void OnQuit();
    // "Options": each check item toggles its option, applies it at once and
    // stores it. "Aide": the rules and the version in a box each.
    void OnOption(int id);
    void OnRules();
    void OnAbout();
    // Before the "Jeu" menu opens: with players at the table "Jeu en
    // réseau..." is greyed and "Déconnecter" enabled, without, the reverse;
    // "Jouer contre l'ordinateur..." is enabled off the network only, and
    // "Compléter avec l'ordinateur" while hosting with a seat still empty.
    void OnInitMenuPopup();

    // The player's controls: each hands its command to the network library's
    // commands (net/commands.h) and shows what it means for the window.
    // OnClearChat empties the chat log.
    void OnClearChat();
    void OnPlay();
    void OnPass();
    void OnNextRound();
    void OnAway();
    void OnSendChat();
    void OnPlayerInfo();
    void OnSaveGame();

    // What the player keeps: the statistics, the saved game and its replay,
    // in menu "Jeu" (table/keeping_menu.h).
    KeepingMenu* Keeping() const { return keeping_; }
    // A left click on the table at board pixel (x, y).
    void OnLButtonDown(int x, int y);

    // Repaints one card's hit rectangle (g_cardRects[slot]) of the board.
    void InvalidateCardRect(int slot);

    // Installs what "Jeu en réseau..." runs; the default returns 0 at once.
    void SetConnectDialogRunner(ConnectDialogRunner runner);
    // Installs what "Jouer contre l'ordinateur..." runs; the default hosts
    // nothing.
    void SetComputerDialogRunner(ComputerDialogRunner runner);
    // Installs the question asked before a running game is left; the
    // default leaves without asking (the program installs AskLeaveGame).
    void SetLeaveQuestion(LeaveQuestion question);
    // The autopilot of the player's own seat while "Absent" is checked, and
    // the host's computer, which plays the seats the host gives it when this
    // window hosts.
    AutoPlay* AwayPlayer() const { return autoPlay_; }
    HostComputer* Computer() const { return hostComputer_; }
    // The keyboard, the hand cursor and the hint (table/player_aids.h).
    PlayerAids* Aids() const { return aids_; }
    // The table's size on the screen (table/table_fit.h).
    TableFit* Fit() const { return fit_; }
    // The history window and the standings dialog, null until first shown.
    HistoryWindow* History() const { return history_; }
    StandingsDialog* StandingsBox() const { return standings_; }

    // The control with this id (IDOK, IDC_...), or null: the window's
    // GetDlgItem.
    QWidget* Control(int id) const { return controls_.value(id, nullptr); }
    QPushButton* Button(int id) const;
    ChatLog* ChatLogBox() const { return chatLog_; }
    QLineEdit* ChatInput() const { return chatInput_; }
    BoardWidget* Board() const { return board_; }
    QMenu* GameMenu() const { return gameMenu_; }
    QMenu* OptionsMenu() const { return optionsMenu_; }
    QMenu* HelpMenu() const { return helpMenu_; }
    // The menu item with this id (IDM_NETWORK_GAME, IDM_PLAY_COMPUTER,
    // IDM_FILL_COMPUTER, IDM_DISCONNECT, IDCANCEL, the options IDM_SHOW_MOVES,
    // IDM_SOUNDS, IDM_FOUR_COLOURS, IDM_SORT_BY_STRENGTH, and IDM_RULES,
    // IDM_KEYS, IDM_HINT, IDM_ABOUT).
    QAction* MenuItem(int id) const { return menuItems_.value(id, nullptr); }
    QString StatusText() const;
    // True once the window's destruction has run.
    bool IsDestroyed() const { return destroyed_; }

  protected:
    // The player's turn has come while the window is not active and the
    // program does not play the seat itself: asks the desktop for attention
    // (QApplication::alert) and, with "Sons", rings the desktop's bell.
    virtual void AnnounceTurn();
    // Enter anywhere but on a visible push button is the IDOK command.
    void keyPressEvent(QKeyEvent* event) override;
    // Escape and the close box: the IDCANCEL command.
    void reject() override;

  private:
    void BuildFromTemplate();
    void OnInitDialog();
    // Runs OnDestroy once and ends the window.
    void DestroyWindow();
    void OnDestroy();
    QPushButton* AddButton(int id, const QString& label, int x, int y, int width, int height);
    // "Tour\nsuivant" is enabled while the local seat has won the round and
    // has not asked for the next one; enabled, it stands out.
    void UpdateNextRoundButton();
    // Appends a game line (UTF-8) to the chat log.
    void AppendGameLine(const std::string& line);
    // Shows why the local player's play or pass was refused, at a table of four.
    void ShowRefusal(MoveRefusal reason);
    // After every event that may move the turn: announces the player's turn
    // when it has just come.
    void FollowTurn();
    // True when leaving now needs no question or the player answered "Oui".
    bool MayLeaveGame();
    // Ends the window after the fatal "Winsock Fatal Error!" box.
    void FatalNetworkError();
    // The game's end: the standings of the game on the table as it stands
    // (`hostWaits` on the host before its new game); after the first round
    // only.
    void ShowStandings(bool hostWaits);
    void OpenHistory(const GameRecord* ended);

    BoardWidget* board_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QMenu* gameMenu_ = nullptr;
    QMenu* optionsMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    ChatLog* chatLog_ = nullptr;
    QLineEdit* chatInput_ = nullptr;
    QHash<int, QWidget*> controls_;
    QHash<int, QAction*> menuItems_;
    ConnectDialogRunner connectDialog_;
    ComputerDialogRunner computerDialog_;
    LeaveQuestion leaveQuestion_;
    WindowOptions options_;
    AutoPlay* autoPlay_ = nullptr;
    HostComputer* hostComputer_ = nullptr;
    PlayerAids* aids_ = nullptr;
    TableFit* fit_ = nullptr;
    HistoryWindow* history_ = nullptr;
    StandingsDialog* standings_ = nullptr;
    bool standingsOfLiveGame_ = false;  // the standings show the game on the table
    bool nextRoundAsked_ = false;
    bool localTurn_ = false;  // the table waited for the local player's move at the last look
    bool destroyed_ = false;
    KeepingMenu* keeping_ = nullptr;
    // A replay opened by the keeping menu: the controls that would act on a
    // table are greyed and its bar goes under the board; each position shows
    // its status line and game lines; at its close the empty table is back.
    void ReplayOpened(QWidget* bar);
    void ShowReplayPosition();
    void ReplayClosed();
};
