#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "ui/name_dialog.h"

namespace zx {
namespace {

// Typed key by key, non-ASCII characters included.
void Type(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

TEST(NameDialog, theFieldTakesNineteenOneByteCharactersAndSaysWhenItRefusesOne) {
    struct Case {
        QString typed;
        QString kept;
        QString hint; // under the field after the typing; empty: none shown
    };
    const QString notStored = QStringLiteral("This character cannot be stored in a name.");
    const Case cases[] = {
        {QStringLiteral("ABCDEFGHIJKLMNOPQRST"), QStringLiteral("ABCDEFGHIJKLMNOPQRS"),
         QStringLiteral("A name holds at most 19 characters.")},
        {QStringLiteral("Z\u00FC\u20AC"), QStringLiteral("Z\u00FC"), notStored},
        {QStringLiteral("Z\u00FC\u20AC\u03A9!"), QStringLiteral("Z\u00FC!"), {}}, // typing on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        NameDialog d(nullptr);
        d.show();
        Type(d.nameField(), c.typed);
        EXPECT_EQ(d.nameField()->text(), c.kept);
        EXPECT_EQ(d.hint()->isVisible(), !c.hint.isEmpty());
        if (!c.hint.isEmpty()) {
            EXPECT_EQ(d.hint()->text(), c.hint);
        }
        d.reject();
        d.show(); // a new showing starts without it
        EXPECT_FALSE(d.hint()->isVisible());
    }
}

TEST(NameDialog, enterAndEscapeDoNothingAndCancelKeepsTheText) {
    NameDialog d(nullptr);
    QStringList accepted;
    d.setAcceptHandler([&](const QString& t) { accepted << t; });
    QSignalSpy finished(&d, &QDialog::finished);
    d.show();
    QTest::keyClicks(d.nameField(), QStringLiteral("Live"));
    QTest::keyClick(d.nameField(), Qt::Key_Return);
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(finished.count(), 0);
    d.cancelButton()->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_TRUE(accepted.isEmpty());
    d.show();
    EXPECT_EQ(d.nameField()->text(), QStringLiteral("Live"));
    d.okButton()->click();
    EXPECT_EQ(accepted, QStringList{QStringLiteral("Live")});
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

} // namespace
} // namespace zx
