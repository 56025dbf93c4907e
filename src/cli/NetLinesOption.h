#pragma once
// --net-lines fein|0.2: how wide the printed sheet draws the dotted net,
// shared by render and sheet.

#include <QCommandLineOption>
#include <QCommandLineParser>

struct CliContext;

QCommandLineOption netLinesOption();
// The width in millimetres, 0 for "fein"; 0,2 mm when the option is absent.
// On a wrong value reports it as a usage error and returns false.
bool readNetLines(const QCommandLineParser& args, const CliContext& ctx, double& mm);
