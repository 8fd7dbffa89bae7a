#include "sim/pty_amplifier.h"

#if defined(__unix__) || defined(__APPLE__)

#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace zx {

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t ByteUs(std::int64_t count) {
    return (count * 10'000'000 + 9599) / 9600;
}

struct Timed {
    std::int64_t atUs;
    std::uint8_t byte;
};

} // namespace

PtyAmplifier::~PtyAmplifier() {
    removeLink();
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

bool PtyAmplifier::open(QString* error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        if (error) *error = QStringLiteral("cannot create a pseudo-terminal: ") + strerror(errno);
        return false;
    }
    const char* name = ::ptsname(master_);
    if (!name) {
        if (error) *error = QStringLiteral("no pseudo-terminal name");
        return false;
    }
    terminal_ = QString::fromLocal8Bit(name);
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        if (error) *error = QStringLiteral("cannot open ") + terminal_ + ": " + strerror(errno);
        return false;
    }
    // Raw, so that nothing the amplifier sends is echoed back to it.
    termios t{};
    if (::tcgetattr(slave_, &t) == 0) {
        ::cfmakeraw(&t);
        ::cfsetispeed(&t, B9600);
        ::cfsetospeed(&t, B9600);
        ::tcsetattr(slave_, TCSANOW, &t);
    }
    // Started with sudo to make the link in /dev: the terminal belongs to the user.
    if (::geteuid() == 0) {
        if (const char* uid = std::getenv("SUDO_UID")) {
            const int r = ::fchown(slave_, uid_t(std::atoi(uid)), gid_t(-1));
            (void)r; // without it only root can open the terminal, which is no worse
        }
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    return true;
}

bool PtyAmplifier::createLink(const QString& path, QString* error) {
    const QByteArray p = path.toLocal8Bit();
    if (::symlink(terminal_.toLocal8Bit().constData(), p.constData()) != 0) {
        if (error) *error = QStringLiteral("cannot create ") + path + ": " + strerror(errno);
        return false;
    }
    link_ = path;
    return true;
}

void PtyAmplifier::removeLink() {
    if (link_.isEmpty()) return;
    const QFileInfo info(link_);
    if (info.isSymLink()) ::unlink(link_.toLocal8Bit().constData());
    link_.clear();
}

QString PtyAmplifier::FirstFreeLink(const QString& dir) {
    for (int n = 0;; ++n) {
        QString path = dir + QStringLiteral("/ttyV") + QString::number(n);
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink()) return path;
    }
}

void PtyAmplifier::serve(const std::atomic<bool>& stop) {
    const auto t0 = Clock::now();
    auto nowUs = [&] {
        return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0).count();
    };
    std::deque<Timed> in, out;
    std::int64_t inFree = 0, outFree = 0;
    while (!stop.load()) {
        std::int64_t now = nowUs();
        std::int64_t next = now + 50'000;
        if (!in.empty()) next = std::min(next, in.front().atUs);
        if (!out.empty()) next = std::min(next, out.front().atUs);
        pollfd pfd{master_, POLLIN, 0};
        const int waitMs = int(std::max<std::int64_t>(0, (next - now + 999) / 1000));
        if (::poll(&pfd, 1, waitMs) > 0 && (pfd.revents & POLLIN)) {
            std::uint8_t buf[4096];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            now = nowUs();
            for (ssize_t i = 0; i < n; ++i) {
                inFree = std::max(inFree, now) + ByteUs(1);
                in.push_back({inFree, buf[i]});
            }
        }
        now = nowUs();
        while (!in.empty() && in.front().atUs <= now) {
            const Timed b = in.front();
            in.pop_front();
            for (const auto& o : sim_.receive(b.byte, b.atUs / 1000)) {
                std::int64_t start = std::max(outFree, b.atUs) + std::int64_t(o.gapMs) * 1000;
                for (qsizetype k = 0; k < o.bytes.size(); ++k)
                    out.push_back({start + ByteUs(k + 1), std::uint8_t(o.bytes[k])});
                outFree = start + ByteUs(o.bytes.size());
            }
        }
        std::uint8_t chunk[4096];
        size_t n = 0;
        while (!out.empty() && out.front().atUs <= now && n < sizeof chunk) {
            chunk[n++] = out.front().byte;
            out.pop_front();
        }
        size_t done = 0;
        while (done < n) {
            const ssize_t w = ::write(master_, chunk + done, n - done);
            if (w <= 0) break;
            done += size_t(w);
        }
        // What the terminal could not take now goes first next time.
        for (size_t i = n; i > done; --i) out.push_front({now, chunk[i - 1]});
    }
}

} // namespace zx

#endif
