#pragma once
// Reading a verb's command line with its own option table; what goes wrong
// is said in German and names the argument at fault.

#include "cli/CliCommand.h"

// The options every verb understands besides its own.
QCommandLineOption cliHelpOption();

// Fills parser with the verb's options and parses args (without the tool and
// verb names). Returns an empty string or the German description of the fault.
QString parseVerbArguments(QCommandLineParser& parser, const CliCommand& command, const QStringList& args);
