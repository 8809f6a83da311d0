#include "table/table_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <tuple>

#include "bot/auto_play.h"
#include "bot/host_computer.h"
#include "net/commands.h"
#include "net/connect.h"
#include "net/notices.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "net/socket_layer.h"
#include "net/wire.h"
#include "resources/resource_ids.h"
#include "resources/version.h"
#include "rules/game_table.h"
#include "table/aid_texts.h"
#include "table/board_widget.h"
#include "table/game_history.h"
#include "table/game_keeper.h"
#include "table/game_lines.h"
#include "table/hand_cursor.h"
#include "table/keeping_menu.h"
#include "table/player_aids.h"
#include "table/player_texts.h"
#include "table/replay_session.h"
#include "table/table_fit.h"
#include "table/window_texts.h"
#include "ui/card_image.h"
#include "ui/chat_box.h"
#include "ui/dialog_units.h"
#include "ui/table_painter.h"
#include "ui/wire_text.h"

namespace {

// The window's size in dialog units, and the chat input's limit.
constexpr int TABLE_WIDTH_DLU = 425;
constexpr int TABLE_HEIGHT_DLU = 277;
constexpr int CHAT_INPUT_LIMIT = 512;
// The computer's think time at a computer-held seat, like vantoro-bot's, and
// for the local seat while the player is away: about a move a second.
constexpr int COMPUTER_DELAY_MS = 600;
constexpr int AWAY_DELAY_MS = 1000;
// "Tour\nsuivant" on the winner's window, until it is pressed.
constexpr const char* NEXT_ROUND_STANDS_OUT =
    "QPushButton { background-color: #ffcc00; color: black; font-weight: bold;"
    " border: 2px solid #7a5c00; border-radius: 3px; }";

// "Absent": a check box drawn as a push button that stays pressed while it is
// checked. Clicking it only sends its command; the program sets its state.
class AwayButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void nextCheckState() override {}
};

// The icon the desktop's theme has for the program, at every size it is
// drawn in (":/icons/<size>.png"), compiled into the program so that a build
// that is not installed shows it too.
QIcon ApplicationIcon() {
    QIcon icon;
    const QDir icons(QStringLiteral(":/icons"));
    // Every file there is a picture; a name filter would bring in the
    // regular-expression engine for this alone.
    for (const QString& name : icons.entryList(QDir::Files)) {
        icon.addFile(icons.filePath(name));
    }
    return icon;
}

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

constexpr const char* NOTHING_TO_SEND = "You must enter something to send";

