// A saved game watched again in the table window ("Revoir une partie..."):
// the file, read whole and checked before anything is shown, its replay, and
// the bar of buttons under the board ("◀", "▶", "Manche précédente",
// "Manche suivante", "Fermer"). The window shows the position by putting the
// replay's table in g_table and the file's names and seats in the seat table
// while the replay is open (it is opened only off the network), with every
// hand face up; it puts the empty table back when the replay closes.
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <string>

#include "record/game_file.h"

class QPushButton;
class QWidget;

class ReplaySession : public QObject {
    Q_OBJECT

  public:
    // Reads the file. Returns null, with the French message in *error
    // (what was wrong and at which byte), for a file that cannot be read or
    // is refused.
    static std::unique_ptr<ReplaySession> Open(const QString& path, QString* error);
    // From bytes already read (tests); `error` as above.
    static std::unique_ptr<ReplaySession> FromBytes(const std::uint8_t* data, std::size_t size,
                                                    QString* error);
    ~ReplaySession() override;

    const GameFile& File() const { return *file_; }
    GameReplay& Replay() { return *replay_; }
    const GameReplay& Replay() const { return *replay_; }

    // "Revoir : manche R, coup M / N".
    QString StatusLine() const;
    // The game lines (table/game_lines.h) of the round's moves up to the
    // position, names from the seat table.
    std::string GameLines() const;

    // Builds the bar (once) in `parent`; its buttons step the replay and
    // emit Moved, "Fermer" emits CloseAsked.
    QWidget* Bar(QWidget* parent);
    QPushButton* BackButton() const { return back_; }
    QPushButton* ForwardButton() const { return forward_; }
    QPushButton* PreviousRoundButton() const { return previousRound_; }
    QPushButton* NextRoundButton() const { return nextRound_; }

  signals:
    void Moved();
    void CloseAsked();

  private:
    ReplaySession() = default;

    std::unique_ptr<GameFile> file_;
    std::unique_ptr<GameReplay> replay_;
    QWidget* bar_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* forward_ = nullptr;
    QPushButton* previousRound_ = nullptr;
    QPushButton* nextRound_ = nullptr;
};
