// vantoro-bot: a computer player that joins or hosts a table and plays.
//
//   vantoro-bot --join ADDRESS[:PORT] [--name NAME] [--count N] [--level L]
//               [--rounds N] [--delay MS] [--trace] [--verbose]
//   vantoro-bot --host ADDRESS[:PORT] [--fill] [--turn-limit SECONDS] [--name NAME]
//               [--level L] [--rounds N] [--delay MS] [--deal-seed S] [--trace]
//               [--verbose]
//   vantoro-bot --help | --version
//
// The level (easy, normal or hard; normal by default) is the ComputerPlayer's;
// its random choices are seeded from the player's name, so a table replayed
// with --deal-seed sees the same moves.
//
// Exit status: 0 when it left normally (rounds done, table closed by the
// host, turned away from a full table), 1 when it could not connect or host,
// 2 for a wrong command line.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bot/bot_player.h"
#include "net/connect.h"
#include "net/relay.h"
#include "net/seat_table.h"
#include "net/socket_layer.h"
#include "net/winsock_error.h"
#include "resources/version.h"

extern char** environ;

namespace {

constexpr const char* USAGE =
    "Usage: vantoro-bot (--join ADDRESS[:PORT] | --host ADDRESS[:PORT]) [options]\n"
    "A computer player for a Vantoro table.\n"
    "\n"
    "  --join ADDRESS[:PORT]  join the table hosted at ADDRESS (port 7171 by default);\n"
    "                         ADDRESS is a dotted IPv4 address or a machine's name\n"
    "  --host ADDRESS[:PORT]  host a table on this machine's ADDRESS as seat 1, and deal\n"
    "                         when the fourth player has joined; a player who leaves a\n"
    "                         running game keeps the seat, played by the computer\n"
    "  --fill                 (hosting only) give every empty seat to a computer player\n"
    "                         at once: the table plays on its own, and people who join\n"
    "                         take the computer's seats over\n"
    "  --turn-limit SECONDS   (hosting only) a person whose move is due and who sends\n"
    "                         nothing for SECONDS is marked away, and the host plays\n"
    "                         the seat 10 s later if its program does not (0: no limit,\n"
    "                         the default)\n"
    "  --name NAME            the nickname, at most 16 characters (default \"Bot\")\n"
    "  --count N              start N players (1 to 3, joining only), named NAME1 ... NAMEN;\n"
    "                         returns when all have ended\n"
    "  --level LEVEL          how well it plays: easy, normal or hard (default normal)\n"
    "  --rounds N             leave the table after N finished rounds (default: stay until\n"
    "                         the table closes)\n"
    "  --delay MS             think time before each move, in milliseconds (default 600)\n"
    "  --deal-seed S          (hosting only) seed the deals from S, S + 1, ... instead of\n"
    "                         the clock, for reproducible tables\n"
    "  --trace                print one state line on standard output after every message\n"
    "                         and every own action\n"
    "  --verbose              print what a window would show on standard error\n"
    "  --help                 print this help\n"
    "  --version              print the version\n"
    "\n"
    "Exit status: 0 when it left normally (rounds done, table closed by the host, or\n"
    "turned away from a full table), 1 when it could not connect or host, 2 for a\n"
    "wrong command line.\n";

struct CommandLine {
    BotOptions options;
    bool host = false;
    std::string address;
    std::string port = DEFAULT_PORT_TEXT;
    int count = 0;
    bool fill = false;
    int turnLimit = 0;
    bool haveSeed = false;
    std::uint32_t seed = 0;
};

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "vantoro-bot: %s (try --help)\n", message.c_str());
    std::exit(2);
}

long ParseNumber(const std::string& option, const char* text, long low, long high) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || errno != 0 || value < low || value > high) {
        Fail(option + " needs a number from " + std::to_string(low) + " to " +
             std::to_string(high) + ", not \"" + text + "\"");
    }
    return value;
}

void SplitAddress(const std::string& option, const std::string& text, CommandLine& line) {
    const std::size_t colon = text.rfind(':');
    line.address = text.substr(0, colon);
    if (colon != std::string::npos) {
        const std::string port = text.substr(colon + 1);
        ParseNumber(option + " port", port.c_str(), 1, 65535);
        line.port = port;
    }
    if (line.address.empty()) {
        Fail(option + " needs a dotted IPv4 address such as 127.0.0.1 or a machine's name, not \"" +
             text + "\"");
    }
}

