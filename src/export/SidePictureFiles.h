#pragma once
// An SVG and the pictures it keeps beside itself, written as one: every
// file first goes complete into a temporary file through saveFile, then the
// pictures and last the SVG are renamed into place, so a failure on the way
// leaves the old files as they were.
//
// The pictures are named NAME-bildN.EXT, but the folder is the user's: a
// file of that name this export did not write is never replaced nor removed.
// Only the SVG being replaced tells which pictures an earlier export wrote
// (it names them); those may be replaced, and those the new SVG no longer
// names are removed. Any other name taken gets the next free number.

#include "export/VectorExport.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <vector>

// NAME of NAME.svg.
QString sidePictureBaseName(const QString& svgPath);
// "NAME-bildN.EXT".
QString sidePictureName(const QString& baseName, int number, const QString& suffix);
// The relative address of a file beside the SVG, as an URI reference.
QString sidePictureHref(const QString& fileName);

// The names one export gives its side pictures.
class SidePictureNames {
public:
    // Reads the SVG now at svgPath (if it is a regular file) for the
    // pictures of the earlier export.
    explicit SidePictureNames(const QString& svgPath);

    // The next name, in numbers from 1, that is free or an earlier
    // export's picture.
    QString next(const QString& suffix);
    // Names of pictures beside the SVG that the SVG at the path names.
    const QSet<QString>& earlier() const { return m_earlier; }

private:
    QString m_folder;
    QString m_base;
    QSet<QString> m_earlier;
    int m_number = 0;
};

// The pictures beside the SVG that an SVG's text links (decoded file names
// of the form NAME-bildN.jpg or .png, nothing in other folders).
QSet<QString> sidePicturesNamedIn(const QByteArray& svgText, const QString& baseName);

// False with "PATH: Grund" in error when a file cannot be written. names
// is what the export's pictures were named by.
bool saveSvgWithSidePictures(const QString& svgPath, const QByteArray& svg, const std::vector<SidePicture>& side,
                             const SidePictureNames& names, QString& error);
