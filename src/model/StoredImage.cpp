#include "model/StoredImage.h"

#include "image/ImageLoader.h"

#include <QDir>
#include <algorithm>
#include <QFileInfo>

QString storedFileNamePart(const QString& storedPath) {
    const int cut = std::max(storedPath.lastIndexOf(QLatin1Char('/')), storedPath.lastIndexOf(QLatin1Char('\\')));
    QString name = storedPath.mid(cut + 1);
    // "C:a.bmp": a drive with no folder.
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':') && name.at(0).isLetter()) name = name.mid(2);
    return name;
}

bool loadStoredImage(DibHandle& dib, const QString& storedPath, const QString& boxFilePath,
                     const QString& programFolder) {
    if (storedPath.isEmpty()) return false;
    if (LoadDIBit(dib, storedPath, programFolder)) return true;
    const QString name = storedFileNamePart(storedPath);
    if (name.isEmpty()) return false;
    const QString besideBox = QFileInfo(boxFilePath).absoluteDir().filePath(name);
    return LoadDIBit(dib, besideBox, programFolder);
}
