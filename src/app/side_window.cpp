#include "app/side_window.h"

#include <QPainter>

#include "table/board.h"

namespace vornel::app {

SideWindow::SideWindow(const QString& className, const QString& caption, QSize clientSize, const QPixmap& background,
                       QWidget* table, bool toolWindow)
    : QWidget(nullptr, toolWindow ? Qt::Tool : Qt::Window), background_(background), table_(table) {
    setObjectName(className);
    setWindowTitle(caption);
    if (clientSize.isValid()) resize(clientSize);
    setAttribute(Qt::WA_QuitOnClose, false);
}

void SideWindow::showOver() {
    if (!placed_ && table_ != nullptr) {
        const QRect area = table_->frameGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
    shown_.start();
}

void SideWindow::hideUnlessJustShown() {
    if (isActiveWindow() || (shown_.isValid() && shown_.elapsed() < kJustShownMs)) return;
    hide();
}

void SideWindow::setTable(QWidget* table, const QPixmap& background) {
    table_ = table;
    background_ = background;
    update();
}

void SideWindow::setStayOnTop(bool onTop) {
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) show();
}

void SideWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), table::kTableColour);
    if (!background_.isNull()) painter.drawTiledPixmap(rect(), background_);
}

}  // namespace vornel::app
