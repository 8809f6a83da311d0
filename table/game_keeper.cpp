#include "table/game_keeper.h"

#include <QDateTime>
#include <QDir>
#include <QSaveFile>
#include <cstdio>
#include <cstring>

#include "bot/host_computer.h"
#include "net/game_log.h"
#include "net/notices.h"
#include "net/seat_table.h"

namespace {

std::int64_t NowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

// On a client the computer's seats are known by their names only.
bool NamedAsComputer(const char* name, int seat) {
    char computer[NAME_SIZE];
    std::snprintf(computer, sizeof computer, COMPUTER_NAME, seat);
    if (std::strcmp(name, computer) == 0) return true;
    const std::size_t length = std::strlen(name);
    const std::size_t mark = std::strlen(COMPUTER_MARK);
    return length >= mark && std::strcmp(name + length - mark, COMPUTER_MARK) == 0;
}

}  // namespace

GameKeeper::GameKeeper(const HostComputer* computer) : computer_(computer) {}

GameKeeper::~GameKeeper() {
    LeaveTable();
}

QString GameKeeper::LastGamePath() {
    return VantoroDataFolder() + QStringLiteral("/derniere-partie.vantoro");
}

StatisticsStore* GameKeeper::Store() {
    if (!storeTried_) {
        storeTried_ = true;
        store_ = std::make_unique<StatisticsStore>();
        store_->Open(DefaultStatisticsPath());
        if (!store_->Problem().isEmpty()) {
            if (warning_)
                warning_(store_->Problem());
            else
                std::fprintf(stderr, "vantoro : %s\n", store_->Problem().toLocal8Bit().constData());
        }
    }
    return store_ != nullptr && store_->IsOpen() ? store_.get() : nullptr;
}

FinishedRound GameKeeper::RoundNow(int winner) const {
    FinishedRound round;
    round.gameStartedMs = gameStartedMs_;
    round.endedMs = NowMs();
    round.playerSeat = g_localSeat;
    round.winner = winner;
    round.number = g_table->roundsPlayed;
    const RoundResult& result = g_table->history[g_table->roundsPlayed - 1];
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        round.names[s] = QString::fromUtf8(g_seats[s].name,
                                           static_cast<int>(strnlen(g_seats[s].name, NAME_SIZE)));
        round.paid[s] = result.charged[s];
        round.money[s] = g_table->money[s];
        if (s == g_localSeat) continue;
        if (g_localSeat == 1) {
            if (IsComputerSeat(s))
                round.levels[s] = QString::fromLatin1(
                    computer_ != nullptr ? BotLevelName(computer_->Level()) : "inconnu");
        } else if (NamedAsComputer(g_seats[s].name, s)) {
            round.levels[s] = QStringLiteral("inconnu");
        }
    }
    return round;
}

void GameKeeper::OnTableEvent(const TableEvent& event) {
    using Kind = TableEvent::Kind;
    switch (event.kind) {
        case Kind::kGameStarted:
            gameStartedMs_ = NowMs();
            roundsSeen_ = 0;
            break;
        case Kind::kRoundDealt:
            // A client that came into a game already running dates it from here.
            if (gameStartedMs_ == 0) gameStartedMs_ = NowMs();
            break;
        case Kind::kRoundEnded: {
            if (g_table == nullptr || g_table->roundsPlayed < 1 || g_localSeat < 1 || !GameLive())
                break;
            ++roundsSeen_;
            if (StatisticsStore* store = Store()) {
                if (!store->RecordRound(RoundNow(event.seat)) && warning_)
                    warning_(store->Problem());
            }
            SaveLastGame();
            break;
        }
        case Kind::kGameEnding:
            if (store_ != nullptr) store_->CloseGame(NowMs());
            gameStartedMs_ = 0;
            roundsSeen_ = 0;
            break;
        case Kind::kTableClosed:
            LeaveTable();
            break;
        default:
            break;
    }
}

void GameKeeper::LeaveTable() {
    if (store_ != nullptr) store_->CloseGame(NowMs());
    gameStartedMs_ = 0;
    roundsSeen_ = 0;
}

bool GameKeeper::CanSave() const {
    return g_table != nullptr && g_localSeat >= 1 && g_table->roundsPlayed >= 1 &&
           g_gameLog.GameSize() > 0;
}

std::vector<std::uint8_t> GameKeeper::GameFileBytes() const {
    GameFileHeader header;
    header.startedMs = gameStartedMs_ != 0 ? gameStartedMs_ : NowMs();
    for (int s = 1; s <= SEAT_COUNT; ++s) std::memcpy(header.names[s], g_seats[s].name, NAME_SIZE);
    header.playerSeat = g_localSeat >= 1 ? g_localSeat : 1;
    return EncodeGameFile(header, g_gameLog.GameData(), g_gameLog.GameSize());
}

bool GameKeeper::SaveTo(const QString& path, QString* error) const {
    return WriteFileSafely(path, GameFileBytes(), error);
}

void GameKeeper::SaveLastGame() const {
    QDir().mkpath(VantoroDataFolder());
    QString ignored;
    WriteFileSafely(LastGamePath(), GameFileBytes(), &ignored);
}

bool WriteFileSafely(const QString& path, const std::vector<std::uint8_t>& bytes, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("Impossible d'écrire %1 : %2").arg(path, file.errorString());
        return false;
    }
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    if (!file.commit()) {
        *error = QStringLiteral("Impossible d'écrire %1 : %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
