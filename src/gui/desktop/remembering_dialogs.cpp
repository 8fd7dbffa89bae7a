#include "desktop/remembering_dialogs.h"

#include <QDir>
#include <QFileInfo>

namespace zx {

QString RememberingDialogs::saveFileName(const QString& filterText, const QString& defaultName) {
    return remember(filterText,
                    dialogs_.saveFileName(filterText, inFolder(filterText, defaultName)));
}

QString RememberingDialogs::openFileName(const QString& filterText, const QString& defaultName) {
    return remember(filterText,
                    dialogs_.openFileName(filterText, inFolder(filterText, defaultName)));
}

QString RememberingDialogs::inFolder(const QString& filterText, const QString& defaultName) const {
    const QString folder = remembered_.folder(filterText);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return defaultName;
    return QDir(folder).filePath(defaultName);
}

QString RememberingDialogs::remember(const QString& filterText, const QString& chosen) {
    if (!chosen.isEmpty()) remembered_.setFolder(filterText, QFileInfo(chosen).absolutePath());
    return chosen;
}

} // namespace zx
