#pragma once
// A side window of the table: created once at start-up, hidden rather than
// destroyed, with the table's colour and tiled background, centred over the
// table window the first time it is shown.

#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>

namespace vornel::app {

class SideWindow : public QWidget {
    Q_OBJECT
public:
    SideWindow(const QString& className, const QString& caption, QSize clientSize, const QPixmap& background,
               QWidget* table, bool toolWindow = true);

    // Shows the window (centred over the table the first time) and raises it.
    void showOver();
    // Stay-on-top or a normal window, keeping visibility as it was.
    void setStayOnTop(bool onTop);
    // The table hides some side windows when it becomes active; a click on
    // the table or a closing menu that has just opened one activates the
    // table a moment later, and must not hide it again.
    void hideUnlessJustShown();

    static constexpr int kJustShownMs = 750;

protected:
    // For windows made before the table (the table needs them at once):
    // the table to centre over and its background, given once it exists.
    void setTable(QWidget* table, const QPixmap& background);
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap background_;
    QWidget* table_;
    bool placed_ = false;
    QElapsedTimer shown_;
};

}  // namespace vornel::app
