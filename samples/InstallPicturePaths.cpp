// install_picture_paths SOURCE OUT INSTALLED: the sample designs as the
// package installs them. Each box file of SOURCE is written to OUT with
// every picture it names by a bare file name found beside it (background,
// image objects) named instead by its absolute path in INSTALLED, where the
// package puts the samples and their pictures.
//
// File managers make thumbnails in a sandbox that hands the thumbnailer a
// copy of the box file somewhere else and hides the home folder; a bare name
// is then looked for beside that copy and not found, while /usr/share is
// visible there. The source tree keeps bare names, so the samples still open
// from wherever the build folder or a checkout lies (a stored path that does
// not exist falls back to the name beside the box file).

#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "model/StreamPrompter.h"

#include <QGuiApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

// The installed path for a bare name with its file beside the source box;
// anything else stays as it is.
bool installedName(QString& stored, QByteArray& storedBytes, const QDir& source, const QDir& installed) {
    if (stored.isEmpty() || stored.contains(QLatin1Char('/')) || stored.contains(QLatin1Char('\\'))) return false;
    if (!QFileInfo(source.filePath(stored)).isFile()) return false;
    stored = QDir::cleanPath(installed.path() + QLatin1Char('/') + stored);
    // The bytes read for the old name would otherwise be written again.
    storedBytes.clear();
    return true;
}

bool rewrite(const QString& boxPath, const QDir& out, const QDir& installed, QTextStream& err) {
    StreamPrompter prompter(err);
    BoxDocument doc;
    if (!OpenItNow(doc, boxPath, prompter)) return false;
    const QDir source = QFileInfo(boxPath).absoluteDir();
    if (doc.BackgroundMode != bgNone)
        installedName(doc.BackgroundFile, doc.BackgroundFileStoredBytes, source, installed);
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        Tobs& o = doc.Objects[slot];
        if (o.Kind == Image) installedName(o.Content, o.ContentStoredBytes, source, installed);
    }
    return Saveit(doc, out.filePath(QFileInfo(boxPath).fileName()), prompter);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 4) {
        err << "Aufruf: install_picture_paths QUELLE ZIEL INSTALLIERT\n";
        return 2;
    }
    const QDir source(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    const QDir installed(QString::fromLocal8Bit(argv[3]));
    if (!installed.isAbsolute()) {
        err << "install_picture_paths: INSTALLIERT muss ein absoluter Pfad sein\n";
        return 2;
    }
    if (!QDir().mkpath(out.path())) {
        err << "install_picture_paths: " << out.path() << ": Ordner kann nicht angelegt werden\n";
        return 1;
    }
    bool ok = true;
    for (const QFileInfo& box : source.entryInfoList({QStringLiteral("*.box")}, QDir::Files, QDir::Name))
        ok = rewrite(box.absoluteFilePath(), out, installed, err) && ok;
    return ok ? 0 : 1;
}
