#include "platform/qt_platform.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#ifndef _WIN32
#include <QSerialPortInfo>
#endif
#include <QThread>

namespace zx {

QtTimerHub::QtTimerHub() {
    clock_.start();
    for (int i = 0; i < kTimerCount; ++i) {
        auto t = std::make_unique<QTimer>();
        t->setInterval(TimerInterval(TimerId(i)));
        t->setTimerType(Qt::PreciseTimer);
        QObject::connect(t.get(), &QTimer::timeout, [this, i] { tick(i); });
        timers_[i] = std::move(t);
    }
}

void QtTimerHub::tick(int i) {
    auto& t = *timers_[i];
    // The first tick after a wake came after the rest of an interval; the next ones come a
    // whole interval apart again.
    if (t.interval() != TimerInterval(TimerId(i))) t.setInterval(TimerInterval(TimerId(i)));
    lastTick_[i] = clock_.elapsed();
    fire(TimerId(i));
    if (t.isActive() && idle(TimerId(i))) {
        t.stop();
        dozing_[i] = true;
    }
}

void QtTimerHub::start(TimerId id) {
    // QTimer::start would begin a fresh interval; a running window timer keeps its own.
    if (isActive(id)) return;
    auto& t = *timers_[int(id)];
    t.setInterval(TimerInterval(id));
    t.start();
    lastTick_[int(id)] = clock_.elapsed();
}

void QtTimerHub::stop(TimerId id) {
    timers_[int(id)]->stop();
    dozing_[int(id)] = false;
}

bool QtTimerHub::isActive(TimerId id) const {
    return dozing_[int(id)] || timers_[int(id)]->isActive();
}

void QtTimerHub::wake(TimerId id) {
    const int i = int(id);
    if (!dozing_[i]) return;
    dozing_[i] = false;
    // The next tick of the grid the timer would have kept ticking on.
    const qint64 interval = TimerInterval(id);
    const qint64 since = std::max<qint64>(clock_.elapsed() - lastTick_[i], 0);
    timers_[i]->start(int(interval - since % interval));
}

void QtClock::pumpWait(int ms) {
    const std::uint64_t end = tickMs() + std::uint64_t(std::max(ms, 0));
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // The clock is read once a pass: read again for the interval, it may have passed the end
    // and the difference wrapped into a negative interval, a timer that never fires.
    for (std::uint64_t now = tickMs(); now < end; now = tickMs()) {
        // A nested loop sleeps until an event or the end instead of spinning.
        QEventLoop loop;
        QTimer::singleShot(int(end - now) + 1, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void QtClock::pause(int ms) {
    if (ms > 0) QThread::msleep(ulong(ms));
}

#ifndef _WIN32
QtSerialDevice::QtSerialDevice() {
    connect(&port_, &QSerialPort::readyRead, this, [this] {
        readErrors_ = 0;
        dataArrived();
    });
    connect(&port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (!port_.isOpen()) return;
        // A pulled adapter shows as a resource error. A terminal whose other end has gone
        // shows as a read error on every pass of the event loop; a single one may pass.
        if (e == QSerialPort::ResourceError ||
            (e == QSerialPort::ReadError && ++readErrors_ >= kReadErrorsForFailure))
            reportFailure();
    });
}

bool QtSerialDevice::open(const QString& deviceName) {
    if (port_.isOpen() || deviceName.isEmpty()) return false;
    port_.setPortName(deviceName);
    // The line settings go with the open; a port that refuses them does not open.
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        port_.clearError();
        return false;
    }
    // Like a driver's input queue: a peer faster than the line cannot grow it without end.
    port_.setReadBufferSize(kInputQueueSize);
    readErrors_ = 0;
    // Nothing from before the open belongs to this connection.
    port_.clear();
    return true;
}

bool QtSerialDevice::write(const QByteArray& bytes) {
    if (!port_.isOpen()) return false;
    if (port_.write(bytes) != bytes.size()) return false;
    // Generous against the 1.04 ms a byte of the line itself.
    const int limitMs = 1000 + int(bytes.size()) * 3;
    QElapsedTimer t;
    t.start();
    while (port_.bytesToWrite() > 0) {
        const int left = limitMs - int(t.elapsed());
        if (left <= 0 || !port_.waitForBytesWritten(left)) return port_.bytesToWrite() == 0;
    }
    return true;
}

int QtSerialDevice::bytesQueued() {
    if (!port_.isOpen()) return -1;
    // Collect what the driver holds now: the pause before a read handles no events.
    while (port_.bytesAvailable() < kInputQueueSize && port_.waitForReadyRead(0)) {
    }
    if (port_.error() == QSerialPort::TimeoutError) port_.clearError();
    // The wait may have found the port failed and its failure report closed it.
    if (!port_.isOpen() || port_.error() != QSerialPort::NoError) return -1;
    return int(port_.bytesAvailable());
}

std::optional<QByteArray> QtSerialDevice::read(int maxBytes) {
    if (!port_.isOpen()) return std::nullopt;
    QByteArray out(std::max(maxBytes, 0), '\0');
    const qint64 n = port_.read(out.data(), out.size());
    if (n < 0) return std::nullopt;
    out.resize(n);
    return out;
}

void QtSerialDevice::purge() {
    if (port_.isOpen()) port_.clear();
}

void QtSerialDevice::close() {
    if (port_.isOpen()) port_.close();
    port_.clearError();
}

void QtSerialDevice::postNotification() {
    QMetaObject::invokeMethod(
        this, [this] { deliverNotification(); }, Qt::QueuedConnection);
}
#endif

QStringList VirtualSerialPorts(const QString& dir) {
    QStringList out;
    const QDir d(dir);
    const QStringList names = d.entryList({QStringLiteral("ttyV*")}, QDir::System | QDir::Files);
    for (const QString& name : names) {
        const QString digits = name.mid(4);
        if (digits.isEmpty() ||
            !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); }))
            continue;
        const QFileInfo info(d.filePath(name));
        if (!info.isSymLink()) continue;
        const QString target = info.canonicalFilePath();
        if (target.startsWith(QStringLiteral("/dev/pts/")) || target == QStringLiteral("/dev/ptmx"))
            out << name;
    }
    return out;
}

