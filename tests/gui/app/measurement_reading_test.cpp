#include "measurement_fixture.h"

using namespace zx;

// Files are read and smoothed on a worker; here the worker is held until the test lets it go,
// as a large file would hold it.
class MeasurementReadingTest : public MeasurementTest {
  protected:
    QString hint() const { return app.window.graphView()->hintAt(QPoint(300, 200)); }
};

TEST_F(MeasurementReadingTest, menu_readsOnTheWorkerAndAsksOnlyOnceTheFileIsRead) {
    struct Case {
        const char* name;
        QByteArray text;
        QString choice;  // the answer to the question which curve; empty: not asked
        QString message; // %1: the path
        QString curve;   // the curve loaded; empty with `loaded` false: none
        bool loaded;
    };
    const Case cases[] = {
        {"one curve", "100 80\n300 83\n1000 82\n", {}, {}, {}, true},
        {"two curves, the second chosen",
         "Hz,Left,Right\n100,80,70\n300,83,72\n1000,82,71\n",
         "Right",
         {},
         "Right",
         true},
        {"two curves, the question cancelled",
         "Hz,Left,Right\n100,80,70\n1000,82,71\n",
         {},
         {},
         {},
         false},
        {"no data",
         "hello\nworld\n",
         {},
         QStringLiteral("%1 holds no frequency and level data"),
         {},
         false},
    };
    openChannel(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        measurements().clearMeasurement(2);
        tp.dialogs.clear();
        const QString path = write("curves.txt", c.text);
        tp.work.hold();
        tp.dialogs.answerOpen(path);
        rightPress({300, 190});
        choose(measurements().loadAction());
        // Under way: nothing asked or said yet, and the graph says so.
        EXPECT_TRUE(measurements().reading(2));
        EXPECT_EQ(hint(), QStringLiteral("Reading measurement…"));
        EXPECT_EQ(app.window.graphView()->cursor().shape(), Qt::BusyCursor);
        EXPECT_EQ(tp.dialogs.shown().size(), 1U); // the file dialog
        EXPECT_FALSE(measurements().measurements().has(2));

        if (!c.choice.isEmpty()) tp.dialogs.answerChoice(c.choice);
        tp.work.release();
        EXPECT_FALSE(measurements().reading(2));
        EXPECT_EQ(app.window.graphView()->cursor().shape(), Qt::ArrowCursor);
        const bool asked = c.text.startsWith("Hz,");
        EXPECT_EQ(tp.dialogs.shown().back().kind == ScriptedDialogs::Kind::Choice, asked);
        EXPECT_EQ(tp.dialogs.messages(),
                  c.message.isEmpty() ? QStringList() : QStringList{c.message.arg(path)});
        ASSERT_EQ(measurements().measurements().has(2), c.loaded);
        EXPECT_EQ(pictureHas(kPredictedRgb), c.loaded);
        if (!c.loaded) continue;
        EXPECT_EQ(measurements().measurements().measurement(2)->curve.name, c.curve);
        EXPECT_EQ(hint(), QStringLiteral("Measured ") + readingOf(path, c.curve));
    }
}

TEST_F(MeasurementReadingTest, underWay_theLinkKeepsPollingAndALaterChoiceWins) {
    connectAndWait();
    openChannel(2);
    const QString first = write("first.txt", "100 80\n1000 82\n");
    const QString second = write("second.txt", "100 70\n300 75\n1000 72\n");
    tp.work.hold();
    measurements().loadMeasurement(2, first);
    // The window's thread goes on while the worker waits: the poll timer fires and the
    // amplifier is asked as before.
    const std::size_t framesBefore = pcFrames().size();
    tp.advance(3000);
    EXPECT_GE(pcFrames().size(), framesBefore + 2);
    EXPECT_TRUE(connected());
    EXPECT_TRUE(measurements().reading(2));
    // A second file chosen meanwhile is the one shown, whatever order they finish in.
    measurements().loadMeasurement(2, second);
    tp.work.release();
    ASSERT_TRUE(measurements().measurements().has(2));
    EXPECT_EQ(measurements().measurements().measurement(2)->path, second);

    // A clear while a read is under way drops the read.
    tp.work.hold();
    measurements().loadMeasurement(2, first);
    measurements().clearMeasurement(2);
    tp.work.release();
    EXPECT_FALSE(measurements().measurements().has(2));
}
