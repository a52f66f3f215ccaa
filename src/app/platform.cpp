#include "app/platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>
#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>
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

}  // namespace vornel::app::platform
