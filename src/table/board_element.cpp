#include "table/board_element.h"

#include <QPainter>

#include "table/artwork.h"
#include "table/board.h"

namespace vornel::table {

BoardLabel::BoardLabel(const QString& name, QWidget* parent, QRect geometry)
    : QLabel(parent), board_(qobject_cast<Board*>(parent)) {
    setObjectName(name);
    setGeometry(geometry);
}

bool BoardLabel::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange) board_ = qobject_cast<Board*>(parentWidget());
    return QLabel::event(event);
}

void BoardLabel::settleMotion() {
    if (board_ != nullptr && board_->motion().sliding()) board_->motion().settle(this);
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
    pending_ = nullptr;
    settleMotion();
    // The picture it shows already (most often none, as the bubbles are
    // cleared on nearly every message) changes nothing that is shown.
    if (picture.cacheKey() == pixmap().cacheKey() && text().isEmpty()) return;
    QLabel::setPixmap(picture);
}

void ImageElement::setPixmapWhenShown(std::function<QPixmap()> picture) {
    pending_ = std::move(picture);
    if (isVisible()) takePendingPicture();
}

void ImageElement::takePendingPicture() {
    if (!pending_) return;
    const std::function<QPixmap()> picture = std::move(pending_);
    setPixmap(picture());
}

void ImageElement::setVisible(bool visible) {
    // Shown on a board not yet on the screen: whoever looks at it finds
    // its picture all the same.
    if (visible) takePendingPicture();
    BoardLabel::setVisible(visible);
}

void ImageElement::showEvent(QShowEvent* event) {
    takePendingPicture();
    BoardLabel::showEvent(event);
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
