#pragma once
// The canvas menu (PBoxPopup), opened by a right click on empty canvas: the
// background image command.

#include <QObject>
#include <QPoint>

class QAction;
class QMenu;
class EditorEnvironment;
class ObjectCommands;

class CanvasMenu : public QObject {
    Q_OBJECT
public:
    CanvasMenu(EditorEnvironment& env, ObjectCommands& commands, QObject* parent = nullptr);
    ~CanvasMenu() override;

    void popup(const QPoint& canvasPoint);
    QMenu& menu() { return *m_menu; }

    QAction* Hintergrundbild1;

private:
    EditorEnvironment& m_env;
    QMenu* m_menu;
};
