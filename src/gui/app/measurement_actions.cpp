#include "app/measurement_actions.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QTabWidget>

#include "desktop/background_work.h"
#include "desktop/remembered_settings.h"
#include "desktop/window_dialogs.h"
#include "drawing/graph.h"
#include "editing/edit_actions.h"
#include "fit/measurement_load.h"
#include "model/channel_names.h"
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
                                       RememberedSettings& remembered, BackgroundWork& work)
    : model_(model), graph_(graph), actions_(actions), editor_(editor), dialogs_(dialogs),
      remembered_(remembered), work_(work), menu_(new QMenu),
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
    // Undoing and redoing with the dialog open compares before and after by ear; the error
    // shown follows.
    connect(&actions_.history(), &QUndoStack::indexChanged, this, [this] {
        if (dialog_->isVisible()) showCurrentError();
    });
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

void MeasurementActions::loadMeasurement(ChannelId ch, const QString& path,
                                         const QString& curveName, bool quiet) {
    load(ch, CurveUse::Measurement, path, curveName, quiet);
}

void MeasurementActions::loadTarget(ChannelId ch, const QString& path, const QString& curveName,
                                    bool quiet) {
    if (!path.isEmpty()) {
        load(ch, CurveUse::Target, path, curveName, quiet);
        return;
    }
    ++ticket(CurveUse::Target, ch);
    measurements_.setTarget(ch, std::nullopt);
    remembered_.setTarget(ch, std::nullopt);
    levelChanged(ch);
}

void MeasurementActions::clearMeasurement(ChannelId ch) {
    ++ticket(CurveUse::Measurement, ch);
    measurements_.clearMeasurement(ch);
    remembered_.setMeasurement(ch, std::nullopt);
    redraw(ch);
}

void MeasurementActions::load(ChannelId ch, CurveUse use, const QString& path,
                              const QString& curveName, bool quiet) {
    const Request request{ch, use, path, quiet, ++ticket(use, ch)};
    readingStarted(ch);
    work_.run(
        this, [path, curveName, use] { return ReadCurve(path, curveName, use); },
        [this, request](GraphCurveReading r) { received(request, std::move(r)); });
}

void MeasurementActions::readingStarted(ChannelId ch) {
    ++reading_[static_cast<std::size_t>(ch)];
    emit readingChanged();
}

void MeasurementActions::received(const Request& request, GraphCurveReading r) {
    --reading_[static_cast<std::size_t>(request.ch)];
    emit readingChanged();
    if (request.ticket != ticket(request.use, request.ch)) return;
    if (r.needsChoice()) {
        if (request.quiet) {
            forget(request);
            return;
        }
        // Asked here, on the window's thread, once the file has been read.
        const QString name =
            dialogs_.chooseItem(QStringLiteral("Measurement"),
                                QStringLiteral("%1 holds several curves. Which one?")
                                    .arg(QFileInfo(request.path).fileName()),
                                r.read.file.curveNames);
        if (!name.isEmpty()) take(request, std::move(r), name);
        return;
    }
    if (!r.curve) {
        if (request.quiet) {
            forget(request);
        } else {
            dialogs_.message(r.error);
        }
        return;
    }
    if (!request.quiet) {
        if (!r.read.note.isEmpty()) dialogs_.message(r.read.note);
        // A file named on the command line counts as chosen, as one from the file dialog.
        remembered_.setFolder(FilterText(), QFileInfo(request.path).absolutePath());
    }
    show(request, std::move(*r.curve));
}

void MeasurementActions::take(const Request& request, GraphCurveReading r, const QString& name) {
    readingStarted(request.ch);
    // Shared with the work rather than copied into it: the file may be large.
    auto read = std::make_shared<GraphCurveReading>(std::move(r));
    work_.run(
        this,
        [read, path = request.path, name, use = request.use] {
            return TakeCurve(std::move(*read), path, name, use);
        },
        [this, request](GraphCurveReading taken) { received(request, std::move(taken)); });
}

void MeasurementActions::forget(const Request& request) {
    if (request.use == CurveUse::Measurement) {
        remembered_.setMeasurement(request.ch, std::nullopt);
    } else {
        remembered_.setTarget(request.ch, std::nullopt);
    }
}

void MeasurementActions::show(const Request& request, LoadedCurve curve) {
    const RememberedSettings::CurveFile file{curve.path, curve.curveName};
    if (request.use == CurveUse::Measurement) {
        remembered_.setMeasurement(request.ch, file);
        measurements_.setMeasurement(request.ch, std::move(curve));
    } else {
        remembered_.setTarget(request.ch, file);
        measurements_.setTarget(request.ch, std::move(curve));
    }
    levelChanged(request.ch);
}

QString MeasurementActions::readingLines(ChannelId ch) const {
    QStringList lines;
    if (const auto& m = measurements_.measurement(ch))
        lines << QStringLiteral("Measured ") + m->reading;
    if (const auto& t = measurements_.target(ch)) lines << QStringLiteral("Target ") + t->reading;
    return lines.join(u'\n');
}

QString MeasurementActions::hint(ChannelId ch) const {
    if (reading(ch)) return QStringLiteral("Reading measurement…");
    return measurements_.has(ch) ? readingLines(ch) : QString();
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
    dialogChannel_ = *ch;
    dialog_->prepare(ChannelTitle(*ch));
    dialog_->showReading(readingLines(*ch));
    dialogs_.execModal(*dialog_);
}

void MeasurementActions::showCurrentError() {
    if (!measurements_.has(dialogChannel_)) return;
    const FitReport now =
        MeasureFit(model_, dialogChannel_, measurements_.measuredColumns(dialogChannel_),
                   measurements_.targetColumns(dialogChannel_), dialog_->options());
    dialog_->showReport(QStringLiteral("RMS error %1 dB now").arg(now.rmsAfter, 0, 'f', 2));
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
    // The level the fit found places the measurement before the bands are redrawn with it,
    // and goes back and forth with them on undo and redo, while the measurement and target
    // are the ones fitted.
    const auto restoreLevel = [this, ch, fitted = loadedPair(ch),
                               before = measurements_.offsetDb(ch),
                               after = result.report.offsetDb](bool isAfter) {
        if (loadedPair(ch) != fitted) return;
        measurements_.setOffsetDb(ch, isAfter ? after : before);
        graph_.setOverlay(ch, measurements_.overlay(ch));
    };
    restoreLevel(true);
    actions_.SetChannelEq(ch, bands, restoreLevel);
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
            if (QFileInfo::exists(target->path)) {
                loadTarget(ch, target->path, target->curve, true);
            } else {
                remembered_.setTarget(ch, std::nullopt);
            }
        }
        if (const auto file = remembered_.measurement(ch)) {
            if (QFileInfo::exists(file->path)) {
                loadMeasurement(ch, file->path, file->curve, true);
            } else {
                remembered_.setMeasurement(ch, std::nullopt);
            }
        }
    }
}

} // namespace zx
