#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

#include "desktop/window_dialogs.h"
#include "platform/clock.h"

namespace zx {

// Dialogs for tests: answers come from a script, and everything shown is recorded. With no
// scripted answer a question is answered No, a file dialog is cancelled and a modal dialog is
// rejected. An answer may keep its dialog open for a while: the clock's pumpWait then runs as
// a real modal dialog's message loop would.
class ScriptedDialogs : public WindowDialogs {
  public:
    enum class Kind { Message, Question, SaveFile, OpenFile, Modal, Choice };
    struct Shown {
        Kind kind;
        QString caption; // the question's caption
        QString text; // the message or question text; a file dialog's filter text; a choice's label
        QString defaultName;
        QStringList items; // a choice's entries
    };

    explicit ScriptedDialogs(Clock* clock = nullptr) : clock_(clock) {}

    void message(const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;
    QString saveFileName(const QString& filterText, const QString& defaultName) override;
    QString openFileName(const QString& filterText, const QString& defaultName) override;
    int execModal(QDialog& dialog) override;
    QString chooseItem(const QString& caption, const QString& label,
                       const QStringList& items) override;

    void answerYes(bool yes, int openMs = 0) { questions_.push_back({yes, openMs}); }
    void answerSave(QString fileName, int openMs = 0) {
        saves_.push_back({std::move(fileName), openMs});
    }
    void answerOpen(QString fileName, int openMs = 0) {
        opens_.push_back({std::move(fileName), openMs});
    }
    // The entry chosen; one that is not offered is not chosen either.
    void answerChoice(QString item) { choices_.push_back(std::move(item)); }
    // The script acts on the dialog (fills fields, clicks a button) and returns its result.
    void answerModal(std::function<int(QDialog&)> script) { modals_.push_back(std::move(script)); }
    void setMessageOpenMs(int ms) { messageOpenMs_ = ms; }

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList messages() const; // the texts of the message boxes, in order
    void clear() { shown_.clear(); }

  private:
    template <typename T> struct Answer {
        T value;
        int openMs;
    };
    // The next scripted answer, kept open for its time, or `none` when the script has ended.
    template <typename T> T next(std::deque<Answer<T>>& answers, T none) {
        if (answers.empty()) return none;
        const Answer<T> a = answers.front();
        answers.pop_front();
        keepOpen(a.openMs);
        return a.value;
    }
    void keepOpen(int ms);

    Clock* clock_;
    std::deque<Answer<bool>> questions_;
    std::deque<Answer<QString>> saves_, opens_;
    std::deque<QString> choices_;
    std::deque<std::function<int(QDialog&)>> modals_;
    int messageOpenMs_ = 0;
    std::vector<Shown> shown_;
};

} // namespace zx
