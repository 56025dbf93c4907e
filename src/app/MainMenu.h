#pragma once
// The main menu: "&Datei", "&Bearbeiten", "&Einstellungen", "&Hilfe" with their items,
// shortcuts and status bar hints. The window connects the actions.

#include <QObject>

class QAction;
class QMenu;
class ArrangeMenu;
class QMenuBar;

class MainMenu : public QObject {
    Q_OBJECT
public:
    MainMenu(QMenuBar* bar, QObject* parent = nullptr);

    QMenu* Datei1 = nullptr;
    QMenu* Bearbeiten1 = nullptr;
    QMenu* Einstellungen1 = nullptr;
    QMenu* Hilfe1 = nullptr;
    QMenu* Zuletztgeoeffnet1 = nullptr;   // filled by RecentFilesMenu
    QMenu* Beispiele1 = nullptr;          // filled by SamplesMenu

    QAction* Neu1 = nullptr;
    QAction* NeuMitPapierformat1 = nullptr;
    QAction* Seriendaten1 = nullptr;
    QAction* OpenItem = nullptr;
    QAction* SaveItem = nullptr;
    QAction* SaveAs = nullptr;
    QAction* Exportieren1 = nullptr;
    QAction* Scannerauswhlen1 = nullptr;
    QAction* Bildeinscanne1 = nullptr;
    QAction* Druckereinrichten1 = nullptr;
    QAction* Drucken1 = nullptr;
    QAction* Schnittdatei1 = nullptr;
    QAction* ExitItem = nullptr;
    QAction* Rckgngig1 = nullptr;
    QAction* Wiederholen1 = nullptr;
    QAction* Ausschneiden1 = nullptr;
    QAction* Kopieren1 = nullptr;
    QAction* Einfgen1 = nullptr;
    QAction* AllesAuswaehlen1 = nullptr;
    QAction* Duplizieren1 = nullptr;
    QMenu* Anordnen1 = nullptr;
    ArrangeMenu* AnordnenItems = nullptr;
    QAction* Hintergrundbild2 = nullptr;
    QAction* NetzBeschriften1 = nullptr;   // check mark, off at start
    QAction* Boxform1 = nullptr;
    QAction* NetzEinrasten1 = nullptr;     // check mark, as the user last left it
    QAction* About1 = nullptr;
};
