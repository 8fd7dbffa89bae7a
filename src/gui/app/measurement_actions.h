#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

#include <optional>

#include "fit/band_fit.h"
#include "ui/channel_measurements.h"
#include "ui/fit_dialog.h"

class QAction;
class QMenu;

namespace zx {

class EditActions;
class EditorWindow;
class Graph;
class RememberedSettings;
class WindowDialogs;

// Measurements on the graph: the graph's context menu ("Load measurement…", "Target…",
// "Fit bands to measurement…", "Clear measurement") for the channel the editor shows, the
// fit dialog, and the files loaded per channel, remembered for the next start.
class MeasurementActions : public QObject {
    Q_OBJECT
  public:
    MeasurementActions(ParameterModel& model, Graph& graph, EditActions& actions,
                       EditorWindow& editor, WindowDialogs& dialogs,
                       RememberedSettings& remembered);
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

    // Each reports what it cannot read in a message box, unless quiet; true when done.
    bool loadMeasurement(ChannelId ch, const QString& path, const QString& curveName = {},
                         bool quiet = false);
    // An empty path: flat.
    bool loadTarget(ChannelId ch, const QString& path, const QString& curveName = {},
                    bool quiet = false);
    void clearMeasurement(ChannelId ch);
    // The channel's bands fitted and sent as one edit; the report line, or why not.
    QString fit(ChannelId ch, const FitOptions& options);
    // The fit dialog for the page's channel (Ctrl+Shift+F, the menu).
    void openFitDialog();

    // The files of the last run, where they are still there; the others are forgotten.
    void reloadRemembered();

  private:
    std::optional<ChannelId> pageChannel() const;
    bool usable() const;
    std::optional<LoadedCurve> readCurve(const QString& path, const QString& curveName, bool quiet);
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
    ChannelMeasurements measurements_;
    QMenu* menu_;
    QAction* load_;
    QAction* target_;
    QAction* fit_;
    QAction* clear_;
    FitDialog* dialog_;
    std::function<bool()> allowed_;
};

} // namespace zx