// A text with "\r\n" line ends, as a message box shows it.
QString BoxText(const std::string& text) {
    QString shown = TextFromBytes(text.c_str());
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

// Where the piece of `text` that starts at `start` ends: at most maxBytes
// further on, and never inside a character (continuation bytes are 10xxxxxx).
qsizetype Utf8PieceEnd(const QByteArray& text, qsizetype start, qsizetype maxBytes) {
    if (text.size() - start <= maxBytes) return text.size();
    qsizetype end = start + maxBytes;
    while (end > start && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return end > start ? end : start + maxBytes;  // no character start: cut anyway
}

}  // namespace

bool AskLeaveGame(QWidget* owner) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Vantoro"), Text(LEAVE_QUESTION),
                    QMessageBox::NoButton, owner);
    QPushButton* yes = box.addButton(Text(ANSWER_YES), QMessageBox::YesRole);
    QPushButton* no = box.addButton(Text(ANSWER_NO), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

TableWindow::TableWindow()
    : connectDialog_([](QWidget*) { return 0; }),
      computerDialog_([](QWidget*) { return ComputerGameOutcome{}; }),
      leaveQuestion_([](QWidget*) { return true; }),
      options_(LoadWindowOptions()) {
    AutopilotOptions options;
    options.seed = TickCount();
    options.delayMs = AWAY_DELAY_MS;
    autoPlay_ = new AutoPlay(options, this);
    // The host's part that plays the seats it gives the computer; it hears
    // the table from the network code, and plays only while this window hosts.
    options.delayMs = COMPUTER_DELAY_MS;
    hostComputer_ = new HostComputer(options, this);
    connect(autoPlay_, &AutoPlay::LocalSeatActed, this, [this] {
        if (g_table != nullptr && g_table->roundOver != 0) nextRoundAsked_ = true;
        UpdateNextRoundButton();
    });
    BuildFromTemplate();
    OnInitDialog();
}

TableWindow::~TableWindow() {
    // A window that goes away without its destruction having run (it was
    // never closed) still releases what it owns.
    if (!destroyed_) {
        destroyed_ = true;
        OnDestroy();
    }
    if (g_view == this) g_view = nullptr;
}

QPushButton* TableWindow::AddButton(int id, const QString& label, int x, int y, int width,
                                    int height) {
    QPushButton* button =
        id == IDC_AWAY ? new AwayButton(label, board_) : new QPushButton(label, board_);
    button->setGeometry(DialogRectToPixels(x, y, width, height, BaseUnitsOf(font())));
    controls_.insert(id, button);
    connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
    return button;
}

void TableWindow::BuildFromTemplate() {
    setWindowTitle(QStringLiteral("Vantoro"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(TableWindowFont());
    const DialogBaseUnits units = BaseUnitsOf(font());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    menuBar_ = new QMenuBar(this);
    gameMenu_ = menuBar_->addMenu(QStringLiteral("&Jeu"));
    const auto addItem = [this](int id, const QString& label) {
        QAction* action = gameMenu_->addAction(label);
        menuItems_.insert(id, action);
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    };
    addItem(IDM_NETWORK_GAME, QStringLiteral("Jeu en réseau..."));
    addItem(IDM_PLAY_COMPUTER, QStringLiteral("Jouer contre l'ordinateur..."));
    addItem(IDM_FILL_COMPUTER, QStringLiteral("Compléter avec l'ordinateur"));
    gameMenu_->addSeparator();
    addItem(IDM_NEW_GAME, Text(ITEM_NEW_GAME));
    addItem(IDM_GAME_HISTORY, Text(ITEM_GAME_HISTORY));
    keeping_ = new KeepingMenu(this, gameMenu_, hostComputer_);
    for (int id : {IDM_STATISTICS, IDM_SAVE_GAME, IDM_REPLAY_GAME})
        menuItems_.insert(id, keeping_->Item(id));
    connect(keeping_, &KeepingMenu::Chosen, this, &TableWindow::OnCommand);
    connect(keeping_, &KeepingMenu::ReplayOpened, this, &TableWindow::ReplayOpened);
    connect(keeping_, &KeepingMenu::ReplayMoved, this, &TableWindow::ShowReplayPosition);
    connect(keeping_, &KeepingMenu::ReplayClosed, this, &TableWindow::ReplayClosed);
    gameMenu_->addSeparator();
    addItem(IDM_DISCONNECT, QStringLiteral("Déconnecter"));
    addItem(IDCANCEL, QStringLiteral("Quitter"));
    connect(gameMenu_, &QMenu::aboutToShow, this, &TableWindow::OnInitMenuPopup);

    optionsMenu_ = menuBar_->addMenu(Text(MENU_OPTIONS));
    const auto addOption = [this](int id, const char* label, bool checked) {
        QAction* action = optionsMenu_->addAction(Text(label));
        action->setCheckable(true);
        action->setChecked(checked);
        menuItems_.insert(id, action);
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    };
    addOption(IDM_SHOW_MOVES, ITEM_SHOW_MOVES, options_.showMoves);
    addOption(IDM_SOUNDS, ITEM_SOUNDS, options_.sounds);
    addOption(IDM_FOUR_COLOURS, ITEM_FOUR_COLOURS, options_.fourColours);
    addOption(IDM_SORT_BY_STRENGTH, ITEM_SORT_BY_STRENGTH, options_.handByStrength);

    helpMenu_ = menuBar_->addMenu(Text(MENU_HELP));
    for (const auto& [id, label, key] :
         {std::tuple{IDM_RULES, ITEM_RULES, QKeySequence(Qt::Key_F1)},
          {IDM_KEYS, ITEM_KEYS, QKeySequence()},
          {IDM_HINT, ITEM_HINT, QKeySequence(Qt::Key_H)},
          {IDM_ABOUT, ITEM_ABOUT, QKeySequence()}}) {
        QAction* action = helpMenu_->addAction(Text(label));
        action->setShortcut(key);
        menuItems_.insert(id, action);
        connect(action, &QAction::triggered, this, [this, id = id] { OnCommand(id); });
    }
    layout->setMenuBar(menuBar_);

    board_ = new BoardWidget(this);
    board_->setFixedSize(DialogRectToPixels(0, 0, TABLE_WIDTH_DLU, TABLE_HEIGHT_DLU, units).size());
    board_->onLeftButtonDown = [this](int x, int y) { OnLButtonDown(x, y); };
    layout->addWidget(board_);

    statusBar_ = new QStatusBar(this);
    statusBar_->setSizeGripEnabled(false);
    statusLabel_ = new QLabel(statusBar_);
    statusBar_->addWidget(statusLabel_, 1);
    layout->addWidget(statusBar_);

    // The controls in template order, which is also the tab order.
    QPushButton* ok = AddButton(IDOK, QStringLiteral("OK"), 366, 79, 50, 14);
    ok->setDefault(true);
    ok->hide();

    chatLog_ = new ChatLog(board_);
    chatLog_->setGeometry(DialogRectToPixels(250, 160, 166, 77, units));
    controls_.insert(IDC_CHAT_LOG, chatLog_);

    chatInput_ = new QLineEdit(board_);
    chatInput_->setGeometry(DialogRectToPixels(250, 242, 166, 12, units));
    controls_.insert(IDC_CHAT_INPUT, chatInput_);

    AddButton(IDC_SAVE_GAME, QStringLiteral("Enregistrer jeu"), 335, 125, 81, 13)->hide();
    AddButton(IDC_PLAYER_INFO, QStringLiteral("&Info joueur"), 250, 142, 81, 14)->setEnabled(false);
    AddButton(IDC_PASS, QStringLiteral("Pa&sser"), 215, 241, 29, 13);
    AddButton(IDC_PLAY, QStringLiteral("Jouer\nca&rtes"), 215, 211, 29, 26);
    AddButton(IDC_NEXT_ROUND, QStringLiteral("&Tour\nsuivant"), 215, 160, 29, 26)
        ->setEnabled(false);
    AddButton(IDC_CLEAR_CHAT, QStringLiteral("&Effacer la boîte de chat"), 335, 142, 81, 13);
    AddButton(IDC_AWAY, QStringLiteral("A&bsent"), 215, 142, 29, 14)->setCheckable(true);
    aids_ = new PlayerAids(this);
    fit_ = new TableFit(this, board_, layout, optionsMenu_);
}

void TableWindow::OnInitDialog() {
    // Every record empty, each with its seat number; nobody at the table.
    ResetSeatTable();
    SetFourColourDeck(options_.fourColours);
    SetHandByStrength(options_.handByStrength);
    // Only the set the first paint draws: the screen's density at the
    // table's scale, so that a dense screen does not load the cards twice;
    // and of it only the pictures a paint draws, when it draws them.
    SetCardPixelRatio(board_->devicePixelRatioF() * board_->TableScale());
    OpenTableImages();
    SetStatusText(STATUS_NO_CONNECTION);
    // (The window's system menu is left as the window system makes it.)
    g_view = this;
    // The window's computer player can hold the seats of a table it hosts.
    SetHostPolicy(HostPolicy{true, 0, GameLength{}});
    setWindowIcon(ApplicationIcon());
    chatInput_->setMaxLength(CHAT_INPUT_LIMIT);
    g_table = new GameTable;
    aids_->FocusTable(true);
}

QPushButton* TableWindow::Button(int id) const {
    return qobject_cast<QPushButton*>(controls_.value(id, nullptr));
}

QString TableWindow::StatusText() const {
    return statusLabel_->text();
}

void TableWindow::SetStatusText(const char* text) {
    statusLabel_->setText(TextFromBytes(text));
}

void TableWindow::AppendChatText(const char* text) {
    ::AppendChatText(chatLog_, text);
}

void TableWindow::Repaint() {
    board_->update();
}

void TableWindow::SetAwayChecked(bool checked) {
    Button(IDC_AWAY)->setChecked(checked);
    // Away, the program plays the player's seat by itself.
    autoPlay_->SetPlaysLocalSeat(checked);
}

void TableWindow::OnTableEvent(const TableEvent& event) {
    using Kind = TableEvent::Kind;
    const int seat = event.seat;
    const bool named = seat >= 1 && seat <= SEAT_COUNT;
    switch (event.kind) {
        case Kind::kPlayApplied:
            if (options_.showMoves && named)
                AppendGameLine(PlayLine(g_seats[seat].name, event.cards));
            aids_->PlayApplied(seat, event.cards);
            break;
        case Kind::kPassApplied:
            if (options_.showMoves && named) AppendGameLine(PassLine(g_seats[seat].name));
            aids_->PassApplied(seat);
            break;
        case Kind::kRoundEnded:
            // The play that emptied a hand ended the round: who won, who paid.
            if (g_table != nullptr) AppendGameLine(RoundEndLines(*g_table, seat));
            if (history_ != nullptr) history_->LiveGameChanged();
            // On the host, the round that brought the game to its length.
            if (g_localSeat == 1 && HostGameOver()) ShowStandings(true);
            break;
        case Kind::kRoundDealt:
            nextRoundAsked_ = false;
            aids_->RoundDealt();
            break;
        case Kind::kGameEnding:
            // Every window shows the standings of a game that ends after a
            // round or more, from its own table as it stands.
            if (standingsOfLiveGame_ && standings_ != nullptr) {
                standings_->NewGameStarted();
            } else if (event.gameLive && g_table != nullptr && g_table->roundsPlayed > 0) {
                ShowStandings(false);
            }
            standingsOfLiveGame_ = false;
            break;
        case Kind::kSeatChanged:
            aids_->SeatChanged();
            if (history_ != nullptr) history_->LiveGameChanged();
            break;
        case Kind::kGameStarted:
            if (history_ != nullptr) history_->LiveGameChanged();
            break;
        default:
            break;
    }
    keeping_->OnTableEvent(event);
    autoPlay_->Hear(event);
    UpdateNextRoundButton();
    FollowTurn();
}

void TableWindow::UpdateNextRoundButton() {
    QPushButton* next = Button(IDC_NEXT_ROUND);
    // After the game's end the host deals the new game itself.
    const bool enabled = LocalSeatWonRound() && !nextRoundAsked_ && !HostGameOver();
    next->setEnabled(enabled);
    next->setStyleSheet(enabled ? Text(NEXT_ROUND_STANDS_OUT) : QString());
}

void TableWindow::AppendGameLine(const std::string& line) {
    if (!line.empty()) ::AppendChatText(chatLog_, line.c_str());
}

void TableWindow::ShowRefusal(MoveRefusal reason) {
    if (g_table == nullptr || g_playerCount != SEAT_COUNT) return;
    AppendGameLine(RefusalLine(reason, g_table->tableCount));
}

void TableWindow::FollowTurn() {
    const bool localTurn = g_table != nullptr && GameLive() && g_localSeat >= 1 &&
                           g_table->roundOver == 0 && g_table->turn == g_localSeat;
    if (localTurn && !localTurn_ && !isActiveWindow() && !autoPlay_->PlaysLocalSeat())
        AnnounceTurn();
    localTurn_ = localTurn;
}

void TableWindow::AnnounceTurn() {
    QApplication::alert(this);
    // The desktop's own bell: it follows the player's sound settings and
    // needs no audio library.
    if (options_.sounds) QApplication::beep();
}

void TableWindow::EnablePlayerInfo(bool enabled) {
    Button(IDC_PLAYER_INFO)->setEnabled(enabled);
}

void TableWindow::SetConnectDialogRunner(ConnectDialogRunner runner) {
    connectDialog_ = std::move(runner);
}

void TableWindow::SetComputerDialogRunner(ComputerDialogRunner runner) {
    computerDialog_ = std::move(runner);
}

void TableWindow::SetLeaveQuestion(LeaveQuestion question) {
    leaveQuestion_ = std::move(question);
}

void TableWindow::InvalidateCardRect(int slot) {
    if (slot < 0 || slot >= HAND_SIZE) return;
    const CardRect& r = g_cardRects[slot];
    board_->update(board_->BoardRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top)));
}

void TableWindow::OnCommand(int id) {
    // A replay is read-only: no move, no network command reaches the table.
    if (keeping_->Replay() != nullptr && !KeepingMenu::WorksDuringReplay(id)) return;
    switch (id) {
        case IDOK:
            OnSendChat();
            break;
        case IDCANCEL:
            OnQuit();
            break;
        case IDC_SAVE_GAME:
            OnSaveGame();
            break;
        case IDC_PLAYER_INFO:
            OnPlayerInfo();
            break;
        case IDC_PASS:
            OnPass();
            break;
        case IDC_PLAY:
            OnPlay();
            break;
        case IDC_NEXT_ROUND:
            OnNextRound();
            break;
        case IDC_CLEAR_CHAT:
            OnClearChat();
            break;
        case IDC_AWAY:
            OnAway();
            break;
        case IDM_NETWORK_GAME:
            OnNetworkGame();
            break;
        case IDM_PLAY_COMPUTER:
            OnPlayComputer();
            break;
        case IDM_FILL_COMPUTER:
            OnFillComputer();
            break;
        case IDM_DISCONNECT:
            OnDisconnect();
            break;
        case IDM_NEW_GAME:
            OnNewGame();
            break;
        case IDM_GAME_HISTORY:
            OnGameHistory();
            break;
        case IDM_SHOW_MOVES:
        case IDM_SOUNDS:
        case IDM_FOUR_COLOURS:
        case IDM_SORT_BY_STRENGTH:
            OnOption(id);
            break;
        case IDM_RULES:
            OnRules();
            break;
        case IDM_ABOUT:
            OnAbout();
            break;
        case IDM_KEYS:
            aids_->ShowKeys();
            break;
        case IDM_HINT:
            aids_->ShowHint();
            break;
        case IDM_STATISTICS:
            keeping_->OnStatistics();
            break;
        case IDM_SAVE_GAME:
            keeping_->OnSaveGameFile();
            break;
        case IDM_REPLAY_GAME:
            keeping_->OnReplayGame();
            break;
        default:
            break;
    }
}

void TableWindow::OnNetworkGame() {
    const int result = connectDialog_ ? connectDialog_(this) : 0;
    if (result != 0) {
        FatalNetworkError();
        return;
    }
    // A client that has just connected has no seat yet (it comes with
    // MSG_SEAT_ASSIGN) and shows "Ready/No Connection" until the network
    // writes its own texts.
    if (g_localSeat == 1)
        SetStatusText(FormatWaitingStatus(STATUS_WAITING_HOST, SEAT_COUNT - 1));
    else if (g_localSeat >= 2)
        SetStatusText(STATUS_CONNECTING);
    else if (g_localSeat == 0)
        SetStatusText(STATUS_NO_CONNECTION);
}

void TableWindow::FatalNetworkError() {
    QMessageBox box(QMessageBox::Critical, QString(), QStringLiteral("Winsock Fatal Error!"),
                    QMessageBox::Ok, this);
    box.exec();
    DestroyWindow();
}

void TableWindow::OnPlayComputer() {
    if (g_playerCount != 0 || g_sock != INVALID_SOCKET) return;  // already at a table
    const ComputerGameOutcome outcome = computerDialog_(this);
    if (outcome.endResult != 0) {
        FatalNetworkError();
        return;
    }
    if (!outcome.hosting) return;
    hostComputer_->SetLevel(outcome.level);
    autoPlay_->SetLevel(outcome.level);
    SetStatusText(FormatWaitingStatus(STATUS_WAITING_HOST, SEAT_COUNT - 1));
    // Three computer seats: the game is dealt at once.
    FillEmptySeatsWithComputer();
}

void TableWindow::OnFillComputer() {
    FillEmptySeatsWithComputer();
}

void TableWindow::OnNewGame() {
    if (g_localSeat != 1 || g_playerCount != SEAT_COUNT) return;
    StartNewTableGame();
}

void TableWindow::OnGameHistory() {
    if (g_localSeat == 0 || g_table == nullptr) return;
    OpenHistory(nullptr);
}

void TableWindow::OpenHistory(const GameRecord* ended) {
    if (history_ == nullptr) {
        history_ = new HistoryWindow(this);
        // Beside the table, where the screen allows.
        history_->move(frameGeometry().topRight() + QPoint(8, 0));
    }
    if (ended != nullptr) {
        history_->ShowEndedGame(*ended);
    } else {
        history_->FollowLiveGame();
    }
    history_->raise();
}

void TableWindow::ShowStandings(bool hostWaits) {
    if (g_table == nullptr || g_table->roundsPlayed <= 0) return;
    if (standings_ == nullptr) {
        standings_ = new StandingsDialog(
            this, [this](const GameRecord& record) { OpenHistory(&record); },
            [] {
                if (g_localSeat == 1 && HostGameOver()) StartNewTableGame();
            });
    }
    standings_->ShowGame(RecordOfLiveGame(), hostWaits);
    standingsOfLiveGame_ = hostWaits;
}

void TableWindow::OnDisconnect() {
    if (g_sock == INVALID_SOCKET) return;
    if (!MayLeaveGame()) return;
    keeping_->LeaveTable();
    AppendChatText(CHAT_CONNECTION_CLOSED);
    Disconnect();
    EnablePlayerInfo(false);
    SetAwayChecked(false);
    Repaint();
}

void TableWindow::OnQuit() {
    if (!MayLeaveGame()) return;
    DestroyWindow();
}

bool TableWindow::MayLeaveGame() {
    // With no game running (fewer than four at the table) nothing is lost.
    if (g_playerCount != SEAT_COUNT) return true;
    return !leaveQuestion_ || leaveQuestion_(this);
}

void TableWindow::OnOption(int id) {
    QAction* item = MenuItem(id);
    if (item == nullptr) return;
    const bool on = item->isChecked();
    switch (id) {
        case IDM_SHOW_MOVES:
            options_.showMoves = on;
            break;
        case IDM_SOUNDS:
            options_.sounds = on;
            break;
        case IDM_FOUR_COLOURS:
            options_.fourColours = on;
            SetFourColourDeck(on);
            Repaint();
            break;
        case IDM_SORT_BY_STRENGTH:
            options_.handByStrength = on;
            SetHandByStrength(on);
            Repaint();
            break;
        default:
            return;
    }
    SaveWindowOptions(options_);
}

void TableWindow::OnRules() {
    QMessageBox box(QMessageBox::Information, Text(ITEM_RULES), Text(RULES_TEXT), QMessageBox::Ok,
                    this);
    box.exec();
}

void TableWindow::OnAbout() {
    QMessageBox box(QMessageBox::NoIcon, Text(ITEM_ABOUT),
                    Text(ABOUT_TEXT).arg(QString::fromLatin1(VersionText())), QMessageBox::Ok,
                    this);
    box.setIconPixmap(windowIcon().pixmap(64, 64));
    box.exec();
}

void TableWindow::OnInitMenuPopup() {
    // The rule looks at the player count only, not at the sockets.
    const bool atTable = g_playerCount > 0;
    menuItems_.value(IDM_NETWORK_GAME)->setEnabled(!atTable);
    menuItems_.value(IDM_DISCONNECT)->setEnabled(atTable);
    menuItems_.value(IDM_PLAY_COMPUTER)->setEnabled(!atTable && g_sock == INVALID_SOCKET);
    bool seatEmpty = false;
    for (int seat = 2; seat <= SEAT_COUNT; ++seat)
        seatEmpty = seatEmpty || g_seats[seat].sock == INVALID_SOCKET;
    menuItems_.value(IDM_FILL_COMPUTER)
        ->setEnabled(g_localSeat == 1 && g_playerCount < SEAT_COUNT && seatEmpty);
    menuItems_.value(IDM_NEW_GAME)->setEnabled(g_localSeat == 1 && g_playerCount == SEAT_COUNT);
    menuItems_.value(IDM_GAME_HISTORY)->setEnabled(g_localSeat != 0);
    keeping_->EnableItems();
    if (keeping_->Replay() != nullptr) {
        for (int id : {IDM_NETWORK_GAME, IDM_PLAY_COMPUTER, IDM_FILL_COMPUTER, IDM_DISCONNECT})
            menuItems_.value(id)->setEnabled(false);
    }
}

void TableWindow::OnClearChat() {
    chatLog_->Clear();
}

void TableWindow::keyPressEvent(QKeyEvent* event) {
    if (keeping_->ReplayKey(event)) {
        event->accept();
        return;
    }
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->key() == Qt::Key_Enter && event->modifiers() == Qt::KeypadModifier);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // A focused push button takes Enter itself; from anywhere else (the
        // chat input, the chat log) Enter is the hidden default button's command.
        OnCommand(IDOK);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TableWindow::reject() {
    // Escape and the close box end a replay first.
    if (keeping_->Replay() != nullptr) {
        keeping_->CloseReplay();
        return;
    }
    OnCommand(IDCANCEL);
}

void TableWindow::DestroyWindow() {
    if (destroyed_) return;
    destroyed_ = true;
    OnDestroy();
    done(0);
}

void TableWindow::OnDestroy() {
    if (history_ != nullptr) history_->hide();
    if (standings_ != nullptr) standings_->hide();
    keeping_->CloseReplay();
    keeping_->LeaveTable();
    delete g_table;
    g_table = nullptr;
    FreeTableImages();
    if (g_winsockStarted) {
        // Every connection is closed before the socket layer lets go of the rest.
        Disconnect();
        SockCleanup();
    }
    // Nothing is shown any more: the network's last texts went above.
    if (g_view == this) g_view = nullptr;
}

// The player's controls on the table: each acts on this copy of the game and
// tells the others through the network library's commands (net/commands.h);
// here is only what a command means for the window's controls.

void TableWindow::OnLButtonDown(int x, int y) {
    if (g_playerCount != SEAT_COUNT || g_table == nullptr) return;
    if (g_localSeat < 1 || g_localSeat > SEAT_COUNT) return;
    // From the rightmost place down (in the layout the hand was painted in):
    // the first rectangle that holds the point belongs to the topmost card
    // under it.
    int placed[HAND_SIZE];
    for (int place = HandLayout(g_table->hands[g_localSeat], placed) - 1; place >= 0; --place) {
        const int slot = placed[place];
        const CardRect& r = g_cardRects[slot];
        if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) continue;
        g_table->selection[slot] = static_cast<std::uint8_t>(~g_table->selection[slot]);
        if (g_table->selection[slot] != 0) g_cardRects[slot].top = HAND_TOP_SELECTED;
        InvalidateCardRect(slot);
        return;
    }
}

