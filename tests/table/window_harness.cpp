#include "tests/table/window_harness.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <cstring>
#include <string>

#include "net/connect.h"
#include "rules/game_table.h"
#include "tests/support/scripted_peer.h"

namespace wtest {

::testing::AssertionResult ShowOnFreshNetwork(QWidget* window) {
    vtest::ResetSockets();
    if (StartNetwork() != 0) return ::testing::AssertionFailure() << "the network did not start";
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return ::testing::AssertionFailure() << "the window was not exposed";
    return ::testing::AssertionSuccess();
}

void CloseNetwork() {
    vtest::ResetSockets();
    SetDealSeedSource(nullptr);
}

BoxCatcher::BoxCatcher() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) return;
        boxes_.push_back({box->windowTitle(), box->text(), box->icon(), box->parentWidget()});
        box->done(QMessageBox::Ok);  // hides it at once, so it is noted once
    });
    timer_.start(5);
}

QStringList BoxCatcher::Texts() const {
    QStringList texts;
    for (const SeenBox& box : boxes_) texts.append(box.text);
    return texts;
}

void WhenModalIsUp(const std::function<bool(QWidget*)>& match,
                   const std::function<void(QWidget*)>& action, int timeoutMs) {
    auto* timer = new QTimer(qApp);
    QElapsedTimer clock;
    clock.start();
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool up = modal != nullptr && modal->isVisible() && match(modal);
        if (!up && clock.elapsed() < timeoutMs) return;
        // Stop first: the action may run a nested loop of its own (a box).
        timer->stop();
        timer->deleteLater();
        if (up) {
            action(modal);
        } else {
            ADD_FAILURE() << "the expected modal window did not come up";
        }
    });
    timer->start(5);
}

ModalGuard::ModalGuard(int timeoutMs) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            fired_ = true;
            dialog->done(-1);
            QCoreApplication::processEvents();
        }
    });
    timer_.start(timeoutMs);
}

int OpenSocketCount() {
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) return -1;
    int count = 0;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        const std::string path = std::string("/proc/self/fd/") + entry->d_name;
        char target[64] = {};
        const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
        if (n > 0 && std::strncmp(target, "socket:", 7) == 0) ++count;
    }
    closedir(dir);
    return count;
}

namespace {

sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return sa;
}

// Binds a new socket to 127.0.0.1 at the first free port of four digits from
// a start that differs per process; -1 when none is free.
int BindShortPort(std::uint16_t* port) {
    const int start = 2000 + static_cast<int>(getpid() % 7000);
    for (int i = 0; i < 7000; ++i) {
        const auto candidate = static_cast<std::uint16_t>(2000 + (start - 2000 + i) % 7000);
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return -1;
        const sockaddr_in sa = Loopback(candidate);
        if (bind(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) {
            *port = candidate;
            return fd;
        }
        close(fd);
    }
    return -1;
}

}  // namespace

std::uint16_t FreeShortPort() {
    std::uint16_t port = 0;
    const int fd = BindShortPort(&port);
    if (fd < 0) return 0;
    close(fd);  // bound but never listening: a connect to it is refused
    return port;
}

int ListenOnShortPort(std::uint16_t* port) {
    const int fd = BindShortPort(port);
    if (fd < 0) return -1;
    if (listen(fd, 4) != 0) {
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

int AcceptWithin(int listenFd, int timeoutMs) {
    int fd = -1;
    vtest::PumpUntil(
        [&] {
            fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            return fd >= 0;
        },
        timeoutMs);
    return fd;
}

bool IsLocalAddress(const QString& dotted) {
    in_addr address;
    if (inet_pton(AF_INET, dotted.toLatin1().constData(), &address) != 1) return false;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_addr = address;
    const bool bound = bind(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
    close(fd);
    return bound;
}

}  // namespace wtest
