#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <functional>

namespace zx {

// Shows a retained picture (the response graph or the routing picture) and nothing else:
// paint events copy the picture; every drawing happens where the picture is rebuilt. Mouse
// presses, moves and releases are passed on in picture coordinates for dragging.
class GraphView : public QWidget {
    Q_OBJECT
  public:
    explicit GraphView(const QImage* picture, QWidget* parent = nullptr);

    // The tooltip text at a point of the picture; empty for none.
    std::function<QString(QPoint)> hintAt;

  public slots:
    // The picture changed: show it at the next paint.
    void refresh() { update(); }

  signals:
    void pressed(QPoint pos, Qt::MouseButton button);
    void moved(QPoint pos);
    void released(QPoint pos, Qt::MouseButton button);
    // Whole wheel notches turned at a point: positive away from the user.
    void wheeled(QPoint pos, int notches);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;

  private:
    const QImage* picture_;
    int wheelAngle_ = 0; // eighths of a degree not yet a whole notch
};

} // namespace zx
