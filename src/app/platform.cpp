#include "app/platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
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

void openExternally(const QString& address) {
    const QUrl url = address.contains("://") || address.startsWith("mailto:") ? QUrl(address)
                                                                             : QUrl("http://" + address);
    QDesktopServices::openUrl(url);
}

void openUrl(const QUrl& address) { QDesktopServices::openUrl(address); }

QString executableDirectory() { return QCoreApplication::applicationDirPath(); }

}  // namespace vornel::app::platform
