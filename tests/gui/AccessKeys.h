#pragma once

// The access keys (Alt + the letter after "&") of a window and of its menus, and the pairs of
// controls that claim the same key where both can be pressed at once.

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

namespace accesskeys {

struct Claim {
    QKeySequence key;
    QString what;
    // The pages the control sits on: (a tab widget, stack or MDI area, the page's index there). Of
    // the pages of one container only the current one takes keys.
    QList<QPair<const QWidget*, int>> pages;
};

inline QString describe(const QObject* o, const QString& text) {
    const QString name = o->objectName().isEmpty() ? QLatin1String(o->metaObject()->className()) : o->objectName();
    return QStringLiteral("%1 \"%2\"").arg(name, text);
}

inline QList<QPair<const QWidget*, int>> pagesOf(const QWidget* w) {
    QList<QPair<const QWidget*, int>> pages;
    for (const QWidget* child = w; child && !child->isWindow(); child = child->parentWidget()) {
        const QWidget* parent = child->parentWidget();
        if (auto* sub = qobject_cast<const QMdiSubWindow*>(child); sub && sub->mdiArea())
            pages.append(
                {sub->mdiArea(), int(sub->mdiArea()->subWindowList().indexOf(const_cast<QMdiSubWindow*>(sub)))});
        // A tab widget's pages sit in a stack of its own.
        if (auto* stack = qobject_cast<const QStackedWidget*>(parent)) {
            const QWidget* owner =
                qobject_cast<const QTabWidget*>(stack->parentWidget()) ? stack->parentWidget() : stack;
            pages.append({owner, stack->indexOf(const_cast<QWidget*>(child))});
        }
    }
    return pages;
}

inline void claim(QList<Claim>& claims, const QString& text, const QObject* owner, const QWidget* at) {
    const QKeySequence key = QKeySequence::mnemonic(text);
    if (!key.isEmpty())
        claims.append({key, describe(owner, text), pagesOf(at)});
}

// Every control of the window that answers an access key, hidden and disabled ones too (a button
// that comes up or is enabled later claims its key then).
inline QList<Claim> claimsOf(QWidget* window) {
    QList<Claim> claims;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() != window)
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            claim(claims, button->text(), button, w);
        else if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy())
            claim(claims, label->text(), label, w);
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            claim(claims, group->title(), group, w);
        else if (auto* bar = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < bar->count(); ++i)
                claim(claims, bar->tabText(i), bar, w);
        else if (auto* menus = qobject_cast<QMenuBar*>(w))
            for (QAction* a : menus->actions())
                claim(claims, a->text(), a, w);
    }
    return claims;
}

inline bool together(const Claim& a, const Claim& b) {
    for (const auto& [container, page] : a.pages)
        for (const auto& [other, otherPage] : b.pages)
            if (container == other && page != otherPage)
                return false;
    return true;
}

inline QStringList clashesAmong(const QString& where, const QList<Claim>& claims) {
    QStringList clashes;
    for (qsizetype i = 0; i < claims.size(); ++i)
        for (qsizetype j = i + 1; j < claims.size(); ++j)
            if (claims[i].key == claims[j].key && together(claims[i], claims[j]))
                clashes << QStringLiteral("%1: %2 for %3 and %4")
                               .arg(where, claims[i].key.toString(QKeySequence::PortableText), claims[i].what,
                                    claims[j].what);
    return clashes;
}

// The clashes of the window's controls (its menu bar's menus included, each entry against the
// others of its own menu).
inline QStringList clashesIn(QWidget* window) {
    const QString where =
        window->objectName().isEmpty() ? QLatin1String(window->metaObject()->className()) : window->objectName();
    return clashesAmong(where, claimsOf(window));
}

// The clashes within a menu and, one level at a time, within each of its submenus.
inline QStringList clashesInMenu(QMenu* menu) {
    QList<Claim> claims;
    QStringList clashes;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator() || !a->isVisible())
            continue;
        claim(claims, a->text(), a, menu);
        if (a->menu())
            clashes << clashesInMenu(a->menu());
    }
    const QString where = menu->objectName().isEmpty() ? menu->title() : menu->objectName();
    return clashesAmong(where, claims) + clashes;
}

} // namespace accesskeys
