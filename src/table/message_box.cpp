#include "table/message_box.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>

namespace vornel::table {

namespace {

constexpr const char* kWaiting = "vornelWaitsForItsWindow";

// Whether another shown window of the program stays on top of others: a box
// under the normal windows' layer would be hidden by it.
bool anotherWindowStaysOnTop(const QWidget* box) {
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (window != box && window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            return true;
    return false;
}

void bringToFront(QMessageBox* box) {
    if (anotherWindowStaysOnTop(box)) box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box->show();
    box->raise();
    box->activateWindow();
}

// Holds a box back until the window it belongs to is shown; the box then
// comes up after whatever the showing set going, so it ends up in front.
class ShowWithWindow final : public QObject {
public:
    ShowWithWindow(QMessageBox* box, QWidget* window) : QObject(box), box_(box) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, box_, [box = box_] {
                if (box == nullptr) return;
                box->setProperty(kWaiting, false);
                bringToFront(box);
            });
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QMessageBox> box_;
};

}  // namespace

QMessageBox* makeMessageBox(QMessageBox::Icon icon, const QString& text, QWidget* over, const QString& objectName,
                            QMessageBox::StandardButtons buttons) {
    auto* box = new QMessageBox(icon, "Vornel", text, buttons, over);
    box->setObjectName(objectName);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    return box;
}

void showInFront(QMessageBox* box) {
    QWidget* window = box->parentWidget() != nullptr ? box->parentWidget()->window() : nullptr;
    if (window != nullptr && !window->isVisible()) {
        // Once is enough: a box already waiting keeps its one watcher.
        if (!box->property(kWaiting).toBool()) {
            box->setProperty(kWaiting, true);
            new ShowWithWindow(box, window);
        }
        return;
    }
    bringToFront(box);
}

int askInFront(QMessageBox& box) {
    if (anotherWindowStaysOnTop(&box)) box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // exec() shows the box; once it is up it is raised and activated.
    QTimer::singleShot(0, &box, [&box] {
        box.raise();
        box.activateWindow();
    });
    return box.exec();
}

}  // namespace vornel::table
