#pragma once

#include <QString>
#include <QStringList>

namespace zx {

// What the connection lifecycle shows and reads in the main window's top bar.
class ConnectionView {
  public:
    virtual ~ConnectionView() = default;

    virtual QStringList portEntries() const = 0;
    // Replaces the port selector's entries. The chosen entry stays chosen while it is listed;
    // otherwise (and at start-up) the last entry is selected.
    virtual void setPortEntries(const QStringList& entries) = 0;
    // -1 when the selector is empty or nothing is selected.
    virtual int selectedPortIndex() const = 0;
    virtual void setPortSelectorEnabled(bool enabled) = 0;

    virtual void setConnectCaption(const QString& caption) = 0;
    virtual void setLinkIndicator(bool linkUp) = 0;

    virtual void showConnectingBox(bool shown) = 0;
    virtual void setConnectingPercent(int percent) = 0;
    // The top bar, the graph panel and the signal-flow panel.
    virtual void setMainPanelsEnabled(bool enabled) = 0;

    virtual void hideEditor() = 0;
    // The crossover entry fields go back to channel 0 when the link ends.
    virtual void resetCrossoverChannel() = 0;
};

} // namespace zx
