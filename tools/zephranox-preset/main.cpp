// zephranox-preset: turns an equaliser's filter list (Equalizer APO, Room EQ Wizard, AutoEQ)
// into a preset file and a preset file back into a filter list, and fits a measurement into a
// channel's bands. See kPresetUsageText and the README.

#include "headless/preset_commands.h"
#include "platform/command_line.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

int Run(const QCoreApplication& app) {
    const zx::PresetParse parse = zx::ParsePresetArgs(app.arguments().mid(1));
    if (parse.help) {
        std::fputs(zx::kPresetUsageText, stdout);
        return zx::kPresetOk;
    }
    if (!parse.command)
        return zx::RefuseCommandLine("zephranox-preset", parse.error, zx::kPresetUsageText);
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered)) return zx::kPresetFailed;
    QTextStream err(stderr);
    return zx::RunPresetCommand(*parse.command, out, err);
}

} // namespace

int main(int argc, char** argv) {
    return zx::ToolMain(argc, argv, "zephranox-preset", Run, {zx::kPresetOk, zx::kPresetChanged});
}
