#include "measurement_fixture.h"

#include <QLabel>
#include <QRegularExpression>

#include "ui/fit_dialog.h"

using namespace zx;

// A fit is one step of the history: undoing and redoing it bring back the bands together with
// the level the measurement was drawn at, also while the fit dialog is open.
class FitUndoTest : public MeasurementTest {
  protected:
    // The measurement as the graph draws it over channel 2.
    ResponseCurve drawn() const {
        const auto& overlay = app.graph.overlay(2);
        EXPECT_TRUE(overlay);
        return overlay ? overlay->measured : ResponseCurve{};
    }
    double offset() const { return app.measurements.measurements().offsetDb(2); }
    static bool sameCurve(const ResponseCurve& a, const ResponseCurve& b) {
        for (std::size_t i = 0; i < a.size(); ++i)
            if (!(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i])))) return false;
        return true;
    }
    // The predicted line lies where the bands and the level put it, at a few columns.
    bool predictionFollows() const {
        for (int x : {200, 400, 555, 700})
            if (!predictedAt(x, predictedRow(2, x))) return false;
        return true;
    }
};

TEST_F(FitUndoTest, undoAndRedo_bringBackTheLevelTheMeasurementWasDrawnAt) {
    openChannel(2);
    measurements().loadMeasurement(2, kRoom);
    ASSERT_TRUE(measurements().measurements().has(2));
    const ParameterModel unfitted = app.model;
    const ResponseCurve before = drawn();
    const double offsetBefore = offset();
    measurements().fit(2, FitOptions{});
    const ParameterModel fitted = app.model;
    const ResponseCurve after = drawn();
    ASSERT_GT(std::abs(offset() - offsetBefore), 0.5); // the fit moved the level

    struct Step {
        const char* name;
        Qt::KeyboardModifiers keys;
        const ParameterModel& model;
        const ResponseCurve& curve;
    };
    const Qt::KeyboardModifiers undo = Qt::ControlModifier;
    const Qt::KeyboardModifiers redo = Qt::ControlModifier | Qt::ShiftModifier;
    const Step steps[] = {
        {"undo", undo, unfitted, before},
        {"redo", redo, fitted, after},
        {"undo again", undo, unfitted, before},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        QTest::keyClick(&app.editor, Qt::Key_Z, s.keys);
        EXPECT_EQ(app.model, s.model);
        EXPECT_TRUE(sameCurve(drawn(), s.curve));
        EXPECT_TRUE(predictionFollows());
    }
    EXPECT_DOUBLE_EQ(offset(), offsetBefore);

    // Another measurement since: it keeps the level it was loaded with.
    QTest::keyClick(&app.editor, Qt::Key_Z, redo);
    measurements().loadMeasurement(2, write("other.txt", "100 70\n300 75\n1000 72\n"));
    const double loaded = offset();
    QTest::keyClick(&app.editor, Qt::Key_Z, undo);
    EXPECT_EQ(app.model, unfitted);
    EXPECT_DOUBLE_EQ(offset(), loaded);
}

TEST_F(FitUndoTest, dialogOpen_undoAndRedoWorkAndTheErrorShownFollows) {
    const QString target = write("target.txt", "20 3\n1000 0\n20000 -3\n");
    connectAndWait();
    openChannel(2);
    measurements().loadMeasurement(2, kRoom);
    measurements().loadTarget(2, target);
    const ParameterModel unfitted = app.model;
    QString reading;
    struct Seen {
        QString text;
        ParameterModel model;
    };
    std::vector<Seen> seen;
    tp.dialogs.answerModal([&](QDialog& d) {
        auto& dialog = static_cast<FitDialog&>(d);
        reading = dialog.reading()->text();
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QTest::keyClick(&dialog, Qt::Key_Return);
        seen.push_back({dialog.report()->text(), app.model});
        for (Qt::KeyboardModifiers keys : {Qt::KeyboardModifiers(Qt::ControlModifier),
                                           Qt::ControlModifier | Qt::ShiftModifier}) {
            QTest::keyClick(&dialog, Qt::Key_Z, keys);
            seen.push_back({dialog.report()->text(), app.model});
        }
        EXPECT_TRUE(dialog.isVisible());
        dialog.closeButton()->click();
        return dialog.result();
    });
    QTest::keyClick(&app.editor, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    // What was fitted, as read.
    EXPECT_EQ(
        reading,
        QStringLiteral("Measured %1\nTarget %2").arg(readingOf(kRoom, {}), readingOf(target, {})));
    ASSERT_EQ(seen.size(), 3U);
    const QRegularExpression figures(
        QStringLiteral("^RMS error (\\d+\\.\\d\\d) dB before, (\\d+\\.\\d\\d) dB after$"));
    const auto fit = figures.match(seen[0].text);
    ASSERT_TRUE(fit.hasMatch()) << seen[0].text.toStdString();
    EXPECT_NE(seen[0].model, unfitted);
    // Undone: the bands before the fit, and the error they leave; redone: the fit's.
    EXPECT_EQ(seen[1].model, unfitted);
    EXPECT_EQ(seen[1].text, QStringLiteral("RMS error %1 dB now").arg(fit.captured(1)));
    EXPECT_EQ(seen[2].model, seen[0].model);
    EXPECT_EQ(seen[2].text, QStringLiteral("RMS error %1 dB now").arg(fit.captured(2)));
    drain();
    EXPECT_EQ(app.model, seen[0].model);
}
