#pragma once
// Reading and writing box files with the user's messages.
//
// The save question before Open and the window caption are the window's
// business; these functions do the file work and report through the prompter.

#include "model/BoxDocument.h"
#include "model/Prompter.h"
#include "base/Progress.h"

#include <QString>

// Reads the box file at path and, only when the whole file was read,
// replaces doc with it: FileName := path, CurrentObject := 0, ProgramFolder
// kept. Stored images are loaded (path, then the same name beside the box
// file) and turned by their Rotation; one that cannot be found is reported
// and stays empty while reading goes on; each such path is reported once.
// A file named by several objects is decoded once and its picture shared.
// Past 1 GiB of decoded pictures the rest stay empty, told in one message. A file that cannot be opened, is
// not a box file or is damaged is reported and leaves doc exactly as it was.
// progress gets the reports of reading the pictures and of their quarter
// turns, each ending at 0.
bool OpenItNow(BoxDocument& doc, const QString& path, Prompter& prompter,
               const ProgressCallback& progress = {});

// OpenItNow for a caller that fills the design with rows of data of its own
// (data given for this run, not linked in the file): picture names with
// fields are left for the rows instead of being looked for as files.
bool OpenWithData(BoxDocument& doc, const QString& path, Prompter& prompter);

// OpenItNow for previews and thumbnails: pictures larger than needed for a
// shorter side of pictureShortestSide pixels are decoded reduced.
bool OpenForPreview(BoxDocument& doc, const QString& path, Prompter& prompter, int pictureShortestSide);

// Writes doc to path atomically: a temporary file beside it replaces the
// old file only when everything was written, so a failed save never
// destroys the previous file. Where the folder takes no temporary file, the
// file, made whole in memory first, is written in place. Anything but a
// regular file is refused. Reports a failure and returns false. Does not
// set doc.FileName (doc is const): the caller does on success.
bool Saveit(const BoxDocument& doc, const QString& path, Prompter& prompter);

// The messages, as the user sees them.
namespace boxmsg {
inline const QString CreateFailedText = QStringLiteral("Beim Erstellen der Datei ist ein Fehler aufgetreten!");
inline const QString CreateFailedCaption = QStringLiteral("Fehler: Datei konnte nicht erstellt werden");
inline const QString WriteFailedText =
    QStringLiteral("Beim Schreiben der Datei ist ein Fehler aufgetreten! Die vorhandene Datei wurde nicht verändert.");
// A folder that takes no temporary file: the file was written over and is
// now incomplete; the user must save elsewhere.
inline const QString WriteFailedInPlaceText = QStringLiteral(
    "Beim Schreiben der Datei ist ein Fehler aufgetreten! Die Datei wurde direkt überschrieben und ist "
    "unvollständig; bitte unter einem anderen Namen speichern.");
inline const QString WriteFailedCaption = QStringLiteral("Fehler: Datei konnte nicht geschrieben werden");
inline const QString OpenFailedText = QStringLiteral("Beim Öffnen der Datei ist ein Fehler aufgetreten!");
inline const QString OpenFailedCaption = QStringLiteral("Fehler: Datei konnte nicht geöffnet werden");
inline const QString WrongIdText =
    QStringLiteral("Es handelt sich nicht um eine Faltarillon im ORB-LUX Faltarillon-Designer 1.0-Format!");
inline const QString WrongIdCaption = QStringLiteral("Dateikennung falsch");
inline const QString DamagedText = QStringLiteral("Die Datei ist beschädigt und konnte nicht gelesen werden!");
inline const QString DamagedCaption = QStringLiteral("Fehler: Datei ist beschädigt");
inline const QString TooLargeText = QStringLiteral("Die Datei ist zu groß für eine Faltarillon!");
// "Konnte Bild (" + path + ") nicht Laden." under the application title.
inline QString imageMissingText(const QString& path) {
    return QStringLiteral("Konnte Bild (") + path + QStringLiteral(") nicht Laden.");
}
// The pictures a document opened without because its decoded pictures would
// have passed 1 GiB.
inline QString picturesLeftOutText(int count) {
    return QStringLiteral("%1 Bilder wurden nicht geladen (mehr als 1 GiB Bilddaten).").arg(count);
}
}  // namespace boxmsg
