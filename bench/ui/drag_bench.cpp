#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>

#include "app/application.h"
#include "ui/graph_view.h"
#include "window_doubles/test_platform.h"

using namespace zx;

// One step of a band drag: a mouse move delivered to the graph widget, until the graph's
// picture (curve, channel plot, markers), the band's fields and the widget itself are up to
// date. With a measurement, the measurement, the dashed target and the predicted result are
// drawn over the channel too.
static void DragSteps(benchmark::State& state, bool withMeasurement) {
    TestPlatform tp;
    Application app(tp.platform());
    app.Start();
    app.editor.showChannel(2);
    if (withMeasurement)
        app.measurements.loadMeasurement(2, QStringLiteral(ZX_MEASUREMENTS_DIR "/room.frd"));
    if (withMeasurement && !app.measurements.measurements().has(2)) {
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
        // Back and forth over a wide stretch, so every move changes both values.
        const int x = 200 + (step % 600);
        const int y = 40 + (step * 7 % 150);
        ++step;
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), view->mapToGlobal(QPointF(x, y)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        view->repaint(); // the widget shows the new picture now, not at the next paint event
        benchmark::DoNotOptimize(app.graph.image().constBits());
    }
    if (!app.actions.dragging()) state.SkipWithError("the press started no drag");
    if (withMeasurement && !app.graph.overlay(2)) state.SkipWithError("no measurement drawn");
}

static void BM_DragStep(benchmark::State& state) {
    DragSteps(state, false);
}
static void BM_DragStepWithMeasurement(benchmark::State& state) {
    DragSteps(state, true);
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_DragStepWithMeasurement)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
