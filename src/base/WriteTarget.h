#pragma once
// Every writer of the program and the CLI asks this before it writes: only a
// regular file is replaced. A FIFO, a device or a folder under the chosen name
// would otherwise be replaced by a file, or, as root, a device like /dev/full
// written to; a FIFO without a reader would block the writer for ever.

#include <QString>

// True when path names a regular file or nothing yet (a new file); a
// symbolic link counts as what it points to. Permissions are not looked at.
bool isReplaceableFile(const QString& path);

// Why path cannot be written, in the wording of base/ErrnoText.h: a folder,
// no regular file, a file without any write bit ("schreibgeschützt", for
// root too), a file the user may not write, a missing folder. Empty when the
// target is a writable regular file or a new file in an existing folder;
// whether that folder takes a new file only the open can tell.
QString writeTargetProblem(const QString& path);
