#pragma once
// The few calls that differ between operating systems.

#include <QMargins>
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <future>
#include <vector>

class QUrl;
class QWidget;

namespace vornel::app::platform {

// Creates the named mutex without taking it; the outcome is not examined
// (a second copy of the program runs normally). Kept open until exit.
void createNamedMutex(const QString& name);

// The desktop work area (the screen less task bars) under a window.
QRect workArea(const QWidget& window);
// The work areas of all screens, the primary screen's first.
std::vector<QRect> workAreas();
// The frame the window manager puts around a window; none until the
// window has been shown.
QMargins frameMargins(const QWidget& window);

// Opens a web address or file with the user's default program.
void openExternally(const QString& address);

// Opens a web address the user clicked with the user's default program.
void openUrl(const QUrl& address);

// The directory holding the running executable.
QString executableDirectory();

// Where the lobby program's installer is downloaded from: a built-in https
// address, or $VORNEL_LOBBY_URL when set (which may then be plain http).
struct LobbyInstallerAddress {
    QString address;
    bool fromEnvironment = false;
};
LobbyInstallerAddress lobbyInstallerAddress();

// The lobby program: $VORNEL_LOBBY_PROGRAM when set; otherwise the
// zelmo7-lobby beside the game's executable, or on Windows the installed
// lobby's fixed path.
QString lobbyProgramPath();

// The game's executable as the lobby program finds it: beside the lobby
// (on macOS also in the game's bundle beside the lobby's directory).
QString gameProgramPath();

// Lets the owner run a downloaded file where files carry an execute
// permission; elsewhere there is nothing to do. Returns false on failure.
bool makeExecutable(const QString& path);

// A function of one of the program's modules (parts loaded on first use),
// loaded with the module the first time it is asked for and kept until
// the process ends.
struct ModuleFunction {
    void* address = nullptr;
    // Why there is none: the module was not found or could not be loaded,
    // or lacks the function (names what was tried).
    QString error;
};
ModuleFunction moduleFunction(const QString& module, const char* function);
// The same, looking only in the given folders, in order.
ModuleFunction moduleFunction(const QString& module, const char* function, const QStringList& directories);
// Where moduleFunction looks: beside the executable, the installed library
// folder, and in a developer's build the folder the build put them in.
QStringList moduleDirectories();

// The most memory the process has held resident at any one time, in bytes;
// 0 where the system does not say.
std::uint64_t peakResidentBytes();

// The processor time the calling thread has used so far, in seconds; 0
// where the system does not say.
double threadProcessorSeconds();

// Keeps the C library's allocator to three heaps: the main thread's and one
// each for the two threads that work beside it at start-up (the font
// configuration, the start pictures). With fewer, those threads and the
// window's take turns at one heap's lock through the whole start; the later
// short-lived threads (the sound, a hint) reuse the heaps already made
// instead of keeping heaps of their own. Called at the top of main, before
// any thread starts; nothing where there is no such limit.
void limitMemoryArenas();

// Hands the memory the allocator holds free, in every heap, back to the
// system; nothing where there is no such call. The start-up's threads leave
// freed memory in their heaps that the game would otherwise keep resident.
void releaseFreedMemory();

// Starts loading the system's font configuration on a thread of its own, at
// the top of main, so that it is ready by the time the first text is laid
// out instead of being loaded then. The future is ready once it is loaded
// (at once where there is nothing to load ahead). Whoever needs fonts
// first waits for it, so that the configuration is never loaded twice.
std::shared_future<void> loadFontConfigurationAhead();

}  // namespace vornel::app::platform
