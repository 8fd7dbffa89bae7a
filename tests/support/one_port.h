#pragma once

#include <QString>
#include <QStringList>

#include "platform/port_list.h"

namespace zx {

// A port list naming one device (a pseudo-terminal) as port 1.
class OnePort : public PortList {
  public:
    explicit OnePort(QString path) : path_(std::move(path)) {}
    std::optional<QStringList> list() override { return QStringList{path_}; }
    int portNumber(const QString&) override { return 1; }
    QString deviceName(int n) const override { return n == 1 ? path_ : QString(); }

  private:
    QString path_;
};

} // namespace zx
