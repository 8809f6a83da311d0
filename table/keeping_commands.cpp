// The table window's commands of what the player keeps: the statistics, the
// saved game and its replay (menu "Jeu"). The keeping itself is GameKeeper's
// (table/game_keeper.h), the replay's state ReplaySession's.
#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <cstring>

#include "net/notices.h"
#include "net/seat_table.h"
#include "resources/resource_ids.h"
#include "table/game_keeper.h"
#include "table/hand_cursor.h"
#include "table/player_aids.h"
#include "table/replay_session.h"
#include "table/statistics_dialog.h"
#include "table/table_window.h"
#include "ui/chat_box.h"
#include "ui/table_painter.h"

namespace {

const QString FILE_FILTER = QStringLiteral("Parties de Vantoro (*.vantoro)");

QString AskFileName(QWidget* owner, bool save) {
    if (save) {
        // Qt's dialog asks before replacing a file that exists.
        QString path = QFileDialog::getSaveFileName(owner, QStringLiteral("Enregistrer la partie"),
                                                    QString(), FILE_FILTER);
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
            path += QStringLiteral(".vantoro");
            if (QFileInfo::exists(path) &&
                QMessageBox::question(owner, QStringLiteral("Vantoro"),
                                      QStringLiteral("%1 existe déjà. Voulez-vous le remplacer ?")
                                          .arg(QFileInfo(path).fileName())) != QMessageBox::Yes)
                return {};
        }
        return path;
    }
    return QFileDialog::getOpenFileName(owner, QStringLiteral("Revoir une partie"),
                                        GameKeeper::LastGamePath(), FILE_FILTER);
}

void ShowProblem(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Vantoro"), text, QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace

// The commands a replay leaves working: the window's options, help, the
// statistics, another replay and emptying the chat log.
bool TableWindow::WorksDuringReplay(int id) {
    switch (id) {
        case IDCANCEL:
        case IDC_CLEAR_CHAT:
        case IDM_SHOW_MOVES:
        case IDM_SOUNDS:
        case IDM_FOUR_COLOURS:
        case IDM_SORT_BY_STRENGTH:
        case IDM_RULES:
        case IDM_ABOUT:
        case IDM_KEYS:
        case IDM_STATISTICS:
        case IDM_REPLAY_GAME:
            return true;
        default:
            return false;
    }
}

void TableWindow::AddKeepingItems() {
    keeper_ = std::make_unique<GameKeeper>(hostComputer_);
    // A database that cannot be kept is told once, without stopping the game.
    keeper_->SetWarning([this](const QString& text) {
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Vantoro"), text,
                                    QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    });
    fileQuestion_ = AskFileName;
    problemBox_ = ShowProblem;
    gameMenu_->addSeparator();
    for (const auto& [id, label] : {std::pair{IDM_STATISTICS, "Statistiques..."},
                                    {IDM_SAVE_GAME, "Enregistrer la partie..."},
                                    {IDM_REPLAY_GAME, "Revoir une partie..."}}) {
        QAction* action = gameMenu_->addAction(QString::fromUtf8(label));
        menuItems_.insert(id, action);
        connect(action, &QAction::triggered, this, [this, id = id] {
            if (replay_ != nullptr && !WorksDuringReplay(id)) return;
            OnCommand(id);
        });
    }
}

void TableWindow::EnableKeepingItems() {
    menuItems_.value(IDM_SAVE_GAME)->setEnabled(replay_ == nullptr && keeper_->CanSave());
    menuItems_.value(IDM_REPLAY_GAME)
        ->setEnabled(g_sock == INVALID_SOCKET && (replay_ != nullptr || g_playerCount == 0));
    if (replay_ != nullptr) {
        for (int id : {IDM_NETWORK_GAME, IDM_PLAY_COMPUTER, IDM_FILL_COMPUTER, IDM_DISCONNECT})
            menuItems_.value(id)->setEnabled(false);
    }
}

void TableWindow::OnStatistics() {
    StatisticsStore* store = keeper_->Store();
    QString nickname = QString::fromUtf8(g_seats[g_localSeat >= 1 ? g_localSeat : 0].name);
    if ((replay_ != nullptr || nickname.isEmpty()) && store != nullptr)
        nickname = store->LatestNickname();
    StatisticsDialog dialog(store, nickname, this);
    dialog.exec();
}

void TableWindow::OnSaveGameFile() {
    if (replay_ != nullptr || !keeper_->CanSave()) return;
    const QString path = fileQuestion_(this, true);
    if (path.isEmpty()) return;
    QString error;
    if (!keeper_->SaveTo(path, &error)) problemBox_(this, error);
}

void TableWindow::OnReplayGame() {
    if (g_sock != INVALID_SOCKET || (replay_ == nullptr && g_playerCount != 0)) return;
    const QString path = fileQuestion_(this, false);
    if (!path.isEmpty()) OpenReplay(path);
}

bool TableWindow::OpenReplay(const QString& path) {
    if (g_sock != INVALID_SOCKET || (replay_ == nullptr && g_playerCount != 0)) return false;
    QString error;
    std::unique_ptr<ReplaySession> session = ReplaySession::Open(path, &error);
    if (session == nullptr) {
        problemBox_(this, error);
        return false;
    }
    CloseReplay();
    replay_ = std::move(session);
    // The file's table in the seat table: its names, the saver's seat, four
    // players; off the network nothing else reads them.
    ResetSeatTable();
    const GameFile& file = replay_->File();
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        std::memcpy(g_seats[s].name, file.header.names[s], NAME_SIZE);
        g_seats[s].number = static_cast<std::int8_t>(s);
    }
    g_localSeat = file.header.playerSeat;
    g_playerCount = SEAT_COUNT;
    g_newGameSeen = false;
    SetAllHandsFaceUp(true);
    for (int id : {IDC_PLAY, IDC_PASS, IDC_NEXT_ROUND, IDC_AWAY, IDC_SAVE_GAME, IDC_PLAYER_INFO})
        if (QWidget* control = Control(id)) control->setEnabled(false);
    chatInput_->setEnabled(false);
    // The keys step the replay: the hand's keyboard frame is off meanwhile.
    if (aids_ != nullptr && aids_->Cursor() != nullptr) aids_->Cursor()->setEnabled(false);
    QWidget* bar = replay_->Bar(this);
    layout()->addWidget(bar);
    bar->show();
    connect(replay_.get(), &ReplaySession::Moved, this, [this] {
        if (replay_ != nullptr) ShowReplayPosition();
    });
    connect(replay_.get(), &ReplaySession::CloseAsked, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { CloseReplay(); }, Qt::QueuedConnection);
    });
    setFocus();
    ShowReplayPosition();
    return true;
}

