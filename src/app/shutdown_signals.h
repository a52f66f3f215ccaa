#pragma once
// Turns SIGINT and SIGTERM (on Windows: Ctrl+C, Ctrl+Break and closing the
// console) into a call on the Qt event thread, so a program can shut down
// in an orderly way from its event loop.

#include <functional>

class QObject;

namespace vornel::app::platform {

// Installs the handlers once; `onShutdown` then runs on the thread of
// `context` (which must live as long as the handlers matter). Returns false
// when the handlers could not be installed.
bool watchShutdownSignals(QObject* context, std::function<void()> onShutdown);

}  // namespace vornel::app::platform
