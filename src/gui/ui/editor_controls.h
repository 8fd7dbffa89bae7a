#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>

#include "ui/ui_style.h"

namespace zx {

// The editor's plain controls: Arial everywhere, group titles and labels white on the dark
// pages, drop-down lists silver.
inline QGroupBox* EditorGroup(const QString& title, QWidget* parent, const QRect& geometry) {
    auto* g = new QGroupBox(title, parent);
    g->setGeometry(geometry);
    g->setFont(ArialPx(13));
    g->setStyleSheet(QStringLiteral(
        "QGroupBox { color: white; border: 1px solid rgb(140,140,140); margin-top: 7px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; }"));
    return g;
}

inline QLabel* EditorLabel(const QString& text, QWidget* parent, QPoint at,
                           const QColor& colour = Qt::white) {
    auto* l = new QLabel(text, parent);
    l->setFont(ArialPx(13));
    l->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour.name()));
    l->move(at);
    l->adjustSize();
    return l;
}

inline QComboBox* EditorList(const QStringList& items, QWidget* parent, const QRect& geometry,
                             const QString& accessibleName) {
    auto* c = new QComboBox(parent);
    c->addItems(items);
    c->setGeometry(geometry);
    c->setFont(ArialPx(13));
    c->setStyleSheet(FieldStyle("QComboBox"));
    c->setAccessibleName(accessibleName);
    return c;
}

} // namespace zx
