// Window benchmarks.
//
//   BM_PaintTable/full      the whole board of a table of four in mid-game
//   BM_PaintTable/waiting   the whole board of the waiting screen
//   BM_PaintOneCard         one card's rectangle (the repaint of a click)
//   BM_PaintTableDense      the full table on a board of device pixel ratio 2,
//                           with the cards drawn at twice the size
//   BM_PaintRoundEnd        the whole board at a round's end: the other seats'
//                           held cards face up and the payments
//   BM_PaintMoneyChart/N    the history's chart of N rounds (760 x 300)
//   BM_HistoryWindow/N      the whole history window of N rounds painted
//                           (grab: its table of rounds and its chart)
//   BM_LoadCardSet          loading the 65 images of a card set (classic or
//                           four colours, at ratio 1 or 2): what switching
//                           the deck or moving to another screen costs
//   BM_StartToFirstPaint    process start (before fork) to the end of the
//                           first paint, in a fresh process of this
//                           executable; reports that process's peak resident
//                           memory (VmHWM). /0 the table window, /1 a bare
//                           Qt dialog (a label and a button) in the same run,
//                           the yardstick of the window's targets: at most
//                           1.10 x its peak memory, 1.15 x its time
//   BM_ProgramPeakMemory    the real program, started offscreen and left
//                           running for a second: its VmHWM
//
// Everything runs on the offscreen platform unless QT_QPA_PLATFORM says
// otherwise.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "net/seat_table.h"
#include "rules/game_table.h"
#include "table/board_widget.h"
#include "table/game_history.h"
#include "table/table_window.h"
#include "ui/card_image.h"
#include "ui/dialog_units.h"
#include "ui/table_painter.h"

extern char** environ;

