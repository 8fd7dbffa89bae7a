#include "editing_fixture.h"

#include <QLabel>
#include <QTest>

#include "ui/fit_dialog.h"

using namespace zx;

namespace {

// A fit while the amplifier is disconnected changes only the program's settings, and the
// next connect replaces them with the amplifier's: the report says so, and only then.
class FitOfflineTest : public EditingTest {};

TEST_F(FitOfflineTest, theReportSaysTheAmplifierWasNotChangedOnlyWhileDisconnected) {
    const QString room = QStringLiteral(ZX_MEASUREMENTS_DIR "/room.frd");
    for (bool connected : {false, true}) {
        SCOPED_TRACE(connected ? "connected" : "disconnected");
        if (connected) connectAndWait();
        openChannel(2);
        app.measurements.loadMeasurement(2, room);
        ASSERT_TRUE(app.measurements.measurements().has(2));
        QString report;
        tp.dialogs.answerModal([&report](QDialog& d) {
            auto& dialog = static_cast<FitDialog&>(d);
            dialog.fitButton()->click();
            report = dialog.report()->text();
            dialog.closeButton()->click();
            return dialog.result();
        });
        QTest::keyClick(&app.editor, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(report.startsWith(QStringLiteral("RMS error "))) << report.toStdString();
        EXPECT_EQ(report.contains(QStringLiteral("The amplifier was not changed")), !connected);
    }
}

} // namespace
