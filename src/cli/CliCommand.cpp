#include "cli/CliCommand.h"

#include "cli/CliNumber.h"
#include "base/ErrnoText.h"

std::map<QString, CliCommand>& cliCommands() {
    static std::map<QString, CliCommand> commands;
    return commands;
}

namespace {

QString speaker(const QString& verb) {
    const QString tool = QStringLiteral("faltarillon-cli");
    return verb.isEmpty() ? tool : tool + QLatin1Char(' ') + verb;
}

}  // namespace

void CliContext::message(const QString& text) const {
    err << speaker(verb) << ": " << text << "\n";
    err.flush();
}

int CliContext::fileError(const QString& path, const QString& reason) const {
    message(path + QStringLiteral(": ") + reason);
    return CliFailed;
}

int CliContext::writeError(const QString& path, const QString& reason) const {
    if (reason.startsWith(fileReasonLine(path, QString()))) {
        message(reason);
        return CliFailed;
    }
    return fileError(path, reason.isEmpty() ? QStringLiteral("konnte nicht geschrieben werden") : reason);
}

int CliContext::usageError(const QString& message) const {
    const QString who = speaker(verb);
    err << who << ": " << message << "\n";
    const auto it = cliCommands().find(verb);
    if (it != cliCommands().end()) err << "Aufruf: " << it->second.usageLine(verb) << "\n";
    err << "Mehr mit \"" << who << " --help\".\n";
    err.flush();
    return CliUsage;
}

namespace {

QString number(double v) { return QString::number(v, 'g', 10); }

}  // namespace

bool CliContext::intOption(const QCommandLineParser& args, const QString& name, int low, int high,
                           int& value) const {
    double v = value;
    if (!numberOption(args, name, low, high, v, QString())) return false;
    value = int(v);
    return true;
}

bool CliContext::numberOption(const QCommandLineParser& args, const QString& name, double low, double high,
                              double& value, const QString& what) const {
    if (!args.isSet(name)) return true;
    const QString text = args.value(name);
    const std::optional<double> v = readCliNumber(text, low, high, what.isEmpty());
    if (!v) {
        usageError(QStringLiteral("--%1 erwartet %2 von %3 bis %4, nicht \"%5\".")
                       .arg(name, what.isEmpty() ? QStringLiteral("eine ganze Zahl") : what, number(low),
                            number(high), text));
        return false;
    }
    value = *v;
    return true;
}

bool CliContext::intPairOption(const QCommandLineParser& args, const QString& name, QChar separator, int low,
                               int high, const QString& shape, int& first, int& second) const {
    if (!args.isSet(name)) return true;
    const QString text = args.value(name);
    const QStringList parts = text.split(separator);
    const std::optional<double> a = parts.size() == 2 ? readCliNumber(parts[0], low, high, true) : std::nullopt;
    const std::optional<double> b = parts.size() == 2 ? readCliNumber(parts[1], low, high, true) : std::nullopt;
    if (!a || !b) {
        usageError(QStringLiteral("--%1 erwartet %2 (je %3 bis %4), nicht \"%5\".")
                       .arg(name, shape, number(low), number(high), text));
        return false;
    }
    first = int(*a);
    second = int(*b);
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
