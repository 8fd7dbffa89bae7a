#pragma once

#include "model/parameter_model.h"

#include <QString>

#include <optional>

class QSettings;

namespace zx {

// What the program keeps between runs, in the settings it is given (the user's in the
// program, a file of their own in tests). Without settings nothing is kept.
class RememberedSettings {
  public:
    explicit RememberedSettings(QSettings* settings = nullptr) : settings_(settings) {}

    QString lastPort() const;
    void setLastPort(const QString& port);

    // The folder a file dialog of this kind (its filter text) last chose from.
    QString folder(const QString& kind) const;
    void setFolder(const QString& kind, const QString& folder);

    struct CurveFile {
        QString path;
        QString curve; // empty: the file's only curve
    };
    std::optional<CurveFile> measurement(ChannelId ch) const;
    void setMeasurement(ChannelId ch, const std::optional<CurveFile>& file);
    // A target file; nothing for flat.
    std::optional<CurveFile> target(ChannelId ch) const;
    void setTarget(ChannelId ch, const std::optional<CurveFile>& file);

  private:
    std::optional<CurveFile> curveFile(const QString& group) const;
    void setCurveFile(const QString& group, const std::optional<CurveFile>& file);

    QSettings* settings_;
};

} // namespace zx
