#pragma once

#include "editing_fixture.h"

#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include "fit/column_response.h"
#include "fit/measurement_load.h"

namespace zx {

inline QString DataFile(const char* name) {
    return QStringLiteral(ZX_MEASUREMENTS_DIR "/") + QLatin1String(name);
}

// The made-up room response the fit's own tests use.
inline const QString kRoom = DataFile("room.frd");

// The program with a folder for files of the test's own, and eyes on the graph's picture.
class MeasurementTest : public EditingTest {
  protected:
    MeasurementActions& measurements() { return app.measurements; }
    QString write(const char* name, const QByteArray& text) {
        const QString path = dir.filePath(QLatin1String(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }
    void rightPress(QPoint at) {
        QTest::mousePress(app.window.graphView(), Qt::RightButton, {}, at);
    }
    // Chooses an entry of the graph's menu with the mouse.
    void choose(QAction* action) {
        QMenu* menu = measurements().menu();
        ASSERT_TRUE(menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    }
    bool pictureHas(QRgb colour) const {
        const QImage& image = app.graph.image();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == colour) return true;
        return false;
    }
    // The predicted line's row at a column, from the curves the graph holds now.
    int predictedRow(ChannelId ch, int x) const {
        const ResponseCurve& measured = app.measurements.measurements().measuredColumns(ch);
        const double offset = app.measurements.measurements().offsetDb(ch);
        return kGraph.SumRow(
            ChannelSum(app.graph.curves(), ch, x) + measured[static_cast<std::size_t>(x - 41)] +
                offset,
            ChannelGainAt(app.model.channels[static_cast<std::size_t>(ch)].gainIndex));
    }
    // The predicted line passes through the column within a row of `row`.
    bool predictedAt(int x, int row) const {
        const QImage& image = app.graph.image();
        for (int y = row - 1; y <= row + 1; ++y)
            if (y >= 0 && y < image.height() && image.pixel(x, y) == kPredictedRgb) return true;
        return false;
    }

    // What the window shows for the curve of a file: its reading line.
    static QString readingOf(const QString& path, const QString& curve) {
        const MeasurementRead read = ReadMeasurementPath(path);
        QString error;
        const auto c = CurveOfFile(path, read.file, curve, error);
        EXPECT_TRUE(c) << error.toStdString();
        return c ? DescribeReading(read.file, *c) : QString();
    }

    QTemporaryDir dir;
};

} // namespace zx
