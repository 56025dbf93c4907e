// The designer's entry point: application title, the main window, the event
// loop. The one argument, a box file, is opened once the start-up New has
// run (file managers and the launcher pass it); without it the program
// starts with the empty box.
#include "app/AppTitles.h"
#include "app/SDIMain.h"
#include "model/NewDocument.h"

#include <QApplication>
#include <QCommandLineParser>
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

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Gestaltet Faltschachteln in Würfelform und druckt sie."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("DATEI.box"), QStringLiteral("Box, die nach dem Start geöffnet wird"),
                                 QStringLiteral("[DATEI.box]"));
    parser.process(app);

    TSDIAppForm window;
    if (!parser.positionalArguments().isEmpty()) window.setStartupFile(parser.positionalArguments().first());
    window.show();
    return app.exec();
}
