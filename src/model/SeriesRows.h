#pragma once
// The rows a print, a file or the command line makes boxes of: the design's
// data opened and checked before anything is drawn, and the design filled in
// with one row at a time. Memory stays bounded however many rows there are:
// the table keeps offsets only, and the pictures named by the data are
// decoded once per path within a budget (beyond it each box loads its own,
// which is slower but still right).

#include "base/Progress.h"
#include "model/BoxDocument.h"
#include "model/SeriesData.h"
#include "model/SharedPictures.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// Row numbers as the fields count them: the first row after the header is 1.
struct RowRange {
    int first = 0;   // 0: from the first row
    int last = 0;    // 0: to the last row
    bool whole() const { return first == 0 && last == 0; }
};

// "A-B", "A-", "-B" or "N". False with a German reason for anything else
// (B before A, a number below 1).
bool parseRowRange(const QString& text, RowRange* range, QString* error);

class SeriesRows {
public:
    // Decoded pictures named by the data that are kept for further boxes: a
    // picture several rows share stays, while a job of a photo per row does
    // not hold hundreds of them.
    static constexpr qint64 PictureBudget = qint64(64) << 20;

    // Opens the data the link names and checks it against the design: fields
    // the data lacks are all listed, and a range beyond the data is refused,
    // in error (German, naming the data file), before a single box is made.
    static std::unique_ptr<SeriesRows> open(const BoxDocument& design, const SeriesLink& link, RowRange range,
                                            QString* error, const ProgressCallback& progress = {});

    // Narrows the job to range (the whole data when range is whole). False
    // with the reason, the job unchanged, when it lies beyond the data.
    bool setRange(RowRange range, QString* error);

    int count() const { return m_last - m_first + 1; }
    // The number of the range's i-th row ({Nr}, from 1).
    int number(int i) const { return m_first + i; }
    int total() const { return m_table->rowCount(); }
    const QStringList& columns() const { return m_table->columns(); }
    QString dataPath() const { return m_path; }

    // The design as the range's i-th row shows it. A picture the row names
    // that cannot be loaded stays empty in this box only and is noted for
    // pictureProblems(). False when the row itself cannot be read.
    bool document(int i, BoxDocument* doc, QString* error);

    // One line per picture a box went without: "Datensatz 7: bilder/x.jpg
    // (Datei nicht gefunden)", in the order met, the first MaxProblemLines
    // of problemCount().
    static constexpr int MaxProblemLines = 20;
    const QStringList& pictureProblems() const { return m_problems; }
    int problemCount() const { return m_problemCount; }
    // The summary said after a job with such boxes; empty without.
    QString pictureSummary() const;
    // A new job starts counting afresh.
    void clearProblems() {
        m_problems.clear();
        m_problemCount = 0;
    }

private:
    SeriesRows(const BoxDocument& design, std::unique_ptr<SeriesTable> table, const QString& path);
    bool loadPicture(const QString& stored, int turns, DibHandle& picture, int number);
    QString resolved(const QString& stored) const;

    BoxDocument m_template;   // the design with the data's picture names left out
    std::vector<std::pair<int, QString>> m_pictureNames;   // slot (0: background), name with fields
    std::unique_ptr<SeriesTable> m_table;
    QString m_path;
    int m_first = 1;
    int m_last = 0;
    SharedPictures m_pictures;
    QStringList m_problems;
    int m_problemCount = 0;
};
