#pragma once

#include <QString>

#include <atomic>
#include <thread>

#include "sim/pty_amplifier.h"
#include "support/one_port.h"

namespace zx {

// The simulated amplifier serving a pseudo-terminal from a thread of its own, at real pace,
// until stop() or destruction.
class PtyServer {
  public:
    explicit PtyServer(SimAmplifier& sim) : pty_(sim) {}
    ~PtyServer() { stop(); }
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    bool start(QString* error) {
        if (!pty_.open(error)) return false;
        thread_ = std::thread([this] { pty_.serve(stop_); });
        return true;
    }
    void stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    // A port list naming the terminal as port 1.
    OnePort ports() const { return OnePort(pty_.terminalPath()); }

  private:
    PtyAmplifier pty_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace zx