namespace {

constexpr const char* kChildFlag = "--first-paint-child";

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// VmHWM of a process in kB, 0 when it cannot be read.
long PeakResidentKb(const std::string& pid) {
    std::ifstream status("/proc/" + pid + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

// The seat on turn plays its first single card the rules accept, or passes.
void PlayFirstSingleOrPass(GameTable& table) {
    const int seat = table.turn;
    for (int slot = 0; slot < HAND_SIZE; ++slot) {
        if (table.hands[seat][slot] == NO_CARD) continue;
        std::uint8_t chosen[HAND_SIZE] = {};
        chosen[slot] = 1;
        if (table.Play(seat, chosen) == 1) return;
    }
    table.Pass(seat);
}

// A table of four in the middle of a round: nine moves of
// PlayFirstSingleOrPass.
void SetUpMidGame(GameTable& table) {
    const char* names[SEAT_COUNT + 1] = {"", "Anne", "Bruno", "Chloé", "David"};
    for (int seat = 1; seat <= SEAT_COUNT; ++seat) {
        std::memset(g_seats[seat].name, 0, NAME_SIZE);
        std::strncpy(g_seats[seat].name, names[seat], NAME_MAX_CHARS);
    }
    g_playerCount = 4;
    g_localSeat = 1;
    g_away[3] = 1;
    table.DealWithSeed(20240611u, 1);
    for (int step = 0; step < 9; ++step) PlayFirstSingleOrPass(table);
    table.selection[3] = 0xFF;
}

// Paints the board of `rect` into `board` once per iteration.
void PaintEachIteration(benchmark::State& state, QImage& board, const QRect& rect) {
    for (auto _ : state) {
        QPainter painter(&board);
        PaintBoard(painter, rect);
        painter.end();
        benchmark::DoNotOptimize(board.constBits());
    }
}

// Leaves no table and no pictures behind for the next benchmark.
void TearDownTable() {
    g_table = nullptr;
    g_playerCount = 0;
    FreeTableImages();
}

QSize BoardSize() {
    return DialogRectToPixels(0, 0, 425, 277, BaseUnitsOf(TableWindowFont())).size();
}

void BM_PaintTable(benchmark::State& state) {
    const bool full = state.range(0) == 1;
    LoadTableImages();
    GameTable table;
    g_table = &table;
    if (full)
        SetUpMidGame(table);
    else
        g_playerCount = 0;
    QImage board(BoardSize(), QImage::Format_RGB32);
    PaintEachIteration(state, board, board.rect());
    state.SetLabel(full ? "table of four" : "waiting screen");
    TearDownTable();
}
BENCHMARK(BM_PaintTable)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_PaintOneCard(benchmark::State& state) {
    LoadTableImages();
    GameTable table;
    g_table = &table;
    SetUpMidGame(table);
    QImage board(BoardSize(), QImage::Format_RGB32);
    {
        QPainter painter(&board);
        PaintBoard(painter, board.rect());
    }
    const CardRect r = g_cardRects[3];
    const QRect card(r.left, r.top, r.right - r.left, r.bottom - r.top);
    for (auto _ : state) {
        QPainter painter(&board);
        painter.setClipRect(card);
        PaintBoard(painter, board.rect());
        painter.end();
        benchmark::DoNotOptimize(board.constBits());
    }
    TearDownTable();
}
BENCHMARK(BM_PaintOneCard)->Unit(benchmark::kMicrosecond);

void BM_PaintTableDense(benchmark::State& state) {
    SetCardPixelRatio(2);
    LoadTableImages();
    GameTable table;
    g_table = &table;
    SetUpMidGame(table);
    QImage board(BoardSize() * 2, QImage::Format_RGB32);
    board.setDevicePixelRatio(2);
    PaintEachIteration(state, board, QRect(QPoint(0, 0), BoardSize()));
    TearDownTable();
    SetCardPixelRatio(1);
}
BENCHMARK(BM_PaintTableDense)->Unit(benchmark::kMicrosecond);

// Plays the round on `table` to its end with PlayFirstSingleOrPass.
void PlayRoundToEnd(GameTable& table) {
    while (table.roundOver == 0) PlayFirstSingleOrPass(table);
}

// A game of `rounds` finished rounds, with the names of SetUpMidGame.
GameRecord GameOfRounds(int rounds) {
    GameRecord record;
    record.table.DealWithSeed(20261209u, 1);
    for (int round = 0; round < rounds; ++round) {
        if (round > 0) record.table.DealWithSeed(20261209u + static_cast<std::uint32_t>(round), 0);
        PlayRoundToEnd(record.table);
    }
    const char* names[SEAT_COUNT + 1] = {"", "Anne", "Bruno", "Chloé", "David"};
    for (int seat = 1; seat <= SEAT_COUNT; ++seat)
        record.names[seat] = QString::fromUtf8(names[seat]);
    return record;
}

void BM_PaintRoundEnd(benchmark::State& state) {
    LoadTableImages();
    GameTable table;
    g_table = &table;
    SetUpMidGame(table);
    table.selection[3] = 0;
    PlayRoundToEnd(table);
    QImage board(BoardSize(), QImage::Format_RGB32);
    PaintEachIteration(state, board, board.rect());
    TearDownTable();
}
BENCHMARK(BM_PaintRoundEnd)->Unit(benchmark::kMicrosecond);

void BM_PaintMoneyChart(benchmark::State& state) {
    const GameRecord record = GameOfRounds(static_cast<int>(state.range(0)));
    QImage chart(760, 300, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&chart);
        PaintMoneyChart(painter, chart.rect(), record);
        painter.end();
        benchmark::DoNotOptimize(chart.constBits());
    }
}
BENCHMARK(BM_PaintMoneyChart)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_HistoryWindow(benchmark::State& state) {
    const GameRecord record = GameOfRounds(static_cast<int>(state.range(0)));
    HistoryWindow window(nullptr);
    window.ShowEndedGame(record);
    for (auto _ : state) {
        const QPixmap shot = window.grab();
        benchmark::DoNotOptimize(shot.cacheKey());
    }
    window.hide();
}
BENCHMARK(BM_HistoryWindow)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_LoadCardSet(benchmark::State& state) {
    const bool fourColours = state.range(0) == 1;
    const int ratio = static_cast<int>(state.range(1));
    SetFourColourDeck(fourColours);
    SetCardPixelRatio(ratio);
    for (auto _ : state) {
        LoadCardImages();
        benchmark::DoNotOptimize(g_cardImages);
        FreeCardImages();
    }
    state.SetLabel(std::string(fourColours ? "four colours" : "classic") + " at ratio " +
                   std::to_string(ratio));
    SetFourColourDeck(false);
    SetCardPixelRatio(1);
}
BENCHMARK(BM_LoadCardSet)
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 2})
    ->Args({1, 2})
    ->Unit(benchmark::kMillisecond);

