// A developer's tool for the README's pictures, not a test: opens the real
// table window, either as the program shows it at start ("waiting"), at a
// table of four in the second round of a game ("mid-game", played out here
// with the game's own rules and a simple player, every move told to the
// window as the network tells it), or at the end of that round
// ("round-end"), keeps it open for a few seconds so that it can be captured
// from the display, and with "--grab FILE" also writes the window's own grab
// to FILE. "--four-colours" shows the four-colour deck, "--by-strength" the
// hand sorted by strength. "game-end" plays twelve rounds, opens the history
// and ends the game; its grab also writes FILE's name with "-standings" and
// "-history" before the extension. The window's settings go to a folder of their own
// that is removed at the end.
//
// Usage: table_screenshot waiting|mid-game|round-end|game-end [seconds] [--grab FILE]
//                         [--four-colours] [--by-strength]
#include <QAction>
#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "net/seat_table.h"
#include "resources/resource_ids.h"
#include "rules/game_table.h"
#include "table/game_history.h"
#include "table/table_window.h"

namespace {

// The seat on turn plays its first single card that the rules accept, or
// passes. Returns the seat when it played, minus the seat when it passed.
int PlayOneTurn(GameTable& table) {
    const int seat = table.turn;
    for (int slot = 0; slot < HAND_SIZE; ++slot) {
        if (table.hands[seat][slot] == NO_CARD) continue;
        std::uint8_t chosen[HAND_SIZE] = {};
        chosen[slot] = 1;
        if (table.Play(seat, chosen) == 1) return seat;
    }
    table.Pass(seat);
    return -seat;
}

// Tells the window an event as the network code would.
void Tell(TableEvent::Kind kind, int seat = 0, const std::uint8_t* cards = nullptr) {
    TableEvent event;
    event.kind = kind;
    event.seat = seat;
    event.cards = cards;
    TellView(event);
}

// The same, and the window hears of it as it hears of a move from the network.
void PlayOneTurn(TableWindow&, GameTable& table) {
    const int seat = PlayOneTurn(table);
    if (seat < 0) {
        Tell(TableEvent::Kind::kPassApplied, -seat);
        return;
    }
    Tell(TableEvent::Kind::kPlayApplied, seat, table.tablePlay);
    if (table.roundOver != 0 && table.leader == seat) Tell(TableEvent::Kind::kRoundEnded, seat);
}

void SeatPlayers() {
    const char* names[SEAT_COUNT + 1] = {"", "Anne", "Bruno", "Chloé", "David"};
    for (int seat = 1; seat <= SEAT_COUNT; ++seat) {
        std::memset(g_seats[seat].name, 0, NAME_SIZE);
        std::strncpy(g_seats[seat].name, names[seat], NAME_MAX_CHARS);
        g_seats[seat].sock = static_cast<Socket>(10 + seat);
    }
    g_playerCount = 4;
    g_localSeat = 1;
}

// A first round played to its end, then the second round under way with the
// local player on turn and two of its cards chosen; with `toTheEnd`, the
// second round played out instead.
void SetUpGame(TableWindow& window, bool toTheEnd) {
    SeatPlayers();
    window.SetStatusText("Game started");
    window.AppendChatText("[Vantoro]>> \"Anne\" (Host) is ready, awaiting...\r\n");
    window.AppendChatText("[Vantoro]>> \"Bruno\" is ready.\r\n");
    window.AppendChatText("[Vantoro]>> \"Chloé\" is ready.\r\n");
    window.AppendChatText("[Vantoro]>> \"David\" is ready.\r\n");
    window.AppendChatText("Bruno: bien joué !\r\n");
    window.EnablePlayerInfo(true);
    GameTable& table = *g_table;
    table.DealWithSeed(20240611u, 1);
    for (int step = 0; step < 400 && table.roundOver == 0; ++step) PlayOneTurn(window, table);
    // The second round's deal; played to its end, one that the local player
    // wins, so that its "Tour suivant" shows.
    std::uint32_t seed = 77u;
    while (toTheEnd) {
        GameTable trial(table);
        trial.DealWithSeed(seed, 0);
        for (int step = 0; step < 400 && trial.roundOver == 0; ++step) PlayOneTurn(trial);
        if (trial.leader == 1) break;
        ++seed;
    }
    table.DealWithSeed(seed, 0);
    Tell(TableEvent::Kind::kRoundDealt);
    if (toTheEnd) {
        for (int step = 0; step < 400 && table.roundOver == 0; ++step) PlayOneTurn(window, table);
        return;
    }
    for (int step = 0; step < 11; ++step) PlayOneTurn(window, table);
    while (table.turn != 1 && table.roundOver == 0) PlayOneTurn(window, table);
    int chosen = 0;
    for (int slot = HAND_SIZE - 1; slot >= 0 && chosen < 2; --slot)
        if (table.hands[1][slot] != NO_CARD && slot % 3 == 0) {
            table.selection[slot] = 0xFF;
            ++chosen;
        }
    g_away[3] = 1;
    window.AppendChatText("Chloé: je reviens dans 5 minutes\r\n");
}

// Twelve rounds played out, the history open beside the table, and the game
// ended as a new game would end it: the standings show.
void SetUpGameEnd(TableWindow& window) {
    SetUpGame(window, true);
    GameTable& table = *g_table;
    for (std::uint32_t seed = 200u; table.roundsPlayed < 12; ++seed) {
        table.DealWithSeed(seed, 0);
        Tell(TableEvent::Kind::kRoundDealt);
        for (int step = 0; step < 400 && table.roundOver == 0; ++step) PlayOneTurn(window, table);
    }
    window.OnCommand(IDM_GAME_HISTORY);
    TableEvent ending;
    ending.kind = TableEvent::Kind::kGameEnding;
    ending.gameLive = true;
    TellView(ending);
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vantoro"));
    QApplication::setApplicationName(QStringLiteral("vantoro"));
    const bool known =
        argc >= 2 &&
        (std::strcmp(argv[1], "waiting") == 0 || std::strcmp(argv[1], "mid-game") == 0 ||
         std::strcmp(argv[1], "round-end") == 0 || std::strcmp(argv[1], "game-end") == 0);
    if (!known) {
        std::fprintf(stderr,
                     "usage: %s waiting|mid-game|round-end|game-end [seconds] [--grab FILE] "
                     "[--four-colours] [--by-strength]\n",
                     argv[0]);
        return 2;
    }
    TableWindow window;
    int seconds = 5;
    const char* grabFile = nullptr;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--grab") == 0 && i + 1 < argc)
            grabFile = argv[++i];
        else if (std::strcmp(argv[i], "--four-colours") == 0)
            window.MenuItem(IDM_FOUR_COLOURS)->trigger();
        else if (std::strcmp(argv[i], "--by-strength") == 0)
            window.MenuItem(IDM_SORT_BY_STRENGTH)->trigger();
        else
            seconds = std::atoi(argv[i]);
    }

    const bool gameEnd = std::strcmp(argv[1], "game-end") == 0;
    if (gameEnd)
        SetUpGameEnd(window);
    else if (std::strcmp(argv[1], "waiting") != 0)
        SetUpGame(window, std::strcmp(argv[1], "round-end") == 0);
    if (grabFile != nullptr)
        QTimer::singleShot(500, &window, [&] {
            const QString file = QString::fromLocal8Bit(grabFile);
            window.grab().save(file);
            // At the game's end, the standings and the history beside it.
            if (gameEnd && window.StandingsBox() != nullptr && window.History() != nullptr) {
                QString base = file;
                base.chop(4);
                window.StandingsBox()->grab().save(base + QStringLiteral("-standings.png"));
                window.History()->grab().save(base + QStringLiteral("-history.png"));
            }
        });
    QTimer::singleShot(seconds * 1000, &window, [&] { window.OnCommand(IDCANCEL); });
    window.exec();
    return 0;
}
