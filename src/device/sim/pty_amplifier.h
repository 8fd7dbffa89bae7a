#pragma once

#include <QString>

#include <atomic>

#include "sim/sim_amplifier.h"

namespace zx {

// The simulated amplifier on a pseudo-terminal, at the real pace of a 9600-baud line: a byte
// from the program counts as arrived 1.04 ms after the one before it, and the answers go out
// one byte every 1.04 ms. POSIX only.
class PtyAmplifier {
  public:
    explicit PtyAmplifier(SimAmplifier& sim) : sim_(sim) {}
    ~PtyAmplifier();
    PtyAmplifier(const PtyAmplifier&) = delete;
    PtyAmplifier& operator=(const PtyAmplifier&) = delete;

    // Creates the pseudo-terminal; false with a reason in error.
    bool open(QString* error);
    // The terminal the program opens (/dev/pts/N).
    QString terminalPath() const { return terminal_; }
    // A symbolic link at path leading to the terminal, removed again by removeLink and on
    // destruction.
    bool createLink(const QString& path, QString* error);
    void removeLink();
    QString linkPath() const { return link_; }
    // The first /dev/ttyV<n> (in dir) that does not exist yet.
    static QString FirstFreeLink(const QString& dir = QStringLiteral("/dev"));

    // Answers the program until stop is set; checks stop at least every 50 ms.
    void serve(const std::atomic<bool>& stop);

  private:
    SimAmplifier& sim_;
    int master_ = -1;
    int slave_ = -1; // held open so that the line stays up between the program's sessions
    QString terminal_;
    QString link_;
};

} // namespace zx
