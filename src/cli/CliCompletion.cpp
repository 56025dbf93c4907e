#include "cli/CliCompletion.h"

#include "cli/CliArguments.h"
#include "cli/CliCommand.h"

namespace {

QString dashedNames(const QCommandLineOption& option) {
    QStringList names;
    for (const QString& n : option.names()) names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
    return names.join(QLatin1Char(' '));
}

// Words that bash must see literally inside double quotes.
QString quoted(const QString& word) {
    QString q = word;
    q.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""))
        .replace(QLatin1Char('$'), QLatin1String("\\$"))
        .replace(QLatin1Char('`'), QLatin1String("\\`"));
    return q;
}

void writeVerbCase(QTextStream& out, const QString& name, const CliCommand& command) {
    QList<QCommandLineOption> options = command.options;
    options << cliHelpOption();
    QStringList all, valued, files;
    QStringList choiceCases;
    for (const QCommandLineOption& o : options) {
        all << dashedNames(o);
        const QString value = o.valueName();
        if (value.isEmpty()) continue;
        valued << dashedNames(o);
        // "A4|A3" lists the values; a value that names a file completes file names.
        if (value.contains(QLatin1Char('|')))
            choiceCases << QStringLiteral("                %1) choices=\"%2\" ;;")
                               .arg(dashedNames(o).replace(QLatin1Char(' '), QLatin1Char('|')),
                                    quoted(value.split(QLatin1Char('|')).join(QLatin1Char(' '))));
        else if (value.contains(QLatin1String("DATEI")) || value.contains(QLatin1String("ORDNER")))
            files << dashedNames(o);
    }
    out << "        " << name << ")\n";
    out << "            options=\"" << quoted(all.join(QLatin1Char(' '))) << "\"\n";
    out << "            valued=\" " << quoted(valued.join(QLatin1Char(' '))) << " \"\n";
    out << "            files=\" " << quoted(files.join(QLatin1Char(' '))) << " \"\n";
    if (!choiceCases.isEmpty()) {
        out << "            case $prev in\n";
        for (const QString& c : choiceCases) out << c << "\n";
        out << "            esac\n";
    }
    out << "            ;;\n";
}

}  // namespace

void writeBashCompletion(QTextStream& out) {
    QStringList verbs;
    for (const auto& [name, command] : cliCommands()) verbs << name;
    out << "# bash completion for faltarillon-cli, written by the tool itself from the\n"
           "# option tables of its verbs when it is built.\n"
           "# File names as whole words, spaces and all; the word typed so far loses\n"
           "# the quoting bash would remove, since compgen matches it literally.\n"
           "_faltarillon_cli_files() {\n"
           "    local word=$1\n"
           "    case $word in\n"
           "        \\'*) word=${word#\\'} ;;\n"
           "        \\\"*) word=${word#\\\"} ;;\n"
           "        *\\\\*) word=$(printf '%s' \"$word\" | sed 's/\\\\\\(.\\)/\\1/g') ;;\n"
           "    esac\n"
           "    mapfile -t COMPREPLY < <(compgen -f -- \"$word\")\n"
           "}\n"
           "_faltarillon_cli() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=\n"
           "    (( COMP_CWORD > 0 )) && prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "    local verb= i\n"
           "    for (( i = 1; i < COMP_CWORD; i++ )); do\n"
           "        case ${COMP_WORDS[i]} in -*) ;; *) verb=${COMP_WORDS[i]}; break ;; esac\n"
           "    done\n"
           "    local options= valued=' ' files=' ' choices=\n"
           "    case $verb in\n"
           "        '')\n"
           "            options=\"--help -h --version -v\" ;;\n";
    for (const auto& [name, command] : cliCommands()) writeVerbCase(out, name, command);
    out << "        *) return 0 ;;\n"
           "    esac\n"
           "    COMPREPLY=()\n"
           "    if [[ -n $prev && $valued == *\" $prev \"* ]]; then\n"
           "        if [[ -n $choices ]]; then\n"
           "            COMPREPLY=($(compgen -W \"$choices\" -- \"$cur\"))\n"
           "        elif [[ $files == *\" $prev \"* ]]; then\n"
           "            compopt -o filenames 2>/dev/null\n"
           "            _faltarillon_cli_files \"$cur\"\n"
           "        fi\n"
           "        return 0\n"
           "    fi\n"
           "    if [[ $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           "    elif [[ -z $verb ]]; then\n"
           "        COMPREPLY=($(compgen -W \""
        << verbs.join(QLatin1Char(' '))
        << "\" -- \"$cur\"))\n"
           "    else\n"
           "        compopt -o filenames 2>/dev/null\n"
           "        _faltarillon_cli_files \"$cur\"\n"
           "    fi\n"
           "    return 0\n"
           "}\n"
           "complete -F _faltarillon_cli faltarillon-cli\n";
}