CommandLine Parse(int argc, char** argv) {
    CommandLine line;
    bool join = false;
    bool named = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) Fail(option + " needs a value");
            return argv[++i];
        };
        if (option == "--help" || option == "-h") {
            std::fputs(USAGE, stdout);
            std::exit(0);
        } else if (option == "--version") {
            std::printf("vantoro-bot %s\n", VersionText());
            std::exit(0);
        } else if (option == "--join" || option == "--host") {
            if (join || line.host) Fail("give one of --join and --host, once");
            (option == "--host" ? line.host : join) = true;
            SplitAddress(option, value(), line);
        } else if (option == "--name") {
            line.options.name = value();
            named = true;
            if (line.options.name.empty() || line.options.name.size() > NAME_MAX_CHARS) {
                Fail("--name needs 1 to 16 characters");
            }
        } else if (option == "--level") {
            const char* level = value();
            if (!ParseBotLevel(level, &line.options.level)) {
                Fail("--level needs easy, normal or hard, not \"" + std::string(level) + "\"");
            }
        } else if (option == "--count") {
            line.count = static_cast<int>(ParseNumber(option, value(), 1, 3));
        } else if (option == "--rounds") {
            line.options.rounds = static_cast<int>(ParseNumber(option, value(), 1, 1000000000));
        } else if (option == "--delay") {
            line.options.delayMs = static_cast<int>(ParseNumber(option, value(), 0, 3600000));
        } else if (option == "--deal-seed") {
            line.seed = static_cast<std::uint32_t>(ParseNumber(option, value(), 0, 4294967295L));
            line.haveSeed = true;
        } else if (option == "--fill") {
            line.fill = true;
        } else if (option == "--turn-limit") {
            line.turnLimit = static_cast<int>(ParseNumber(option, value(), 0, 3600));
        } else if (option == "--trace") {
            line.options.trace = true;
        } else if (option == "--verbose") {
            line.options.verbose = true;
        } else {
            Fail("unknown option \"" + option + "\"");
        }
    }
    if (!join && !line.host) Fail("give --join ADDRESS[:PORT] or --host ADDRESS[:PORT]");
    if (line.count > 0 && line.host) Fail("--count starts joining players only");
    if (line.haveSeed && !line.host) Fail("--deal-seed is for the hosting player only");
    if (line.fill && !line.host) Fail("--fill is for the hosting player only");
    if (line.turnLimit > 0 && !line.host) Fail("--turn-limit is for the hosting player only");
    if (line.count > 0 && named && line.options.name.size() + 1 > NAME_MAX_CHARS) {
        Fail("--name with --count needs at most 15 characters");
    }
    return line;
}

// Starts `count` players, each in its own process, named NAME1 ... NAMEN,
// and waits for all of them. Returns 0 when every one ended with 0.
int RunPlayers(int argc, char** argv, const CommandLine& line) {
    std::vector<pid_t> children;
    for (int n = 1; n <= line.count; ++n) {
        std::vector<std::string> args{argv[0]};
        for (int i = 1; i < argc; ++i) {
            const std::string option = argv[i];
            if (option == "--count" || option == "--name") {
                ++i;  // the value goes too
                continue;
            }
            args.push_back(option);
        }
        args.push_back("--name");
        args.push_back(line.options.name + std::to_string(n));
        std::vector<char*> raw;
        for (std::string& a : args) raw.push_back(a.data());
        raw.push_back(nullptr);
        pid_t pid = 0;
        if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, raw.data(), environ) != 0) {
            std::fprintf(stderr, "vantoro-bot: could not start player %d\n", n);
            continue;
        }
        children.push_back(pid);
    }
    int status = children.size() == static_cast<std::size_t>(line.count) ? 0 : 1;
    for (pid_t pid : children) {
        int child = 0;
        while (waitpid(pid, &child, 0) < 0 && errno == EINTR) {
        }
        const int code = WIFEXITED(child) ? WEXITSTATUS(child) : 1;
        if (code != 0 && status == 0) status = code;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLine line = Parse(argc, argv);
    if (line.count > 0) return RunPlayers(argc, argv, line);

    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QCoreApplication application(qtArgc, qtArgv);

    if (line.haveSeed) {
        SetDealSeedSource([next = line.seed]() mutable { return next++; });
    }
    // As the table window starts: every seat empty, nobody at the table, one
    // game table.
    ResetSeatTable();
    g_table = new GameTable();

    BotPlayer player(line.options);
    // Its computer keeps leavers' seats; the turn limit is the host's choice.
    SetHostPolicy(HostPolicy{true, line.turnLimit});
    QObject::connect(&player, &BotPlayer::Finished, &application, &QCoreApplication::exit);

    const int started = StartNetwork();
    if (started != 0) {
        std::fprintf(stderr, "vantoro-bot: %s\n", WinsockErrorText(started));
        return 1;
    }
    const ConnectOutcome outcome =
        line.host ? HostTable(line.options.name.c_str(), line.address.c_str(), line.port.c_str())
                  : JoinTable(line.options.name.c_str(), line.address.c_str(), line.port.c_str());
    if (outcome.step != ConnectStep::Connected) {
        if (outcome.step == ConnectStep::UnknownHost) {
            std::fprintf(stderr, "vantoro-bot: no machine is known by the name \"%s\"\n",
                         line.address.c_str());
        } else if (outcome.step == ConnectStep::NoIpv4Host) {
            std::fprintf(stderr,
                         "vantoro-bot: \"%s\" has IPv6 addresses only; tables are played over "
                         "IPv4\n",
                         line.address.c_str());
        } else {
            std::fprintf(stderr, "vantoro-bot: %s\n",
                         outcome.step == ConnectStep::Failed ? WinsockErrorText(outcome.error)
                                                             : "could not start the connection");
        }
        return 1;
    }
    if (line.options.verbose) {
        std::fprintf(stderr, "%s [net] %s %s:%s\n", line.options.name.c_str(),
                     line.host ? "hosting on" : "joined", line.address.c_str(), line.port.c_str());
    }
    if (line.fill) FillEmptySeatsWithComputer();
    const int status = application.exec();
    delete g_table;
    g_table = nullptr;
    return status;
}