void TableWindow::ShowReplayPosition() {
    *g_table = replay_->Replay().Table();
    std::memset(g_table->selection, 0, sizeof g_table->selection);
    statusLabel_->setText(replay_->StatusLine());
    chatLog_->Clear();
    ::AppendChatText(chatLog_, replay_->GameLines().c_str());
    const GameReplay& replay = replay_->Replay();
    replay_->BackButton()->setEnabled(replay.Position() > 0);
    replay_->PreviousRoundButton()->setEnabled(replay.Position() > 0);
    replay_->ForwardButton()->setEnabled(replay.Position() + 1 < replay.PositionCount());
    replay_->NextRoundButton()->setEnabled(replay.Position() + 1 < replay.PositionCount());
    Repaint();
}

void TableWindow::CloseReplay() {
    if (replay_ == nullptr) return;
    replay_.reset();
    SetAllHandsFaceUp(false);
    ResetSeatTable();
    *g_table = GameTable();
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

bool TableWindow::ReplayKey(QKeyEvent* event) {
    if (replay_ == nullptr || event->modifiers() != Qt::NoModifier) return false;
    GameReplay& replay = replay_->Replay();
    switch (event->key()) {
        case Qt::Key_Left:
            replay.Back();
            break;
        case Qt::Key_Right:
            replay.Forward();
            break;
        case Qt::Key_PageUp:
        case Qt::Key_Up:
            replay.PreviousRound();
            break;
        case Qt::Key_PageDown:
        case Qt::Key_Down:
            replay.NextRound();
            break;
        case Qt::Key_Home:
            replay.GoTo(0);
            break;
        case Qt::Key_End:
            replay.GoTo(replay.PositionCount() - 1);
            break;
        case Qt::Key_Escape:
            CloseReplay();
            return true;
        default:
            return false;
    }
    ShowReplayPosition();
    return true;
}
