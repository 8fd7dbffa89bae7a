#include <gtest/gtest.h>

#include "drawing/graph_canvas.h"
#include "drawing/routing_picture.h"
#include "model/parameter_model.h"

using namespace zx;

namespace {

bool IsDark(QRgb c) {
    return qRed(c) < 64 && qGreen(c) < 64 && qBlue(c) < 64;
}

QRgb Colour(ChannelId ch) {
    return ChannelColour(ch).rgb();
}

QRgb Pixel(const QImage& img, int x, int y) {
    return img.pixel(x, y) | 0xff000000u;
}

int CountOf(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += Pixel(img, x, y) == colour ? 1 : 0;
    return n;
}

} // namespace

TEST(RoutingPicture, isDarkWithoutRoutes) {
    ParameterModel m;
    RoutingPicture picture;
    picture.Draw(m);
    const QImage& img = picture.image();
    ASSERT_EQ(img.size(), QSize(137, 121));
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ASSERT_TRUE(IsDark(Pixel(img, x, y))) << x << "," << y;
}

TEST(RoutingPicture, linesRunFromEachOutputToItsInputs) {
    ParameterModel m;
    m.output(2).routeSource = static_cast<std::uint8_t>(RouteSource::AB);
    m.output(3).routeSource = static_cast<std::uint8_t>(RouteSource::Off);
    m.output(4).routeSource = static_cast<std::uint8_t>(RouteSource::B);
    m.output(5).routeSource = static_cast<std::uint8_t>(RouteSource::A); // hidden: not drawn
    RoutingPicture picture;
    picture.Draw(m);
    const QImage& img = picture.image();
    // Out left to A along row 24 and diagonally to B; Out sub to B along row 104.
    EXPECT_EQ(Pixel(img, 70, 24), Colour(2));
    EXPECT_EQ(Pixel(img, 69, 64), Colour(2));
    EXPECT_EQ(Pixel(img, 69, 104), Colour(4));
    EXPECT_EQ(CountOf(img, Colour(3)), 0);
    EXPECT_EQ(CountOf(img, Colour(5)), 0);
    // Nothing starts from Out right's point.
    EXPECT_TRUE(IsDark(Pixel(img, 110, 63)));

    // A route change redraws from the background: the old lines go.
    m.output(2).routeSource = static_cast<std::uint8_t>(RouteSource::Off);
    m.output(3).routeSource = static_cast<std::uint8_t>(RouteSource::A);
    picture.Draw(m);
    EXPECT_EQ(CountOf(picture.image(), Colour(2)), 0);
    EXPECT_EQ(Pixel(picture.image(), 69, 43), Colour(3)); // (118, 63) to (20, 24)
}

TEST(RoutingPicture, unknownRouteValueDrawsNothing) {
    ParameterModel m;
    m.output(2).routeSource = 9;
    RoutingPicture picture;
    picture.Draw(m);
    EXPECT_EQ(CountOf(picture.image(), Colour(2)), 0);
}
