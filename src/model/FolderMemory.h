#pragma once
// Where the file dialogs start: in the folder last used for that kind of
// file, else beside the open box file, else in the home folder. An
// installed program's own folder is no place for the user's files. The
// folders are kept in the per-user settings store, or only for the run.

#include <QString>

class QSettings;

enum class FileKind {
    Box,       // box files: Öffnen, Speichern unter
    Picture,   // pictures opened or saved: image chooser, background, scanned and 3D pictures
    Export,    // vector export and the print into a PDF file
    CutFile,   // cut files (SVG, DXF)
};

class FolderMemory {
public:
    // useSettings: the folders live in the settings store, so the next run
    // starts there too; otherwise they are kept for this object's life.
    explicit FolderMemory(bool useSettings = true) : m_useSettings(useSettings) {}

    // The folder last used for kind while it still exists; empty otherwise.
    QString lastFolder(FileKind kind) const;
    // The folder a dialog for kind starts in (boxFile: the open design's
    // file, empty while it has none).
    QString startFolder(FileKind kind, const QString& boxFile) const;
    // The folder of file, a file chosen or written, for the next dialog of kind.
    void remember(FileKind kind, const QString& file);

    static QString settingsKey(FileKind kind);

private:
    bool m_useSettings;
    QString m_folders[4];
};

// Beside the box file, else the home folder: where dialogs start when
// nothing was remembered.
QString defaultStartFolder(const QString& boxFile);

// The same for callers whose memory may be missing (null: defaultStartFolder,
// and nothing is remembered).
QString startFolder(const FolderMemory* folders, FileKind kind, const QString& boxFile);
void rememberFolder(FolderMemory* folders, FileKind kind, const QString& file);
