#pragma once
// What the headless servers (vornel-host, zelmo7-lobby-server) share: their
// command line of options that each take a value, and their way of shutting
// down on SIGINT or SIGTERM (close every connection, let the last bytes go,
// then quit).

#include <QDeadlineTimer>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>

class QCoreApplication;

namespace vornel::tools {

// A whole decimal number in [min, max] and nothing else; false otherwise.
bool parseWhole(const char* text, long min, long max, long& out);

struct ValueOption {
    std::string_view name;                    // "--port"
    std::function<bool(const char*)> take;    // false when the value (maybe null) is not usable
    std::string_view need;                    // "needs a port number 0..65535"
};

struct ServerCommandLine {
    std::string_view program;                 // "vornel-host"
    void (*usage)(std::FILE*);
    std::string versionLine;                  // printed by --version
    std::span<const ValueOption> options;
};

// Prints the usage or the version and exits 0 for --help/-h and --version.
// Returns false after saying what is wrong when an argument is not usable.
bool parseServerOptions(int argc, char** argv, const ServerCommandLine& line);

// On SIGINT or SIGTERM calls closeAll once, then quits the application when
// no socket is open any more or after graceMs.
class DrainOnShutdown {
public:
    DrainOnShutdown(QCoreApplication& app, std::string_view program, int graceMs,
                    std::function<void()> closeAll, std::function<int()> openSockets);
    DrainOnShutdown(const DrainOnShutdown&) = delete;
    DrainOnShutdown& operator=(const DrainOnShutdown&) = delete;

private:
    QTimer drain_;
    QDeadlineTimer deadline_;
};

}  // namespace vornel::tools
