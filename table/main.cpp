// The program's entry: runs the table window modally and returns 0 when it
// has ended. The command line takes --help and --version, which print and end
// before any part of the toolkit starts; --statistics [--nickname NAME],
// which prints the player's statistics from the database and ends without a
// window (no display needed); and one FILE.vantoro, a saved game that the
// window opens for watching again. Anything else is refused with status 2. The toolkit is
// given the program's name only, and the organisation and name under which
// the window's settings are kept ($XDG_CONFIG_HOME/Vantoro/vantoro.conf).
#include <QApplication>
#include <QCoreApplication>
#include <QString>
#include <cstdio>
#include <cstring>

#include "record/statistics_store.h"
#include "resources/version.h"
#include "table/computer_dialog.h"
#include "table/connect_dialog.h"
#include "table/keeping_menu.h"
#include "table/table_window.h"

namespace {

constexpr const char* USAGE =
    "Utilisation : vantoro [--help | --version | --statistics [--nickname PSEUDO] | "
    "PARTIE.vantoro]\n"
    "Ouvre la table de Vantoro, un jeu de cartes à quatre joueurs en réseau.\n"
    "\n"
    "  -h, --help          affiche cette aide\n"
    "  --version           affiche la version\n"
    "  --statistics        affiche les statistiques du joueur et termine\n"
    "  --nickname PSEUDO   avec --statistics : celles de ce pseudo (par défaut,\n"
    "                      celui de la dernière partie enregistrée)\n"
    "  PARTIE.vantoro      ouvre une partie enregistrée pour la revoir\n"
    "\n"
    "Le menu « Jeu » héberge une table ou en rejoint une ; vantoro-bot --help\n"
    "présente le joueur ordinateur, qui peut occuper les places libres.\n";

// `vantoro --statistics [--nickname NAME]`: the table of the statistics on
// standard output. Status 0, or 1 when the database cannot be opened.
int PrintStatistics(int argc, char** argv, const char* nickname) {
    QCoreApplication application(argc, argv);
    StatisticsStore store;
    if (!store.Open(DefaultStatisticsPath())) {
        std::fprintf(stderr, "vantoro : %s\n", store.Problem().toLocal8Bit().constData());
        return 1;
    }
    if (!store.Problem().isEmpty())
        std::fprintf(stderr, "vantoro : %s\n", store.Problem().toLocal8Bit().constData());
    const QString name =
        nickname != nullptr ? QString::fromLocal8Bit(nickname) : store.LatestNickname();
    std::fputs(StatisticsText(name, store.Summaries(name)).toLocal8Bit().constData(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* replayFile = nullptr;
    if (argc > 1) {
        if (std::strcmp(argv[1], "--statistics") == 0 &&
            (argc == 2 || (argc == 4 && std::strcmp(argv[2], "--nickname") == 0)))
            return PrintStatistics(1, argv, argc == 4 ? argv[3] : nullptr);
        if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
            std::printf("vantoro %s\n", VersionText());
            return 0;
        }
        if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
            std::fputs(USAGE, stdout);
            return 0;
        }
        const std::size_t length = std::strlen(argv[1]);
        if (argc == 2 && argv[1][0] != '-' && length > 8 &&
            std::strcmp(argv[1] + length - 8, ".vantoro") == 0) {
            replayFile = argv[1];
        } else {
            std::fprintf(stderr, "vantoro : argument inconnu « %s » (essayez --help)\n", argv[1]);
            return 2;
        }
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
    if (replayFile != nullptr) {
        const QString path = QString::fromLocal8Bit(replayFile);
        // Opened once the window shows, so that a refused file's box sits over it.
        QMetaObject::invokeMethod(
            &window, [&window, path] { window.Keeping()->OpenReplay(path); }, Qt::QueuedConnection);
    }
    window.exec();
    return 0;
}
