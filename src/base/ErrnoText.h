#pragma once
// One German wording per reason a file could not be read or written, the
// same in the program and in every CLI verb. Fixed here rather than taken
// from strerror(), whose text depends on the installed locales.

#include <QString>

// The reason for errno value err: "Kein Speicherplatz mehr" for ENOSPC and
// so on; "Fehler N" for a value the table does not hold.
QString errnoText(int err);

// Reasons that are no errno: the target is a folder, or a FIFO, a device or
// a socket.
QString isFolderText();
QString notRegularFileText();
// A file without any write bit: refused even where root could write it.
QString writeProtectedText();

// The line a message adds about a file: "PATH: reason", the path in the
// form the user typed or chose.
QString fileReasonLine(const QString& path, const QString& reason);
// A file to be read is missing from a folder that exists.
QString fileNotFoundText();
