#include "record/statistics_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <map>

#include "bot/bot_level.h"

namespace {

constexpr int SCHEMA_VERSION = 1;
const QString NETWORK_KIND = QStringLiteral("reseau");
const QString COMPUTER_KIND_PREFIX = QStringLiteral("ordinateur:");

QString NextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("vantoro-statistics-%1").arg(counter.fetch_add(1));
}

// The kind of a game: the computer's at one level when the three other seats
// are all the computer's at that level, the network's otherwise.
QString OpponentKind(const FinishedRound& round) {
    QString level;
    for (int s = 1; s <= SEAT_COUNT; ++s) {
        if (s == round.playerSeat) continue;
        if (round.levels[s].isEmpty()) return NETWORK_KIND;
        if (!level.isEmpty() && level != round.levels[s])
            level = QStringLiteral("inconnu");
        else if (level.isEmpty())
            level = round.levels[s];
    }
    return COMPUTER_KIND_PREFIX + level;
}

int KindOrder(const QString& kind) {
    if (kind == NETWORK_KIND) return 100;
    BotLevel level;
    const QByteArray name = kind.mid(COMPUTER_KIND_PREFIX.size()).toLatin1();
    if (ParseBotLevel(std::string_view(name.constData(), static_cast<std::size_t>(name.size())),
                      &level))
        return static_cast<int>(level);
    return 50;
}

}  // namespace

QString VantoroDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Vantoro");
}

QString DefaultStatisticsPath() {
    return VantoroDataFolder() + QStringLiteral("/statistiques.sqlite");
}

QString OpponentLabel(const QString& kind) {
    if (kind == NETWORK_KIND) return QStringLiteral("en réseau");
    const QByteArray name = kind.mid(COMPUTER_KIND_PREFIX.size()).toLatin1();
    BotLevel level;
    if (ParseBotLevel(std::string_view(name.constData(), static_cast<std::size_t>(name.size())),
                      &level))
        return QStringLiteral("contre l'ordinateur (%1)")
            .arg(QString::fromUtf8(BotLevelLabel(level)));
    return QStringLiteral("contre l'ordinateur (niveau inconnu)");
}

StatisticsStore::StatisticsStore() : connection_(NextConnectionName()) {}

StatisticsStore::~StatisticsStore() {
    if (QSqlDatabase::contains(connection_)) {
        {
            QSqlDatabase db = QSqlDatabase::database(connection_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connection_);
    }
}

bool StatisticsStore::Open(const QString& path) {
    path_ = path;
    problem_.clear();
    setAside_.clear();
    open_ = false;
    gameId_ = 0;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        problem_ = QStringLiteral(
            "Les statistiques ne peuvent pas être enregistrées : le pilote SQLite de Qt "
            "(paquet libqt6sql6-sqlite) est absent. La partie continue sans statistiques.");
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    for (int attempt = 0; attempt < 2; ++attempt) {
        {
            QSqlDatabase db =
                QSqlDatabase::contains(connection_)
                    ? QSqlDatabase::database(connection_, false)
                    : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
            db.setDatabaseName(path);
            if (db.open()) {
                QSqlQuery check(db);
                const bool sound = check.exec(QStringLiteral("PRAGMA quick_check")) &&
                                   check.next() &&
                                   check.value(0).toString() == QStringLiteral("ok");
                check.finish();
                if (sound && CreateSchema()) {
                    open_ = true;
                    if (!setAside_.isEmpty())
                        problem_ = QStringLiteral(
                                       "La base des statistiques était endommagée : elle est "
                                       "gardée sous %1 et une nouvelle base est commencée.")
                                       .arg(setAside_);
                    return true;
                }
            } else if (!QFileInfo::exists(path)) {
                problem_ = QStringLiteral(
                               "Les statistiques ne peuvent pas être enregistrées : la base %1 ne "
                               "peut pas être créée (%2). La partie continue sans statistiques.")
                               .arg(path, db.lastError().text());
                return false;
            }
            db.close();
        }
        if (attempt > 0 || !QFileInfo::exists(path)) break;
        // A damaged file: kept aside under a dated name, never deleted.
        const QString aside =
            path + QStringLiteral(".endommagee-") +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        if (!QFile::rename(path, aside)) break;
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        setAside_ = aside;
    }
    problem_ = setAside_.isEmpty()
                   ? QStringLiteral(
                         "La base des statistiques %1 est endommagée et ne peut pas être mise de "
                         "côté. La partie continue sans statistiques.")
                         .arg(path)
                   : QStringLiteral(
                         "La base des statistiques était endommagée : elle est gardée sous %1. Une "
                         "nouvelle base ne peut pas être créée ; la partie continue sans "
                         "statistiques.")
                         .arg(setAside_);
    return false;
}

bool StatisticsStore::CreateSchema() {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    // A killed program loses no committed round with WAL and NORMAL
    // synchronisation; only a power failure may lose the latest ones.
    q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    q.exec(QStringLiteral("PRAGMA foreign_keys=ON"));
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) return false;
    const int version = q.value(0).toInt();
    q.finish();
    if (version == SCHEMA_VERSION) {
        // Written by this version: the tables must be there.
        return q.exec(QStringLiteral("SELECT count(*) FROM games, rounds LIMIT 1"));
    }
    if (version != 0) return false;
    const char* statements[] = {
        "CREATE TABLE IF NOT EXISTS games(id INTEGER PRIMARY KEY, started_ms INTEGER NOT NULL, "
        "ended_ms INTEGER, player TEXT NOT NULL, seat INTEGER NOT NULL, "
        "name1 TEXT, name2 TEXT, name3 TEXT, name4 TEXT, "
        "level1 TEXT, level2 TEXT, level3 TEXT, level4 TEXT, opponents TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS rounds(game_id INTEGER NOT NULL REFERENCES games(id) "
        "ON DELETE CASCADE, number INTEGER NOT NULL, ended_ms INTEGER NOT NULL, "
        "winner INTEGER NOT NULL, paid1 INTEGER, paid2 INTEGER, paid3 INTEGER, paid4 INTEGER, "
        "money1 INTEGER, money2 INTEGER, money3 INTEGER, money4 INTEGER, "
        "PRIMARY KEY(game_id, number)) WITHOUT ROWID",
        "CREATE INDEX IF NOT EXISTS games_player ON games(player, id)",
    };
    if (!db.transaction()) return false;
    for (const char* statement : statements) {
        if (!q.exec(QString::fromLatin1(statement))) {
            db.rollback();
            return false;
        }
    }
    q.exec(QStringLiteral("PRAGMA user_version=%1").arg(SCHEMA_VERSION));
    return db.commit();
}

