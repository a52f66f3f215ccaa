#include "app/spy_list_window.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "table/table_window.h"

namespace vornel::app {

namespace {

// Wider than the list needs, so that a title bar with its icon and three
// buttons still has room for the whole caption.
constexpr QSize kClientSize{216, 168};

}  // namespace

SpyListWindow::SpyListWindow(table::TableWindow& table)
    : SideWindow("Tspylist", "Vornel - Spys", kClientSize, table.artwork().backgroundTile(), &table), table_(table) {
    setStayOnTop(true);
    constexpr int inner = kClientSize.width() - 16;
    auto* caption = new QLabel("Spy List", this);
    caption->setGeometry(8, 4, inner, 16);
    caption->setAlignment(Qt::AlignCenter);
    QFont font = caption->font();
    font.setBold(true);
    caption->setFont(font);

    list_ = new QListWidget(this);
    list_->setObjectName("listbox_spys");
    list_->setGeometry(8, 22, inner, 114);
    list_->viewport()->setMouseTracking(true);
    list_->viewport()->installEventFilter(this);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);

    popup_ = new QMenu(this);
    popup_->setObjectName("popup_spys");
    remove_ = popup_->addAction("Remove From Game");
    remove_->setObjectName("RemoveFromGame1");
    remove_->setEnabled(false);
    connect(remove_, &QAction::triggered, this, &SpyListWindow::RemoveFromGame1Click);
    connect(list_, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { popup_->popup(list_->viewport()->mapToGlobal(at)); });

    auto* done = new QPushButton("Done", this);
    done->setObjectName("button_done");
    done->setGeometry((kClientSize.width() - 75) / 2, 142, 75, 20);
    connect(done, &QPushButton::clicked, this, &QWidget::hide);
}

void SpyListWindow::addWatcher(const QString& entry) { list_->addItem(entry); }

bool SpyListWindow::removeWatcher(const QString& entry) {
    const auto found = list_->findItems(entry, Qt::MatchExactly);
    if (found.isEmpty()) return false;
    delete found.first();
    underPointer_ = -1;  // the rows below have moved up
    return true;
}

bool SpyListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::MouseMove) {
        const auto* move = static_cast<QMouseEvent*>(event);
        underPointer_ = list_->indexAt(move->position().toPoint()).row();
    }
    return SideWindow::eventFilter(watched, event);
}

void SpyListWindow::RemoveFromGame1Click() {
    if (underPointer_ < 0 || underPointer_ >= list_->count()) return;
    const QString entry = list_->item(underPointer_)->text();
    const qsizetype colon = entry.indexOf(':');
    if (colon < 0) return;
    bool isNumber = false;
    const int number = entry.left(colon).toInt(&isNumber);
    if (!isNumber) return;
    table_.kicking(number);
}

}  // namespace vornel::app
