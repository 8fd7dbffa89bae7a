#pragma once

#include <QWidget>

#include <array>

#include "link/connection_view.h"
#include "presets/preset_view.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace zx {

class ChannelStrips;
class GraphView;
class PresetArea;
class ProgressBox;

// The main window: the top bar (status light, port selector, connect button, curve legend),
// the graph panel and the signal-flow panel, fixed at 985 x 640 on dark grey.
class MainWindow : public QWidget, public ConnectionView, public PresetView {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);

    static constexpr int kWidth = 985;
    static constexpr int kHeight = 640;

    QWidget* topBar() const { return topBar_; }
    QWidget* graphPanel() const { return graphPanel_; }
    QWidget* signalFlowPanel() const { return signalFlowPanel_; }
    QWidget* statusLight() const { return statusLight_; }
    QComboBox* portSelector() const { return portSelector_; }
    QPushButton* connectButton() const { return connectButton_; }
    ProgressBox* connectingBox() const { return connectingBox_; }
    ProgressBox* progressBox() const { return progressBox_; }
    QLabel* graphTitle() const { return graphTitle_; }
    QCheckBox* legendCheck(int channel) const { return legendChecks_[channel]; }
    GraphView* graphView() const { return graphView_; }
    GraphView* routingView() const { return routingView_; }
    ChannelStrips* strips() const { return strips_; }

    void setGraphTitle(const QString& title);
    // The legend check boxes are off while the editor is shown.
    void setLegendChecksEnabled(bool enabled);
    // What the "DSP active preset" field is to show; the preset area listens.

    // Shows the retained response graph in the graph panel and the routing picture between
    // the strips; both are drawn elsewhere and only copied here.
    void showPictures(const QImage& graph, const QImage& routing);

    // The entry after the ports that asks for a network port's address.
    static const QString kNetworkPortItem;
    // What the port selector shows for an entry: a device path by its name (ttyV0), a network
    // address whole. Each entry's tooltip is the whole entry.
    static QString PortShownName(const QString& entry);
    // Chooses the entry with this text; false when it is not listed.
    bool selectPortEntry(const QString& entry);

    // ConnectionView
    // The ports listed, without the entry that asks for a network port.
    QStringList portEntries() const override;
    void setPortEntries(const QStringList& entries) override;
    int selectedPortIndex() const override;
    void setPortSelectorEnabled(bool enabled) override;
    void setConnectCaption(const QString& caption) override;
    void setLinkIndicator(bool linkUp) override;
    void showConnectingBox(bool shown) override;
    void setConnectingPercent(int percent) override;
    void setMainPanelsEnabled(bool enabled) override;
    void hideEditor() override;
    void resetCrossoverChannel() override;

    // PresetView (hideEditor above serves both)
    PresetArea* presetArea() const { return presetArea_; }
    void showProgressBox(bool shown) override;
    void setProgressPercent(int percent) override;
    void setTopBarEnabled(bool enabled) override;
    void setGraphPanelEnabled(bool enabled) override;
    void setSignalFlowPanelEnabled(bool enabled) override;
    void setActivePresetName(const QString& name) override;
    void askPresetName() override;

  signals:
    void connectClicked();
    // "Network port…" was chosen; the port chosen before it stays chosen unless the handler
    // chooses another.
    void networkPortRequested();
    void curveShownChanged(int channel, bool shown);
    void editorHideRequested();
    void crossoverChannelReset();
    void presetNameRequested();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildTopBar();
    void buildLegend();
    void onPortActivated(int index);

    QWidget* topBar_;
    QWidget* graphPanel_;
    QWidget* signalFlowPanel_;
    QWidget* statusLight_ = nullptr;
    QComboBox* portSelector_ = nullptr;
    QPushButton* connectButton_ = nullptr;
    QLabel* graphTitle_ = nullptr;
    std::array<QCheckBox*, 6> legendChecks_{};
    GraphView* graphView_ = nullptr;
    GraphView* routingView_ = nullptr;
    ChannelStrips* strips_ = nullptr;
    ProgressBox* connectingBox_;
    ProgressBox* progressBox_;
    bool placed_ = false;
    QString chosenPort_; // the port entry chosen last
    PresetArea* presetArea_ = nullptr;
};

} // namespace zx
