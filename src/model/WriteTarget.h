#pragma once
// Every writer of the program (box files, exported images, the printed PDF)
// asks this before it writes: it replaces only regular files. A FIFO, a
// device or a folder under the chosen name would otherwise be replaced by a
// file, or, as root, a device like /dev/full written to.

#include <QString>

// True when path names a regular file or nothing yet (a new file); a
// symbolic link counts as what it points to. Permissions are the writer's
// business.
bool isReplaceableFile(const QString& path);
