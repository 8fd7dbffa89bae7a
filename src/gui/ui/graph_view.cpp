#include "ui/graph_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

namespace zx {

GraphView::GraphView(const QImage* picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    // The picture may hold several device pixels per pixel; the view is as large as the
    // picture is in pixels, so positions and mouse coordinates are the picture's own.
    setFixedSize(picture_->deviceIndependentSize().toSize());
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Moves are reported while a button is held, which is all a drag needs.
}

void GraphView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const qreal ratio = picture_->devicePixelRatio();
    const QRectF target(event->rect());
    p.drawImage(target, *picture_, QRectF(target.topLeft() * ratio, target.size() * ratio));
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

void GraphView::wheelEvent(QWheelEvent* event) {
    // A fine-grained wheel or touch pad sends parts of a notch; whole notches count.
    static constexpr int kNotch = 120;
    wheelAngle_ += event->angleDelta().y();
    const int notches = wheelAngle_ / kNotch;
    wheelAngle_ -= notches * kNotch;
    if (notches != 0) emit wheeled(event->position().toPoint(), notches);
    event->accept();
}

bool GraphView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString hint = hintAt ? hintAt(help->pos()) : QString();
        if (hint.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), hint, this);
        }
        return true;
    }
    return QWidget::event(event);
}

} // namespace zx
