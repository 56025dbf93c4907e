#pragma once
// A text object's Content holds its lines separated by single carriage
// returns (13); the text entry shows them one per memo line.

#include <QString>
#include <QStringList>

// Each carriage return ends one line (which may be empty) and is dropped;
// what follows the last one is a line only when it is not empty. Line feeds
// and every other character stay part of their line.
QStringList splitContentLines(const QString& content);

// Lines joined with one carriage return between two lines, none after the
// last; no lines give an empty text.
QString joinContentLines(const QStringList& lines);
