// Draws the README's pictures of the two windows: the program on the virtual clock, connected
// to the simulated amplifier, a few bands set, each window grabbed offscreen into a PNG; then
// the graph with a measurement fitted. With a second argument, the program's icon as a Windows
// icon file there too (the Windows build has no SVG reader to draw it from).
//
//   readme-pictures [folder [icon.ico]]     (default: docs)

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>

#include <cstdio>

#include "app/application.h"
#include "platform/file_io.h"
#include "ui/editor_window.h"
#include "ui/program_icon.h"
#include "ui/screen_refresh.h"
#include "window_doubles/test_platform.h"

using namespace zx;

namespace {

// A channel with a bass lift, a cut in the middle and a treble shelf, and its crossover.
void SetSomeBands(EditActions& a, ChannelId ch) {
    using F = EditActions::BandField;
    a.SetBandValue(BandId(ch, 1), F::Gain, 150); // +6.0 dB at 51.1 Hz
    a.SetBandValue(BandId(ch, 1), F::Q, 3);
    a.SetBandValue(BandId(ch, 4), F::Gain, 90); // -6.0 dB at 500 Hz
    a.SetBandValue(BandId(ch, 4), F::Q, 14);
    a.SetBandType(BandId(ch, 7), 2);
    a.SetBandValue(BandId(ch, 7), F::Gain, 135); // +3.0 dB shelf above 2997 Hz
    a.SetCrossoverFrequency(ch, true, 40);
    a.SetCrossoverType(ch, true, 5);
}

// A picture that cannot be written whole leaves the old one in place.
bool Save(QWidget& w, const QString& path) {
    QByteArray png;
    QBuffer buffer(&png);
    QString error = QStringLiteral("cannot encode the picture");
    const bool ok = buffer.open(QIODevice::WriteOnly) && w.grab().save(&buffer, "PNG") &&
                    SaveWholeFile(path, png, &error);
    if (ok)
        std::printf("wrote %s\n", qPrintable(path));
    else
        std::fprintf(stderr, "could not write %s: %s\n", qPrintable(path), qPrintable(error));
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QDir().mkpath(folder);

    TestPlatform tp;
    Application app(tp.platform());
    app.Start();
    app.window.connectButton()->click();
    if (!tp.runUntil([&app] { return app.link.transport.LinkUp; }, 5000)) {
        std::fprintf(stderr, "the simulated amplifier did not answer\n");
        return 1;
    }
    tp.advance(3000); // the names and the settings block

    SetSomeBands(app.actions, 2);
    app.actions.SetBandValue(BandId(0, 3), EditActions::BandField::Gain, 140);
    app.actions.SetBandValue(BandId(4, 0), EditActions::BandField::Gain, 160);
    app.actions.SetBandValue(BandId(4, 0), EditActions::BandField::Frequency, 50);
    app.actions.SetCrossoverFrequency(4, false, 100);
    app.actions.SetCrossoverType(4, false, 5);
    app.actions.SetCrossoverFrequency(3, true, 110);
    app.actions.SetCrossoverType(3, true, 3);
    // The fields show what was set, and the graph the overview of every channel, as they
    // would after the same edits made in the editor and the editor closed.
    ShowModelValues(app.model, app.window, app.editor);
    app.graph.RedrawOverview(app.model);
    tp.advance(20000); // every frame sent and acknowledged
    QApplication::processEvents();

    bool ok = Save(app.window, folder + QStringLiteral("/main-window.png"));
    app.editor.showChannel(2);
    QApplication::processEvents();
    ok = Save(app.window, folder + QStringLiteral("/main-window-channel.png")) && ok;
    ok = Save(app.editor, folder + QStringLiteral("/editor-window.png")) && ok;

    // A room measured at Out right, fitted to a flat target: the measurement, the dashed
    // target and the predicted result over the channel's curve. The channel's high-pass goes
    // back to its lowest frequency first: the room is measured down to 20 Hz.
    app.actions.SetCrossoverFrequency(3, true, 0);
    app.actions.SetCrossoverType(3, true, 0);
    app.editor.showChannel(3);
    app.measurements.loadMeasurement(3, QStringLiteral(ZX_MEASUREMENTS_DIR "/room.frd"));
    if (!app.measurements.measurements().has(3)) {
        std::fprintf(stderr, "the measurement cannot be read\n");
        return 1;
    }
    app.measurements.fit(3, FitOptions{});
    tp.advance(20000);
    QApplication::processEvents();
    ok = Save(*app.window.graphPanel(), folder + QStringLiteral("/graph-measurement.png")) && ok;
    if (argc > 2) {
        const QString ico = QString::fromLocal8Bit(argv[2]);
        QString error;
        if (SaveWholeFile(ico, ProgramIconFile(), &error)) {
            std::printf("wrote %s\n", qPrintable(ico));
        } else {
            std::fprintf(stderr, "could not write %s: %s\n", qPrintable(ico), qPrintable(error));
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
