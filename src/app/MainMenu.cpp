#include "app/MainMenu.h"

#include "edit/ArrangeMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

QAction* item(QMenu* menu, const char* name, const QString& caption, const QString& hint,
              const QKeySequence& shortcut = QKeySequence()) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setStatusTip(hint);
    a->setShortcut(shortcut);
    return a;
}

QMenu* submenu(QMenu* menu, const char* name, const QString& caption, const QString& hint) {
    QMenu* sub = menu->addMenu(caption);
    sub->setObjectName(QLatin1String(name));
    sub->menuAction()->setObjectName(QLatin1String(name) + QStringLiteral("Item"));
    sub->menuAction()->setStatusTip(hint);
    return sub;
}

}  // namespace

MainMenu::MainMenu(QMenuBar* bar, QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("MainMenu1"));

    Datei1 = bar->addMenu(QStringLiteral("&Datei"));
    Datei1->setObjectName(QStringLiteral("Datei1"));
    Neu1 = item(Datei1, "Neu1", QStringLiteral("&Neu..."), QStringLiteral("Neue Box erstellen"),
                QKeySequence(Qt::CTRL | Qt::Key_N));
    NeuMitPapierformat1 = item(Datei1, "NeuMitPapierformat1", QStringLiteral("Neu mit &Papierformat..."),
                               QStringLiteral("Neue Box für ein anderes Papierformat"));
    Seriendaten1 = item(Datei1, "Seriendaten1", QStringLiteral("Se&riendaten..."),
                        QStringLiteral("Verknüpft die Box mit einer Tabelle, deren Zeilen je eine Box füllen"));
    OpenItem = item(Datei1, "OpenItem", QStringLiteral("Ö&ffnen..."), QStringLiteral("Box öffnen"),
                    QKeySequence(Qt::CTRL | Qt::Key_O));
    Zuletztgeoeffnet1 = submenu(Datei1, "Zuletztgeoeffnet1", QStringLiteral("&Zuletzt geöffnet"),
                                QStringLiteral("Öffnet eine der zuletzt benutzten Boxen"));
    Beispiele1 = submenu(Datei1, "Beispiele1", QStringLiteral("Beispie&le"),
                         QStringLiteral("Öffnet eine Beispielbox als neue, unbenannte Box"));
    SaveItem = item(Datei1, "SaveItem", QStringLiteral("&Speichern"), QStringLiteral("Aktuelle Box speichern"),
                    QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveAs = item(Datei1, "SaveAs", QStringLiteral("Speichern &unter..."),
                  QStringLiteral("Aktuelle Box unter speziellem Namen speichern"), QKeySequence(Qt::CTRL | Qt::Key_U));
    Exportieren1 = item(Datei1, "Exportieren1", QStringLiteral("E&xportieren..."),
                        QStringLiteral("Exportiert die Box als PDF oder SVG"));
    Datei1->addSeparator();
    Scannerauswhlen1 = item(Datei1, "Scannerauswhlen1", QStringLiteral("Scanner auswählen..."),
                            QStringLiteral("Läßt sie den aktiven Scanner auswählen"));
    Bildeinscanne1 = item(Datei1, "Bildeinscanne1", QStringLiteral("Bild einscannen..."),
                          QStringLiteral("Läßt sie ein Bild einscannen und speichern"));
    Datei1->addSeparator();
    Druckereinrichten1 = item(Datei1, "Druckereinrichten1", QStringLiteral("Drucker &einrichten..."),
                              QStringLiteral("Richtet den Drucker ein"), QKeySequence(Qt::CTRL | Qt::Key_E));
    Drucken1 = item(Datei1, "Drucken1", QStringLiteral("&Drucken..."), QStringLiteral("Druckt die Box"),
                    QKeySequence(Qt::CTRL | Qt::Key_D));
    Schnittdatei1 = item(Datei1, "Schnittdatei1", QStringLiteral("Schnittda&tei speichern..."),
                         QStringLiteral("Speichert die Schnittlinien des Druckblatts für einen Schneideplotter"));
    Datei1->addSeparator();
    ExitItem = item(Datei1, "ExitItem", QStringLiteral("&Beenden"), QStringLiteral("Anwendung verlassen"),
                    QKeySequence(Qt::ALT | Qt::Key_X));

    Bearbeiten1 = bar->addMenu(QStringLiteral("&Bearbeiten"));
    Bearbeiten1->setObjectName(QStringLiteral("Bearbeiten1"));
    Rckgngig1 = item(Bearbeiten1, "Rckgngig1", QStringLiteral("&Rückgängig"),
                     QStringLiteral("Macht den letzten Schritt rückgängig"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    Wiederholen1 = item(Bearbeiten1, "Wiederholen1", QStringLiteral("&Wiederholen"),
                        QStringLiteral("Wiederholt den zuletzt rückgängig gemachten Schritt"),
                        QKeySequence(Qt::CTRL | Qt::Key_Y));
    Wiederholen1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    Bearbeiten1->addSeparator();
    Ausschneiden1 = item(Bearbeiten1, "Ausschneiden1", QStringLiteral("&Ausschneiden"),
                         QStringLiteral("Schneidet das Objekt aus und legt es in die Zwischenablage"),
                         QKeySequence(Qt::CTRL | Qt::Key_X));
    Kopieren1 = item(Bearbeiten1, "Kopieren1", QStringLiteral("&Kopieren"),
                     QStringLiteral("Kopiert das Objekt in die Zwischenablage"), QKeySequence(Qt::CTRL | Qt::Key_C));
    Einfgen1 = item(Bearbeiten1, "Einfgen1", QStringLiteral("&Einfügen"),
                    QStringLiteral("Fügt den Inhalt der Zwischenablage ein"), QKeySequence(Qt::CTRL | Qt::Key_V));
    AllesAuswaehlen1 = item(Bearbeiten1, "AllesAuswaehlen1", QStringLiteral("A&lles auswählen"),
                            QStringLiteral("Wählt alle Objekte aus, die nicht gesperrt sind"),
                            QKeySequence(Qt::CTRL | Qt::Key_A));
    // No shortcut: Ctrl+D prints.
    Duplizieren1 = item(Bearbeiten1, "Duplizieren1", QStringLiteral("D&uplizieren"),
                        QStringLiteral("Legt eine Kopie der ausgewählten Objekte daneben"));
    Bearbeiten1->addSeparator();
    Anordnen1 = submenu(Bearbeiten1, "Anordnen1", QStringLiteral("A&nordnen"),
                        QStringLiteral("Richtet die ausgewählten Objekte aus, verteilt, gruppiert oder sperrt sie"));
    AnordnenItems = new ArrangeMenu(Anordnen1, true, this);

    Einstellungen1 = bar->addMenu(QStringLiteral("&Einstellungen"));
    Einstellungen1->setObjectName(QStringLiteral("Einstellungen1"));
    Hintergrundbild2 = item(Einstellungen1, "Hintergrundbild2", QStringLiteral("&Hintergrundbild..."),
                            QStringLiteral("Ändert die Einstellungen des Hintergrundbildes"),
                            QKeySequence(Qt::CTRL | Qt::Key_H));
    NetzBeschriften1 = item(Einstellungen1, "NetzBeschriften1", QStringLiteral("&Seiten im Netz beschriften"),
                            QStringLiteral("Zeigt im Editor, welche Seite der Box jede Fläche wird"));
    NetzBeschriften1->setCheckable(true);
    Boxform1 = item(Einstellungen1, "Boxform1", QStringLiteral("Box&form..."),
                    QStringLiteral("Legt Form und Maße der Box fest"));
    NetzEinrasten1 = item(Einstellungen1, "NetzEinrasten1", QStringLiteral("Am &Netz einrasten"),
                          QStringLiteral("Richtet Objekte beim Ziehen an Flächen, Falzen und anderen Objekten aus"));
    NetzEinrasten1->setCheckable(true);

    Hilfe1 = bar->addMenu(QStringLiteral("&Hilfe"));
    Hilfe1->setObjectName(QStringLiteral("Hilfe1"));
    About1 = item(Hilfe1, "About1", QStringLiteral("Inf&o..."), QStringLiteral("Informationen über das Programm"),
                  QKeySequence(Qt::CTRL | Qt::Key_I));
}
