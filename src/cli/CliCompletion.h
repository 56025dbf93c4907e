#pragma once
// The bash completion of faltarillon-cli, written from the verbs' option
// tables at build time so that it always knows every verb and option.

#include <QTextStream>

void writeBashCompletion(QTextStream& out);
