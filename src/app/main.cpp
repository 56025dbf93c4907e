// The designer's entry point: application title, the main window, the event
// loop. The program takes no arguments.
#include "app/AppTitles.h"
#include "app/SDIMain.h"
#include "model/NewDocument.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The application title. Set as the name, not the display name: X11
    // would append a display name to every window caption.
    QApplication::setApplicationName(appinfo::ApplicationTitle);
    QApplication::setOrganizationName(AppTitles::organisation());
    QApplication::setDesktopFileName(QStringLiteral("faltarillon"));

    // The program speaks German: the toolkit's own buttons and dialogs too
    // ("Ja", "Nein", "Abbrechen").
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&toolkitTexts);

    TSDIAppForm window;
    window.show();
    return app.exec();
}
