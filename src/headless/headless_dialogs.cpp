#include "headless/headless_dialogs.h"

#include <QDialog>

namespace zx {

int HeadlessDialogs::execModal(QDialog&) {
    return QDialog::Rejected;
}

} // namespace zx
