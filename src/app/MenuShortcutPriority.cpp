#include "app/MenuShortcutPriority.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

MenuShortcutPriority::MenuShortcutPriority(QWidget* window, QMenuBar* menus)
    : QObject(window), m_window(window), m_menus(menus) {
    setObjectName(QStringLiteral("MenuShortcutPriority"));
    // Shortcut overrides go to whichever field has the focus, including
    // fields made later: watch them all, answer only for this window's.
    qApp->installEventFilter(this);
}

bool MenuShortcutPriority::isMenuShortcut(int keyWithModifiers) const {
    if (!m_menus) return false;
    const QKeySequence pressed(keyWithModifiers);
    for (QAction* top : m_menus->actions()) {
        const QMenu* menu = top->menu();
        if (!menu) continue;
        for (QAction* a : menu->actions()) {
            if (a->isEnabled() && !a->shortcut().isEmpty() && a->shortcut().matches(pressed) == QKeySequence::ExactMatch)
                return true;
        }
    }
    return false;
}

bool MenuShortcutPriority::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride || !m_window || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != m_window) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const int combination = key->key() | int(key->modifiers() & ~Qt::KeypadModifier);
    if (!isMenuShortcut(combination)) return QObject::eventFilter(watched, event);
    // Not overridden: the shortcut map runs the menu item.
    event->ignore();
    return true;
}