void StatisticsStore::Fail(const QString& what) {
    open_ = false;
    gameId_ = 0;
    problem_ = QStringLiteral(
                   "Les statistiques ne peuvent plus être enregistrées dans %1 (%2). La partie "
                   "continue sans statistiques.")
                   .arg(path_, what);
}

bool StatisticsStore::RecordRound(const FinishedRound& round) {
    if (!open_) return false;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (gameId_ != 0 && gameStartedMs_ != round.gameStartedMs) CloseGame(round.endedMs);
    if (!db.transaction()) {
        Fail(db.lastError().text());
        return false;
    }
    QSqlQuery q(db);
    if (gameId_ == 0) {
        q.prepare(QStringLiteral(
            "INSERT INTO games(started_ms, player, seat, name1, name2, name3, name4, level1, "
            "level2, level3, level4, opponents) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"));
        q.addBindValue(QVariant::fromValue<qint64>(round.gameStartedMs));
        q.addBindValue(round.names[round.playerSeat]);
        q.addBindValue(round.playerSeat);
        for (int s = 1; s <= SEAT_COUNT; ++s) q.addBindValue(round.names[s]);
        for (int s = 1; s <= SEAT_COUNT; ++s)
            q.addBindValue(round.levels[s].isEmpty() ? QVariant() : QVariant(round.levels[s]));
        q.addBindValue(OpponentKind(round));
        if (!q.exec()) {
            const QString error = q.lastError().text();
            db.rollback();
            Fail(error);
            return false;
        }
        gameId_ = q.lastInsertId().toLongLong();
        gameStartedMs_ = round.gameStartedMs;
    }
    q.prepare(QStringLiteral(
        "INSERT OR REPLACE INTO rounds(game_id, number, ended_ms, winner, paid1, paid2, paid3, "
        "paid4, money1, money2, money3, money4) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"));
    q.addBindValue(QVariant::fromValue<qint64>(gameId_));
    q.addBindValue(round.number);
    q.addBindValue(QVariant::fromValue<qint64>(round.endedMs));
    q.addBindValue(round.winner);
    for (int s = 1; s <= SEAT_COUNT; ++s) q.addBindValue(round.paid[s]);
    for (int s = 1; s <= SEAT_COUNT; ++s) q.addBindValue(round.money[s]);
    if (!q.exec() || !db.commit()) {
        const QString error = q.lastError().text();
        db.rollback();
        Fail(error);
        return false;
    }
    return true;
}

void StatisticsStore::CloseGame(std::int64_t endedMs) {
    if (!open_ || gameId_ == 0) return;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("UPDATE games SET ended_ms = ? WHERE id = ?"));
    q.addBindValue(QVariant::fromValue<qint64>(endedMs));
    q.addBindValue(QVariant::fromValue<qint64>(gameId_));
    if (!q.exec()) Fail(q.lastError().text());
    gameId_ = 0;
}

