#include "drawing/graph_canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QtMath>

#include <array>
#include <cstring>

namespace zx {
namespace {

const QColor kFrameColour{128, 128, 128};
const QColor kGridColour{64, 64, 64};
const QColor kLabelBackground{4, 2, 4};

// Lines in the grid end one pixel short of their end point, as the drawing surface the
// grid was designed on draws them.
void HorizontalLine(QPainter& p, int x1, int x2Exclusive, int y, const QColor& c) {
    p.fillRect(x1, y, x2Exclusive - x1, 1, c);
}
void VerticalLine(QPainter& p, int x, int y1, int y2Exclusive, const QColor& c) {
    p.fillRect(x, y1, 1, y2Exclusive - y1, c);
}

struct Label {
    const char* text;
    int x;
    int y;
};

constexpr std::array<Label, 10> kDbLabels = {{{"+15dB", 4, 10},
                                              {"+10dB", 4, 33},
                                              {"+5dB", 8, 56},
                                              {"0dB", 12, 79},
                                              {"-5dB", 9, 102},
                                              {"-10dB", 6, 126},
                                              {"-15dB", 6, 149},
                                              {"-20dB", 6, 172},
                                              {"-25dB", 6, 195},
                                              {"-30dB", 6, 218}}};
constexpr int kFrequencyLabelRow = 226;
constexpr std::array<Label, 10> kFrequencyLabels = {{{"20Hz", 110, kFrequencyLabelRow},
                                                     {"50Hz", 211, kFrequencyLabelRow},
                                                     {"100Hz", 285, kFrequencyLabelRow},
                                                     {"200Hz", 362, kFrequencyLabelRow},
                                                     {"500Hz", 463, kFrequencyLabelRow},
                                                     {"1KHz", 542, kFrequencyLabelRow},
                                                     {"2KHz", 619, kFrequencyLabelRow},
                                                     {"5KHz", 721, kFrequencyLabelRow},
                                                     {"10KHz", 796, kFrequencyLabelRow},
                                                     {"20KHz", 873, kFrequencyLabelRow}}};

// Text with its top-left corner at (x, y), on an opaque cell background.
void DrawLabel(QPainter& p, const QFontMetrics& fm, const Label& label) {
    const QString text = QString::fromLatin1(label.text);
    p.fillRect(label.x, label.y, fm.horizontalAdvance(text), fm.height(), kLabelBackground);
    p.drawText(label.x, label.y + fm.ascent(), text);
}

} // namespace

QColor ChannelColour(ChannelId ch) {
    static constexpr std::array<QRgb, kChannelCount> kColours = {
        qRgb(255, 255, 0), qRgb(0, 0, 255),   qRgb(46, 121, 255),
        qRgb(0, 255, 255), qRgb(255, 0, 255), qRgb(255, 0, 0)};
    return QColor(kColours[static_cast<std::size_t>(ch)]);
}

QColor BandColour(int bandInChannel) {
    static constexpr std::array<QRgb, kBandsPerChannel> kColours = {
        qRgb(201, 97, 65), qRgb(205, 145, 17), qRgb(205, 205, 65), qRgb(145, 205, 33),
        qRgb(76, 241, 20), qRgb(33, 205, 65),  qRgb(20, 255, 180), qRgb(20, 255, 255)};
    return QColor(kColours[static_cast<std::size_t>(bandInChannel)]);
}

QFont GraphLabelFont() {
    // Arial 8 points at 96 dots per inch.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    return font;
}

QImage GraphPicture(int w, int h, qreal devicePixelRatio) {
    QImage picture(qCeil(w * devicePixelRatio), qCeil(h * devicePixelRatio), QImage::Format_RGB32);
    picture.setDevicePixelRatio(devicePixelRatio);
    return picture;
}

QImage BuildGridBitmap(int w, int h, qreal devicePixelRatio) {
    const GraphGeometry g = GraphGeometry::Of(w, h);
    QImage grid = GraphPicture(w, h, devicePixelRatio);
    grid.fill(Qt::black);
    QPainter p(&grid);

    // The closed frame (41, 17) – (W − 6, H − 24), both corners included.
    HorizontalLine(p, 41, w - 5, 17, kFrameColour);
    HorizontalLine(p, 41, w - 5, h - 24, kFrameColour);
    VerticalLine(p, 41, 17, h - 23, kFrameColour);
    VerticalLine(p, w - 6, 17, h - 23, kFrameColour);

    for (int j = 1; j <= kGridRowCount; ++j)
        HorizontalLine(p, 42, w - 6, g.GridRow(j), kGridColour);
    for (double f : GridFrequencies()) VerticalLine(p, g.GridColumn(f), 18, h - 24, kGridColour);
    VerticalLine(p, 41 + g.l, 18, h - 24, kGridColour);
    VerticalLine(p, w - g.r - 6, 18, h - 24, kGridColour);

    const QFont font = GraphLabelFont();
    p.setFont(font);
    p.setPen(Qt::white);
    const QFontMetrics fm(font);
    for (const Label& label : kDbLabels) DrawLabel(p, fm, label);
    for (const Label& label : kFrequencyLabels) DrawLabel(p, fm, label);
    return grid;
}

void AlignPenToPixels(QPainter& p, const QImage& target, int penWidth) {
    if (target.devicePixelRatio() != 1.0 && penWidth % 2 == 1) p.translate(0.5, 0.5);
}

void CopyGrid(QImage& graph, const QImage& grid) {
    if (graph.size() == grid.size() && graph.format() == grid.format() &&
        graph.devicePixelRatio() == grid.devicePixelRatio()) {
        // Into the graph's own pixels: no new picture per redraw.
        std::memcpy(graph.bits(), grid.constBits(), static_cast<std::size_t>(grid.sizeInBytes()));
    } else {
        graph = grid.copy();
    }
}

void PlotChannelCurve(QImage& graph, const ResponseCurves& curves, ChannelId ch, double gainDb,
                      const QColor& colour, int penWidth) {
    std::array<QPoint, kResponseCurveSize> points;
    int n = 0;
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        points[static_cast<std::size_t>(n++)] =
            QPoint(x, kGraph.SumRow(ChannelSum(curves, ch, x), gainDb));
    }
    QPainter p(&graph);
    AlignPenToPixels(p, graph, penWidth);
    p.setPen(QPen(colour, penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    // Steep filters send long stretches of the line far above or below the picture. A
    // segment with both ends beyond the same edge (by more than the pen reaches) cannot touch
    // the picture, so the line is drawn as the runs between such segments: the same pixels,
    // without stroking what would be clipped away.
    const int reach = penWidth + 2;
    const int height = qCeil(graph.deviceIndependentSize().height());
    const auto beyondSameEdge = [&](const QPoint& a, const QPoint& b) {
        return (a.y() < -reach && b.y() < -reach) ||
               (a.y() > height + reach && b.y() > height + reach);
    };
    int runStart = 0;
    for (int i = 0; i + 1 < n; ++i) {
        if (!beyondSameEdge(points[static_cast<std::size_t>(i)],
                            points[static_cast<std::size_t>(i) + 1]))
            continue;
        if (i > runStart) p.drawPolyline(points.data() + runStart, i - runStart + 1);
        runStart = i + 1;
    }
    if (n - 1 > runStart) p.drawPolyline(points.data() + runStart, n - runStart);
}

void DrawBandMarkers(QImage& graph, const BandMarkers& markers, ChannelId ch) {
    QPainter p(&graph);
    for (int b = 0; b < kBandsPerChannel; ++b) {
        const BandMarker& m = markers[static_cast<std::size_t>(BandId(ch, b))];
        p.fillRect(m.x - 4, m.y - 4, 8, 8, BandColour(b));
    }
    const QFont font = GraphLabelFont();
    const QFontMetrics fm(font);
    p.setFont(font);
    p.setPen(Qt::white);
    for (int b = 0; b < kBandsPerChannel; ++b) {
        const BandMarker& m = markers[static_cast<std::size_t>(BandId(ch, b))];
        const int top = m.y < 117 ? m.y - 18 : m.y + 4;
        p.drawText(m.x - 2, top + fm.ascent(), QString::number(b + 1));
    }
}

void DrawStartupPicture(QImage& graph, const QImage& grid, int penWidth) {
    CopyGrid(graph, grid);
    QPainter p(&graph);
    AlignPenToPixels(p, graph, penWidth);
    p.setPen(QPen(QColor(kStartupLineRgb), penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const int zeroDbRow = kGraph.GridRow(kZeroDbGridRow);
    p.drawLine(42, zeroDbRow, kGraph.w - 6, zeroDbRow);
}

} // namespace zx
