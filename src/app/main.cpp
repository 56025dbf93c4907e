// The designer's entry point: application title, the main window, the event
// loop. The program takes no arguments.
#include "app/AppTitles.h"
#include "app/SDIMain.h"
#include "model/NewDocument.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(appinfo::ApplicationTitle);
    QApplication::setApplicationName(AppTitles::settingsApplication());
    QApplication::setOrganizationName(AppTitles::organisation());
    QApplication::setDesktopFileName(QStringLiteral("faltarillon"));

    TSDIAppForm window;
    window.show();
    return app.exec();
}
