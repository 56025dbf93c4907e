// faltarillon-cli: inspect, convert and render box designs without the window.

#include "cli/CliCommand.h"

#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

std::map<QString, CliCommand>& cliCommands() {
    static std::map<QString, CliCommand> commands;
    return commands;
}

static void printHelp(QTextStream& out) {
    out << "faltarillon-cli - Faltarillon-Designer auf der Kommandozeile\n\n";
    out << "Aufruf: faltarillon-cli BEFEHL [ARGUMENTE]\n\n";
    for (const auto& [name, cmd] : cliCommands())
        out << "  " << cmd.usage << "\n      " << cmd.summary << "\n";
}

int main(int argc, char** argv) {
    // Rendering needs fonts and image plugins but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == "--help" || args.first() == "-h" || args.first() == "help") {
        printHelp(out);
        return args.isEmpty() ? 1 : 0;
    }
    const QString name = args.takeFirst();
    auto it = cliCommands().find(name);
    if (it == cliCommands().end()) {
        err << "Unbekannter Befehl: " << name << "\n";
        printHelp(err);
        return 1;
    }
    CliContext ctx{out, err};
    return it->second.run(args, ctx);
}
