#include "ui/number_field.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include "ui/ui_style.h"

namespace zx {

NumberField::NumberField(FieldTable table, FieldMemory& memory, QWidget* parent)
    : QWidget(parent), table_(table), memory_(memory), edit_(new QLineEdit(this)),
      up_(new QToolButton(this)), down_(new QToolButton(this)) {
    edit_->setAlignment(Qt::AlignCenter);
    edit_->setFont(ArialPx(13));
    edit_->setStyleSheet(FieldStyle("QLineEdit", "border: 1px solid rgb(128,128,128);"));
    edit_->installEventFilter(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) b->setFocusPolicy(Qt::NoFocus);
    connect(up_, &QToolButton::clicked, this, [this] { spin(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { spin(-1); });
    resize(64, 22);
}

void NumberField::resizeEvent(QResizeEvent*) {
    static constexpr int kSpinWidth = 15;
    const int w = width() - kSpinWidth;
    const int h = height();
    edit_->setGeometry(0, 0, w, h);
    up_->setGeometry(w, 0, kSpinWidth, h / 2);
    down_->setGeometry(w, h / 2, kSpinWidth, h - h / 2);
}

QString NumberField::text() const {
    return edit_->text();
}
void NumberField::setText(const QString& text) {
    edit_->setText(text);
}

void NumberField::setFieldEnabled(bool enabled) {
    edit_->setEnabled(enabled);
    up_->setEnabled(enabled);
    down_->setEnabled(enabled);
}

void NumberField::setName(const QString& name) {
    edit_->setAccessibleName(name);
    up_->setAccessibleName(name + QStringLiteral(" up"));
    down_->setAccessibleName(name + QStringLiteral(" down"));
}

bool NumberField::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edit_) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Undo and redo keys stay with the field while it has typing to undo or redo; then
        // they go to the program's edit history.
        auto* key = static_cast<QKeyEvent*>(event);
        const bool undo = key->matches(QKeySequence::Undo);
        const bool redo = key->matches(QKeySequence::Redo) ||
                          key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
        if ((undo && !edit_->isUndoAvailable()) || (redo && !edit_->isRedoAvailable())) {
            event->ignore();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            commit(true);
            return true;
        }
        // Printable characters outside the field's set are dropped; editing and navigation
        // keys, and keys held with Ctrl or Alt (Ctrl+Z and the like), pass.
        const QString t = key->text();
        const bool shortcut =
            key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (!shortcut && t.size() == 1 && t[0].isPrint() && !FieldAcceptsKey(table_, t[0]))
            return true;
        break;
    }
    case QEvent::FocusIn:
        // The field's own context menu takes the focus for a moment; that is no leaving.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason) break;
        if (memory_.capture) {
            memory_.previousText = edit_->text();
            memory_.capture = false;
        }
        break;
    case QEvent::FocusOut:
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason) break;
        memory_.capture = true;
        commit(false);
        break;
    case QEvent::MouseButtonRelease:
        edit_->selectAll();
        break;
    default:
        break;
    }
    return false;
}

void NumberField::commit(bool enterKey) {
    if (onCommitStart) onCommitStart();
    const FieldCommit c = DecideFieldCommit(table_, edit_->text(), memory_.previousText);
    switch (c.kind) {
    case FieldCommit::Kind::Unchanged:
        return;
    case FieldCommit::Kind::Revert:
        edit_->setText(c.text);
        return;
    case FieldCommit::Kind::Store:
        edit_->setText(c.text);
        if (onStore) onStore(c.index);
        if (enterKey) memory_.previousText = c.text;
        return;
    }
}

void NumberField::spin(int delta) {
    if (!onSpin) return;
    edit_->setText(FieldText(table_, onSpin(delta)));
}

} // namespace zx
