#include "edit/CanvasMenu.h"

#include "edit/ClipboardCommands.h"
#include "edit/EditorEnvironment.h"
#include "edit/MenuHints.h"
#include "edit/ObjectCommands.h"

#include <QAction>
#include <QMenu>

CanvasMenu::CanvasMenu(EditorEnvironment& env, ObjectCommands& commands, QObject* parent)
    : QObject(parent), m_env(env), m_menu(new QMenu) {
    m_menu->setObjectName(QStringLiteral("PBoxPopup"));
    forwardMenuHints(m_menu);
    Hintergrundbild1 = m_menu->addAction(QStringLiteral("&Hintergrundbild..."));
    Hintergrundbild1->setObjectName(QStringLiteral("Hintergrundbild1"));
    Hintergrundbild1->setStatusTip(QStringLiteral("Ändert die Einstellungen des Hintergrundbildes"));
    connect(Hintergrundbild1, &QAction::triggered, this, [&commands] { commands.editBackground(); });
    Einfgen2 = m_menu->addAction(QStringLiteral("&Einfügen"));
    Einfgen2->setObjectName(QStringLiteral("Einfgen2"));
    Einfgen2->setStatusTip(QStringLiteral("Fügt den Inhalt der Zwischenablage ein"));
    Einfgen2->setEnabled(false);
    connect(Einfgen2, &QAction::triggered, this, [this] {
        if (m_clipboard) m_clipboard->paste();
    });
}

void CanvasMenu::setClipboard(ClipboardCommands* clipboard) { m_clipboard = clipboard; }

CanvasMenu::~CanvasMenu() { delete m_menu; }

void CanvasMenu::popup(const QPoint& canvasPoint) {
    Einfgen2->setEnabled(m_clipboard && m_clipboard->canPaste());
    m_env.popupMenu(*m_menu, canvasPoint);
}
