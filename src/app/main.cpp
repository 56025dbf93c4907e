// The designer's entry point: application title, the main window, the event
// loop. The one argument, a box file, is opened once the start-up New has
// run (file managers and the launcher pass it); without it the program
// starts with the empty box.
#include "app/AppTitles.h"
#include "app/GuardedApplication.h"
#include "app/SDIMain.h"
#include "base/LibraryMessages.h"
#include "model/NewDocument.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QTranslator>

#ifndef FALTARILLON_VERSION
#error "FALTARILLON_VERSION comes from the project version in CMakeLists.txt"
#endif

namespace {

void installToolkitTexts(QCoreApplication& app, QTranslator& texts) {
    // The program speaks German: the toolkit's own buttons and dialogs too
    // ("Ja", "Nein", "Abbrechen"), and the lines of --help.
    if (texts.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&texts);
}

// Whether the call only asks for the help or the version. Those are
// answered before the window system is reached: they must work without a
// display, from a terminal or a packaging script. Everything else, Qt's own
// options such as -platform included, is read once the application is up.
bool asksForHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--") break;
        if (arg == "-h" || arg == "--help" || arg == "-v" || arg == "--version")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    silenceLibraryMessages();
    QCoreApplication::setApplicationVersion(QStringLiteral(FALTARILLON_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Gestaltet Faltschachteln in Würfelform und druckt sie."));
    // Own help and version options: Qt's describe themselves in English.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("zeigt diese Hilfe und endet"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("zeigt die Version und endet"));
    parser.addOptions({help, version});
    parser.addPositionalArgument(QStringLiteral("DATEI.box"), QStringLiteral("Box, die nach dem Start geöffnet wird"),
                                 QStringLiteral("[DATEI.box]"));
    if (asksForHelpOrVersion(argc, argv)) {
        QCoreApplication answer(argc, argv);
        QTranslator texts;
        installToolkitTexts(answer, texts);
        parser.process(answer);   // a wrong call ends the process here
        if (parser.isSet(version)) parser.showVersion();
        parser.showHelp(0);
    }

    GuardedApplication app(argc, argv);
    // The application title. Set as the name, not the display name: X11
    // would append a display name to every window caption.
    QApplication::setApplicationName(appinfo::ApplicationTitle);
    QApplication::setOrganizationName(AppTitles::organisation());
    QApplication::setDesktopFileName(QStringLiteral("faltarillon"));
    QTranslator toolkitTexts;
    installToolkitTexts(app, toolkitTexts);
    parser.process(app);

    TSDIAppForm window;
    app.setWindow(&window);
    if (!parser.positionalArguments().isEmpty()) window.setStartupFile(parser.positionalArguments().first());
    window.show();
    return app.exec();
}
