#pragma once
// The object menu (PopupMenu1): the commands on the current object, opened
// by a right click on an object. Items are enabled and checked to fit the
// object's kind each time it opens.

#include <QObject>

class QAction;
class QMenu;
class EditorEnvironment;
class ObjectCommands;
class ClipboardCommands;
class ArrangeCommands;
class ArrangeMenu;

class ObjectMenu : public QObject {
    Q_OBJECT
public:
    ObjectMenu(EditorEnvironment& env, ObjectCommands& commands, QObject* parent = nullptr);
    ~ObjectMenu() override;

    // Prepares the items for the current object and opens the menu at the
    // canvas point. Nothing when no object is current.
    void PopItUp(int x, int y);
    // Only the enabling and checking of PopItUp (also used by tests).
    void prepareFor(int slot);

    QMenu& menu() { return *m_menu; }
    // Items by their component names (Lschen1, FarbeM, KreisM, ...).
    QAction* item(const char* name) const;
    // Cut and copy run through these clipboard commands.
    void setClipboard(ClipboardCommands* clipboard);
    // The items of "A&nordnen" run through these commands.
    void setArrange(ArrangeCommands* arrange);

    QAction* Lschen1;
    QAction* Ausschneiden2;
    QAction* Kopieren2;
    QAction* Nachvorne1;
    QAction* NachHinen1;
    QAction* FarbeM;
    QAction* SchriftartM;
    QAction* Texteffekte1;
    QAction* Linksbnig1;
    QAction* Zentriert1;
    QAction* Rechtsbndig1;
    QAction* Transparenz1;
    QAction* SverhM;
    QAction* Nachlinksrotieren1;
    QAction* Nachrechtsrotieren1;
    QMenu* AufFlaeche;   // submenu "Auf Fläche"
    QAction* FlZentrieren;
    QAction* FlEinpassen;
    QAction* FlFuellen;
    QAction* FlAufrecht;
    QMenu* Anordnen;     // submenu "A&nordnen"
    ArrangeMenu* AnordnenItems;
    QAction* ShapeItems[10];   // KreisM ... Linieschrgrunter1, by shape code

private:
    EditorEnvironment& m_env;
    ObjectCommands& m_commands;
    ClipboardCommands* m_clipboard = nullptr;
    QMenu* m_menu;
};
