#include "export/SidePictureFiles.h"

#include "base/ErrnoText.h"
#include "base/SaveFile.h"
#include "base/WriteTarget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <cerrno>
#include <cstdio>

namespace {

// Beside its target, so the rename stays within one file system.
QString temporaryName(const QString& path) {
    return path + QStringLiteral(".neu-%1").arg(QCoreApplication::applicationPid());
}

// Where the file at path really lives: a link is replaced at its target, as
// saveFile does.
QString renameTarget(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
}

void removeAll(const QStringList& paths) {
    for (const QString& p : paths) QFile::remove(p);
}

void removeStale(const QString& svgPath, const std::vector<SidePicture>& side) {
    const QFileInfo svg(svgPath);
    QSet<QString> kept;
    for (const SidePicture& s : side) kept.insert(s.fileName);
    const QRegularExpression ours(QStringLiteral("^%1-bild[1-9][0-9]*\\.(jpg|png)$")
                                      .arg(QRegularExpression::escape(sidePictureBaseName(svgPath))));
    const QDir folder = svg.absoluteDir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
        if (ours.match(name).hasMatch() && !kept.contains(name)) QFile::remove(folder.filePath(name));
}

}  // namespace

QString sidePictureBaseName(const QString& svgPath) { return QFileInfo(svgPath).completeBaseName(); }

QString sidePictureName(const QString& baseName, int number, const QString& suffix) {
    return QStringLiteral("%1-bild%2.%3").arg(baseName).arg(number).arg(suffix);
}

QString sidePictureHref(const QString& fileName) { return QString::fromLatin1(QUrl::toPercentEncoding(fileName)); }

bool saveSvgWithSidePictures(const QString& svgPath, const QByteArray& svg, const std::vector<SidePicture>& side,
                             QString& error) {
    if (side.empty()) {
        const SaveResult saved = saveFile(svgPath, svg);
        if (!saved) {
            error = fileReasonLine(svgPath, saved.reason);
            return false;
        }
        removeStale(svgPath, side);
        return true;
    }
    const QDir folder = QFileInfo(svgPath).absoluteDir();
    QStringList finals, temporaries;
    for (const SidePicture& s : side) finals << folder.filePath(s.fileName);
    finals << svgPath;
    for (const QString& target : finals) {
        const QString problem = writeTargetProblem(target);
        if (!problem.isEmpty()) {
            error = fileReasonLine(target, problem);
            return false;
        }
    }
    for (int i = 0; i < finals.size(); ++i) {
        const QString temporary = temporaryName(renameTarget(finals[i]));
        const QByteArray& bytes = i < int(side.size()) ? side[size_t(i)].bytes : svg;
        const SaveResult saved = saveFile(temporary, bytes);
        if (!saved) {
            removeAll(temporaries);
            error = fileReasonLine(finals[i], saved.reason);
            return false;
        }
        temporaries << temporary;
    }
    // The pictures before the SVG: the new SVG never links a missing file.
    for (int i = 0; i < finals.size(); ++i) {
        errno = 0;
        if (std::rename(QFile::encodeName(temporaries[i]).constData(),
                        QFile::encodeName(renameTarget(finals[i])).constData()) != 0) {
            const int err = errno != 0 ? errno : EIO;
            removeAll(temporaries.mid(i));
            error = fileReasonLine(finals[i], errnoText(err));
            return false;
        }
    }
    removeStale(svgPath, side);
    return true;
}
