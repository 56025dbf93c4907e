#pragma once
// The main menu's shortcuts go before the keys a text field claims for
// itself. Line edits take Ctrl+U (clear the line) and Ctrl+E (end of line)
// on this platform; in the main window those keys belong to "Speichern
// unter..." and "Drucker einrichten...", also while the canvas's hidden key
// field or the box size field has the focus. Only the undo and clipboard
// keys (Ctrl+Z, Y, Shift+Z, X, C, V) and Ctrl+A (select the field's text)
// stay with a visible text field; the
// hidden key field hands them to the menu too.

#include <QObject>
#include <QPointer>

class QMenuBar;
class QWidget;

class MenuShortcutPriority : public QObject {
    Q_OBJECT
public:
    // window: the main window whose fields yield; menus: its menu bar.
    MenuShortcutPriority(QWidget* window, QMenuBar* menus);

    // True when the key combination is the shortcut of an enabled item of
    // the menu bar.
    bool isMenuShortcut(int keyWithModifiers) const;
    // Ctrl+Z, Y, Shift+Z, X, C, V, A.
    static bool isFieldEditKey(int keyWithModifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    QPointer<QMenuBar> m_menus;
};
