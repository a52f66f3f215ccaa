#include "app/shutdown_signals.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vornel::app::platform {

namespace {

QObject* gContext = nullptr;
std::function<void()> gOnShutdown;

void runOnShutdown() {
    if (gOnShutdown) gOnShutdown();
}

#ifdef _WIN32

BOOL WINAPI consoleHandler(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
        // Runs on a thread of its own: hand the work to the event thread.
        QMetaObject::invokeMethod(gContext, [] { runOnShutdown(); }, Qt::QueuedConnection);
        return TRUE;
    default: return FALSE;
    }
}

bool install() { return SetConsoleCtrlHandler(consoleHandler, TRUE) != 0; }

#else

// A signal handler may do next to nothing: it writes one byte into a pipe
// whose other end the event loop watches.
int gPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(gPipe[1], &byte, 1);
}

bool setFlags(int fd) {
    return ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) == 0 &&
           ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC) == 0;
}

bool install() {
    if (::pipe(gPipe) != 0 || !setFlags(gPipe[0]) || !setFlags(gPipe[1])) return false;
    auto* notifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, gContext);
    QObject::connect(notifier, &QSocketNotifier::activated, gContext, [] {
        char bytes[64];
        while (::read(gPipe[0], bytes, sizeof bytes) > 0) {
        }
        runOnShutdown();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

#endif

}  // namespace

bool watchShutdownSignals(QObject* context, std::function<void()> onShutdown) {
    if (gContext != nullptr) return false;
    gContext = context;
    gOnShutdown = std::move(onShutdown);
    return install();
}

}  // namespace vornel::app::platform
