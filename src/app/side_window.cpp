#include "app/side_window.h"

#include <QApplication>
#include <QBackingStore>
#include <QKeyEvent>
#include <QPainter>

#include "app/platform.h"
#include "app/window_bounds.h"
#include "table/board.h"
#include "table/table_window.h"

namespace vornel::app {

namespace {

// Where the four cards of a trick lie on the screen.
QRect trickAreaOnScreen(const table::Board& board) {
    QRect logical;
    for (int place = 1; place <= 4; ++place) logical |= table::Board::placeGeometry("image_played", place);
    const QRect shown = board.shownRect(logical);
    return {board.mapToGlobal(shown.topLeft()), shown.size()};
}

}  // namespace

SideWindow::SideWindow(const QString& className, const QString& caption, QSize clientSize, const QPixmap& background,
                       QWidget* table, bool toolWindow)
    // Owned by the table's window, so that the window system keeps it in
    // front of the table even where it lies over it.
    : QWidget(table, toolWindow ? Qt::Tool : Qt::Window), background_(background), table_(table) {
    setObjectName(className);
    setWindowTitle(caption);
    if (clientSize.isValid()) resize(clientSize);
    setAttribute(Qt::WA_QuitOnClose, false);
}

void SideWindow::showOver() {
    const bool movedByPlayer = placed_ && pos() != placedAt_;
    if (!isVisible() && !movedByPlayer && table_ != nullptr) place();
    show();
    raise();
    activateWindow();
    shown_.start();
}

void SideWindow::place() {
    if (placement_ == Placement::BesideTable) move(placeBeside());
    else move(table_->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    placedAt_ = pos();
    placed_ = true;
}

QPoint SideWindow::placeBeside() const {
    // A window never shown has no frame yet: it will get one like the table's.
    const QSize frame =
        frameGeometry().size() != size() ? frameGeometry().size() : size().grownBy(platform::frameMargins(*table_));
    std::vector<QRect> taken;
    for (QWidget* other : QApplication::topLevelWidgets()) {
        const auto* side = qobject_cast<const SideWindow*>(other);
        if (side != nullptr && side != this && side->isVisible() && side->placement() == Placement::BesideTable)
            taken.push_back(side->frameGeometry());
    }
    auto* table = qobject_cast<table::TableWindow*>(table_);
    const QWidget* board = table != nullptr ? table->centralWidget() : table_;
    const QRect boardOnScreen(board->mapToGlobal(QPoint(0, 0)), board->size());
    const QRect trick = table != nullptr ? trickAreaOnScreen(table->board()) : boardOnScreen;
    return placeBesideTable(frame, table_->frameGeometry(), boardOnScreen, trick, taken, platform::workAreas());
}

void SideWindow::hideUnlessJustShown() {
    if (isActiveWindow() || (shown_.isValid() && shown_.elapsed() < kJustShownMs)) return;
    hide();
}

void SideWindow::setStayOnTop(bool onTop) {
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) show();
}

void SideWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SideWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Hidden by the program (not minimised by the window system): the window's
    // buffer, as large as the window, shrinks to a pixel. Showing the window
    // again paints all of it, and the first paint sizes the buffer anew.
    if (event->spontaneous() || !isWindow()) return;
    if (QBackingStore* store = backingStore(); store != nullptr && store->size() != QSize(1, 1))
        store->resize(QSize(1, 1));
}

void SideWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), table::kTableColour);
    if (!background_.isNull()) painter.drawTiledPixmap(rect(), background_);
}

}  // namespace vornel::app
