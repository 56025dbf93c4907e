#pragma once
// Reading a verb's command line with its own option table; what goes wrong
// is said in German and names the argument at fault.

#include "cli/CliCommand.h"

// The options every verb understands besides its own.
QCommandLineOption cliHelpOption();

// --strict for the verbs that draw a design: a picture of it that could not
// be loaded (or was damaged) turns the run into a failure, not just a message.
QCommandLineOption cliStrictOption();

// Fills parser with the verb's options and parses args (without the tool and
// verb names). Returns an empty string or the German description of the fault.
QString parseVerbArguments(QCommandLineParser& parser, const CliCommand& command, const QStringList& args);