#ifndef _WIN32
namespace {

// Every name in a directory, in text order: one directory scan, no file opened.
QStringList NamesIn(const QString& dir) {
    QStringList names = QDir(dir).entryList(
        QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace
#endif

SystemPortList::SystemPortList(QString devDir, QString ttyClassDir)
    : devDir_(std::move(devDir)), ttyClassDir_(std::move(ttyClassDir)) {}

std::optional<QStringList> SystemPortList::list() {
#ifdef _WIN32
    return RegistrySerialPorts();
#else
    // Asking the system for its serial ports opens thousands of files, and the list is
    // refreshed every two seconds while disconnected. A port comes or goes only with its
    // entry in the tty class and its device node, so the system is asked again only when
    // one of those two directories changed.
    QStringList signature = NamesIn(ttyClassDir_) + NamesIn(devDir_);
    if (!systemPorts_ || signature != signature_) {
        QStringList ports;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            ports << info.portName();
        systemPorts_ = std::move(ports);
        signature_ = std::move(signature);
    }
    QStringList out = *systemPorts_;
    // A virtual port's link may outlive its terminal without any name changing: looked at
    // every time.
    for (const QString& v : VirtualSerialPorts(devDir_))
        if (!out.contains(v)) out << v;
    return out;
#endif
}

int SystemPortList::portNumber(const QString& entry) {
#ifdef _WIN32
    return WindowsPortNumber(entry);
#else
    if (entry.isEmpty()) return 0;
    auto it = numbers_.find(entry);
    if (it != numbers_.end()) return it->second;
    const int n = int(numbers_.size()) + 1;
    numbers_.emplace(entry, n);
    names_.emplace(n, entry);
    return n;
#endif
}

QString SystemPortList::deviceName(int portNumber) const {
#ifdef _WIN32
    return WindowsDeviceName(portNumber);
#else
    auto it = names_.find(portNumber);
    return it == names_.end() ? QString() : QStringLiteral("/dev/") + it->second;
#endif
}

} // namespace zx
