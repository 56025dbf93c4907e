#pragma once
// The "&Bearbeiten" items at work: undo and redo name the step they would
// take and are enabled only when there is one; cut and copy only with a
// current object, paste only when the clipboard holds something to paste.

#include <QObject>

class ArrangeCommands;
class ClipboardCommands;
class EditorController;
class ObjectCommands;
class MainMenu;
struct BoxDocument;

class EditMenuActions : public QObject {
    Q_OBJECT
public:
    EditMenuActions(MainMenu& menu, EditorController& controller, ObjectCommands& commands,
                    ClipboardCommands& clipboard, const BoxDocument& doc, QObject* parent = nullptr);

    // Captions and enabled states from the history, the selection and the
    // clipboard; runs after every repaint and history change.
    void refresh();
    // "A&lles auswählen", "D&uplizieren" and "A&nordnen" run through these.
    void setArrange(ArrangeCommands* arrange);
    // Looks at the clipboard again (it changed hands).
    void clipboardChanged();

private:
    MainMenu& m_menu;
    ObjectCommands& m_commands;
    ClipboardCommands& m_clipboard;
    const BoxDocument& m_doc;
    ArrangeCommands* m_arrange = nullptr;
    // Asking another program for its clipboard costs a round trip: ask when
    // the clipboard changes, not on every repaint.
    bool m_canPaste = false;
};
