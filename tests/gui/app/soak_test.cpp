#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "ui/graph_view.h"
#include "ui/number_field.h"
#include "user_actions.h"

using namespace zx;

namespace {

// The image bytes in which the program and the device differ, as "offset:program/device".
std::string Differences(const QByteArray& program, const QByteArray& device) {
    const QByteArray a = ComparableImage(program), b = ComparableImage(device);
    std::string out;
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i])
            out += std::to_string(i) + ":" + std::to_string(std::uint8_t(a[i])) + "/" +
                   std::to_string(std::uint8_t(b[i])) + " ";
    return out;
}

// Random user actions against a device that now and then misbehaves. Every stretch of actions
// is followed by a quiet one with a healthy device, after which the device must hold what the
// program shows. ZX_SOAK_MINUTES sets the virtual time (an hour takes seconds), ZX_SOAK_SEED
// replays one seed.
struct Soak {
    TestPlatform& tp;
    Application& app;
    UserActions user;
    std::mt19937 rng;
    int actions = 0;
    bool trace = !qgetenv("ZX_SOAK_TRACE").isEmpty();

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    // The user opens the editor from a channel strip, which a running operation disables.
    bool openEditor(ChannelId ch) {
        if (!app.editor.isVisible() && !app.window.signalFlowPanel()->isEnabled()) return false;
        app.editor.showChannel(ch);
        return true;
    }

    void drag() {
        const ChannelId ch = pick(0, kChannelCount - 1);
        if (!openEditor(ch)) return;
        const BandMarker m = app.graph.marker(BandId(ch, pick(0, kBandsPerChannel - 1)));
        GraphView* v = app.window.graphView();
        QTest::mousePress(v, Qt::LeftButton, {}, {m.x, m.y});
        QPoint p{m.x, m.y};
        for (int i = 0; i < 5; ++i) {
            p += QPoint(pick(-15, 15), pick(-15, 15));
            QMouseEvent move(QEvent::MouseMove, p, v->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(v, &move);
            tp.advance(pick(10, 80));
        }
        QTest::mouseRelease(v, Qt::LeftButton, {}, p);
    }
    void spinBand() {
        const ChannelId ch = pick(0, kChannelCount - 1);
        if (!openEditor(ch)) return;
        NumberField* f = app.editor.channelPage(ch)->bandField(
            pick(0, kBandsPerChannel - 1), static_cast<ChannelPage::Column>(pick(0, 2)));
        QTest::mouseClick(pick(0, 1) ? f->upButton() : f->downButton(), Qt::LeftButton);
    }

    void act() {
        ++actions;
        PresetArea* area = user.presets();
        const int action = pick(0, 11);
        if (trace)
            std::printf("%8.1f s action %d, link %d\n", double(tp.clock.nowUs()) / 1e6, action,
                        int(app.link.transport.LinkUp));
        switch (action) {
        case 0:
        case 1:
            user.toggleMuteAndPolarity(pick(0, kChannelCount - 1));
            break;
        case 2:
            drag();
            break;
        case 3:
            spinBand();
            break;
        case 4: {
            const ChannelId ch = pick(0, kChannelCount - 1);
            if (openEditor(ch) && app.editor.channelPage(ch)->resetButton()->isEnabled())
                user.resetEq(ch);
            break;
        }
        case 5:
            user.recall();
            break;
        case 6:
            if (area->deviceStoreButton()->isEnabled() && app.link.transport.LinkUp)
                user.deviceStore(QStringLiteral("Soak %1").arg(actions));
            break;
        case 7:
            if (area->pcStoreButton()->isEnabled()) user.pcStore(pick(0, 2));
            break;
        case 8:
            if (area->pcLoadButton()->isEnabled()) user.pcLoad(pick(0, 2));
            break;
        case 9:
            app.window.connectButton()->click();
            break;
        case 10:
            app.editor.hide();
            break;
        default:
            tp.advance(pick(2000, 8000));
            break;
        }
        EXPECT_LT(app.link.transport.RxHexBuffer.size(), 1500);
        EXPECT_LE(app.link.transport.SendBuffer.size(), 12 + SimAmplifier::kImageSize);
    }

    // The device misbehaves in one way for the stretch. Returns whether it may have dropped or
    // changed settings without the program being told (then only a new connect agrees again).
    bool misbehave() {
        SimFaults& s = tp.sim.faults;
        const int kind = pick(0, 9);
        if (trace) std::printf("fault %d\n", kind);
        switch (kind) {
        case 0:
            s.silent = true;
            return true;
        case 1:
            s.silentFromMs = tp.clock.nowUs() / 1000 + pick(0, 20000);
            return true;
        case 2:
            s.garbage = true;
            return true; // a recall is taken but its block never arrives
        case 3:
            s.noNames = true;
            return false;
        case 4:
            s.noAcks = true;
            return false;
        case 5:
            s.ignoreRecalls = true;
            return false;
        case 6:
            s.badBlockChecksum = true;
            return false;
        case 7:
            s.truncatedBlock = true;
            return true;
        case 8:
            // Slower than a poll's 500 ms per 20-byte answer, the device's answers would queue
            // up without end on the line itself, healthy or not.
            s.byteGapMs = pick(5, 20);
            return true;
        default:
            tp.serial.unplug();
            return true;
        }
    }

    std::string State() const {
        std::string s = "link " + std::to_string(int(app.link.transport.LinkUp)) + ", caption " +
                        app.window.connectButton()->text().toStdString() + ", timers";
        for (int t = 0; t < kTimerCount; ++t)
            if (tp.clock.isActive(TimerId(t))) s += std::string(" ") + TimerName(TimerId(t));
        const auto& fr = tp.sim.frames();
        for (std::size_t i = fr.size() > 8 ? fr.size() - 8 : 0; i < fr.size(); ++i)
            s += "\n  " + std::to_string(fr[i].atMs) + (fr[i].fromPc ? " pc " : " dev ") +
                 fr[i].bytes.left(12).toHex().toStdString() + " (" +
                 std::to_string(fr[i].bytes.size()) + ")";
        const auto& w = tp.serial.writes();
        for (std::size_t i = w.size() > 5 ? w.size() - 5 : 0; i < w.size(); ++i)
            s += "\n  write " + std::to_string(w[i].atUs / 1000) + " " +
                 w[i].bytes.left(12).toHex().toStdString();
        s += "\n  now " + std::to_string(tp.clock.nowUs() / 1000) + " damaged " +
             std::to_string(tp.sim.damagedFrames()) + "\n";
        return s + ", messages " + tp.dialogs.messages().join(QStringLiteral(" | ")).toStdString();
    }

    // Returns false, with the failure recorded, when the invariant does not hold.
    bool quietStretch(bool resync) {
        tp.sim.faults = {};
        tp.serial.plugIn();
        tp.advance(20000); // running operations end
        // A device slowed down byte by byte may have fallen far behind the requests.
        if (!tp.runUntil([this] { return !tp.serial.deviceSending(); }, 600000)) {
            ADD_FAILURE() << "the device's answers never end: " << State();
            return false;
        }
        if (resync || !user.connected()) {
            if (user.captionShowsConnect()) app.window.connectButton()->click();
            tp.advance(3000);
            if (!user.connectAndWait()) {
                ADD_FAILURE() << "no connect to a healthy device: " << State();
                return false;
            }
        }
        if (!tp.runUntil([this] { return user.sendingDone() && user.atRest(); }, 60000)) {
            ADD_FAILURE() << "the program does not come to rest: " << State();
            return false;
        }
        tp.advance(1000);
        if (trace)
            std::printf("quiet; messages: %s\n",
                        qPrintable(tp.dialogs.messages().join(QStringLiteral(" | "))));
        EXPECT_TRUE(user.panelsEnabled());
        EXPECT_EQ(Differences(ImageBytes(app.model), tp.sim.liveImage()), "");
        tp.dialogs.clear();
        // The stand-ins' records of every frame would otherwise grow with the run and hide
        // whether the program does.
        tp.sim.clearFrames();
        tp.serial.clearWrites();
        // The virtual clock runs timers, not Qt's queue of posted events (repaints, layout and
        // style requests), which a real event loop empties as it goes.
        QCoreApplication::sendPostedEvents();
        return !::testing::Test::HasFailure();
    }
};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitized = true;
#else
constexpr bool kAddressSanitized = false;
#endif
#else
constexpr bool kAddressSanitized = false;
#endif

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

int EnvInt(const char* name, int fallback) {
    const QByteArray v = qgetenv(name);
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : fallback;
}

} // namespace

