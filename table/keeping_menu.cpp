#include "table/keeping_menu.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <cstring>

#include "net/seat_table.h"
#include "net/socket_layer.h"
#include "resources/resource_ids.h"
#include "table/game_keeper.h"
#include "table/replay_session.h"
#include "table/statistics_dialog.h"
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

// Off the network, with no table of people open: where a replay may open.
bool OffTheNetwork(bool replaying) {
    return g_sock == INVALID_SOCKET && (replaying || g_playerCount == 0);
}

}  // namespace

KeepingMenu::KeepingMenu(QWidget* owner, QMenu* gameMenu, const HostComputer* computer)
    : QObject(owner),
      owner_(owner),
      keeper_(std::make_unique<GameKeeper>(computer)),
      fileQuestion_(AskFileName),
      problemBox_(ShowProblem) {
    // A database that cannot be kept is told once, without stopping the game.
    keeper_->SetWarning([owner](const QString& text) {
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Vantoro"), text,
                                    QMessageBox::Ok, owner);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    });
    gameMenu->addSeparator();
    for (const auto& [id, label] : {std::pair{IDM_STATISTICS, "Statistiques..."},
                                    {IDM_SAVE_GAME, "Enregistrer la partie..."},
                                    {IDM_REPLAY_GAME, "Revoir une partie..."}}) {
        QAction* action = gameMenu->addAction(QString::fromUtf8(label));
        items_.insert(id, action);
        connect(action, &QAction::triggered, this, [this, id = id] { emit Chosen(id); });
    }
}

KeepingMenu::~KeepingMenu() = default;

bool KeepingMenu::WorksDuringReplay(int id) {
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

void KeepingMenu::EnableItems() {
    items_.value(IDM_SAVE_GAME)->setEnabled(replay_ == nullptr && keeper_->CanSave());
    items_.value(IDM_REPLAY_GAME)->setEnabled(OffTheNetwork(replay_ != nullptr));
}

void KeepingMenu::OnStatistics() {
    StatisticsStore* store = keeper_->Store();
    QString nickname = QString::fromUtf8(g_seats[g_localSeat >= 1 ? g_localSeat : 0].name);
    if ((replay_ != nullptr || nickname.isEmpty()) && store != nullptr)
        nickname = store->LatestNickname();
    StatisticsDialog dialog(store, nickname, owner_);
    dialog.exec();
}

void KeepingMenu::OnSaveGameFile() {
    if (replay_ != nullptr || !keeper_->CanSave()) return;
    const QString path = fileQuestion_(owner_, true);
    if (path.isEmpty()) return;
    QString error;
    if (!keeper_->SaveTo(path, &error)) problemBox_(owner_, error);
}

void KeepingMenu::OnReplayGame() {
    if (!OffTheNetwork(replay_ != nullptr)) return;
    const QString path = fileQuestion_(owner_, false);
    if (!path.isEmpty()) OpenReplay(path);
}

bool KeepingMenu::OpenReplay(const QString& path) {
    if (!OffTheNetwork(replay_ != nullptr)) return false;
    QString error;
    std::unique_ptr<ReplaySession> session = ReplaySession::Open(path, &error);
    if (session == nullptr) {
        problemBox_(owner_, error);
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
    connect(replay_.get(), &ReplaySession::Moved, this, [this] {
        if (replay_ != nullptr) ShowPosition();
    });
    connect(replay_.get(), &ReplaySession::CloseAsked, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { CloseReplay(); }, Qt::QueuedConnection);
    });
    emit ReplayOpened(replay_->Bar(owner_));
    ShowPosition();
    return true;
}

void KeepingMenu::ShowPosition() {
    *g_table = replay_->Replay().Table();
    std::memset(g_table->selection, 0, sizeof g_table->selection);
    const GameReplay& replay = replay_->Replay();
    replay_->BackButton()->setEnabled(replay.Position() > 0);
    replay_->PreviousRoundButton()->setEnabled(replay.Position() > 0);
    replay_->ForwardButton()->setEnabled(replay.Position() + 1 < replay.PositionCount());
    replay_->NextRoundButton()->setEnabled(replay.Position() + 1 < replay.PositionCount());
    emit ReplayMoved();
}

void KeepingMenu::CloseReplay() {
    if (replay_ == nullptr) return;
    replay_.reset();
    SetAllHandsFaceUp(false);
    ResetSeatTable();
    *g_table = GameTable();
    emit ReplayClosed();
}

bool KeepingMenu::ReplayKey(QKeyEvent* event) {
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
    ShowPosition();
    return true;
}

void KeepingMenu::OnTableEvent(const TableEvent& event) {
    keeper_->OnTableEvent(event);
}

void KeepingMenu::LeaveTable() {
    keeper_->LeaveTable();
}