void TableWindow::OnPlay() {
    // Only the player whose own play emptied the hand starts the next round:
    // the play's PlayApplied enables "Tour\nsuivant" then. A refused play
    // sends nothing and keeps the chosen cards up; the chat log says why.
    if (CommandPlay() != 0 || g_table == nullptr) return;
    ShowRefusal(g_table->PlayRefusal(g_localSeat, g_table->selection));
}

void TableWindow::OnPass() {
    if (CommandPass() != 0 || g_table == nullptr) return;
    ShowRefusal(g_table->PassRefusal(g_localSeat));
}

void TableWindow::OnNextRound() {
    if (CommandNextRound() == 0) return;
    nextRoundAsked_ = true;
    UpdateNextRoundButton();
}

void TableWindow::OnAway() {
    const bool wasAway = Button(IDC_AWAY)->isChecked();
    // Coming back gives the seat back at once, before the host's echo.
    if (CommandAway(wasAway) != 0 && wasAway) autoPlay_->SetPlaysLocalSeat(false);
}

void TableWindow::OnSendChat() {
    if (g_localSeat == 0) return;
    // The input holds at most 512 characters, and a message carries at most
    // 1000 bytes of UTF-8 text. A line of wider characters (up to 1536 bytes)
    // therefore goes out as consecutive messages, each cut between
    // characters, so that nothing typed is lost when the input is emptied.
    const QByteArray line = ChatInput()->text().toUtf8();
    qsizetype start = 0;
    do {
        const qsizetype end = Utf8PieceEnd(line, start, CHAT_MAX_CHARS);
        switch (CommandSendChat(line.constData() + start, static_cast<std::size_t>(end - start))) {
            case ChatResult::kEmpty: {
                QMessageBox box(QMessageBox::Warning, QString(),
                                QString::fromLatin1(NOTHING_TO_SEND), QMessageBox::Ok, this);
                box.exec();
                return;
            }
            case ChatResult::kNotSeated:
                return;
            case ChatResult::kSent:
                break;
        }
        start = end;
    } while (start < line.size());
    ChatInput()->clear();
}

