#include "app/EditMenuActions.h"

#include "app/MainMenu.h"
#include "edit/ArrangeCommands.h"
#include "edit/ArrangeMenu.h"
#include "edit/ClipboardCommands.h"
#include "edit/EditorController.h"
#include "edit/ObjectCommands.h"
#include "model/BoxDocument.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

EditMenuActions::EditMenuActions(MainMenu& menu, EditorController& controller, ObjectCommands& commands,
                                 ClipboardCommands& clipboard, const BoxDocument& doc, QObject* parent)
    : QObject(parent), m_menu(menu), m_commands(commands), m_clipboard(clipboard), m_doc(doc) {
    setObjectName(QStringLiteral("EditMenuActions"));
    connect(menu.Rckgngig1, &QAction::triggered, this, [&controller] { controller.undo(); });
    connect(menu.Wiederholen1, &QAction::triggered, this, [&controller] { controller.redo(); });
    connect(menu.Ausschneiden1, &QAction::triggered, this, [&clipboard] { clipboard.cut(); });
    connect(menu.Kopieren1, &QAction::triggered, this, [&clipboard] { clipboard.copy(); });
    connect(menu.Einfgen1, &QAction::triggered, this, [&clipboard] { clipboard.paste(); });
    connect(menu.AllesAuswaehlen1, &QAction::triggered, this, [&controller] { controller.selectAll(); });
    connect(menu.Duplizieren1, &QAction::triggered, this, [this] {
        if (m_arrange) m_arrange->duplicate();
    });
    QUndoStack& stack = commands.history().stack();
    connect(&stack, &QUndoStack::indexChanged, this, [this] { refresh(); });
    connect(&stack, &QUndoStack::cleanChanged, this, [this] { refresh(); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &EditMenuActions::clipboardChanged);
    clipboardChanged();
}

void EditMenuActions::setArrange(ArrangeCommands* arrange) {
    m_arrange = arrange;
    m_menu.AnordnenItems->setCommands(arrange);
    refresh();
}

void EditMenuActions::clipboardChanged() {
    m_canPaste = m_clipboard.canPaste();
    refresh();
}

void EditMenuActions::refresh() {
    const DocumentHistory& history = m_commands.history();
    m_menu.Rckgngig1->setEnabled(history.canUndo());
    m_menu.Rckgngig1->setText(history.canUndo() ? QStringLiteral("&Rückgängig: ") + history.undoName()
                                                : QStringLiteral("&Rückgängig"));
    m_menu.Wiederholen1->setEnabled(history.canRedo());
    m_menu.Wiederholen1->setText(history.canRedo() ? QStringLiteral("&Wiederholen: ") + history.redoName()
                                                   : QStringLiteral("&Wiederholen"));
    const bool current = ObjectTable::isValidSlot(m_doc.CurrentObject) && !m_doc.Objects[m_doc.CurrentObject].isFree();
    m_menu.Ausschneiden1->setEnabled(current);
    m_menu.Kopieren1->setEnabled(current);
    m_menu.Einfgen1->setEnabled(m_canPaste);
    m_menu.Duplizieren1->setEnabled(current);
    // The shortcuts of Anordnen work only while their items are enabled.
    m_menu.AnordnenItems->refresh();
}
