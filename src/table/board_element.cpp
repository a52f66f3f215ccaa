#include "table/board_element.h"

#include <QPainter>

#include "table/artwork.h"
#include "table/board.h"

namespace vornel::table {

BoardLabel::BoardLabel(const QString& name, QWidget* parent, QRect geometry) : QLabel(parent) {
    setObjectName(name);
    setGeometry(geometry);
}

Board* BoardLabel::board() const { return qobject_cast<Board*>(parentWidget()); }

void BoardLabel::settleMotion() {
    if (Board* on = board()) on->motion().settle(this);
}

void BoardLabel::setGeometry(const QRect& geometry) {
    logical_ = geometry;
    settleMotion();
    applyGeometry();
}

void BoardLabel::applyGeometry() {
    const Board* on = board();
    QWidget::setGeometry(on != nullptr ? on->shownGeometry(*this) : logical_);
}

ImageElement::ImageElement(const QString& name, QWidget* parent, QRect geometry) : BoardLabel(name, parent, geometry) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAttribute(Qt::WA_TranslucentBackground);
}

void ImageElement::setPixmap(const QPixmap& picture) {
    settleMotion();
    QLabel::setPixmap(picture);
}

void ImageElement::mousePressEvent(QMouseEvent* event) {
    Q_EMIT pressed(event->button());
    event->accept();
}

void ImageElement::paintEvent(QPaintEvent* event) {
    const Board* on = board();
    const QPixmap picture = pixmap();
    const qreal ratio = devicePixelRatioF();
    if (on == nullptr || picture.isNull() || (on->scale() == 1.0 && ratio == 1.0)) {
        QLabel::paintEvent(event);
        return;
    }
    const QSize shown = hasScaledContents() ? QWidget::size() : on->shownSize(picture.deviceIndependentSize().toSize());
    QPainter painter(this);
    painter.drawPixmap(0, 0, on->artwork().shownAt(picture, shown, ratio));
}

TextElement::TextElement(const QString& name, const QString& caption, QWidget* parent, QRect geometry)
    : BoardLabel(name, parent, geometry) {
    setText(caption);
}

void TextElement::mousePressEvent(QMouseEvent* event) {
    Q_EMIT pressed(event->button(), event->globalPosition().toPoint());
    event->accept();
}

}  // namespace vornel::table
