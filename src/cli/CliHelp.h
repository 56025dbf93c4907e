#pragma once
// The German help of faltarillon-cli, made from the verbs' own tables.

#include "cli/CliCommand.h"

void printToolHelp(QTextStream& out);
void printVerbHelp(QTextStream& out, const QString& name, const CliCommand& command);
