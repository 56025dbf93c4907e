#pragma once
// Fixed names of the program besides the captions of model/NewDocument.h:
// the print job title, the settings store keys, the program folder.

#include <QFileInfo>
#include <QString>

namespace AppTitles {

inline QString printJobTitle() { return QStringLiteral("ORB-LUX Faltarillon-Designer 1.0 Faltarillon"); }
inline QString organisation() { return QStringLiteral("ORB-LUX"); }

// The folder of the program file, ending in '/'.
inline QString programFolderOf(const QString& applicationFilePath) {
    QString folder = QFileInfo(applicationFilePath).absolutePath();
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

}  // namespace AppTitles
