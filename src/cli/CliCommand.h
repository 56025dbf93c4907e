#pragma once
// Sub-commands of faltarillon-cli register themselves here, one file each.

#include <QStringList>
#include <QTextStream>
#include <functional>
#include <map>

struct CliContext {
    QTextStream& out;
    QTextStream& err;
};

using CliRunner = std::function<int(const QStringList& args, CliContext& ctx)>;

struct CliCommand {
    QString usage;     // one line: "info FILE.box"
    QString summary;   // what it does
    CliRunner run;
};

std::map<QString, CliCommand>& cliCommands();

struct CliCommandRegistrar {
    CliCommandRegistrar(const QString& name, const QString& usage, const QString& summary,
                        CliRunner run) {
        cliCommands()[name] = CliCommand{usage, summary, std::move(run)};
    }
};
