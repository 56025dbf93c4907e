#include "cli/CliHelp.h"

#include "cli/CliArguments.h"

namespace {

constexpr int LineWidth = 79;

// "  -h, --help" or "      --dpi <N>", aligned like the GNU tools do it.
QString optionColumn(const QCommandLineOption& option) {
    QStringList shorts, longs;
    for (const QString& n : option.names()) (n.size() == 1 ? shorts : longs) << n;
    QStringList parts;
    for (const QString& s : shorts) parts << QLatin1Char('-') + s;
    for (const QString& l : longs) parts << QStringLiteral("--") + l;
    QString column = (shorts.isEmpty() ? QStringLiteral("      ") : QStringLiteral("  ")) + parts.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty()) column += QStringLiteral(" <") + option.valueName() + QLatin1Char('>');
    return column;
}

// Writes text in lines of at most LineWidth, every line after the first
// indented to indent (the first starts wherever the caller left off at column start).
void writeWrapped(QTextStream& out, const QString& text, int start, int indent) {
    int column = start;
    bool first = true;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!first && column + 1 + word.size() > LineWidth) {
            out << "\n" << QString(indent, QLatin1Char(' '));
            column = indent;
        } else if (!first) {
            out << ' ';
            ++column;
        }
        out << word;
        column += word.size();
        first = false;
    }
    out << "\n";
}

void writeTable(QTextStream& out, const QList<std::pair<QString, QString>>& rows) {
    int width = 0;
    for (const auto& [left, right] : rows) width = std::max(width, int(left.size()));
    width = std::min(width + 2, 32);
    for (const auto& [left, right] : rows) {
        out << left;
        int column = left.size();
        if (column + 2 > width) {
            out << "\n";
            column = 0;
        }
        out << QString(width - column, QLatin1Char(' '));
        writeWrapped(out, right, width, width);
    }
}

}  // namespace

void printToolHelp(QTextStream& out) {
    out << "faltarillon-cli - Faltarillon-Designer auf der Kommandozeile\n\n";
    out << "Aufruf: faltarillon-cli BEFEHL [OPTIONEN] [ARGUMENTE]\n";
    out << "        faltarillon-cli --help | --version\n\n";
    out << "Befehle:\n";
    QList<std::pair<QString, QString>> rows;
    for (const auto& [name, command] : cliCommands()) rows.append({QStringLiteral("  ") + name, command.summary});
    writeTable(out, rows);
    out << "\nOptionen:\n";
    writeTable(out, {{QStringLiteral("  -h, --help"), QStringLiteral("zeigt diese Hilfe")},
                     {QStringLiteral("  -v, --version"), QStringLiteral("zeigt die Versionsnummer")}});
    out << "\n\"faltarillon-cli BEFEHL --help\" beschreibt die Optionen eines Befehls.\n";
    out << "Rückgabewert: 0 erledigt, 1 fehlgeschlagen, 2 falscher Aufruf.\n";
}

void printVerbHelp(QTextStream& out, const QString& name, const CliCommand& command) {
    out << "Aufruf: " << command.usageLine(name) << "\n";
    QString summary = command.summary;
    if (!summary.isEmpty()) summary[0] = summary[0].toUpper();
    writeWrapped(out, summary, 0, 0);
    out << "\nOptionen:\n";
    QList<std::pair<QString, QString>> rows;
    for (const QCommandLineOption& o : command.options)
        if (!(o.flags() & QCommandLineOption::HiddenFromHelp)) rows.append({optionColumn(o), o.description()});
    const QCommandLineOption help = cliHelpOption();
    rows.append({optionColumn(help), help.description()});
    writeTable(out, rows);
}
