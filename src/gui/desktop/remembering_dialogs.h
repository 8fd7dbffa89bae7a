#pragma once

#include "desktop/remembered_settings.h"
#include "desktop/window_dialogs.h"

namespace zx {

// The program's dialogs, with each kind of file dialog (by its filter text) opening in the
// folder that kind last chose from, across runs.
class RememberingDialogs : public WindowDialogs {
  public:
    RememberingDialogs(WindowDialogs& dialogs, RememberedSettings& remembered)
        : dialogs_(dialogs), remembered_(remembered) {}

    void message(const QString& text) override { dialogs_.message(text); }
    bool askYesNo(const QString& caption, const QString& text) override {
        return dialogs_.askYesNo(caption, text);
    }
    QString saveFileName(const QString& filterText, const QString& defaultName) override;
    QString openFileName(const QString& filterText, const QString& defaultName) override;
    int execModal(QDialog& dialog) override { return dialogs_.execModal(dialog); }
    QString chooseItem(const QString& caption, const QString& label,
                       const QStringList& items) override {
        return dialogs_.chooseItem(caption, label, items);
    }

  private:
    QString inFolder(const QString& filterText, const QString& defaultName) const;
    QString remember(const QString& filterText, const QString& chosen);

    WindowDialogs& dialogs_;
    RememberedSettings& remembered_;
};

} // namespace zx
