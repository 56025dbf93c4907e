#include "base/ErrnoText.h"

#include <QDir>

#include <cerrno>

QString errnoText(int err) {
    switch (err) {
    case EACCES:
    case EPERM: return QStringLiteral("Zugriff verweigert");
    case ENOSPC:
    case EDQUOT: return QStringLiteral("Kein Speicherplatz mehr");
    case EFBIG: return QStringLiteral("Datei zu groß");
    case EROFS: return QStringLiteral("Nur lesbares Dateisystem");
    case EIO: return QStringLiteral("Ein- und Ausgabefehler");
    case ENOENT:
    case ENOTDIR: return QStringLiteral("Ordner nicht gefunden");
    case ELOOP: return QStringLiteral("Zu viele symbolische Verknüpfungen");
    case EISDIR: return isFolderText();
    case EEXIST: return QStringLiteral("Datei existiert bereits");
    default: return QStringLiteral("Fehler %1").arg(err);
    }
}

QString isFolderText() { return QStringLiteral("ist ein Ordner"); }

QString notRegularFileText() { return QStringLiteral("ist keine gewöhnliche Datei"); }

QString writeProtectedText() { return QStringLiteral("schreibgeschützt"); }

QString fileReasonLine(const QString& path, const QString& reason) {
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
}
QString fileNotFoundText() { return QStringLiteral("Datei nicht gefunden"); }
