#include <gtest/gtest.h>

#include "drawing/graph.h"
#include "model/parameter_model.h"
#include "ui/graph_view.h"

#include <QApplication>
#include <QMouseEvent>

#include <vector>

using namespace zx;

namespace {

void SendMouse(QWidget& w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(pos), w.mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

} // namespace

TEST(GraphView, showsTheRetainedPictureAsItIsNow) {
    Graph graph;
    GraphView view(&graph.image());
    QObject::connect(&graph, &Graph::imageChanged, &view, &GraphView::refresh);
    EXPECT_EQ(view.size(), QSize(937, 249));
    EXPECT_EQ(view.grab().toImage().convertToFormat(QImage::Format_RGB32), graph.image());

    ParameterModel m;
    m.channels[0].gainIndex = 240;
    graph.RedrawOverview(m);
    EXPECT_EQ(view.grab().toImage().convertToFormat(QImage::Format_RGB32), graph.image());
}

TEST(GraphView, passesMouseButtonsAndMovesOnInPictureCoordinates) {
    Graph graph;
    GraphView view(&graph.image());
    std::vector<std::pair<QPoint, Qt::MouseButton>> pressed, released;
    std::vector<QPoint> moved;
    QObject::connect(&view, &GraphView::pressed,
                     [&](QPoint p, Qt::MouseButton b) { pressed.emplace_back(p, b); });
    QObject::connect(&view, &GraphView::moved, [&](QPoint p) { moved.push_back(p); });
    QObject::connect(&view, &GraphView::released,
                     [&](QPoint p, Qt::MouseButton b) { released.emplace_back(p, b); });
    SendMouse(view, QEvent::MouseButtonPress, {110, 86}, Qt::RightButton, Qt::RightButton);
    // A drag moves with the button held.
    SendMouse(view, QEvent::MouseMove, {120, 90}, Qt::NoButton, Qt::RightButton);
    SendMouse(view, QEvent::MouseButtonRelease, {121, 91}, Qt::RightButton, Qt::NoButton);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed[0].first, QPoint(110, 86));
    EXPECT_EQ(pressed[0].second, Qt::RightButton);
    EXPECT_EQ(moved, std::vector<QPoint>{QPoint(120, 90)});
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(released[0].first, QPoint(121, 91));
}

TEST(GraphView, showsAHighDensityPictureAtItsSizeInPixels) {
    Graph graph(2.0);
    GraphView view(&graph.image());
    EXPECT_EQ(view.size(), QSize(937, 249));
    // Painted onto a surface of the same density, every device pixel is the picture's own.
    QImage shown(1874, 498, QImage::Format_RGB32);
    shown.setDevicePixelRatio(2.0);
    view.render(&shown);
    EXPECT_EQ(shown, graph.image());

    std::vector<QPoint> pressed;
    QObject::connect(&view, &GraphView::pressed,
                     [&](QPoint p, Qt::MouseButton) { pressed.push_back(p); });
    SendMouse(view, QEvent::MouseButtonPress, {900, 240}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(pressed, std::vector<QPoint>{QPoint(900, 240)});
}
