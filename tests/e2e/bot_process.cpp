#include "tests/e2e/bot_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <csignal>
#include <sstream>

int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t length = sizeof addr;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) == 0) {
        port = ntohs(addr.sin_port);
    }
    ::close(fd);
    return port;
}

bool TraceState::operator==(const TraceState& other) const {
    for (int s = 1; s <= 4; ++s) {
        if (money[s] != other.money[s] || wins[s] != other.wins[s]) return false;
    }
    return turn == other.turn && leader == other.leader && count == other.count &&
           over == other.over && rounds == other.rounds && table == other.table &&
           hands == other.hands;
}

std::vector<TraceState> ParseTrace(const QByteArray& output) {
    std::vector<TraceState> states;
    std::istringstream lines(output.toStdString());
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("state ", 0) != 0) continue;
        TraceState s;
        char table[11] = {};
        char hands[105] = {};
        unsigned long long n = 0;
        const int fields = std::sscanf(
            line.c_str(),
            "state %llu turn=%d leader=%d count=%d over=%d rounds=%d money=%d,%d,%d,%d "
            "wins=%d,%d,%d,%d table=%10s hands=%104s",
            &n, &s.turn, &s.leader, &s.count, &s.over, &s.rounds, &s.money[1], &s.money[2],
            &s.money[3], &s.money[4], &s.wins[1], &s.wins[2], &s.wins[3], &s.wins[4], table, hands);
        if (fields != 16) continue;
        s.table = table;
        s.hands = hands;
        states.push_back(s);
    }
    return states;
}

std::vector<TraceState> Distinct(const std::vector<TraceState>& states) {
    std::vector<TraceState> out;
    for (const TraceState& s : states) {
        if (out.empty() || out.back() != s) out.push_back(s);
    }
    return out;
}

std::string FollowsHost(const std::vector<TraceState>& host, const std::vector<TraceState>& client,
                        std::size_t* matched) {
    *matched = 0;
    // The first state the two copies share: before it the client still shows
    // the game its own start-up dealt locally.
    std::size_t i = 0, j = 0;
    bool found = false;
    for (j = 0; j < client.size() && !found; ++j) {
        for (i = 0; i < host.size(); ++i) {
            if (host[i] == client[j]) {
                found = true;
                break;
            }
        }
    }
    if (!found) return "the client never reached any state of the host";
    --j;
    while (i < host.size() && j < client.size()) {
        if (host[i] == client[j]) {
            ++i, ++j, ++*matched;
            continue;
        }
        // A new game on a client: the dealt hands with the old scores, before
        // MSG_NEW_GAME resets them.
        if (j + 1 < client.size() && client[j + 1] == host[i] && client[j].hands == host[i].hands) {
            ++j;
            continue;
        }
        std::ostringstream why;
        why << "after " << *matched << " matching states the client shows turn=" << client[j].turn
            << " rounds=" << client[j].rounds << " where the host shows turn=" << host[i].turn
            << " rounds=" << host[i].rounds;
        return why.str();
    }
    return {};
}

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

BotProcess::BotProcess(QStringList arguments) {
    process_.setStandardOutputFile(dir_.filePath(QStringLiteral("out")));
    process_.setStandardErrorFile(dir_.filePath(QStringLiteral("err")));
    process_.setProgram(QStringLiteral(VANTORO_BOT_PATH));
    process_.setArguments(arguments);
    process_.start();
    process_.waitForStarted(5000);
}

BotProcess::~BotProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QByteArray BotProcess::Output() {
    return ReadAll(dir_.filePath(QStringLiteral("out")));
}

QByteArray BotProcess::Log() {
    return ReadAll(dir_.filePath(QStringLiteral("err")));
}

bool BotProcess::WaitForLog(const QString& text, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (Log().contains(text.toUtf8())) return true;
        if (process_.state() == QProcess::NotRunning) return Log().contains(text.toUtf8());
        process_.waitForFinished(20);
    }
    return false;
}

int BotProcess::WaitForExit(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (process_.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        process_.waitForFinished(50);
    }
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
        return -1;
    }
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

void BotProcess::Stop() {
    if (IsRunning()) ::kill(static_cast<pid_t>(process_.processId()), SIGSTOP);
}

void BotProcess::Kill() {
    process_.kill();
    process_.waitForFinished(5000);
}
