#pragma once
// Message boxes that come up in front of the window they belong to, and
// are activated, even when made before that window is shown (a box made
// at start-up waits for its window and then comes up over it).

#include <QMessageBox>

namespace vornel::table {

// A box that does not block, goes when closed and belongs to `over`'s window.
QMessageBox* makeMessageBox(QMessageBox::Icon icon, const QString& text, QWidget* over, const QString& objectName,
                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Shows the box in front of its window and activates it. Over windows of
// the program that stay on top it stays on top too, so none of them hides
// it. A box whose window is not shown yet comes up once it is.
void showInFront(QMessageBox* box);

// Runs a question box to its answer, in front of its window.
int askInFront(QMessageBox& box);

}  // namespace vornel::table
