#pragma once
// Verbs of faltarillon-cli register themselves here, one file each, with the
// options they accept declared next to their code. The help texts, the
// argument checks and the bash completion are all made from these tables, so
// a new verb or option needs no edit anywhere else.
//
//   const CliCommandRegistrar registrar(QStringLiteral("new"), CliCommand{
//       {QStringLiteral("AUS.box")},                        // arguments, "[NAME]" optional
//       QStringLiteral("schreibt die leere Box ..."),       // one line for the verb list
//       {{QStringLiteral("dpi"), QStringLiteral("..."), QStringLiteral("N")}},
//       runNew});
//
// An option's value name may list the allowed values ("A4|A3|A5"); the help
// shows them and the completion offers them. A value name with DATEI or
// ORDNER in it completes file names.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <map>

// 0 the work is done, 1 it failed (unreadable file, full disk, no scanner),
// 2 the call itself was wrong (unknown option, missing argument, bad value).
enum CliExit { CliOk = 0, CliFailed = 1, CliUsage = 2 };

struct CliContext {
    QTextStream& out;
    QTextStream& err;
    QString verb;
    int faults = 0;   // files reported by the prompter (see CliPrompter)

    // A wrong call: "faltarillon-cli VERB: message" and where the help is; returns CliUsage.
    int usageError(const QString& message) const;
    // "faltarillon-cli VERB: message" on stderr.
    void message(const QString& text) const;
    // A file that could not be read or written, "faltarillon-cli VERB: PATH: reason",
    // the reason in the wording of base/ErrnoText.h. Returns CliFailed.
    int fileError(const QString& path, const QString& reason) const;
    // fileError for an output; without a reason the writer gave none. A
    // writer's own "PATH: reason" line is said as it stands.
    int writeError(const QString& path, const QString& reason = QString()) const;
    // The value of a numeric option within [low, high], read by readCliNumber;
    // on a bad value reports it as a usage error and returns false. An absent
    // option leaves value alone. what names the value ("Millimeter").
    bool intOption(const QCommandLineParser& args, const QString& name, int low, int high, int& value) const;
    bool numberOption(const QCommandLineParser& args, const QString& name, double low, double high, double& value,
                      const QString& what) const;
    // Two whole numbers in one value, "800x600" or "10,20", each within [low, high].
    bool intPairOption(const QCommandLineParser& args, const QString& name, QChar separator, int low, int high,
                       const QString& shape, int& first, int& second) const;
};

using CliRunner = std::function<int(const QCommandLineParser& args, CliContext& ctx)>;

struct CliCommand {
    QStringList arguments;  // positional arguments as the usage line names them
    QString summary;
    QList<QCommandLineOption> options;
    CliRunner run;

    int requiredArguments() const;
    QString usageLine(const QString& name) const;
};

std::map<QString, CliCommand>& cliCommands();

struct CliCommandRegistrar {
    CliCommandRegistrar(const QString& name, CliCommand command) {
        cliCommands()[name] = std::move(command);
    }
};
