#include "drawing/routing_picture.h"

#include "drawing/graph_canvas.h"
#include "model/value_scales.h"

#include <QPainter>
#include <QPen>
#include <QtMath>

#include <algorithm>

namespace zx {

QPoint RoutingOutputPoint(ChannelId ch) {
    switch (ch) {
    case 2:
        return {118, 24};
    case 3:
        return {118, 63};
    default:
        return {118, 104};
    }
}

QImage RoutingBackground(qreal devicePixelRatio) {
    QImage bg = GraphPicture(kRoutingPictureWidth, kRoutingPictureHeight, devicePixelRatio);
    // A fine dark weave: dark grey with a slight diagonal grain, the same at every ratio.
    for (int y = 0; y < bg.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(bg.scanLine(y));
        const int py = static_cast<int>(y / devicePixelRatio);
        for (int x = 0; x < bg.width(); ++x) {
            const int px = static_cast<int>(x / devicePixelRatio);
            const int grain = ((px + py) % 4 == 0 ? 6 : 0) + ((px * 7 + py * 13) % 5);
            const int v = std::min(22 + grain, 40);
            line[x] = qRgb(v, v, v + 2);
        }
    }
    return bg;
}

void DrawRoutingPicture(QImage& picture, const QImage& background, const ParameterModel& m) {
    const qreal ratio = background.devicePixelRatio();
    picture = background.copy(0, 0, qCeil(kRoutingPictureWidth * ratio),
                              qCeil(kRoutingPictureHeight * ratio));
    QPainter p(&picture);
    constexpr int kPenWidth = 2;
    AlignPenToPixels(p, picture, kPenWidth);
    // The three outputs on screen; Out 4 has no place in the picture.
    for (ChannelId ch = 2; ch <= 4; ++ch) {
        p.setPen(QPen(ChannelColour(ch), kPenWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPoint from = RoutingOutputPoint(ch);
        const int route = m.output(ch).routeSource;
        if (route == static_cast<int>(RouteSource::A) || route == static_cast<int>(RouteSource::AB))
            p.drawLine(from, kRoutingInputA);
        if (route == static_cast<int>(RouteSource::B) || route == static_cast<int>(RouteSource::AB))
            p.drawLine(from, kRoutingInputB);
    }
}

RoutingPicture::RoutingPicture(qreal devicePixelRatio, QObject* parent)
    : QObject(parent), background_(RoutingBackground(devicePixelRatio)),
      image_(background_.copy()) {}

void RoutingPicture::Draw(const ParameterModel& m) {
    DrawRoutingPicture(image_, background_, m);
    emit imageChanged();
}

} // namespace zx
