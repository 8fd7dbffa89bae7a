#include <gtest/gtest.h>

#include "drawing/graph.h"
#include "drawing/graph_canvas.h"
#include "drawing/routing_picture.h"
#include "model/parameter_model.h"

#include <QImage>
#include <QPainter>
#include <QRect>

#include <functional>

using namespace zx;

// On a screen with two device pixels per pixel the pictures hold four device pixels for each
// graph pixel. Everything but text must land in exactly the graph pixels it lands in at ratio 1.

namespace {

QRgb Pixel(const QImage& img, int x, int y) {
    return img.pixel(x, y) | 0xff000000u;
}

// The first graph pixel in `area` whose 2 × 2 device pixels at ratio 2 are not all the colour
// of that pixel at ratio 1, as "x,y", or "" when every one matches.
std::string FirstMismatch(const QImage& at1, const QImage& at2, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb want = Pixel(at1, x, y);
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    if (Pixel(at2, 2 * x + dx, 2 * y + dy) != want)
                        return std::to_string(x) + "," + std::to_string(y);
        }
    return "";
}

// Graph pixels in `area` whose four device pixels differ: detail finer than a graph pixel.
int FinerThanAPixel(const QImage& at2, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = Pixel(at2, 2 * x, 2 * y);
            n += (Pixel(at2, 2 * x + 1, 2 * y) != c || Pixel(at2, 2 * x, 2 * y + 1) != c ||
                  Pixel(at2, 2 * x + 1, 2 * y + 1) != c)
                     ? 1
                     : 0;
        }
    return n;
}

// The graph inside and right of its frame, above the frequency labels: lines only, no text.
const QRect kPlotArea(41, 0, 937 - 41, 226);
// The same without the columns where curves end: their round caps are rounder at ratio 2.
const QRect kCurveArea(44, 0, 928 - 44, 226);

} // namespace

TEST(HighDensity, gridHoldsFourDevicePixelsPerPixelInTheSamePlaces) {
    const QImage at1 = BuildGridBitmap(937, 249);
    const QImage at2 = BuildGridBitmap(937, 249, 2.0);
    EXPECT_EQ(at2.size(), QSize(1874, 498));
    EXPECT_EQ(at2.deviceIndependentSize(), QSizeF(937, 249));
    EXPECT_EQ(FirstMismatch(at1, at2, kPlotArea), "");
    // The scale labels are drawn at full resolution, not enlarged.
    EXPECT_GT(FinerThanAPixel(at2, QRect(0, 0, 41, 249)), 50);
    EXPECT_GT(FinerThanAPixel(at2, QRect(100, 226, 837, 23)), 50);
}

TEST(HighDensity, curvesAndMarkersKeepTheirPixels) {
    ParameterModel m;
    m.channels[0].gainIndex = 240; // +12 dB: row 30
    m.channels[1].gainIndex = 0;   // -12 dB: row 142
    struct Case {
        const char* what;
        std::function<void(Graph&)> draw;
        bool markers = false;
    };
    const Case cases[] = {
        {"start-up picture", [](Graph&) {}},
        {"overview, thick pen", [&](Graph& g) { g.RedrawOverview(m); }},
        {"one channel, thin pen",
         [&](Graph& g) {
             g.EditorShown();
             g.CopyGrid();
             g.PlotChannel(m, 1);
         }},
        {"band markers",
         [&](Graph& g) {
             g.EditorShown();
             g.RefreshBand(m, BandId(2, 0));
         },
         true},
    };
    for (const Case& c : cases) {
        Graph g1;
        Graph g2(2.0);
        c.draw(g1);
        c.draw(g2);
        ASSERT_EQ(g2.image().devicePixelRatio(), 2.0) << c.what;
        QImage at1 = g1.image().copy();
        QImage at2 = g2.image().copy();
        if (c.markers) {
            // The band numbers are text; the squares must match.
            for (QImage* img : {&at1, &at2}) {
                QPainter p(img);
                for (int b = 0; b < kBandsPerChannel; ++b) {
                    const BandMarker& mk = g1.marker(BandId(2, b));
                    const int top = mk.y < 117 ? mk.y - 18 : mk.y + 4;
                    p.fillRect(mk.x - 3, top, 16, 14, Qt::black);
                }
            }
        }
        EXPECT_EQ(FirstMismatch(at1, at2, kCurveArea), "") << c.what;
    }
}

TEST(HighDensity, routingLinesKeepTheirPixels) {
    ParameterModel m;
    m.output(2).routeSource = static_cast<std::uint8_t>(RouteSource::A);
    m.output(3).routeSource = static_cast<std::uint8_t>(RouteSource::AB);
    m.output(4).routeSource = static_cast<std::uint8_t>(RouteSource::B);
    RoutingPicture at2(2.0);
    at2.Draw(m);
    const QImage& img = at2.image();
    EXPECT_EQ(img.deviceIndependentSize(), QSizeF(137, 121));
    // The background and the straight lines of Out left and Out sub fill the same pixels as
    // at ratio 1; only the slanting lines are drawn finer.
    RoutingPicture at1;
    at1.Draw(m);
    EXPECT_EQ(FirstMismatch(at1.image(), img, QRect(0, 0, 137, 8)), "");
    EXPECT_EQ(FirstMismatch(at1.image(), img, QRect(45, 16, 70, 12)), "");
    EXPECT_EQ(FirstMismatch(at1.image(), img, QRect(45, 100, 70, 21)), "");
}
