// faltarillon-cli: inspect, convert and render box designs without the window.

#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliCompletion.h"
#include "cli/CliHelp.h"
#include "cli/CliMemory.h"
#include "cli/PrivateRuntimeDir.h"
#include "cli/StandardOutput.h"
#include "base/ErrnoText.h"
#include "base/LibraryMessages.h"
#include "base/SaveFile.h"

#include <QGuiApplication>
#include <QTextStream>

#include <cerrno>
#include <new>

#ifndef FALTARILLON_VERSION
#error "FALTARILLON_VERSION comes from the project version in CMakeLists.txt"
#endif

namespace {

// Written into the build folder, installed as the bash completion.
int writeCompletionFile(const QString& path, QTextStream& err) {
    QString text;
    {
        QTextStream stream(&text);
        writeBashCompletion(stream);
    }
    const SaveResult saved = saveFile(path, text.toUtf8());
    if (saved) return CliOk;
    err << "faltarillon-cli: " << fileReasonLine(path, saved.reason) << "\n";
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
    const int damagedBefore = damagedPictureComplaints();
    int code = CliFailed;
    try {
        code = command.run(parser, ctx);
    } catch (const std::bad_alloc&) {
        // What no estimate foresaw (a picture, a writer's buffer): the
        // verb's file and the reason, not an abort with the library's text.
        const QString path = parser.positionalArguments().value(0);
        if (!path.isEmpty()) return ctx.fileError(path, climemory::OutOfMemoryText);
        ctx.message(climemory::OutOfMemoryText);
        return CliFailed;
    }
    const bool damaged = damagedPictureComplaints() > damagedBefore;
    // The decoders' own lines were dropped; this is what they meant.
    if (damaged) ctx.message(QStringLiteral("Ein Bild ist beschädigt; nur sein lesbarer Teil wurde verwendet."));
    if (code == CliOk && parser.isSet(QStringLiteral("strict")) && (ctx.faults > 0 || damaged)) return CliFailed;
    return code;
}

// Output that never arrived (a full disk behind stdout) makes the run fail.
int finishOutput(QTextStream& out, const StandardOutput& device, const CliContext& ctx, int code) {
    out.flush();
    if (!device.failure() && out.status() == QTextStream::Ok) return code;
    ctx.fileError(QStringLiteral("Standardausgabe"), errnoText(device.failure() ? device.failure() : EIO));
    return code == CliOk ? CliFailed : code;
}

int runTool(const QStringList& arguments, CliContext& ctx) {
    QTextStream& out = ctx.out;
    QTextStream& err = ctx.err;
    // Everything after the verb is the verb's own.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    QCommandLineOption completion(QStringLiteral("write-bash-completion"), QString(), QStringLiteral("DATEI"));
    completion.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({help, version, completion});
    if (!parser.parse(arguments)) {
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

}  // namespace

int main(int argc, char** argv) {
    silenceLibraryMessages();
    // Rendering needs fonts and image plugins but never a display. Desktop
    // sessions export QT_QPA_PLATFORM for their programs; honoured here it
    // would abort every run (and every thumbnail) without that display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const PrivateRuntimeDir runtimeDir;
    // The application takes its own options out of argv (--style among
    // them), so the tool reads the call as it was given.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    QGuiApplication app(argc, argv);
    StandardOutput stdoutDevice;
    QTextStream out(&stdoutDevice);
    QTextStream err(stderr);
    CliContext ctx{out, err, QString()};
    return finishOutput(out, stdoutDevice, ctx, runTool(arguments, ctx));
}
