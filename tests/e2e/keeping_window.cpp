// The real table window in a process of its own, playing a game against the
// computer by itself: it hosts through the "Jouer contre l'ordinateur" dialog
// (nickname "Kim", level "Facile"), lets the computer play its own seat
// ("Absent") with a short think time, and prints "round N" once its N-th
// round has ended, that is once the window has recorded it. The killed-window
// test stops it with SIGKILL in the middle of the game.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "bot/auto_play.h"
#include "bot/host_computer.h"
#include "net/seat_table.h"
#include "resources/resource_ids.h"
#include "table/computer_dialog.h"
#include "table/table_window.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    TableWindow window;
    window.SetComputerDialogRunner([](QWidget* owner) {
        ComputerDialog dialog(owner);
        dialog.Nickname()->setText(QStringLiteral("Kim"));
        dialog.LevelBox()->setCurrentIndex(0);
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.OnPlay(); });
        dialog.exec();
        return dialog.Outcome();
    });
    window.show();
    int told = 0;
    int last = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const int rounds = g_table != nullptr ? g_table->roundsPlayed : 0;
        if (rounds != last) {
            if (rounds > last) {
                told += rounds - last;
                std::printf("round %d\n", told);
                std::fflush(stdout);
            }
            last = rounds;
        }
    });
    QTimer::singleShot(0, &window, [&] {
        window.OnPlayComputer();
        window.Computer()->SetDelay(3);
        window.AwayPlayer()->SetDelay(3);
        window.Button(IDC_AWAY)->click();
        poll.start(1);
    });
    window.exec();
    return 0;
}
