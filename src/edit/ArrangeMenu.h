#pragma once
// The items of "A&nordnen", built into a menu: the one in "&Bearbeiten"
// carries the shortcuts, the one in the object menu only shows them.

#include <QObject>

class QAction;
class QMenu;
class ArrangeCommands;

class ArrangeMenu : public QObject {
    Q_OBJECT
public:
    // Adds the items to `menu`. Without live shortcuts the keys only label
    // the items (the menu bar's copy runs them).
    ArrangeMenu(QMenu* menu, bool liveShortcuts, QObject* parent = nullptr);

    void setCommands(ArrangeCommands* commands) { m_commands = commands; }
    // Enables the items the selection allows.
    void refresh();

    QMenu* menu() const { return m_menu; }
    QAction* LinksAusrichten;
    QAction* HorizontalZentrieren;
    QAction* RechtsAusrichten;
    QAction* ObenAusrichten;
    QAction* VertikalZentrieren;
    QAction* UntenAusrichten;
    QAction* HorizontalVerteilen;
    QAction* VertikalVerteilen;
    QAction* Gruppieren;
    QAction* GruppierungAufheben;
    QAction* Sperren;
    QAction* AlleEntsperren;

private:
    QMenu* m_menu;
    ArrangeCommands* m_commands = nullptr;
};
