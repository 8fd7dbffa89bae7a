#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>

#include "app/application.h"
#include "platform/test_platform.h"
#include "ui/graph_view.h"

using namespace zx;

// One step of a band drag on a channel with a measurement: as BM_DragStep, with the
// measurement, the dashed target and the predicted result drawn over the channel.
static void BM_DragStepWithMeasurement(benchmark::State& state) {
    TestPlatform tp;
    Application app(tp.platform());
    app.Start();
    app.editor.showChannel(2);
    if (!app.measurements.loadMeasurement(2, QStringLiteral(ZX_MEASUREMENTS_DIR "/room.frd"))) {
        state.SkipWithError("the measurement cannot be read");
        return;
    }
    GraphView* view = app.window.graphView();
    const BandMarker m = app.graph.marker(BandId(2, 5));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(m.x, m.y),
                      view->mapToGlobal(QPointF(m.x, m.y)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view, &press);
    int step = 0;
    for (auto _ : state) {
        const int x = 200 + (step % 600);
        const int y = 40 + (step * 7 % 150);
        ++step;
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), view->mapToGlobal(QPointF(x, y)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        view->repaint();
        benchmark::DoNotOptimize(app.graph.image().constBits());
    }
    if (!app.actions.dragging()) state.SkipWithError("the press started no drag");
    if (!app.graph.overlay(2)) state.SkipWithError("no measurement drawn");
}
BENCHMARK(BM_DragStepWithMeasurement)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
