#include "ui/graph_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace zx {

GraphView::GraphView(const QImage* picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setFixedSize(picture_->size());
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Moves are reported while a button is held, which is all a drag needs.
}

void GraphView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.drawImage(event->rect(), *picture_, event->rect());
}

void GraphView::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->position().toPoint(), event->button());
}

void GraphView::mouseMoveEvent(QMouseEvent* event) {
    emit moved(event->position().toPoint());
}

void GraphView::mouseReleaseEvent(QMouseEvent* event) {
    emit released(event->position().toPoint(), event->button());
}

} // namespace zx
