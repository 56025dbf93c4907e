#include "export/SidePictureFiles.h"

#include "base/ErrnoText.h"
#include "base/SaveFile.h"
#include "base/WriteTarget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool nothingAt(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) != 0 && errno == ENOENT;
}

// Beside its target, so the rename stays within one file system; never the
// name of a file that is already there.
QString temporaryName(const QString& path) {
    const QString first = path + QStringLiteral(".neu-%1").arg(QCoreApplication::applicationPid());
    QString name = first;
    for (int n = 2; !nothingAt(name); ++n) name = first + QStringLiteral("-%1").arg(n);
    return name;
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

// A rename that fails (EEXIST) rather than replace a file that appeared
// since the name was found free.
bool renameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the flag: the check and the rename are apart.
    struct stat st {};
    if (::lstat(to.constData(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return std::rename(from.constData(), to.constData()) == 0;
}

// Reads an SVG in blocks, so that one of any size costs little memory; a
// FIFO or device at the path is not read at all.
QSet<QString> picturesOfEarlierSvg(const QString& svgPath, const QString& baseName) {
    QSet<QString> names;
    const int fd = ::open(QFile::encodeName(svgPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return names;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        // An href of a picture beside it is far shorter than the overlap, so
        // each one lies whole in some block.
        constexpr qsizetype kBlock = 1 << 20, kOverlap = 4096;
        QByteArray window;
        QByteArray block(kBlock, Qt::Uninitialized);
        for (;;) {
            const ssize_t got = ::read(fd, block.data(), size_t(kBlock));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            window += QByteArray::fromRawData(block.constData(), got);
            names.unite(sidePicturesNamedIn(window, baseName));
            window = window.right(kOverlap);
        }
    }
    ::close(fd);
    return names;
}

}  // namespace

QString sidePictureBaseName(const QString& svgPath) { return QFileInfo(svgPath).completeBaseName(); }

QString sidePictureName(const QString& baseName, int number, const QString& suffix) {
    return QStringLiteral("%1-bild%2.%3").arg(baseName).arg(number).arg(suffix);
}

QString sidePictureHref(const QString& fileName) { return QString::fromLatin1(QUrl::toPercentEncoding(fileName)); }

QSet<QString> sidePicturesNamedIn(const QByteArray& svgText, const QString& baseName) {
    static constexpr char kHref[] = "href=\"";
    constexpr qsizetype kLongestName = 3 * 1024;   // 255 bytes, each percent-encoded
    const QRegularExpression ours(
        QStringLiteral("^%1-bild[1-9][0-9]*\\.(jpg|png)$").arg(QRegularExpression::escape(baseName)));
    QSet<QString> names;
    for (qsizetype at = svgText.indexOf(kHref); at >= 0; at = svgText.indexOf(kHref, at)) {
        at += qsizetype(sizeof(kHref) - 1);
        const qsizetype end = svgText.indexOf('"', at);
        if (end < 0) break;
        if (end - at > kLongestName || svgText.at(at) == '#') continue;
        const QString name = QUrl::fromPercentEncoding(svgText.mid(at, end - at));
        if (ours.match(name).hasMatch()) names.insert(name);
    }
    return names;
}

SidePictureNames::SidePictureNames(const QString& svgPath)
    : m_folder(QFileInfo(svgPath).absolutePath()), m_base(sidePictureBaseName(svgPath)),
      m_earlier(picturesOfEarlierSvg(svgPath, m_base)) {}

QString SidePictureNames::next(const QString& suffix) {
    for (;;) {
        const QString name = sidePictureName(m_base, ++m_number, suffix);
        const QString path = m_folder + QLatin1Char('/') + name;
        // An earlier picture made read-only since is left alone like any other file.
        if (nothingAt(path) || (m_earlier.contains(name) && writeTargetProblem(path).isEmpty())) return name;
    }
}

bool saveSvgWithSidePictures(const QString& svgPath, const QByteArray& svg, const std::vector<SidePicture>& side,
                             const SidePictureNames& names, QString& error) {
    const QDir folder = QFileInfo(svgPath).absoluteDir();
    QSet<QString> written;
    for (const SidePicture& s : side) written.insert(s.fileName);
    // The earlier export's pictures that the new SVG no longer names.
    const auto removeLeftOver = [&] {
        for (const QString& name : names.earlier())
            if (!written.contains(name) && writeTargetProblem(folder.filePath(name)).isEmpty())
                QFile::remove(folder.filePath(name));
    };
    if (side.empty()) {
        const SaveResult saved = saveFile(svgPath, svg);
        if (!saved) {
            error = fileReasonLine(svgPath, saved.reason);
            return false;
        }
        removeLeftOver();
        return true;
    }
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
        const QByteArray from = QFile::encodeName(temporaries[i]);
        const QByteArray to = QFile::encodeName(renameTarget(finals[i]));
        const bool picture = i < int(side.size());
        errno = 0;
        const bool renamed = picture && !names.earlier().contains(side[size_t(i)].fileName)
                                 ? renameNoReplace(from, to)
                                 : std::rename(from.constData(), to.constData()) == 0;
        if (!renamed) {
            const int err = errno != 0 ? errno : EIO;
            removeAll(temporaries.mid(i));
            // Pictures put at fresh names would belong to no SVG.
            for (int j = 0; j < i; ++j)
                if (!names.earlier().contains(side[size_t(j)].fileName)) QFile::remove(renameTarget(finals[j]));
            error = fileReasonLine(finals[i], errnoText(err));
            return false;
        }
    }
    removeLeftOver();
    return true;
}
