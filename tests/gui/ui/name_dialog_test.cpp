#include <gtest/gtest.h>

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

TEST(NameDialog, theFieldTakesNineteenOneByteCharacters) {
    struct Case {
        QString typed;
        QString kept;
    };
    const Case cases[] = {
        {QStringLiteral("ABCDEFGHIJKLMNOPQRST"), QStringLiteral("ABCDEFGHIJKLMNOPQRS")},
        {QStringLiteral("Z\u00FC\u20AC\u03A9!"), QStringLiteral("Z\u00FC!")},
    };
    for (const Case& c : cases) {
        NameDialog d(nullptr);
        d.show();
        Type(d.nameField(), c.typed);
        EXPECT_EQ(d.nameField()->text(), c.kept);
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
