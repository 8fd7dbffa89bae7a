#include "ui/name_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include "platform/message_texts.h"
#include "ui/ui_style.h"

namespace zx {
namespace {

// The device keeps a name as one byte per character, so only characters with a one-byte
// form (U+0001..U+00FF) are taken; a zero byte would end the name early.
class OneByteValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input)
            if (c.unicode() == 0 || c.unicode() > 0xFF) return Invalid;
        return Acceptable;
    }
};

QPushButton* DialogButton(const QString& caption, QWidget* parent, const QRect& geometry) {
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(geometry);
    b->setFont(ArialPx(13));
    b->setAccessibleName(caption);
    // Neither button is the default: Enter does not press them.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

NameDialog::NameDialog(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      field_(new QLineEdit(this)),
      ok_(DialogButton(QStringLiteral("OK"), this, QRect(237, 22, 69, 22))),
      cancel_(DialogButton(QStringLiteral("Cancel"), this, QRect(237, 54, 69, 22))),
      hint_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("ZEPHRANOX PC Software"));
    setFixedSize(341, 87);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kWindowGrey);
    setPalette(pal);
    setStyleSheet(QStringLiteral(
        "QPushButton { background: rgb(192,192,192); color: black; border: 1px solid "
        "rgb(128,128,128); border-radius: 2px; }"
        "QPushButton:hover { background: rgb(222,222,222); }"
        "QLineEdit { background: rgb(192,192,192); color: black; border: 1px solid "
        "rgb(128,128,128); }"));

    auto* label = new QLabel(QStringLiteral("name"), this);
    label->setGeometry(6, 23, 51, 25);
    label->setFont(ArialPx(16));
    label->setStyleSheet(QStringLiteral("color: white;"));

    field_->setGeometry(55, 23, 178, 22);
    field_->setFont(ArialPx(13));
    field_->setMaxLength(kMaxNameLength);
    field_->setValidator(new OneByteValidator(field_));
    field_->setAccessibleName(QStringLiteral("Preset name"));
    hint_->setGeometry(8, 54, 225, 18);
    hint_->setFont(ArialPx(11));
    hint_->setStyleSheet(QStringLiteral("color: rgb(255,200,90);"));
    hint_->hide();
    connect(field_, &QLineEdit::inputRejected, this, [this] {
        hint_->setText(field_->text().size() >= kMaxNameLength ? texts::kNameTooLong
                                                               : texts::kNameCharacter);
        hint_->show();
    });
    connect(field_, &QLineEdit::textEdited, hint_, &QWidget::hide);
    setTabOrder(field_, ok_);
    setTabOrder(ok_, cancel_);

    connect(ok_, &QPushButton::clicked, this, &NameDialog::OnOk);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void NameDialog::OnOk() {
    hide();
    if (onAccept_) onAccept_(field_->text());
    done(QDialog::Accepted);
}

void NameDialog::keyPressEvent(QKeyEvent* event) {
    // QDialog would press a default button on Enter and reject on Escape.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void NameDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QWidget* owner = parentWidget()) {
        const QRect outer = frameGeometry();
        move(owner->frameGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2));
    }
    hint_->hide();
    field_->setFocus();
}

} // namespace zx
