// What the table window tests need beyond the scripted peers: catching the
// modal boxes and dialogs that a command opens (from timers that run inside
// their own event loops), counting this process's open sockets, ports of
// four digits for the connect dialog's port field, and the felt's colour.
// Every wait here is bounded.
#pragma once

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "table/table_window.h"

class QDialog;
class QWidget;

namespace wtest {

// The sockets that earlier tests left closed, the network as a program that
// has just started, and `window` shown: fails when the network does not start
// or the window is not exposed.
::testing::AssertionResult ShowOnFreshNetwork(QWidget* window);

// The sockets closed and deals from the clock again, once the window that
// used them is gone (its destruction leaves the network).
void CloseNetwork();

// The fixture of the tests that play at one shown window (a TableWindow or a
// subclass of it) on a fresh network; a fixture that sets more up calls these
// first, and tears its own peers down before TearDown destroys the window.
template <class Window = TableWindow>
class ShownWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = std::make_unique<Window>();
        ASSERT_TRUE(ShowOnFreshNetwork(window_.get()));
    }
    void TearDown() override {
        window_.reset();
        CloseNetwork();
    }

    std::unique_ptr<Window> window_;
};

// The felt: the colour of every board pixel that nothing is drawn on.
constexpr unsigned kFeltRgb = 0xFF008000u;  // qRgb(0, 128, 0)

// A message box as it came up.
struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon;
    QWidget* owner;
};

// While it lives, every message box that comes up modally is noted and
// closed with OK, from a timer that runs inside the box's own loop.
class BoxCatcher {
  public:
    BoxCatcher();
    BoxCatcher(const BoxCatcher&) = delete;
    BoxCatcher& operator=(const BoxCatcher&) = delete;

    const std::vector<SeenBox>& boxes() const { return boxes_; }
    // The texts of the boxes seen so far, in order.
    QStringList Texts() const;
    void Clear() { boxes_.clear(); }

  private:
    QTimer timer_;
    std::vector<SeenBox> boxes_;
};

// Runs `action` once, from a timer, on the first modal widget for which
// `match` holds, inside that widget's own loop. The action is dropped (and
// the test fails) if no such widget comes up within timeoutMs.
void WhenModalIsUp(const std::function<bool(QWidget*)>& match,
                   const std::function<void(QWidget*)>& action, int timeoutMs = 3000);

// While it lives, a modal dialog still open after timeoutMs is ended with -1
// (so that a fault cannot hang the test run); fired() tells whether it had to.
class ModalGuard {
  public:
    explicit ModalGuard(int timeoutMs = 8000);
    bool fired() const { return fired_; }

  private:
    QTimer timer_;
    bool fired_ = false;
};

// The number of sockets this process holds open (/proc/self/fd).
int OpenSocketCount();

// A TCP port of at most four digits on 127.0.0.1 (what the connect dialog's
// port field takes) where nothing listens right now; 0 if none was found.
std::uint16_t FreeShortPort();

// A raw socket listening on 127.0.0.1 at a port of at most four digits; the
// descriptor (or -1) and the port. The caller closes it.
int ListenOnShortPort(std::uint16_t* port);

// Accepts one connection on a raw listening socket, waiting up to timeoutMs
// while the event loop runs; the non-blocking descriptor, or -1.
int AcceptWithin(int listenFd, int timeoutMs = 3000);

// True when the dotted text names an address of this machine: a socket can
// be bound to it.
bool IsLocalAddress(const QString& dotted);

}  // namespace wtest