std::vector<KindSummary> StatisticsStore::Summaries(const QString& nickname) const {
    std::vector<KindSummary> out;
    if (!open_) return out;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT g.id, g.opponents, g.seat, r.winner, r.paid1, r.paid2, r.paid3, r.paid4 "
        "FROM games g JOIN rounds r ON r.game_id = g.id WHERE g.player = ? "
        "ORDER BY g.id, r.number"));
    q.addBindValue(nickname);
    if (!q.exec()) return out;
    struct Running {
        KindSummary summary;
        std::int64_t lastGame = 0;
        int run = 0;
    };
    std::map<QString, Running> kinds;
    while (q.next()) {
        const std::int64_t game = q.value(0).toLongLong();
        const QString kind = q.value(1).toString();
        const int seat = q.value(2).toInt();
        const int winner = q.value(3).toInt();
        int paid[SEAT_COUNT + 1] = {};
        int total = 0;
        for (int s = 1; s <= SEAT_COUNT; ++s) {
            paid[s] = q.value(3 + s).toInt();
            total += paid[s];
        }
        const int won = winner == seat ? total : -paid[seat];
        Running& r = kinds[kind];
        KindSummary& k = r.summary;
        if (k.rounds == 0 || r.lastGame != game) ++k.games;
        if (k.rounds == 0) k.bestRound = k.worstRound = won;
        r.lastGame = game;
        ++k.rounds;
        k.moneyWon += won;
        k.bestRound = std::max(k.bestRound, won);
        k.worstRound = std::min(k.worstRound, won);
        if (winner == seat) {
            ++k.roundsWon;
            k.longestRun = std::max(k.longestRun, ++r.run);
        } else {
            r.run = 0;
        }
    }
    for (auto& [kind, running] : kinds) {
        running.summary.kind = kind;
        running.summary.label = OpponentLabel(kind);
        out.push_back(running.summary);
    }
    std::stable_sort(out.begin(), out.end(), [](const KindSummary& a, const KindSummary& b) {
        return KindOrder(a.kind) < KindOrder(b.kind);
    });
    return out;
}

std::vector<int> StatisticsStore::MoneyPerGame(const QString& nickname, int count) const {
    std::vector<int> out;
    if (!open_) return out;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    // The money of the player's seat after the game's last round.
    q.prepare(QStringLiteral(
        "SELECT CASE g.seat WHEN 1 THEN r.money1 WHEN 2 THEN r.money2 WHEN 3 THEN r.money3 "
        "ELSE r.money4 END FROM games g JOIN rounds r ON r.game_id = g.id "
        "WHERE g.player = ? AND r.number = (SELECT max(number) FROM rounds WHERE game_id = g.id) "
        "ORDER BY g.id DESC LIMIT ?"));
    q.addBindValue(nickname);
    q.addBindValue(count);
    if (!q.exec()) return out;
    while (q.next()) out.push_back(q.value(0).toInt());
    std::reverse(out.begin(), out.end());
    return out;
}

QString StatisticsStore::LatestNickname() const {
    if (!open_) return {};
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (q.exec(QStringLiteral("SELECT player FROM games ORDER BY id DESC LIMIT 1")) && q.next())
        return q.value(0).toString();
    return {};
}

bool StatisticsStore::Clear() {
    if (!open_) return false;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    if (!db.transaction()) return false;
    if (!q.exec(QStringLiteral("DELETE FROM rounds")) ||
        !q.exec(QStringLiteral("DELETE FROM games"))) {
        db.rollback();
        return false;
    }
    gameId_ = 0;
    return db.commit();
}

QString StatisticsText(const QString& nickname, const std::vector<KindSummary>& summaries) {
    QString text = nickname.isEmpty() ? QStringLiteral("Statistiques\n")
                                      : QStringLiteral("Statistiques de %1\n").arg(nickname);
    if (summaries.empty()) return text + QStringLiteral("Aucune manche enregistrée.\n");
    text += QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
                .arg(QStringLiteral("adversaires"), -38)
                .arg(QStringLiteral("parties"), 8)
                .arg(QStringLiteral("manches"), 8)
                .arg(QStringLiteral("gagnées"), 14)
                .arg(QStringLiteral("$/manche"), 9)
                .arg(QStringLiteral("meilleure"), 10)
                .arg(QStringLiteral("pire"), 6)
                .arg(QStringLiteral("série"), 6);
    for (const KindSummary& k : summaries) {
        const double percent = k.rounds > 0 ? 100.0 * k.roundsWon / k.rounds : 0.0;
        const double perRound = k.rounds > 0 ? static_cast<double>(k.moneyWon) / k.rounds : 0.0;
        text += QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
                    .arg(k.label, -38)
                    .arg(k.games, 8)
                    .arg(k.rounds, 8)
                    .arg(QStringLiteral("%1 (%2 %)").arg(k.roundsWon).arg(percent, 0, 'f', 1), 14)
                    .arg(perRound, 9, 'f', 2)
                    .arg(k.bestRound > 0 ? QStringLiteral("+%1").arg(k.bestRound)
                                         : QString::number(k.bestRound),
                         10)
                    .arg(k.worstRound, 6)
                    .arg(k.longestRun, 6);
    }
    return text;
}
