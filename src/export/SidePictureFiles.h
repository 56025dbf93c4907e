#pragma once
// An SVG and the pictures it keeps beside itself, written as one: every
// file first goes complete into a temporary file through saveFile, then the
// pictures and last the SVG are renamed into place, so a failure on the way
// leaves the old files as they were. Pictures of an earlier export that this
// one no longer writes (NAME-bildN.jpg or .png) are removed.

#include "export/VectorExport.h"

#include <QByteArray>
#include <QString>
#include <vector>

// NAME of NAME.svg.
QString sidePictureBaseName(const QString& svgPath);
// "NAME-bildN.EXT".
QString sidePictureName(const QString& baseName, int number, const QString& suffix);
// The relative address of a file beside the SVG, as an URI reference.
QString sidePictureHref(const QString& fileName);

// False with "PATH: Grund" in error when a file cannot be written.
bool saveSvgWithSidePictures(const QString& svgPath, const QByteArray& svg, const std::vector<SidePicture>& side,
                             QString& error);
