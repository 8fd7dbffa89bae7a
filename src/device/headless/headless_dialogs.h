#pragma once

#include <QString>
#include <QStringList>

#include "platform/dialogs.h"

namespace zx {

// Dialogs for a program without a window: nothing is shown. A message is kept for the caller
// to report; a question is answered No; the file dialogs answer with the names the caller
// set beforehand (empty means cancelled).
class HeadlessDialogs : public Dialogs {
  public:
    void message(const QString& text) override { messages_ << text; }
    bool askYesNo(const QString&, const QString&) override { return false; }
    QString saveFileName(const QString&, const QString&) override { return saveAnswer; }
    QString openFileName(const QString&, const QString&) override { return openAnswer; }

    QString saveAnswer;
    QString openAnswer;

    const QStringList& messages() const { return messages_; }
    void clearMessages() { messages_.clear(); }

  private:
    QStringList messages_;
};

} // namespace zx
