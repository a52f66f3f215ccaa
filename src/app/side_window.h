#pragma once
// A side window of the table: created once at start-up, hidden rather than
// destroyed, with the table's colour and tiled background. Dialogs come up
// centred over the table window; the windows kept open beside the game
// come up beside the table, off the cards. Esc closes it as its close
// button does. A hidden window keeps no picture of itself: its buffer is
// let go when it is hidden and made and painted again when it is shown.

#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>

namespace vornel::app {

class SideWindow : public QWidget {
    Q_OBJECT
public:
    enum class Placement {
        // Centred over the table window.
        OverTable,
        // Beside the table where a screen has room, otherwise over a corner
        // of the board away from the trick.
        BesideTable,
    };

    SideWindow(const QString& className, const QString& caption, QSize clientSize, const QPixmap& background,
               QWidget* table, bool toolWindow = true);

    void setPlacement(Placement placement) { placement_ = placement; }
    Placement placement() const { return placement_; }

    // Shows the window and raises it. A hidden window is placed anew each
    // time, unless the player moved it: then it comes back where it was left.
    void showOver();
    // Stay-on-top or a normal window, keeping visibility as it was.
    void setStayOnTop(bool onTop);
    // The table hides some side windows when it becomes active; a click on
    // the table or a closing menu that has just opened one activates the
    // table a moment later, and must not hide it again.
    void hideUnlessJustShown();

    static constexpr int kJustShownMs = 750;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void place();
    QPoint placeBeside() const;

    QPixmap background_;
    QWidget* table_;
    Placement placement_ = Placement::OverTable;
    bool placed_ = false;
    QPoint placedAt_;
    QElapsedTimer shown_;
};

}  // namespace vornel::app
