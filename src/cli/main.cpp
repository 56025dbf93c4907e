// faltarillon-cli: inspect, convert and render box designs without the window.

#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliCompletion.h"
#include "cli/CliHelp.h"
#include "cli/PrivateRuntimeDir.h"

#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

#ifndef FALTARILLON_VERSION
#error "FALTARILLON_VERSION comes from the project version in CMakeLists.txt"
#endif

namespace {

// Written into the build folder, installed as the bash completion.
int writeCompletionFile(const QString& path, QTextStream& err) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        QTextStream stream(&file);
        writeBashCompletion(stream);
        stream.flush();
        if (file.commit()) return CliOk;
    }
    err << "faltarillon-cli: " << path << " konnte nicht geschrieben werden.\n";
    return CliFailed;
}

int runVerb(const QString& name, const CliCommand& command, const QStringList& args, CliContext& ctx) {
    QCommandLineParser parser;
    const QString fault = parseVerbArguments(parser, command, args);
    if (!fault.isEmpty()) return ctx.usageError(fault);
    if (parser.isSet(QStringLiteral("help"))) {
        printVerbHelp(ctx.out, name, command);
        return CliOk;
    }
    return command.run(parser, ctx);
}

}  // namespace

int main(int argc, char** argv) {
    // Rendering needs fonts and image plugins but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const PrivateRuntimeDir runtimeDir;
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliContext ctx{out, err, QString()};

    // Everything after the verb is the verb's own.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    QCommandLineOption completion(QStringLiteral("write-bash-completion"), QString(), QStringLiteral("DATEI"));
    completion.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({help, version, completion});
    if (!parser.parse(app.arguments())) {
        const QStringList unknown = parser.unknownOptionNames();
        return ctx.usageError(unknown.isEmpty() ? QStringLiteral("Ungültiger Aufruf.")
                                                : QStringLiteral("Unbekannte Option %1%2.")
                                                      .arg(unknown.first().size() == 1 ? "-" : "--", unknown.first()));
    }
    if (parser.isSet(completion)) return writeCompletionFile(parser.value(completion), err);
    if (parser.isSet(version)) {
        out << "faltarillon-cli " << FALTARILLON_VERSION << "\n";
        return CliOk;
    }
    QStringList args = parser.positionalArguments();
    if (parser.isSet(help)) {
        printToolHelp(out);
        return CliOk;
    }
    if (args.isEmpty()) return ctx.usageError(QStringLiteral("Es fehlt der Befehl."));

    const QString name = args.takeFirst();
    const auto it = cliCommands().find(name);
    if (it == cliCommands().end()) {
        QStringList verbs;
        for (const auto& [verb, command] : cliCommands()) verbs << verb;
        return ctx.usageError(QStringLiteral("Unbekannter Befehl \"%1\" (bekannt sind %2).")
                                  .arg(name, verbs.join(QStringLiteral(", "))));
    }
    ctx.verb = name;
    return runVerb(name, it->second, args, ctx);
}
