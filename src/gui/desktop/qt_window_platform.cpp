#include "desktop/qt_window_platform.h"

#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace zx {

void QtDialogs::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent_);
    box.exec();
}

bool QtDialogs::askYesNo(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::saveFileName(const QString& filterText, const QString& defaultName) {
    // The save dialog asks before replacing an existing file unless told not to.
    return QFileDialog::getSaveFileName(parent_, QString(), defaultName,
                                        filterText + QStringLiteral(" (*)"));
}

QString QtDialogs::openFileName(const QString& filterText, const QString& defaultName) {
    return QFileDialog::getOpenFileName(parent_, QString(), defaultName,
                                        filterText + QStringLiteral(" (*)"));
}

int QtDialogs::execModal(QDialog& dialog) {
    return dialog.exec();
}

QString QtDialogs::chooseItem(const QString& caption, const QString& label,
                              const QStringList& items) {
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent_, caption, label, items, 0, false, &ok);
    return ok ? chosen : QString();
}

} // namespace zx
