#pragma once

#include "platform/port_list.h"

namespace zx {

// The machine's ports plus one device named by its path (`zephranox --port PATH`), such as the
// link that `amp-sim --link PATH` makes where no root is needed. The path is its own entry.
class PathPortList : public PortList {
  public:
    PathPortList(PortList& ports, QString path);

    std::optional<QStringList> list() override;
    int portNumber(const QString& entry) override;
    QString deviceName(int portNumber) const override;

  private:
    // No number of the machine's list is negative.
    static constexpr int kPathNumber = -1;

    PortList& ports_;
    QString path_;
};

} // namespace zx
