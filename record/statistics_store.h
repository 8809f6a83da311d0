// The player's statistics, kept in SQLite through Qt SQL: one row per game
// and one per finished round, in the user's data folder
// ($XDG_DATA_HOME/Vantoro/statistiques.sqlite).
//
// Schema (version 1, in PRAGMA user_version):
//   games(id, started_ms, ended_ms NULL while open, player, seat,
//         name1..name4, level1..level4 NULL for a person's seat,
//         opponents: "ordinateur:LEVEL" when the three other seats are the
//         computer's, "reseau" otherwise)
//   rounds(game_id, number 1.., ended_ms, winner, paid1..paid4 (the cards
//          charged, so the money each paid; the winner 0), money1..money4
//          after the round)
//
// Each round is written in one transaction, so a killed program loses at
// most the round in progress. A database that cannot be read is renamed aside
// with the date ("statistiques.sqlite.endommagee-AAAAMMJJ-HHMMSS", never
// deleted) and a new one started; Problem() then says so once, in French.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "rules/game_table.h"

// One finished round as a window knows it.
struct FinishedRound {
    std::int64_t gameStartedMs = 0;  // the game's first deal
    std::int64_t endedMs = 0;        // the round's end
    QString names[SEAT_COUNT + 1];
    int playerSeat = 1;
    // The level name (bot/bot_level.h) of a computer-held seat, "inconnu"
    // when the window knows the seat is the computer's but not its level,
    // empty for a person.
    QString levels[SEAT_COUNT + 1];
    int number = 1;  // the round's number in the game
    int winner = 1;
    int paid[SEAT_COUNT + 1] = {};
    int money[SEAT_COUNT + 1] = {};
};

// What the statistics show for one kind of opponents.
struct KindSummary {
    QString kind;   // "ordinateur:LEVEL" or "reseau"
    QString label;  // "contre l'ordinateur (Normal)", "en réseau"
    int games = 0;
    int rounds = 0;
    int roundsWon = 0;
    std::int64_t moneyWon = 0;  // sum over the rounds, losses negative
    int bestRound = 0;
    int worstRound = 0;
    int longestRun = 0;  // rounds won in a row
};

// The data folder: $XDG_DATA_HOME/Vantoro, ~/.local/share/Vantoro by default.
QString VantoroDataFolder();
QString DefaultStatisticsPath();

class StatisticsStore {
  public:
    StatisticsStore();
    ~StatisticsStore();
    StatisticsStore(const StatisticsStore&) = delete;
    StatisticsStore& operator=(const StatisticsStore&) = delete;

    // Opens (creating the folder and the file) the database at `path`. A file
    // that is no database or fails its check is set aside and a new one made.
    // Returns whether statistics can be kept; Problem() tells the player what
    // went wrong, if anything (also when the store opened after setting a
    // damaged file aside).
    bool Open(const QString& path);
    bool IsOpen() const { return open_; }
    const QString& Problem() const { return problem_; }
    // The file a damaged database was renamed to; empty if none.
    const QString& SetAsidePath() const { return setAside_; }

    // Writes one round in one transaction, opening the game's row at its first
    // round. A write that fails closes the store (the game goes on) and sets
    // Problem(). Returns whether the round is kept.
    bool RecordRound(const FinishedRound& round);
    // Closes the game in progress, if any: its end time is written.
    void CloseGame(std::int64_t endedMs);
    bool HasOpenGame() const { return gameId_ != 0; }

    // Per opponent kind, the rounds of games in which `nickname` sat, the
    // kinds against the computer first by level, then the network.
    std::vector<KindSummary> Summaries(const QString& nickname) const;
    // The player's money at the end of each of the last `count` games, oldest
    // first.
    std::vector<int> MoneyPerGame(const QString& nickname, int count) const;
    // The nickname of the latest game recorded; empty when none.
    QString LatestNickname() const;
    // Forgets every game and round.
    bool Clear();

  private:
    bool CreateSchema();
    void Fail(const QString& what);

    QString connection_;
    QString path_;
    QString problem_;
    QString setAside_;
    bool open_ = false;
    std::int64_t gameId_ = 0;
    std::int64_t gameStartedMs_ = 0;
};

// The label of an opponent kind: "contre l'ordinateur (Facile)", "contre
// l'ordinateur (niveau inconnu)", "en réseau".
QString OpponentLabel(const QString& kind);
// The statistics as a text table (what `vantoro --statistics` prints), one
// line per kind under a heading line; a line saying there is nothing yet
// when `summaries` is empty.
QString StatisticsText(const QString& nickname, const std::vector<KindSummary>& summaries);
