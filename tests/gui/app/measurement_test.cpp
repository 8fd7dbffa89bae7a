#include "measurement_fixture.h"
#include "user_actions.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>

#include <cmath>

#include "app/program_arguments.h"
#include "fit/column_response.h"
#include "model/entry_fields.h"
#include "model/preset_image.h"
#include "platform/command_line.h"
#include "ui/channel_measurements.h"
#include "ui/fit_dialog.h"

using namespace zx;

TEST_F(MeasurementTest, menu_loadsTheMeasurementAndDrawsItOnlyOverItsChannel) {
    openChannel(2);
    // A cut, so that the prediction leaves the measurement around 500 Hz.
    app.actions.SetBandValue(BandId(2, 4), EditActions::BandField::Gain, 60);
    EXPECT_FALSE(pictureHas(kPredictedRgb));
    tp.dialogs.answerOpen(kRoom);
    rightPress({300, 190});
    EXPECT_FALSE(measurements().fitAction()->isEnabled()); // nothing to fit yet
    choose(measurements().loadAction());
    ASSERT_TRUE(measurements().measurements().has(2));
    EXPECT_EQ(tp.dialogs.shown().back().text, MeasurementActions::FilterText());
    EXPECT_TRUE(tp.dialogs.messages().isEmpty());
    // Measurement, dashed target and prediction, with the prediction where the curves put it.
    for (QRgb colour : {kMeasurementRgb, kTargetRgb, kPredictedRgb})
        EXPECT_TRUE(pictureHas(colour));
    for (int x : {150, 300, 555, 800}) EXPECT_TRUE(predictedAt(x, predictedRow(2, x))) << x;

    struct Case {
        const char* name;
        std::function<void()> show;
        bool overlay;
    };
    const Case cases[] = {
        {"another channel", [this] { app.editor.showChannel(3); }, false},
        {"the Gain page", [this] { app.editor.showPage(EditorPage::Gain); }, false},
        {"the channel again", [this] { app.editor.showChannel(2); }, true},
        {"the overview", [this] { app.editor.hide(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.show();
        EXPECT_EQ(pictureHas(kPredictedRgb), c.overlay);
        EXPECT_EQ(pictureHas(kMeasurementRgb), c.overlay);
    }
}

TEST_F(MeasurementTest, menu_rightPressOnAMarkerDragsAndOpensNoMenu) {
    openChannel(2);
    rightPress(markerAt(BandId(2, 5)));
    EXPECT_TRUE(app.actions.dragging());
    EXPECT_FALSE(measurements().menu()->isVisible());
    QTest::mouseRelease(app.window.graphView(), Qt::RightButton, {}, markerAt(BandId(2, 5)));
    app.editor.showPage(EditorPage::Gain);
    rightPress({300, 190});
    EXPECT_FALSE(measurements().menu()->isVisible()); // no channel page
}

TEST_F(MeasurementTest, overlay_followsEveryStepOfADrag) {
    openChannel(2);
    measurements().loadMeasurement(2, kRoom);
    ASSERT_TRUE(measurements().measurements().has(2));
    GraphView* v = app.window.graphView();
    const EqBandId band = BandId(2, 5); // 1000 Hz, column 555
    QTest::mousePress(v, Qt::LeftButton, {}, markerAt(band));
    int before = predictedRow(2, 555);
    for (QPoint p : {QPoint(555, 50), QPoint(555, 150), QPoint(600, 60)}) {
        QMouseEvent move(QEvent::MouseMove, p, v->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(v, &move);
        const int row = predictedRow(2, 555);
        EXPECT_NE(row, before);
        EXPECT_TRUE(predictedAt(555, row)) << p.y();
        before = row;
    }
    QTest::mouseRelease(v, Qt::LeftButton, {}, {600, 60});
}

TEST_F(MeasurementTest, fit_reachesTheDeviceAsOneUndoStepWithWhatTheFitGives) {
    connectAndWait();
    openChannel(2);
    measurements().loadMeasurement(2, kRoom);
    ASSERT_TRUE(measurements().measurements().has(2));
    const ParameterModel before = app.model;
    const QByteArray deviceBefore = tp.sim.liveImage();
    const int steps = app.actions.history().count();
    QString report;
    tp.dialogs.answerModal([&report](QDialog& d) {
        auto& dialog = static_cast<FitDialog&>(d);
        dialog.show();
        EXPECT_EQ(dialog.boostField()->value(), FitOptions{}.maxBoostDb);
        QTest::keyClick(&dialog, Qt::Key_Return); // the defaults, at once
        report = dialog.report()->text();
        dialog.closeButton()->click();
        return dialog.result();
    });
    QTest::keyClick(&app.editor, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(report.startsWith(QStringLiteral("RMS error "))) << report.toStdString();

    ParameterModel expected = before;
    QFile file(kRoom);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString why;
    const auto room = ChooseCurve(ReadMeasurementText(QString::fromUtf8(file.readAll())), {}, &why);
    ASSERT_TRUE(room) << why.toStdString();
    const FitResult fit =
        FitChannel(before, 2, MeasurementOnColumns(*room, 6), FlatTarget(0.0), FitOptions{});
    ASSERT_TRUE(fit.fitted);
    ApplyFit(fit, 2, expected);
    EXPECT_EQ(app.model, expected);
    EXPECT_EQ(app.actions.history().count(), steps + 1);
    for (int b = 0; b < kBandsPerChannel; ++b) {
        const EqBandId id = BandId(2, b);
        EXPECT_EQ(app.graph.marker(id), PlaceMarker(expected.bands[id]));
        EXPECT_EQ(field(id, ChannelPage::Frequency)->text(),
                  FieldText(FieldTable::Frequency, expected.bands[id].freqIndex));
    }
    drain();
    EXPECT_EQ(ComparableImage(tp.sim.liveImage()).toHex(),
              ComparableImage(ImageBytes(expected)).toHex());

    QTest::keyClick(&app.editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(app.model, before);
    drain();
    EXPECT_EQ(ComparableImage(tp.sim.liveImage()).toHex(), ComparableImage(deviceBefore).toHex());
}

TEST_F(MeasurementTest, files_unreadableOnesSayWhyAndSeveralCurvesAskWhichOne) {
    struct Case {
        const char* name;
        QByteArray text; // empty: no such file
        QString choice;
        QString message; // %1: the path
        bool loaded;
        QString curve = {}; // the curve's name, where the file has several
    };
    const Case cases[] = {
        {"no such file",
         {},
         {},
         QStringLiteral("cannot read %1: No such file or directory"),
         false},
        {"no data",
         "hello\nworld\n",
         {},
         QStringLiteral("%1 holds no frequency and level data"),
         false},
        {"two curves, the second chosen",
         "Hz,Left,Right\n100,80,70\n1000,82,71\n",
         "Right",
         {},
         true,
         "Right"},
        {"two curves, none chosen", "Hz,Left,Right\n100,80,70\n1000,82,71\n", {}, {}, false},
        {"a line skipped",
         "100 80\nnoise\n1000 82\n",
         {},
         QStringLiteral("%1: 1 line(s) that are no data were skipped, the first is line 2"),
         true},
    };
    openChannel(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        measurements().clearMeasurement(2);
        tp.dialogs.clear();
        const QString path = c.text.isEmpty() ? dir.filePath(QStringLiteral("missing.txt"))
                                              : write("curves.txt", c.text);
        if (!c.choice.isEmpty()) tp.dialogs.answerChoice(c.choice);
        tp.dialogs.answerOpen(path);
        rightPress({300, 190});
        choose(measurements().loadAction());
        EXPECT_EQ(tp.dialogs.messages(),
                  c.message.isEmpty() ? QStringList() : QStringList{c.message.arg(path)});
        const auto& loaded = measurements().measurements().measurement(2);
        EXPECT_EQ(loaded.has_value(), c.loaded);
        if (loaded && !c.curve.isEmpty()) {
            EXPECT_EQ(loaded->curve.name, c.curve);
        }
        EXPECT_EQ(pictureHas(kPredictedRgb), c.loaded);
    }
}

TEST_F(MeasurementTest, commandLine_loadsEachChannelWithTheTarget) {
    const QString target = write("target.txt", "20 3\n1000 0\n20000 -3\n");
    struct Case {
        const char* name;
        QStringList args;
        QString error;
        std::vector<ChannelId> loaded;
    };
    const Case cases[] = {
        {"two channels and a target",
         {"--measurement", "out_left=" + kRoom, "--measurement", "out_right=" + kRoom, "--target",
          target},
         {},
         {2, 3}},
        {"flat", {"--measurement=OUT_SUB=" + kRoom, "--target", "flat"}, {}, {4}},
        {"no channel",
         {"--measurement", kRoom},
         "--measurement takes CHANNEL=FILE, e.g. out_left=room.txt",
         {}},
        {"an unknown channel", {"--measurement", "left=" + kRoom}, "unknown channel left", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestPlatform platform;
        Application program(platform.platform());
        program.Start();
        const ProgramArguments read = ReadProgramArguments(c.args);
        if (!c.error.isEmpty()) {
            EXPECT_EQ(read.exitStatus, kWrongCommandLine);
            EXPECT_TRUE(read.error.startsWith("zephranox: " + c.error + "\n"))
                << read.error.toStdString();
            continue;
        }
        ASSERT_FALSE(read.exitStatus) << read.error.toStdString();
        const StartFiles* files = &read.files;
        LoadStartFiles(*files, program.measurements);
        for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
            const bool named = std::count(c.loaded.begin(), c.loaded.end(), ch) > 0;
            EXPECT_EQ(program.measurements.measurements().has(ch), named) << ch;
            if (!named) continue;
            const auto& t = program.measurements.measurements().target(ch);
            EXPECT_EQ(t ? t->path : QStringLiteral("flat"),
                      files->target == u"flat" ? QStringLiteral("flat") : target);
        }
        EXPECT_TRUE(platform.dialogs.messages().isEmpty());
    }
}

TEST_F(MeasurementTest, overlay_drawsOnlyWhereTheMeasurementHasData) {
    openChannel(2);
    measurements().loadMeasurement(2, write("mid.txt", "100 80\n300 83\n1000 82\n"));
    ASSERT_TRUE(measurements().measurements().has(2));
    const QImage& image = app.graph.image();
    const auto columnHasPrediction = [&image](int x) {
        for (int y = MeasurementLegendRect().bottom() + 1; y < image.height(); ++y)
            if (image.pixel(x, y) == kPredictedRgb) return true;
        return false;
    };
    const int from = kGraph.FrequencyToColumn(100.0);
    const int to = kGraph.FrequencyToColumn(1000.0);
    // A smoothed column is drawn where its whole window was measured: from half the window
    // inside each end.
    const double half = std::exp2(0.5 / ChannelMeasurements::kSmoothing);
    const int drawnFrom = kGraph.FrequencyToColumn(100.0 * half);
    const int drawnTo = kGraph.FrequencyToColumn(1000.0 / half);
    for (int x = kGraph.firstPlotColumn(); x <= kGraph.lastPlotColumn(); ++x) {
        if (x < from - 1 || x > to + 1) {
            EXPECT_FALSE(columnHasPrediction(x)) << x;
        } else if (x > drawnFrom + 1 && x < drawnTo - 1) {
            EXPECT_TRUE(columnHasPrediction(x)) << x;
        }
    }
}
