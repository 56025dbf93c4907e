#pragma once
// The pictures of one open: each file is decoded once and its picture shared
// (copies of an image record share their pixels) by every object naming it,
// so a design that places one photo ten thousand times holds it once. A file
// counts as the same while its path, size and time stay; each number of
// quarter turns is its own picture. The decoded pictures of a document are
// bounded: one that would take the total past the budget is not kept.

#include "image/DibHandle.h"
#include "base/Progress.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <QString>

class SharedPictures {
public:
    static constexpr qint64 DefaultBudget = qint64(1) << 30;   // 1 GiB of decoded pixels

    enum class Outcome { Loaded, Missing, OverBudget };

    // boxFilePath's folder is the second place a stored path is looked for;
    // shortestSide above 0 decodes large pictures reduced (previews).
    SharedPictures(const QString& boxFilePath, const QString& programFolder, int shortestSide = 0,
                   qint64 budget = DefaultBudget);

    // The picture of a stored path turned by quarterTurns (0..3 clockwise).
    Outcome load(const QString& storedPath, int quarterTurns, DibHandle& picture,
                 const ProgressCallback& progress = {});

    // load(), but a picture past the budget is decoded for this caller alone
    // and not kept: a job of a picture per row goes on with each row's own.
    // Loaded or Missing.
    Outcome loadEvenPastBudget(const QString& storedPath, int quarterTurns, DibHandle& picture);

    // Decodes the upright pictures of these stored paths side by side on the
    // render pool, a few at a time so that the budget still holds; load()
    // then finds them. For callers without a progress bar.
    void prefetch(const QStringList& storedPaths);

    qint64 decodedBytes() const { return m_decodedBytes; }
    int decodeCount() const { return m_decodes; }

private:
    struct Key {
        QString path;
        qint64 size = 0;
        QDateTime time;
        int turns = 0;
        bool operator==(const Key& o) const {
            return path == o.path && size == o.size && time == o.time && turns == o.turns;
        }
    };
    friend size_t qHash(const Key& k, size_t seed) { return qHashMulti(seed, k.path, k.size, k.turns); }

    enum class Found { Yes, NotAPicture, OverBudget };
    QString firstPlace(const QString& storedPath) const;
    static Key keyOf(const QFileInfo& info, int turns);
    DibHandle decode(const QString& file) const;
    Found fromFile(const QString& file, int quarterTurns, DibHandle& picture, const ProgressCallback& progress);
    bool keep(const Key& key, const DibHandle& picture);

    QString m_boxFilePath;
    QString m_programFolder;
    int m_shortestSide = 0;
    qint64 m_budget = DefaultBudget;
    qint64 m_decodedBytes = 0;
    int m_decodes = 0;
    bool m_exhausted = false;   // a picture did not fit: no further file is decoded
    QHash<Key, DibHandle> m_pictures;   // an empty record: the file is no picture
};
