#include "cli/CliArguments.h"

namespace {

const QCommandLineOption* findOption(const QList<QCommandLineOption>& options, const QString& name) {
    for (const QCommandLineOption& o : options)
        if (o.names().contains(name)) return &o;
    return nullptr;
}

QString dashed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// QCommandLineParser only explains its faults in English; find the argument
// it stumbled over the same way it reads them.
QString explainParseError(const QCommandLineParser& parser, const QList<QCommandLineOption>& options,
                          const QStringList& args) {
    const QStringList unknown = parser.unknownOptionNames();
    for (const QString& arg : args) {
        if (arg == QLatin1String("--")) break;
        if (!arg.startsWith(QLatin1Char('-')) || arg.size() < 2) continue;
        const bool isLong = arg.startsWith(QLatin1String("--"));
        const QString word = arg.section(QLatin1Char('='), 0, 0);
        const QString name = word.mid(isLong ? 2 : 1);
        if (!unknown.isEmpty()) {
            const bool hit = isLong ? unknown.contains(name)
                                    : std::any_of(unknown.begin(), unknown.end(),
                                                  [&](const QString& u) { return name.contains(u); });
            if (hit) return QStringLiteral("Unbekannte Option %1.").arg(word);
            continue;
        }
        const QCommandLineOption* option = findOption(options, isLong ? name : name.left(1));
        if (!option) continue;
        const bool takesValue = !option->valueName().isEmpty();
        if (!takesValue && isLong && arg.contains(QLatin1Char('=')))
            return QStringLiteral("Die Option %1 nimmt keinen Wert.").arg(word);
        if (takesValue && !arg.contains(QLatin1Char('=')) && &arg == &args.last())
            return QStringLiteral("Nach %1 fehlt der Wert (%2).").arg(word, option->valueName());
    }
    return QStringLiteral("Ungültiger Aufruf (%1).").arg(parser.errorText());
}

}  // namespace

QCommandLineOption cliHelpOption() {
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("zeigt diese Hilfe"));
}

QCommandLineOption cliStrictOption() {
    return QCommandLineOption(QStringLiteral("strict"),
                              QStringLiteral("endet mit 1, wenn ein Bild der Box fehlt oder beschädigt ist"));
}

QString parseVerbArguments(QCommandLineParser& parser, const CliCommand& command, const QStringList& args) {
    QList<QCommandLineOption> options = command.options;
    options << cliHelpOption();
    parser.addOptions(options);
    if (!parser.parse(QStringList{QStringLiteral("faltarillon-cli")} + args))
        return explainParseError(parser, options, args);
    if (parser.isSet(QStringLiteral("help"))) return QString();

    const QStringList given = parser.positionalArguments();
    if (given.size() < command.requiredArguments())
        return QStringLiteral("Es fehlt das Argument %1.").arg(command.arguments.at(given.size()));
    if (given.size() > command.arguments.size())
        return QStringLiteral("Zu viele Argumente: %1.").arg(given.mid(command.arguments.size()).join(QLatin1Char(' ')));
    return QString();
}
