#pragma once

#include <QString>

namespace zx {

// Modal dialogs. Each returns when the user has answered.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // A message box showing only the text, with an OK button.
    virtual void message(const QString& text) = 0;
    // Yes and No buttons, a warning icon, No the default; true for Yes.
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;
    // The chosen file name, or empty when cancelled. The save dialog asks before overwriting.
    virtual QString saveFileName(const QString& filterText, const QString& defaultName) = 0;
    virtual QString openFileName(const QString& filterText, const QString& defaultName) = 0;
};

} // namespace zx
