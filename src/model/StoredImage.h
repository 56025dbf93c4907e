#pragma once
// Finding the picture of a stored image path: the path itself (a bare name
// lives in the program folder), then the same file name next to the box file.

#include "image/DibHandle.h"
#include "base/Progress.h"

#include <QString>

// The file name part of a stored path; '\' and '/' both separate folders,
// since box files written on Windows hold paths like "C:\Bilder\a.bmp".
QString storedFileNamePart(const QString& storedPath);

// Loads the picture for storedPath into dib. boxFilePath is the box file
// being read (its folder is the second place looked in). Only regular files
// are read. False when neither place holds a readable image. shortestSide
// above 0 decodes large pictures reduced to about that size (previews).
bool loadStoredImage(DibHandle& dib, const QString& storedPath, const QString& boxFilePath,
                     const QString& programFolder, int shortestSide = 0,
                     const ProgressCallback& progress = {});

// Why loadStoredImage found no picture for storedPath: the reason of the
// first place that holds a file ("Zugriff verweigert", "ist ein Ordner", or
// undecodablePictureText() for a file no decoder takes), else that of the
// stored path itself ("Datei nicht gefunden").
QString storedImageFault(const QString& storedPath, const QString& boxFilePath, const QString& programFolder);
