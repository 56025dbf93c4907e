#include "edit/CanvasMenu.h"

#include "edit/EditorEnvironment.h"
#include "edit/MenuHints.h"
#include "edit/ObjectCommands.h"

#include <QAction>
#include <QMenu>

CanvasMenu::CanvasMenu(EditorEnvironment& env, ObjectCommands& commands, QObject* parent)
    : QObject(parent), m_env(env), m_menu(new QMenu) {
    m_menu->setObjectName(QStringLiteral("PBoxPopup"));
    forwardMenuHints(m_menu);
    m_menu->setToolTipsVisible(true);
    Hintergrundbild1 = m_menu->addAction(QStringLiteral("&Hintergrundbild..."));
    Hintergrundbild1->setObjectName(QStringLiteral("Hintergrundbild1"));
    Hintergrundbild1->setStatusTip(QStringLiteral("Ändert die Einstellungen des Hintergrundbildes"));
    connect(Hintergrundbild1, &QAction::triggered, this, [&commands] { commands.editBackground(); });
}

CanvasMenu::~CanvasMenu() { delete m_menu; }

void CanvasMenu::popup(const QPoint& canvasPoint) { m_env.popupMenu(*m_menu, canvasPoint); }
