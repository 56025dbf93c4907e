#pragma once
// Fields in a design's texts and picture names: "{Spalte}" stands for the
// value of that column in the row shown, "{{" and "}}" for single braces.
// The design keeps the fields as typed; each box is made from a copy with
// the row's values filled in.

#include "model/BoxDocument.h"

#include <QString>
#include <QStringList>

class SharedPictures;

// One row of linked data with its column names.
struct SeriesRow {
    QStringList columns;
    QStringList values;
    int number = 1;   // the row's number among the file's records, from 1
};

// text with every "{Spalte}" replaced by the row's value (names compared
// exactly, spaces around them ignored), "{{" and "}}" by braces; "{Nr}" is
// the row's number unless a column is named "Nr". Line breaks in values
// become CR, the texts' line break. A field the row lacks is left as typed
// and its name appended to *unknown (once). A "{" that does not open a field
// ("{}", no closing brace, a brace or line break inside) stays as it is.
// The result is clipped as a long text is.
QString fillFields(const QString& text, const SeriesRow& row, QStringList* unknown = nullptr);

// The field names a text uses, in order, each once.
QStringList fieldNames(const QString& text);

// Whether the row fills the field name (a column, or the row's number).
bool rowHasField(const SeriesRow& row, const QString& name);

// The field names the design uses in its texts, picture names and
// background file name, in slot order, each once.
QStringList designFieldNames(const BoxDocument& design);

// A picture name filled from row, a relative result taken from the design's
// box file's folder (for an unsaved design from its data file's folder).
QString fillPictureName(const QString& name, const SeriesRow& row, const BoxDocument& design,
                        QStringList* unknown = nullptr);

// The design as row shows it: every text object's Content and every picture
// object's and the background's file name filled in, the pictures of filled
// names loaded (a relative name from the box file's folder, for an unsaved
// design from the data file's). Pictures come from *pictures when given, so
// a path shared by several rows is decoded once; otherwise from a cache of
// this call. A picture that cannot be loaded stays empty (the missing
// picture as every view draws it) and its filled name is appended once to
// *missingPictures; an empty value names no picture and is no fault. The design itself is unchanged; the copy keeps its
// Revision, so a view caching by revision must tell rows apart itself.
// unknownFields gets "Unbekanntes Feld {X} in Objekt N" (and "... im
// Hintergrund") lines.
BoxDocument documentForRow(const BoxDocument& design, const SeriesRow& row, QStringList* unknownFields = nullptr,
                           SharedPictures* pictures = nullptr, QStringList* missingPictures = nullptr);

// documentForRow into shown, a document filled from the same design (at the
// same revision) for another row: only what uses fields is made again, so
// stepping through rows costs no copy of the whole design.
void refillForRow(BoxDocument& shown, const BoxDocument& design, const SeriesRow& row,
                  QStringList* unknownFields = nullptr, SharedPictures* pictures = nullptr,
                  QStringList* missingPictures = nullptr);
