#pragma once
// A picture element of the board: a label showing a pixmap, with the
// number ("tag") and hint text the game keeps on it, and a click signal.

#include <QLabel>
#include <QMouseEvent>

namespace vornel::table {

class ImageElement : public QLabel {
    Q_OBJECT
public:
    ImageElement(const QString& name, QWidget* parent, QRect geometry);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    const QString& hint() const { return hint_; }
    void setHint(const QString& hint) { hint_ = hint; }
    // Empties the picture (the element keeps its place and size).
    void clearPicture() { setPixmap(QPixmap()); }

Q_SIGNALS:
    void pressed(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    int tag_ = 0;
    QString hint_;
};

// A text label of the board with a hint text (a seat's default name).
class TextElement : public QLabel {
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
