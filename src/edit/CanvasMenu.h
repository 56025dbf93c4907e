#pragma once
// The canvas menu (PBoxPopup), opened by a right click on empty canvas: the
// background image command and paste.

#include <QObject>
#include <QPoint>

class QAction;
class QMenu;
class EditorEnvironment;
class ObjectCommands;
class ClipboardCommands;

class CanvasMenu : public QObject {
    Q_OBJECT
public:
    CanvasMenu(EditorEnvironment& env, ObjectCommands& commands, QObject* parent = nullptr);
    ~CanvasMenu() override;

    void popup(const QPoint& canvasPoint);
    QMenu& menu() { return *m_menu; }

    // Paste runs through these clipboard commands; the item is enabled
    // when the clipboard holds something to paste.
    void setClipboard(ClipboardCommands* clipboard);

    QAction* Hintergrundbild1;
    QAction* Einfgen2;

private:
    EditorEnvironment& m_env;
    ClipboardCommands* m_clipboard = nullptr;
    QMenu* m_menu;
};
