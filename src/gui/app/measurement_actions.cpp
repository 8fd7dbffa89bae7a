#include "app/measurement_actions.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QTabWidget>

#include "drawing/graph.h"
#include "editing/edit_actions.h"
#include "fit/measurement_load.h"
#include "model/channel_names.h"
#include "desktop/remembered_settings.h"
#include "desktop/window_dialogs.h"
#include "ui/channel_page.h"
#include "ui/editor_window.h"

namespace zx {
namespace {

const QString kFlat = QStringLiteral("Flat");
const QString kFromFile = QStringLiteral("From a file…");

// The fit runs for a good part of a second; the pointer says so meanwhile.
class BusyPointer {
  public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace

MeasurementActions::MeasurementActions(ParameterModel& model, Graph& graph, EditActions& actions,
                                       EditorWindow& editor, WindowDialogs& dialogs,
                                       RememberedSettings& remembered)
    : model_(model), graph_(graph), actions_(actions), editor_(editor), dialogs_(dialogs),
      remembered_(remembered), menu_(new QMenu),
      load_(menu_->addAction(QStringLiteral("Load measurement…"))),
      target_(menu_->addAction(QStringLiteral("Target…"))),
      fit_(menu_->addAction(QStringLiteral("Fit bands to measurement…"))),
      clear_(menu_->addAction(QStringLiteral("Clear measurement"))),
      dialog_(new FitDialog(&editor)) {
    fit_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    connect(load_, &QAction::triggered, this, [this] { chooseFile(); });
    connect(target_, &QAction::triggered, this, [this] { chooseTarget(); });
    connect(fit_, &QAction::triggered, this, [this] { openFitDialog(); });
    connect(clear_, &QAction::triggered, this, [this] {
        if (const auto ch = pageChannel(); ch && usable()) clearMeasurement(*ch);
    });
    connect(dialog_, &FitDialog::fitRequested, this, [this](const FitOptions& options) {
        if (const auto ch = pageChannel()) dialog_->showReport(fit(*ch, options));
    });
    // The editor window's own shortcut: the menu's action is not in any window.
    auto* shortcut = new QAction(&editor_);
    shortcut->setShortcut(fit_->shortcut());
    shortcut->setShortcutContext(Qt::WindowShortcut);
    editor_.addAction(shortcut);
    connect(shortcut, &QAction::triggered, this, [this] { openFitDialog(); });
}

MeasurementActions::~MeasurementActions() {
    delete menu_;
}

std::optional<ChannelId> MeasurementActions::pageChannel() const {
    if (!editor_.isVisible()) return std::nullopt;
    return editor_.currentChannel();
}

bool MeasurementActions::usable() const {
    if (allowed_) return allowed_();
    return editor_.pages()->isEnabled() && !actions_.dragging();
}

void MeasurementActions::showMenu(QPoint globalPos) {
    const auto ch = pageChannel();
    if (!ch || !usable()) return;
    fit_->setEnabled(measurements_.has(*ch));
    clear_->setEnabled(measurements_.has(*ch));
    menu_->popup(globalPos);
}

std::optional<LoadedCurve> MeasurementActions::readCurve(const QString& path,
                                                         const QString& curveName, bool quiet) {
    const MeasurementRead read = ReadMeasurementPath(path);
    const auto fail = [&](const QString& error) -> std::optional<LoadedCurve> {
        if (!quiet) dialogs_.message(error);
        return std::nullopt;
    };
    if (!read.error.isEmpty()) return fail(read.error);
    QString name = curveName;
    if (name.isEmpty() && read.file.curveNames.size() > 1) {
        if (quiet) return std::nullopt;
        name = dialogs_.chooseItem(
            QStringLiteral("Measurement"),
            QStringLiteral("%1 holds several curves. Which one?").arg(QFileInfo(path).fileName()),
            read.file.curveNames);
        if (name.isEmpty()) return std::nullopt;
    }
    QString error;
    auto curve = CurveOfFile(path, read.file, name, error);
    if (!curve) return fail(error);
    if (!read.note.isEmpty() && !quiet) dialogs_.message(read.note);
    // A file named on the command line counts as chosen, as one from the file dialog.
    if (!quiet) remembered_.setFolder(FilterText(), QFileInfo(path).absolutePath());
    // Kept whole, so that the next start finds it from wherever it runs.
    return LoadedCurve{QFileInfo(path).absoluteFilePath(), name, std::move(*curve)};
}

bool MeasurementActions::loadMeasurement(ChannelId ch, const QString& path,
                                         const QString& curveName, bool quiet) {
    auto curve = readCurve(path, curveName, quiet);
    if (!curve) return false;
    remembered_.setMeasurement(ch, RememberedSettings::CurveFile{curve->path, curve->curveName});
    measurements_.setMeasurement(ch, std::move(*curve));
    levelChanged(ch);
    return true;
}

bool MeasurementActions::loadTarget(ChannelId ch, const QString& path, const QString& curveName,
                                    bool quiet) {
    if (path.isEmpty()) {
        measurements_.setTarget(ch, std::nullopt);
        remembered_.setTarget(ch, std::nullopt);
    } else {
        auto curve = readCurve(path, curveName, quiet);
        if (!curve) return false;
        remembered_.setTarget(ch, RememberedSettings::CurveFile{curve->path, curve->curveName});
        measurements_.setTarget(ch, std::move(*curve));
    }
    levelChanged(ch);
    return true;
}

void MeasurementActions::clearMeasurement(ChannelId ch) {
    measurements_.clearMeasurement(ch);
    remembered_.setMeasurement(ch, std::nullopt);
    redraw(ch);
}

void MeasurementActions::chooseFile() {
    const auto ch = pageChannel();
    if (!ch || !usable()) return;
    const QString path = dialogs_.openFileName(FilterText(), QString());
    if (!path.isEmpty()) loadMeasurement(*ch, path);
}

void MeasurementActions::chooseTarget() {
    const auto ch = pageChannel();
    if (!ch || !usable()) return;
    const QString choice = dialogs_.chooseItem(
        QStringLiteral("Target"), QStringLiteral("Target of %1:").arg(ChannelTitle(*ch)),
        {kFlat, kFromFile});
    if (choice == kFlat) {
        loadTarget(*ch, {});
    } else if (choice == kFromFile) {
        const QString path = dialogs_.openFileName(FilterText(), QString());
        if (!path.isEmpty()) loadTarget(*ch, path);
    }
}

void MeasurementActions::openFitDialog() {
    const auto ch = pageChannel();
    if (!ch || !usable()) return;
    if (!measurements_.has(*ch)) {
        dialogs_.message(
            QStringLiteral("%1 has no measurement. Load one first.").arg(ChannelTitle(*ch)));
        return;
    }
    dialog_->prepare(ChannelTitle(*ch));
    dialogs_.execModal(*dialog_);
}

QString MeasurementActions::fit(ChannelId ch, const FitOptions& options) {
    if (!measurements_.has(ch)) return {};
    FitResult result;
    {
        const BusyPointer busy;
        result = FitChannel(model_, ch, measurements_.measuredColumns(ch),
                            measurements_.targetColumns(ch), options);
    }
    if (!result.fitted) {
        return QStringLiteral("%1 has no point between %2 and %3 Hz where the target is known")
            .arg(measurements_.measurement(ch)->path)
            .arg(options.lowHz)
            .arg(options.highHz);
    }
    ParameterModel fitted = model_;
    ApplyFit(result, ch, fitted);
    EditActions::ChannelBands bands;
    for (int b = 0; b < kBandsPerChannel; ++b)
        bands[static_cast<std::size_t>(b)] = fitted.band(ch, b);
    // The level the fit found places the measurement before the bands are redrawn with it.
    measurements_.setOffsetDb(ch, result.report.offsetDb);
    graph_.setOverlay(ch, measurements_.overlay(ch));
    actions_.SetChannelEq(ch, bands);
    editor_.channelPage(ch)->showModel(model_);
    return QStringLiteral("RMS error %1 dB before, %2 dB after")
        .arg(result.report.rmsBefore, 0, 'f', 2)
        .arg(result.report.rmsAfter, 0, 'f', 2);
}

void MeasurementActions::levelChanged(ChannelId ch) {
    if (measurements_.has(ch)) {
        measurements_.setOffsetDb(ch, MeasureFit(model_, ch, measurements_.measuredColumns(ch),
                                                 measurements_.targetColumns(ch), FitOptions{})
                                          .offsetDb);
    }
    redraw(ch);
}

void MeasurementActions::redraw(ChannelId ch) {
    graph_.setOverlay(ch, measurements_.overlay(ch));
    if (pageChannel() != ch) return;
    const EqBandId band =
        ChannelOfBand(graph_.currentBand()) == ch ? graph_.currentBand() : BandId(ch, 0);
    graph_.RefreshBand(model_, band);
}

void MeasurementActions::reloadRemembered() {
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        if (const auto target = remembered_.target(ch)) {
            if (!QFileInfo::exists(target->path) ||
                !loadTarget(ch, target->path, target->curve, true))
                remembered_.setTarget(ch, std::nullopt);
        }
        if (const auto file = remembered_.measurement(ch)) {
            if (!QFileInfo::exists(file->path) ||
                !loadMeasurement(ch, file->path, file->curve, true))
                remembered_.setMeasurement(ch, std::nullopt);
        }
    }
}

} // namespace zx
