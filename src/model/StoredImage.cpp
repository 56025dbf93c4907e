#include "model/StoredImage.h"

#include "base/ErrnoText.h"
#include "base/ReadFault.h"
#include "image/ImageLoader.h"

#include <cerrno>

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

namespace {

// The places a stored path is looked for, in order.
QStringList candidatePaths(const QString& storedPath, const QString& boxFilePath, const QString& programFolder) {
    QStringList paths;
    if (storedPath.isEmpty()) return paths;
    paths << ResolveImagePath(storedPath, programFolder);
    const QString name = storedFileNamePart(storedPath);
    if (!name.isEmpty()) paths << QFileInfo(boxFilePath).absoluteDir().filePath(name);
    return paths;
}

}  // namespace

QString storedImageFault(const QString& storedPath, const QString& boxFilePath, const QString& programFolder) {
    const QStringList paths = candidatePaths(storedPath, boxFilePath, programFolder);
    if (paths.isEmpty()) return fileNotFoundText();
    for (const QString& candidate : paths) {
        const QString fault = readFaultText(candidate);
        if (fault.isEmpty()) {
            const QString drawing = VectorArtFault(candidate);
            return drawing.isEmpty() ? undecodablePictureText() : drawing;
        }
        if (fault != fileNotFoundText() && fault != errnoText(ENOENT)) return fault;
    }
    return readFaultText(paths.first());
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
