#pragma once

#include <QString>
#include <QStringList>

#include "link/connection_view.h"
#include "platform/port_list.h"
#include "presets/preset_view.h"

namespace zx {

// The top bar without a window: the port list is kept, and the selected entry is the one the
// caller asked for by name (no selection when the list lacks it).
class HeadlessConnectionView : public ConnectionView {
  public:
    QString wantedEntry;

    QStringList portEntries() const override { return entries_; }
    void setPortEntries(const QStringList& entries) override { entries_ = entries; }
    int selectedPortIndex() const override { return int(entries_.indexOf(wantedEntry)); }
    void setPortSelectorEnabled(bool) override {}
    void setConnectCaption(const QString&) override {}
    void setLinkIndicator(bool) override {}
    void showConnectingBox(bool) override {}
    void setConnectingPercent(int) override {}
    void setMainPanelsEnabled(bool) override {}
    void hideEditor() override {}
    void resetCrossoverChannel() override {}

  private:
    QStringList entries_;
};

// The preset area without a window: only the active preset name is kept.
class HeadlessPresetView : public PresetView {
  public:
    void showProgressBox(bool) override {}
    void setProgressPercent(int) override {}
    void setTopBarEnabled(bool) override {}
    void setGraphPanelEnabled(bool) override {}
    void setSignalFlowPanelEnabled(bool) override {}
    void setActivePresetName(const QString& name) override { activeName = name; }
    void hideEditor() override {}
    void askPresetName() override {}

    QString activeName;
};

// A port list of one device path, the whole path being its entry.
class DevicePathPortList : public PortList {
  public:
    explicit DevicePathPortList(QString path) : path_(std::move(path)) {}
    std::optional<QStringList> list() override { return QStringList{path_}; }
    int portNumber(const QString& entry) override { return entry == path_ ? 1 : 0; }
    QString deviceName(int n) const override { return n == 1 ? path_ : QString(); }

  private:
    QString path_;
};

} // namespace zx
