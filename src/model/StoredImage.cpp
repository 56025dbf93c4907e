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
                     const QString& programFolder, int shortestSide, const ProgressCallback& progress) {
    auto load = [&](const QString& fileName) {
        if (shortestSide <= 0) return LoadDIBit(dib, fileName, programFolder, progress);
        DibHandle reduced = OpenDibScaled(ResolveImagePath(fileName, programFolder), shortestSide);
        if (reduced.isEmpty()) return false;
        dib = reduced;
        return true;
    };
    if (storedPath.isEmpty()) return false;
    if (load(storedPath)) return true;
    const QString name = storedFileNamePart(storedPath);
    if (name.isEmpty()) return false;
    return load(QFileInfo(boxFilePath).absoluteDir().filePath(name));
}
