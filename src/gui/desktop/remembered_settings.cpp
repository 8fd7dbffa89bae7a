#include "desktop/remembered_settings.h"

#include "model/channel_names.h"

#include <QSettings>

namespace zx {
namespace {

QString ChannelGroup(const char* what, ChannelId ch) {
    return QStringLiteral("%1/%2").arg(QLatin1String(what), ChannelName(ch));
}

} // namespace

QString RememberedSettings::lastPort() const {
    return settings_ ? settings_->value(QStringLiteral("port/last")).toString() : QString();
}

void RememberedSettings::setLastPort(const QString& port) {
    if (settings_) settings_->setValue(QStringLiteral("port/last"), port);
}

QString RememberedSettings::folder(const QString& kind) const {
    return settings_ ? settings_->value(QStringLiteral("folders/") + kind).toString() : QString();
}

void RememberedSettings::setFolder(const QString& kind, const QString& folder) {
    if (settings_) settings_->setValue(QStringLiteral("folders/") + kind, folder);
}

std::optional<RememberedSettings::CurveFile> RememberedSettings::measurement(ChannelId ch) const {
    return curveFile(ChannelGroup("measurements", ch));
}

void RememberedSettings::setMeasurement(ChannelId ch, const std::optional<CurveFile>& file) {
    setCurveFile(ChannelGroup("measurements", ch), file);
}

std::optional<RememberedSettings::CurveFile> RememberedSettings::target(ChannelId ch) const {
    return curveFile(ChannelGroup("targets", ch));
}

void RememberedSettings::setTarget(ChannelId ch, const std::optional<CurveFile>& file) {
    setCurveFile(ChannelGroup("targets", ch), file);
}

std::optional<RememberedSettings::CurveFile>
RememberedSettings::curveFile(const QString& group) const {
    if (!settings_) return std::nullopt;
    const QString path = settings_->value(group + QStringLiteral("/file")).toString();
    if (path.isEmpty()) return std::nullopt;
    return CurveFile{path, settings_->value(group + QStringLiteral("/curve")).toString()};
}

void RememberedSettings::setCurveFile(const QString& group, const std::optional<CurveFile>& file) {
    if (!settings_) return;
    if (!file) {
        settings_->remove(group);
        return;
    }
    settings_->setValue(group + QStringLiteral("/file"), file->path);
    settings_->setValue(group + QStringLiteral("/curve"), file->curve);
}

} // namespace zx
