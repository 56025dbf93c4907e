#pragma once
// Linked data: a table (CSV or TSV) whose rows personalise one design, a
// box per row. The first row names the columns; quoting follows RFC 4180
// (a field in double quotes may hold separators, line breaks and doubled
// quotes). Bytes are scanned as they are: the separators, quotes and line
// breaks are ASCII in both encodings taken, so only values are decoded.

#include "base/Progress.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

enum class SeriesSeparator : std::int32_t { Comma = 0, Semicolon = 1, Tab = 2 };
enum class SeriesEncoding : std::int32_t { Utf8 = 0, Windows1252 = 1 };   // UTF-8 with or without BOM

// The design's link to its data (BoxDocument member `Series`; empty path: no
// data linked). The path is absolute in memory; the box file stores it
// relative to itself where the data lies beside or below it.
struct SeriesLink {
    QString path;
    SeriesSeparator separator = SeriesSeparator::Comma;
    SeriesEncoding encoding = SeriesEncoding::Utf8;
    bool linked() const { return !path.isEmpty(); }
    bool operator==(const SeriesLink& o) const {
        return path == o.path && separator == o.separator && encoding == o.encoding;
    }
    bool operator!=(const SeriesLink& o) const { return !(*this == o); }
};

char seriesSeparatorChar(SeriesSeparator separator);
// "Komma", "Semikolon", "Tabulator"; "UTF-8", "Windows-1252".
QString seriesSeparatorName(SeriesSeparator separator);
QString seriesEncodingName(SeriesEncoding encoding);

// A data file opened for reading. One streaming pass checks every row and
// keeps only where each starts; rows are read again from the file on
// demand, so memory stays bounded by the number of rows, never by the
// file's size. Rows whose fields are all empty (blank lines, the ";;;" rows
// spreadsheets leave below a table) are no records. A row with fewer fields
// than the header gets empty values for the rest.
class SeriesTable {
public:
    // More rows are refused: their start offsets alone would take memory
    // without bound.
    static constexpr int MaxRows = 1000000;
    // Columns a header may name: far beyond any table of labels, and each
    // row's values stay bounded by it.
    static constexpr int MaxColumns = 1000;

    // nullptr with *error set ("PATH: Zeile 17: Anführungszeichen nicht
    // geschlossen") when the file cannot be read, is empty, has a header
    // without names, a row with more fields than the header, an unclosed
    // quote, or no row below the header; also when progress says stop.
    static std::unique_ptr<SeriesTable> open(const QString& path, SeriesSeparator separator,
                                             SeriesEncoding encoding, QString* error,
                                             const ProgressCallback& progress = {});
    // Guesses separator and encoding from the file's first bytes: a BOM or
    // valid UTF-8 is UTF-8, anything else Windows-1252; the separator found
    // most often outside quotes in the header wins (a tab in a tie, a ".tsv"
    // without any). Leaves both alone when the file cannot be read.
    static void detect(const QString& path, SeriesSeparator* separator, SeriesEncoding* encoding);

    const QString& path() const { return m_path; }
    SeriesSeparator separator() const { return m_separator; }
    SeriesEncoding encoding() const { return m_encoding; }
    // The header's names, trimmed.
    const QStringList& columns() const { return m_columns; }
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    // The line of the file where row index starts (from 1, the header's is 1).
    int lineOf(int index) const;
    // Row index 0..rowCount()-1, one value per column, each clipped as a
    // long text is (model/LongText.h); false with a message when the index
    // is out of range or the file changed since it was opened. Not for use
    // from several threads at once.
    bool row(int index, QStringList* values, QString* error) const;
    // Whether the file's size or time differ from when it was read (then
    // its rows no longer hold).
    bool changedOnDisk() const;

private:
    struct RowStart {
        qint64 offset;
        int line;
    };
    SeriesTable() = default;

    QString m_path;
    SeriesSeparator m_separator = SeriesSeparator::Comma;
    SeriesEncoding m_encoding = SeriesEncoding::Utf8;
    QStringList m_columns;
    std::vector<RowStart> m_rows;
    qint64 m_size = 0;
    qint64 m_modified = 0;
    mutable QFile m_file;
};
