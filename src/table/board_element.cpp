#include "table/board_element.h"

namespace vornel::table {

ImageElement::ImageElement(const QString& name, QWidget* parent, QRect geometry) : QLabel(parent) {
    setObjectName(name);
    setGeometry(geometry);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAttribute(Qt::WA_TranslucentBackground);
}

void ImageElement::mousePressEvent(QMouseEvent* event) {
    Q_EMIT pressed(event->button());
    event->accept();
}

TextElement::TextElement(const QString& name, const QString& caption, QWidget* parent, QRect geometry)
    : QLabel(caption, parent) {
    setObjectName(name);
    setGeometry(geometry);
}

void TextElement::mousePressEvent(QMouseEvent* event) {
    Q_EMIT pressed(event->button(), event->globalPosition().toPoint());
    event->accept();
}

}  // namespace vornel::table
