#pragma once
// Image paths are stored shortened: a file lying directly in the program's
// folder is kept as its bare name (the image loader looks bare names up in
// the program folder), every other file as its full path.

#include <QString>

// programFolder ends in '/'. Both '/' and '\' count as folder separators in
// the rest of the path.
QString SubProgPath(const QString& path, const QString& programFolder);
