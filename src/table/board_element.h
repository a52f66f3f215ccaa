#pragma once
// The elements of the board: picture and text labels that keep the place
// the game gives them on the board at its smallest size (their "logical"
// geometry) and are shown at that place scaled by the board's factor.
//
// The geometry functions below hide QWidget's: through an element, the game
// reads and moves the logical place; the widget itself stands at the shown
// place, so mouse hits follow the scaling. Outside a Board (a dialog), both
// are the same.

#include <QLabel>
#include <QMouseEvent>
#include <functional>

namespace vornel::table {

class Board;

class BoardLabel : public QLabel {
    Q_OBJECT
public:
    QRect geometry() const { return logical_; }
    QPoint pos() const { return logical_.topLeft(); }
    int x() const { return logical_.x(); }
    int y() const { return logical_.y(); }
    QSize size() const { return logical_.size(); }
    int width() const { return logical_.width(); }
    int height() const { return logical_.height(); }

    void setGeometry(const QRect& geometry);
    void setGeometry(int x, int y, int w, int h) { setGeometry(QRect(x, y, w, h)); }
    void move(int x, int y) { setGeometry(QRect(QPoint(x, y), logical_.size())); }
    void move(const QPoint& at) { move(at.x(), at.y()); }
    void resize(int w, int h) { setGeometry(QRect(logical_.topLeft(), QSize(w, h))); }
    void resize(const QSize& size) { resize(size.width(), size.height()); }

    // Where the widget stands on its parent, in the parent's pixels.
    QRect shownGeometry() const { return QWidget::geometry(); }
    // Places the widget at its logical place as the board shows it now.
    void applyGeometry();

protected:
    BoardLabel(const QString& name, QWidget* parent, QRect geometry);
    // The board this element stands on; nullptr in other windows.
    Board* board() const { return board_; }
    // Keeps board() in step when the element is given another parent.
    bool event(QEvent* event) override;
    // A change made by the game ends the element's motion at its final place.
    void settleMotion();

private:
    QRect logical_;
    // Found once, not on every change: the game changes elements many times per message.
    Board* board_ = nullptr;
};

class ImageElement : public BoardLabel {
    Q_OBJECT
public:
    ImageElement(const QString& name, QWidget* parent, QRect geometry);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    const QString& hint() const { return hint_; }
    void setHint(const QString& hint) { hint_ = hint; }
    void setPixmap(const QPixmap& picture);
    // For an element hidden until the game needs it: the picture is asked
    // for when the element is first shown, so that a table that never shows
    // it never draws it. A later setPixmap() replaces it.
    void setPixmapWhenShown(std::function<QPixmap()> picture);
    // The picture still waiting to be drawn when the element is first shown.
    const std::function<QPixmap()>& pendingPicture() const { return pending_; }
    // Empties the picture (the element keeps its place and size).
    void clearPicture() { setPixmap(QPixmap()); }
    void setVisible(bool visible) override;

Q_SIGNALS:
    void pressed(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // Scaled or on a high-density screen, the picture is drawn again for
    // the size it is shown at instead of being stretched.
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void takePendingPicture();

    int tag_ = 0;
    QString hint_;
    std::function<QPixmap()> pending_;
};

// A text label of the board with a hint text (a seat's default name).
class TextElement : public BoardLabel {
    Q_OBJECT
public:
    TextElement(const QString& name, const QString& caption, QWidget* parent, QRect geometry);
    const QString& hint() const { return hint_; }
    void setHint(const QString& hint) { hint_ = hint; }

Q_SIGNALS:
    void pressed(Qt::MouseButton button, QPoint globalPosition);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString hint_;
};

}  // namespace vornel::table
