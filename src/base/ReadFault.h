#pragma once
// Why a file cannot be read, in the wording of base/ErrnoText.h, found out
// by trying it the way the readers do (without blocking on a FIFO).

#include <QString>

// Empty when path is a regular file that opens for reading; otherwise
// "Datei nicht gefunden", "Ordner nicht gefunden", "Zugriff verweigert",
// "ist ein Ordner", "ist keine gewöhnliche Datei" and so on.
QString readFaultText(const QString& path);

// A file that is there and readable but no picture any decoder takes:
// damaged, cut short or in an unknown format.
QString undecodablePictureText();

// Why the picture at path could not be read: readFaultText, or
// undecodablePictureText when the file itself reads.
QString pictureFaultText(const QString& path);
