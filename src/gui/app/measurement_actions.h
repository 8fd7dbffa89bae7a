#pragma once

#include <QObject>
#include <QPoint>

#include <array>
#include <functional>
#include <optional>

#include "fit/band_fit.h"
#include "ui/channel_measurements.h"
#include "ui/curve_reading.h"
#include "ui/fit_dialog.h"

class QAction;
class QMenu;

namespace zx {

class BackgroundWork;
class EditActions;
class EditorWindow;
class Graph;
class RememberedSettings;
class WindowDialogs;

// Measurements on the graph: the graph's context menu ("Load measurement…", "Target…",
// "Fit bands to measurement…", "Clear measurement") for the channel the editor shows, the
// fit dialog, and the files loaded per channel, remembered for the next start. Files are read
// and smoothed off the window's thread, so a large one does not hold up the link's timing.
class MeasurementActions : public QObject {
    Q_OBJECT
  public:
    MeasurementActions(ParameterModel& model, Graph& graph, EditActions& actions,
                       EditorWindow& editor, WindowDialogs& dialogs, RememberedSettings& remembered,
                       BackgroundWork& work);
    ~MeasurementActions() override;

    // The filter text of the measurement and target file dialogs.
    static QString FilterText() { return QStringLiteral("Measurement"); }

    QMenu* menu() const { return menu_; }
    QAction* loadAction() const { return load_; }
    QAction* targetAction() const { return target_; }
    QAction* fitAction() const { return fit_; }
    QAction* clearAction() const { return clear_; }
    FitDialog& fitDialog() { return *dialog_; }
    const ChannelMeasurements& measurements() const { return measurements_; }

    // Whether an edit may be made now (as for undoing: not while the windows are disabled or a
    // marker is dragged); without it, whenever the editor's pages are enabled.
    void setEditsAllowed(std::function<bool()> allowed) { allowed_ = std::move(allowed); }

    // Right click on the graph: the menu, while the editor shows a channel page.
    void showMenu(QPoint globalPos);

    // Each starts reading the file; once read, a file of several curves asks which one
    // (unless named), and what cannot be read is reported in a message box. Quiet: nothing is
    // asked or reported, and the file is forgotten for the next start when it cannot be used.
    // A later load or a clear of the channel drops a read still under way.
    void loadMeasurement(ChannelId ch, const QString& path, const QString& curveName = {},
                         bool quiet = false);
    // An empty path: flat, at once.
    void loadTarget(ChannelId ch, const QString& path, const QString& curveName = {},
                    bool quiet = false);
    void clearMeasurement(ChannelId ch);
    // The channel's bands fitted and sent as one edit; the report line, or why not.
    QString fit(ChannelId ch, const FitOptions& options);
    // The fit dialog for the page's channel (Ctrl+Shift+F, the menu).
    void openFitDialog();

    // The files of the last run, where they are still there; the others are forgotten.
    void reloadRemembered();

    // Whether a file is being read for the channel.
    bool reading(ChannelId ch) const { return reading_[static_cast<std::size_t>(ch)] > 0; }
    // The graph's hint for the channel away from its markers: a read under way, or what the
    // measurement and the target were read as; empty without either.
    QString hint(ChannelId ch) const;

  signals:
    // A read started or ended.
    void readingChanged();

  private:
    // One file asked for; `ticket` tells whether a later load or a clear came since.
    struct Request {
        ChannelId ch;
        CurveUse use;
        QString path;
        bool quiet;
        int ticket;
    };
    int& ticket(CurveUse use, ChannelId ch) {
        return tickets_[static_cast<std::size_t>(use)][static_cast<std::size_t>(ch)];
    }
    // Identifies the measurement and target the channel has now.
    std::array<int, 2> loadedPair(ChannelId ch) {
        return {ticket(CurveUse::Measurement, ch), ticket(CurveUse::Target, ch)};
    }
    void load(ChannelId ch, CurveUse use, const QString& path, const QString& curveName,
              bool quiet);
    void readingStarted(ChannelId ch);
    void received(const Request& request, GraphCurveReading reading);
    void take(const Request& request, GraphCurveReading reading, const QString& name);
    void forget(const Request& request);
    void show(const Request& request, LoadedCurve curve);
    QString readingLines(ChannelId ch) const;
    void showCurrentError();
    std::optional<ChannelId> pageChannel() const;
    bool usable() const;
    void chooseFile();
    void chooseTarget();
    void levelChanged(ChannelId ch);
    void redraw(ChannelId ch);

    ParameterModel& model_;
    Graph& graph_;
    EditActions& actions_;
    EditorWindow& editor_;
    WindowDialogs& dialogs_;
    RememberedSettings& remembered_;
    BackgroundWork& work_;
    ChannelMeasurements measurements_;
    std::array<std::array<int, kChannelCount>, 2> tickets_{};
    std::array<int, kChannelCount> reading_{};
    ChannelId dialogChannel_ = 0;
    QMenu* menu_;
    QAction* load_;
    QAction* target_;
    QAction* fit_;
    QAction* clear_;
    FitDialog* dialog_;
    std::function<bool()> allowed_;
};

} // namespace zx