TEST(Soak, randomUsersAgainstAMisbehavingDeviceStayInStep) {
    const int minutes = EnvInt("ZX_SOAK_MINUTES", 60);
    // A fixed seed keeps CI repeatable; ZX_SOAK_SEED runs others.
    const unsigned seed = static_cast<unsigned>(EnvInt("ZX_SOAK_SEED", 101));
    std::printf("soak seed %u, %d minutes of virtual time (replay: ZX_SOAK_SEED=%u)\n", seed,
                minutes, seed);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TestPlatform tp;
    Application app(tp.platform());
    app.Start();
    Soak soak{tp, app, UserActions{tp, app, dir.path()}, std::mt19937(seed)};
    for (int n = 0; n < 3; ++n) soak.user.writeFile(n, app.model);
    ASSERT_TRUE(soak.user.connectAndWait());

    const auto wallStart = std::chrono::steady_clock::now();
    const std::int64_t endUs = tp.clock.nowUs() + std::int64_t(minutes) * 60'000'000;
    long rssAfterFirst = 0;
    int stretches = 0;
    while (tp.clock.nowUs() < endUs) {
        const bool faulty = soak.pick(0, 9) < 3;
        const bool resync = faulty && soak.misbehave();
        if (soak.trace) std::printf("stretch %d, faults %d\n", stretches, int(faulty));
        for (int k = 0; k < 20; ++k) {
            soak.act();
            tp.advance(soak.pick(0, 2500));
        }
        ASSERT_TRUE(soak.quietStretch(resync)) << "seed " << seed << ", stretch " << stretches;
        if (++stretches == 1) rssAfterFirst = ResidentKb();
    }
    const double wallS =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const long growthKb = ResidentKb() - rssAfterFirst;
    std::printf("soak seed %u: %d actions, %d stretches, %.1f virtual minutes, %.1f s wall, "
                "resident memory grew %ld kB\n",
                seed, soak.actions, stretches, double(tp.clock.nowUs()) / 60e6, wallS, growthKb);
    // The program must not grow with the run: with the stand-ins' records cleared and Qt's
    // posted events handled at every quiet stretch, three virtual hours grow below 1 MB. Under
    // the address sanitizer freed memory is held back in its quarantine on purpose, so resident
    // memory says nothing there; its leak check covers that build instead.
    if (!kAddressSanitized) {
        EXPECT_LT(growthKb, 8 * 1024);
    }
}