// Starts `argv` with its output on a pipe; returns the pid (0 on failure).
pid_t Spawn(char* const argv[], int* output) {
    int fds[2];
    if (pipe(fds) != 0) return 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (failed != 0) {
        close(fds[0]);
        return 0;
    }
    *output = fds[0];
    return pid;
}

// Reads the child's one line, waiting at most ten seconds.
std::string ReadLine(int fd) {
    std::string text;
    char buffer[256];
    pollfd waiting{fd, POLLIN, 0};
    while (text.find('\n') == std::string::npos && poll(&waiting, 1, 10000) == 1) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

void BM_StartToFirstPaint(benchmark::State& state) {
    char self[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        state.SkipWithError("cannot find this program");
        return;
    }
    char flag[64];
    std::strcpy(flag, kChildFlag);
    char bare[] = "bare";
    char* argv[] = {self, flag, state.range(0) == 1 ? bare : nullptr, nullptr};
    double peakKb = 0;
    for (auto _ : state) {
        int output = -1;
        const long long start = MonotonicNs();
        const pid_t pid = Spawn(argv, &output);
        if (pid == 0) {
            state.SkipWithError("cannot start the child");
            return;
        }
        const std::string line = ReadLine(output);
        close(output);
        int status = 0;
        waitpid(pid, &status, 0);
        long long painted = 0;
        long hwm = 0;
        if (std::sscanf(line.c_str(), "%lld %ld", &painted, &hwm) != 2) {
            state.SkipWithError("the child reported no paint");
            return;
        }
        state.SetIterationTime(static_cast<double>(painted - start) / 1e9);
        peakKb += static_cast<double>(hwm);
    }
    state.counters["VmHWM_kB"] = benchmark::Counter(peakKb, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StartToFirstPaint)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

void BM_ProgramPeakMemory(benchmark::State& state) {
    char program[] = VANTORO_PROGRAM;
    char* argv[] = {program, nullptr};
    double peakKb = 0;
    for (auto _ : state) {
        int output = -1;
        const pid_t pid = Spawn(argv, &output);
        if (pid == 0) {
            state.SkipWithError("cannot start the program");
            return;
        }
        usleep(1000 * 1000);
        peakKb += static_cast<double>(PeakResidentKb(std::to_string(pid)));
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
        close(output);
    }
    state.counters["VmHWM_kB"] = benchmark::Counter(peakKb, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ProgramPeakMemory)->Iterations(3)->Unit(benchmark::kMillisecond);

// The child: the program's start-up (QApplication, the table window) up to
// the end of the board's first paint, then the time and VmHWM on stdout.
class FirstPaint : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        watched->removeEventFilter(this);
        QCoreApplication::sendEvent(watched, event);  // the paint itself, inside this paint
        std::printf("%lld %ld\n", MonotonicNs(), PeakResidentKb("self"));
        std::fflush(stdout);
        std::_Exit(0);
    }
};

int RunChild(bool bareDialog) {
    char name[] = "vantoro";
    char* arguments[] = {name, nullptr};
    int count = 1;
    QApplication application(count, arguments);
    if (bareDialog) {
        QDialog dialog;
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QLabel(QStringLiteral("Vantoro"), &dialog));
        layout->addWidget(new QPushButton(QStringLiteral("OK"), &dialog));
        FirstPaint spy;
        dialog.installEventFilter(&spy);
        QTimer::singleShot(10000, &dialog, [&] { dialog.done(1); });
        dialog.exec();
        return 1;
    }
    TableWindow window;
    FirstPaint spy;
    window.Board()->installEventFilter(&spy);
    QTimer::singleShot(10000, &window, [&] { window.done(1); });
    window.exec();
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && std::strcmp(argv[1], kChildFlag) == 0)
        return RunChild(argc > 2 && std::strcmp(argv[2], "bare") == 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
