#pragma once
// Where a file made from the box goes (export, cut file, PDF print): the
// user's choice in the save dialog, and the Yes before an existing file is
// replaced.

#include <QString>

class Prompter;

// Asks for the target under the box file's name (or "Faltarillon" while it
// has none) with extension ext, starting in folder (model/FolderMemory.h):
// the program's own folder is usually not writable once installed. A name
// typed without an extension gets ext. Empty when the user cancels.
QString askSaveTarget(Prompter& prompter, const QString& folder, const QString& boxFile, const QString& caption,
                      const QString& filter, const QString& ext);

// True when path does not exist yet or the user agrees to replace it: the
// file dialog leaves overwriting to the program.
bool mayReplace(Prompter& prompter, const QString& path);
