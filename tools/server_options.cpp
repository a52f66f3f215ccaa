#include "server_options.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdlib>

#include "app/shutdown_signals.h"

namespace vornel::tools {

bool parseWhole(const char* text, long min, long max, long& out) {
    if (text == nullptr || *text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < min || value > max) return false;
    out = value;
    return true;
}

bool parseServerOptions(int argc, char** argv, const ServerCommandLine& line) {
    const auto programName = static_cast<int>(line.program.size());
    // Every option takes a value: look at them two by two.
    for (int i = 1; i < argc; i += 2) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            line.usage(stdout);
            std::exit(0);
        }
        if (arg == "--version") {
            std::printf("%s\n", line.versionLine.c_str());
            std::exit(0);
        }
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        const ValueOption* option = nullptr;
        for (const ValueOption& candidate : line.options)
            if (candidate.name == arg) option = &candidate;
        if (option == nullptr) {
            std::fprintf(stderr, "%.*s: unknown argument %s\n", programName, line.program.data(), argv[i]);
            return false;
        }
        if (!option->take(value)) {
            std::fprintf(stderr, "%.*s: %.*s %.*s\n", programName, line.program.data(),
                         static_cast<int>(option->name.size()), option->name.data(),
                         static_cast<int>(option->need.size()), option->need.data());
            return false;
        }
    }
    return true;
}

DrainOnShutdown::DrainOnShutdown(QCoreApplication& app, std::string_view program, int graceMs,
                                 std::function<void()> closeAll, std::function<int()> openSockets) {
    QObject::connect(&drain_, &QTimer::timeout, &app, [this, &app, openSockets] {
        if (openSockets() == 0 || deadline_.hasExpired()) app.quit();
    });
    const bool watching = app::platform::watchShutdownSignals(&app, [this, graceMs, closeAll] {
        if (drain_.isActive()) return;
        closeAll();
        deadline_.setRemainingTime(graceMs);
        drain_.start(10);
    });
    if (!watching)
        std::fprintf(stderr, "%.*s: could not install the signal handlers\n", static_cast<int>(program.size()),
                     program.data());
}

}  // namespace vornel::tools
