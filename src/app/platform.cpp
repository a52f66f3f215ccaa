#include "app/platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibrary>
#include <QScreen>
#include <QUrl>
#include <QWidget>

#include "vornel_modules.h"

#if defined(Q_OS_WIN)
#include <windows.h>
#include <psapi.h>
#elif !defined(Q_OS_LINUX)
#include <sys/resource.h>
#endif
#if !defined(Q_OS_WIN)
#include <ctime>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(VORNEL_HAVE_FONTCONFIG)
#include <fontconfig/fontconfig.h>
#endif

namespace vornel::app::platform {

void createNamedMutex(const QString& name) {
#ifdef Q_OS_WIN
    // Never closed: the handle lives as long as the process.
    CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(name.utf16()));
#else
    Q_UNUSED(name);  // nothing on these systems looks for it
#endif
}

QRect workArea(const QWidget& window) {
    const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

std::vector<QRect> workAreas() {
    std::vector<QRect> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) areas.push_back(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen()) areas.push_back(screen->availableGeometry());
    return areas;
}

QMargins frameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

void openExternally(const QString& address) {
    const QUrl url = address.contains("://") || address.startsWith("mailto:") ? QUrl(address)
                                                                             : QUrl("http://" + address);
    QDesktopServices::openUrl(url);
}

void openUrl(const QUrl& address) { QDesktopServices::openUrl(address); }

QString executableDirectory() { return QCoreApplication::applicationDirPath(); }

LobbyInstallerAddress lobbyInstallerAddress() {
    const QString fromEnvironment = qEnvironmentVariable("VORNEL_LOBBY_URL");
    if (!fromEnvironment.isEmpty()) return {fromEnvironment, true};
#if defined(Q_OS_WIN)
    return {"https://downloads.zelmo7.example.com/lobby/Zelmo7LobbySetup.exe", false};
#elif defined(Q_OS_MACOS)
    return {"https://downloads.zelmo7.example.com/lobby/Zelmo7LobbySetup-macos.command", false};
#else
    return {"https://downloads.zelmo7.example.com/lobby/Zelmo7LobbySetup-linux.run", false};
#endif
}

QString lobbyProgramPath() {
    const QString fromEnvironment = qEnvironmentVariable("VORNEL_LOBBY_PROGRAM");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
#if defined(Q_OS_WIN)
    return "C:\\Program Files\\Zelmo7\\Zelmo7Lobby.exe";
#else
    return executableDirectory() + "/zelmo7-lobby";
#endif
}

QString gameProgramPath() {
#if defined(Q_OS_WIN)
    return executableDirectory() + "/vornel.exe";
#elif defined(Q_OS_MACOS)
    const QString beside = executableDirectory() + "/vornel";
    if (QFileInfo(beside).isExecutable()) return beside;
    return executableDirectory() + "/../vornel.app/Contents/MacOS/vornel";
#else
    return executableDirectory() + "/vornel";
#endif
}

bool makeExecutable(const QString& path) {
#ifdef Q_OS_WIN
    Q_UNUSED(path);  // Windows runs a file by its name, not a permission
    return true;
#else
    QFile file(path);
    return file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeUser);
#endif
}

ModuleFunction moduleFunction(const QString& module, const char* function) {
    return moduleFunction(module, function, moduleDirectories());
}

ModuleFunction moduleFunction(const QString& module, const char* function, const QStringList& directories) {
#if defined(Q_OS_WIN)
    const QString fileName = module + ".dll";
#else
    const QString fileName = module + ".so";
#endif
    QStringList failures;
    for (const QString& directory : directories) {
        const QString path = directory + '/' + fileName;
        if (!QFileInfo::exists(path)) continue;
        QLibrary library(path);
        if (!library.load()) {
            failures << library.errorString();
            continue;
        }
        // Never unloaded: what it made may live as long as the process.
        if (QFunctionPointer found = library.resolve(function))
            return {reinterpret_cast<void*>(found), QString()};
        failures << QString("%1 has no %2").arg(path, function);
    }
    if (failures.isEmpty()) failures << QString("%1 is in none of: %2").arg(fileName, directories.join(", "));
    return {nullptr, failures.join("; ")};
}

QStringList moduleDirectories() {
    const QString beside = executableDirectory();
    QStringList directories{beside, QDir::cleanPath(beside + '/' + modules::kInstalledDirectory)};
    const QString built = modules::kBuildDirectory;
    if (!built.isEmpty()) directories << built;
    directories.removeDuplicates();
    return directories;
}

std::uint64_t peakResidentBytes() {
#if defined(Q_OS_WIN)
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.PeakWorkingSetSize;
#elif defined(Q_OS_LINUX)
    // The kernel's high-water mark of the resident set, in kB.
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toULongLong() * 1024;
    return 0;
#else
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
    return static_cast<std::uint64_t>(usage.ru_maxrss);  // bytes on macOS
#endif
}

double threadProcessorSeconds() {
#if defined(Q_OS_WIN)
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    auto ticks = [](const FILETIME& t) { return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;  // 100 ns units
#else
    timespec used{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used) != 0) return 0;
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
#endif
}

void limitMemoryArenas() {
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 3);
#endif
}

void releaseFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

std::shared_future<void> loadFontConfigurationAhead() {
#if defined(VORNEL_HAVE_FONTCONFIG)
    // Qt's font database starts with the same call, which then finds the
    // configuration loaded.
    return std::async(std::launch::async, [] { FcInit(); }).share();
#else
    std::promise<void> nothingToLoad;
    nothingToLoad.set_value();
    return nothingToLoad.get_future().share();
#endif
}

}  // namespace vornel::app::platform
