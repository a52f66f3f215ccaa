// The table window's display items: Options -> "Animate Cards" and
// View -> "Full Screen" (F11).

#include <QGuiApplication>
#include <QMenu>

#include "table/table_window.h"

namespace vornel::table {

namespace {
// Without a screen to watch, nothing is animated.
bool headless() { return QGuiApplication::platformName() == QLatin1String("offscreen"); }
}  // namespace

void TableWindow::addDisplayActions(QMenu* options, QMenu* view) {
    QAction* animate = options->addAction("Animate Cards");
    animate->setObjectName("action_animatecards");
    animate->setCheckable(true);
    animate->setChecked(options_.animate);
    connect(animate, &QAction::triggered, this, [this](bool on) {
        options_.animate = on;
        applyAnimate();
        Q_EMIT optionsChanged();
    });

    QAction* fullScreen = view->addAction("Full Screen");
    fullScreen->setObjectName("action_fullscreen");
    fullScreen->setCheckable(true);
    fullScreen->setShortcut(QKeySequence(Qt::Key_F11));
    // The menu bar stays, so the shortcut works in full screen too.
    addAction(fullScreen);
    connect(fullScreen, &QAction::triggered, this, [this](bool on) {
        if (on == isFullScreen()) return;
        if (on) {
            maximisedBeforeFullScreen_ = isMaximized();
            showFullScreen();
        } else if (maximisedBeforeFullScreen_) {
            showMaximized();
        } else {
            showNormal();
        }
    });
}

void TableWindow::applyAnimate() {
    if (QAction* animate = action("action_animatecards")) {
        const QSignalBlocker quiet(animate);
        animate->setChecked(options_.animate);
    }
    board_->motion().setEnabled(options_.animate && !headless());
}

void TableWindow::showDisplayState() {
    if (QAction* fullScreen = action("action_fullscreen")) fullScreen->setChecked(isFullScreen());
}

}  // namespace vornel::table
