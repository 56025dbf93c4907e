#include "cli/CliCommand.h"

std::map<QString, CliCommand>& cliCommands() {
    static std::map<QString, CliCommand> commands;
    return commands;
}

int CliContext::usageError(const QString& message) const {
    const QString tool = QStringLiteral("faltarillon-cli");
    const QString who = verb.isEmpty() ? tool : tool + QLatin1Char(' ') + verb;
    err << who << ": " << message << "\n";
    const auto it = cliCommands().find(verb);
    if (it != cliCommands().end()) err << "Aufruf: " << it->second.usageLine(verb) << "\n";
    err << "Mehr mit \"" << who << " --help\".\n";
    err.flush();
    return CliUsage;
}

bool CliContext::intOption(const QCommandLineParser& args, const QString& name, int low, int high,
                           int& value) const {
    if (!args.isSet(name)) return true;
    const QString text = args.value(name);
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high) {
        usageError(QStringLiteral("--%1 erwartet eine Zahl von %2 bis %3, nicht \"%4\".")
                       .arg(name)
                       .arg(low)
                       .arg(high)
                       .arg(text));
        return false;
    }
    value = v;
    return true;
}

int CliCommand::requiredArguments() const {
    int n = 0;
    for (const QString& a : arguments)
        if (!a.startsWith(QLatin1Char('['))) ++n;
    return n;
}

QString CliCommand::usageLine(const QString& name) const {
    QString line = QStringLiteral("faltarillon-cli ") + name + QStringLiteral(" [OPTIONEN]");
    for (const QString& a : arguments) line += QLatin1Char(' ') + a;
    return line;
}
