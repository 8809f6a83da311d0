// The program's entry: runs the table window modally and returns 0 when it
// has ended. The command line takes --help and --version only; they print
// and end before any part of the toolkit starts, so that they open no window
// and need no display. Anything else is refused with status 2. The toolkit is
// given the program's name only, and the organisation and name under which
// the window's settings are kept ($XDG_CONFIG_HOME/Vantoro/vantoro.conf).
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "resources/version.h"
#include "table/computer_dialog.h"
#include "table/connect_dialog.h"
#include "table/table_window.h"

namespace {

constexpr const char* USAGE =
    "Utilisation : vantoro [--help | --version]\n"
    "Ouvre la table de Vantoro, un jeu de cartes à quatre joueurs en réseau.\n"
    "\n"
    "  -h, --help  affiche cette aide\n"
    "  --version   affiche la version\n"
    "\n"
    "Le menu « Jeu » héberge une table ou en rejoint une ; vantoro-bot --help\n"
    "présente le joueur ordinateur, qui peut occuper les places libres.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
            std::printf("vantoro %s\n", VersionText());
            return 0;
        }
        if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
            std::fputs(USAGE, stdout);
            return 0;
        }
        std::fprintf(stderr, "vantoro : argument inconnu « %s » (essayez --help)\n", argv[1]);
        return 2;
    }

    char name[] = "vantoro";
    char* arguments[] = {name, nullptr};
    int count = 1;
    QApplication::setApplicationVersion(QString::fromLatin1(VersionText()));
    QApplication::setOrganizationName(QStringLiteral("Vantoro"));
    QApplication::setApplicationName(QStringLiteral("vantoro"));
    // Ties the window to its desktop entry, and so to its icon in the theme.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(ApplicationId()));
    QApplication application(count, arguments);
    TableWindow window;
    window.SetConnectDialogRunner(RunConnectDialog);
    window.SetComputerDialogRunner(RunComputerDialog);
    window.SetLeaveQuestion(AskLeaveGame);
    window.exec();
    return 0;
}
