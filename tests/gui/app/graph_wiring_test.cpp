#include "app_fixture.h"

#include <QCheckBox>

#include <algorithm>

#include "model/preset_image.h"
#include "ui/graph_view.h"

using namespace zx;

TEST_F(AppTest, graph_blockFromTheDeviceRedrawsCurvesAndRouting) {
    ParameterModel device;
    device.band(2, 3).peakGainIndex = 170; // +10 dB
    RefreshHalves(device.band(2, 3));
    device.output(3).routeSource = 2;
    tp.sim.setLiveImage(ImageBytes(device));
    const QImage startGraph = app.graph.image();
    const QImage startRouting = app.routing.image();

    connectAndWait();
    const ResponseCurve& band = app.graph.curves().bands[BandId(2, 3)];
    EXPECT_NEAR(*std::max_element(band.begin(), band.end()), 10.0, 0.1);
    EXPECT_NE(app.graph.image(), startGraph);
    EXPECT_NE(app.routing.image(), startRouting);
    EXPECT_EQ(app.window.graphView()->geometry(), QRect(10, 24, 937, 249));
    EXPECT_EQ(app.window.routingView()->geometry(), QRect(369, 8, 137, 121));
}

TEST_F(AppTest, graph_legendCheckBoxesSwitchTheOverviewCurves) {
    EXPECT_TRUE(app.graph.showSwitch(1));
    const QImage before = app.graph.image();
    app.window.legendCheck(1)->click();
    EXPECT_FALSE(app.graph.showSwitch(1));
    EXPECT_NE(app.graph.image(), before);
    app.window.legendCheck(1)->click();
    EXPECT_TRUE(app.graph.showSwitch(1));
}

TEST_F(AppTest, graph_disconnectResetsTheCrossoverChannel) {
    connectAndWait();
    app.graph.setCurrentCrossoverChannel(4);
    clickConnect();
    EXPECT_EQ(app.graph.currentCrossoverChannel(), 0);
}
