// What the table window keeps of the games it takes part in: each finished
// round in the statistics database (record/statistics_store.h), the game's
// record closed when the game ends or the window leaves it, and the last game
// saved automatically in the data folder (derniere-partie.vantoro), so that a
// game lost with its connection can still be saved or watched again.
//
// What a window knows of the seats: on the host, which seats its computer
// holds (IsComputerSeat) and at which level (its HostComputer's); on a client, a
// computer-held seat only by its name (COMPUTER_NAME or COMPUTER_MARK), its
// level unknown ("inconnu"). A seat the window's own "Absent" lets the
// computer play stays a person's.
//
// The database is opened at the first round to record; a database that cannot
// be opened is reported once through the warning hook and the game goes on.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "net/table_view.h"
#include "record/game_file.h"
#include "record/statistics_store.h"

class HostComputer;

class GameKeeper {
  public:
    using Warning = std::function<void(const QString& text)>;

    // `computer` (the window's, may be null) tells the level of the host's
    // computer seats; it outlives the keeper.
    explicit GameKeeper(const HostComputer* computer);
    ~GameKeeper();

    // Shown once for a database that cannot be kept; the default writes to
    // standard error.
    void SetWarning(Warning warning) { warning_ = std::move(warning); }

    // Every event of the table, from the window's OnTableEvent.
    void OnTableEvent(const TableEvent& event);
    // The window leaves the table (Déconnecter, Quitter, a new table): the
    // game's record is closed.
    void LeaveTable();

    // True while the window is seated at a game with at least one finished
    // round: what "Enregistrer la partie..." needs.
    bool CanSave() const;
    // The game so far as a `.vantoro` file's bytes.
    std::vector<std::uint8_t> GameFileBytes() const;
    // Writes the game so far to `path` through a temporary file renamed into
    // place. False with a French *error when it cannot.
    bool SaveTo(const QString& path, QString* error) const;

    // The database, opened on first use (null while it cannot be opened).
    StatisticsStore* Store();
    static QString LastGamePath();

  private:
    FinishedRound RoundNow(int winner) const;
    void SaveLastGame() const;

    const HostComputer* computer_;
    Warning warning_;
    std::unique_ptr<StatisticsStore> store_;
    bool storeTried_ = false;
    std::int64_t gameStartedMs_ = 0;
    int roundsSeen_ = 0;  // rounds finished in this game on this copy
};

// Writes bytes to path through QSaveFile. False with a French *error.
bool WriteFileSafely(const QString& path, const std::vector<std::uint8_t>& bytes, QString* error);
