#include "window_doubles/scripted_dialogs.h"

#include <QDialog>

namespace zx {

void ScriptedDialogs::keepOpen(int ms) {
    if (ms > 0 && clock_) clock_->pumpWait(ms);
}

void ScriptedDialogs::message(const QString& text) {
    shown_.push_back({Kind::Message, {}, text, {}, {}});
    keepOpen(messageOpenMs_);
}

bool ScriptedDialogs::askYesNo(const QString& caption, const QString& text) {
    shown_.push_back({Kind::Question, caption, text, {}, {}});
    return next(questions_, false);
}

QString ScriptedDialogs::saveFileName(const QString& filterText, const QString& defaultName) {
    shown_.push_back({Kind::SaveFile, {}, filterText, defaultName, {}});
    return next(saves_, QString());
}

QString ScriptedDialogs::openFileName(const QString& filterText, const QString& defaultName) {
    shown_.push_back({Kind::OpenFile, {}, filterText, defaultName, {}});
    return next(opens_, QString());
}

int ScriptedDialogs::execModal(QDialog& dialog) {
    shown_.push_back({Kind::Modal, {}, dialog.windowTitle(), {}, {}});
    if (modals_.empty()) return QDialog::Rejected;
    auto script = std::move(modals_.front());
    modals_.pop_front();
    return script(dialog);
}

QString ScriptedDialogs::chooseItem(const QString& caption, const QString& label,
                                    const QStringList& items) {
    shown_.push_back({Kind::Choice, caption, label, {}, items});
    if (choices_.empty()) return {};
    const QString chosen = choices_.front();
    choices_.pop_front();
    return items.contains(chosen) ? chosen : QString();
}

QStringList ScriptedDialogs::messages() const {
    QStringList out;
    for (const auto& s : shown_)
        if (s.kind == Kind::Message) out << s.text;
    return out;
}

} // namespace zx
