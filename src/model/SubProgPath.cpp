#include "model/SubProgPath.h"

#include <QFileInfo>

namespace {
bool hasFolderPart(const QString& name) {
    return name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
           (name.size() >= 2 && name.at(1) == QLatin1Char(':'));
}

bool sameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}
}  // namespace

QString SubProgPath(const QString& path, const QString& programFolder) {
    if (programFolder.isEmpty() || !path.startsWith(programFolder, Qt::CaseInsensitive))
        return path;
    const QString rest = path.mid(programFolder.size());
    if (rest.isEmpty() || hasFolderPart(rest)) return path;
    if (path.startsWith(programFolder, Qt::CaseSensitive)) return rest;
    // The folder matched only when letter case is ignored. On a file system
    // that tells case apart that is another folder, and the bare name would
    // later be read from the program folder: a different file. Shorten only
    // when both names reach the same file.
    return sameFile(path, programFolder + rest) ? rest : path;
}
