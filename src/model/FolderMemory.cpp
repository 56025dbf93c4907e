#include "model/FolderMemory.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
int slot(FileKind kind) { return static_cast<int>(kind); }

bool isFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }
}  // namespace

QString FolderMemory::settingsKey(FileKind kind) {
    switch (kind) {
    case FileKind::Box: return QStringLiteral("Ordner/Boxdateien");
    case FileKind::Picture: return QStringLiteral("Ordner/Bilder");
    case FileKind::Export: return QStringLiteral("Ordner/Export");
    case FileKind::CutFile: return QStringLiteral("Ordner/Schnittdateien");
    }
    return QString();
}

QString FolderMemory::lastFolder(FileKind kind) const {
    const QString folder =
        m_useSettings ? QSettings().value(settingsKey(kind)).toString() : m_folders[slot(kind)];
    // A folder since removed or a damaged entry falls back to the next place.
    return isFolder(folder) ? QDir::cleanPath(folder) : QString();
}

QString FolderMemory::startFolder(FileKind kind, const QString& boxFile) const {
    const QString last = lastFolder(kind);
    return last.isEmpty() ? defaultStartFolder(boxFile) : last;
}

void FolderMemory::remember(FileKind kind, const QString& file) {
    if (file.isEmpty()) return;
    const QString folder = QFileInfo(file).absolutePath();
    if (!isFolder(folder)) return;
    if (m_useSettings)
        QSettings().setValue(settingsKey(kind), folder);
    else
        m_folders[slot(kind)] = folder;
}

QString defaultStartFolder(const QString& boxFile) {
    if (!boxFile.isEmpty()) {
        const QString beside = QFileInfo(boxFile).absolutePath();
        if (isFolder(beside)) return beside;
    }
    return QDir::homePath();
}

QString startFolder(const FolderMemory* folders, FileKind kind, const QString& boxFile) {
    return folders ? folders->startFolder(kind, boxFile) : defaultStartFolder(boxFile);
}

void rememberFolder(FolderMemory* folders, FileKind kind, const QString& file) {
    if (folders) folders->remember(kind, file);
}
