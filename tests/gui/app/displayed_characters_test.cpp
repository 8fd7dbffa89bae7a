#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRawFont>
#include <QTabBar>

#include <map>
#include <set>

#include "app/app_fixture.h"
#include "app/marker_hint.h"
#include "platform/message_texts.h"

namespace zx {
namespace {

// Every text a widget of `top` shows, keyed by the widget's font.
void CollectWidgetTexts(QWidget* top, std::map<QString, std::pair<QFont, QStringList>>& out) {
    QList<QWidget*> widgets = top->findChildren<QWidget*>();
    widgets.prepend(top);
    for (QWidget* w : widgets) {
        QStringList texts = {w->windowTitle(), w->toolTip(), w->accessibleName()};
        if (auto* l = qobject_cast<QLabel*>(w)) texts << l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) texts << b->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) texts << g->title();
        if (auto* e = qobject_cast<QLineEdit*>(w)) texts << e->text() << e->placeholderText();
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i) texts << c->itemText(i);
        if (auto* t = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < t->count(); ++i) texts << t->tabText(i);
        auto& [font, list] = out[w->font().key()];
        font = w->font();
        list << texts;
    }
}

// The font files of the Debian packages the program's package depends on for its fonts.
QStringList PackagedFontFiles(QString* problem) {
    QStringList files;
    for (const QString& package : QStringLiteral(ZX_FONT_PACKAGES).split(u',')) {
        QProcess dpkg;
        dpkg.start(QStringLiteral("dpkg"), {QStringLiteral("-L"), package});
        if (!dpkg.waitForFinished(10000) || dpkg.exitCode() != 0) {
            *problem += QStringLiteral("font package %1 is not installed (make test installs it); ")
                            .arg(package);
            continue;
        }
        for (const QString& f : QString::fromUtf8(dpkg.readAllStandardOutput()).split(u'\n'))
            if (f.endsWith(QLatin1String(".ttf")) || f.endsWith(QLatin1String(".ttc")) ||
                f.endsWith(QLatin1String(".otf")))
                files << f;
    }
    return files;
}

// Every character of every text the program shows, in the windows and in its messages, is
// drawn by the fonts the windows use, and held by a font of the packages the program's
// package depends on: a character outside them shows as a box on a machine that has only
// those fonts ("COM：" did, with Liberation alone).
TEST_F(AppTest, everyCharacterShownIsInTheWindowsFontsAndInThePackagedFonts) {
    std::map<QString, std::pair<QFont, QStringList>> byFont;
    for (QWidget* top : std::initializer_list<QWidget*>{&app.window, &app.editor, &app.nameDialog})
        CollectWidgetTexts(top, byFont);
    QStringList others = texts::All();
    for (EqBandId band = 0; band < kBandCount; ++band) others << MarkerHint(app.model, band);
    byFont[QApplication::font().key()] = {QApplication::font(), others};

    QString problem;
    std::vector<QRawFont> packaged;
    for (const QString& file : PackagedFontFiles(&problem)) {
        QRawFont raw(file, 13);
        if (raw.isValid()) packaged.push_back(raw);
    }
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    ASSERT_FALSE(packaged.empty());

    std::set<char32_t> seen;
    int characters = 0;
    for (const auto& [key, entry] : byFont) {
        const auto& [font, list] = entry;
        const QFontMetrics metrics(font);
        for (const QString& text : list)
            for (char32_t c : text.toUcs4()) {
                if (c < 0x20) continue; // line breaks
                ++characters;
                EXPECT_TRUE(metrics.inFontUcs4(c))
                    << "U+" << std::hex << unsigned(c) << " of \"" << text.toStdString()
                    << "\" is not in " << font.family().toStdString();
                if (!seen.insert(c).second) continue;
                const bool held =
                    std::any_of(packaged.begin(), packaged.end(),
                                [c](const QRawFont& f) { return f.supportsCharacter(c); });
                EXPECT_TRUE(held) << "U+" << std::hex << unsigned(c) << " of \""
                                  << text.toStdString() << "\" is in no packaged font";
            }
    }
    // The full-width texts are among those looked at.
    EXPECT_TRUE(seen.count(U'\uFF1A')) << "\"COM：\" was not collected";
    EXPECT_TRUE(seen.count(U'\uFF0C')) << "\"overtime，try again.\" was not collected";
    EXPECT_GT(characters, 1000);
}

} // namespace
} // namespace zx
