// The "Jouer contre l'ordinateur" dialog: a nickname and the computer's level,
// then one table on this machine with the three other seats held by the
// computer.
//
// "Jouer" (the default button, Enter) hosts on 127.0.0.1, port 7171 or, when
// that one is taken, any free port the system gives; "Annuler" and Escape
// close the dialog with nothing done. A failure to host is shown in the
// "Winsock Error" box, as from the connect dialog. The caller then gives the
// empty seats to its computer player at the chosen level. The nickname and
// the level start as the last hosted table left them (table/settings.h).
#pragma once

#include <QDialog>

#include "bot/bot_level.h"

class QComboBox;
class QLineEdit;
class QPushButton;

// What became of the dialog.
struct ComputerGameOutcome {
    int endResult = 0;     // 1 when the socket could not be registered (fatal), else 0
    bool hosting = false;  // a table is hosted: the caller fills it with the computer
    BotLevel level = DEFAULT_BOT_LEVEL;
};

class ComputerDialog : public QDialog {
    Q_OBJECT

  public:
    explicit ComputerDialog(QWidget* owner);

    QLineEdit* Nickname() const { return nickname_; }
    QComboBox* LevelBox() const { return level_; }
    QComboBox* TurnLimitChoice() const { return turnLimit_; }
    QPushButton* PlayButton() const { return play_; }
    QPushButton* CancelButton() const { return cancel_; }
    const ComputerGameOutcome& Outcome() const { return outcome_; }

    // "Jouer": hosts the table; the dialog ends when it is hosted or failed.
    void OnPlay();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QLineEdit* nickname_ = nullptr;
    QComboBox* level_ = nullptr;
    QComboBox* turnLimit_ = nullptr;
    QPushButton* play_ = nullptr;
    QPushButton* cancel_ = nullptr;
    ComputerGameOutcome outcome_;
};

// Runs the dialog modally over owner and returns what became of it.
ComputerGameOutcome RunComputerDialog(QWidget* owner);
