#include "app/MenuShortcutPriority.h"

#include "edit/KeyEdit.h"

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
            if (!a->isEnabled()) continue;
            for (const QKeySequence& shortcut : a->shortcuts())
                if (shortcut.matches(pressed) == QKeySequence::ExactMatch) return true;
        }
    }
    return false;
}

bool MenuShortcutPriority::isFieldEditKey(int keyWithModifiers) {
    static const int keys[] = {
        int(Qt::CTRL | Qt::Key_Z), int(Qt::CTRL | Qt::Key_Y), int(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
        int(Qt::CTRL | Qt::Key_X), int(Qt::CTRL | Qt::Key_C), int(Qt::CTRL | Qt::Key_V), int(Qt::CTRL | Qt::Key_A)};
    for (int k : keys)
        if (k == keyWithModifiers) return true;
    return false;
}

bool MenuShortcutPriority::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride || !m_window || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != m_window) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const int combination = key->key() | int(key->modifiers() & ~Qt::KeypadModifier);
    // A visible text field keeps its own undo and clipboard keys; the hidden
    // key field of the editor hands them to the menu.
    if (isFieldEditKey(combination) && !qobject_cast<KeyEdit*>(widget))
        return QObject::eventFilter(watched, event);
    if (!isMenuShortcut(combination)) return QObject::eventFilter(watched, event);
    // Not overridden: the shortcut map runs the menu item.
    event->ignore();
    return true;
}