void TableWindow::OnPlayerInfo() {
    if (g_localSeat != 1) return;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Vantoro"), BoxText(PlayerInfoText()),
                    QMessageBox::Ok, this);
    box.exec();
}

void TableWindow::OnSaveGame() {
    const std::string text = SaveGameText();
    if (text.empty()) return;
    QMessageBox box(QMessageBox::NoIcon, QString(), BoxText(text), QMessageBox::Ok);
    box.exec();
}

void TableWindow::ReplayOpened(QWidget* bar) {
    for (int id : {IDC_PLAY, IDC_PASS, IDC_NEXT_ROUND, IDC_AWAY, IDC_SAVE_GAME, IDC_PLAYER_INFO})
        if (QWidget* control = Control(id)) control->setEnabled(false);
    chatInput_->setEnabled(false);
    // The keys step the replay: the hand's keyboard frame is off meanwhile.
    if (aids_ != nullptr && aids_->Cursor() != nullptr) aids_->Cursor()->setEnabled(false);
    layout()->addWidget(bar);
    bar->show();
    setFocus();
}

void TableWindow::ShowReplayPosition() {
    const ReplaySession* replay = keeping_->Replay();
    statusLabel_->setText(replay->StatusLine());
    chatLog_->Clear();
    ::AppendChatText(chatLog_, replay->GameLines().c_str());
    Repaint();
}

void TableWindow::ReplayClosed() {
    chatLog_->Clear();
    chatInput_->setEnabled(true);
    if (aids_ != nullptr && aids_->Cursor() != nullptr) aids_->Cursor()->setEnabled(true);
    for (int id : {IDC_PLAY, IDC_PASS, IDC_NEXT_ROUND, IDC_AWAY, IDC_SAVE_GAME, IDC_PLAYER_INFO})
        if (QWidget* control = Control(id)) control->setEnabled(true);
    EnablePlayerInfo(false);
    UpdateNextRoundButton();
    SetStatusText(STATUS_NO_CONNECTION);
    chatInput_->setFocus();
    Repaint();
}
