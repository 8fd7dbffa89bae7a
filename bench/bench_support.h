#pragma once

// What the benchmarks of one program share: the Qt application they draw with, and a model
// that keeps every curve busy.

#include <QApplication>

#include "model/parameter_model.h"

namespace zx::bench {

// Drawing text and the main window need a Qt application; the benchmarks run offscreen.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "zephranox_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        // Another benchmark file may have made it already (a QApplication too).
        if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
            return existing;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Every band and crossover in use, so no curve is trivially flat.
inline ParameterModel BusyModel() {
    ParameterModel m;
    for (EqBandId id = 0; id < kBandCount; ++id) {
        EqBandParams& b = m.bands[static_cast<std::size_t>(id)];
        b.type = static_cast<std::uint8_t>(id % 3);
        b.freqIndex = static_cast<std::uint8_t>((id * 37) % 241);
        b.qIndex = static_cast<std::uint8_t>((id * 11) % 180);
        SetActiveGainIndex(b, static_cast<std::uint16_t>(60 + (id * 13) % 120));
    }
    for (ChannelId ch = 0; ch < kChannelCount; ++ch) {
        ChannelParams& c = m.channels[static_cast<std::size_t>(ch)];
        c.hpfFreqIndex = static_cast<std::uint8_t>(20 + 10 * ch);
        c.hpfType = static_cast<std::uint8_t>(6 + ch);
        c.lpfFreqIndex = static_cast<std::uint8_t>(220 - 20 * ch);
        c.lpfType = static_cast<std::uint8_t>(11 - ch);
    }
    return m;
}

} // namespace zx::bench
