#pragma once
// The row of linked data the views show. The editor, the 3D view and the
// print preview draw the design as one row fills it; which row is a setting
// of the window, no part of the design (no step, nothing to save). The
// table of the design's link is opened when the link changes, once: a file
// that cannot be read leaves the link as it is and shows the design as
// typed.

#include "model/BoxDocument.h"
#include "model/SeriesData.h"
#include "model/SeriesFields.h"
#include "model/SharedPictures.h"

#include <memory>
#include <optional>

class SeriesView {
public:
    // Opens the table when design's link differs from the one last tried
    // (shown() follows too). True when the link changed; *error gets the
    // reason when the new link's file could not be read.
    bool follow(const BoxDocument& design, QString* error = nullptr, const ProgressCallback& progress = {});
    // Reads the link's file again at the next follow (the user confirmed
    // the same link, perhaps after mending the file).
    void reload();
    // Whether the link changed since the last call, by whichever follow:
    // the row display and the message about an unreadable file follow it.
    bool takeLinkChange() {
        const bool changed = m_linkChanged;
        m_linkChanged = false;
        return changed;
    }

    // Why the link's file could not be read (empty when it could).
    const QString& openError() const { return m_openError; }
    // A table is open for the design's link.
    bool active() const { return m_table != nullptr; }
    const SeriesTable* table() const { return m_table.get(); }
    int rowCount() const { return m_table ? m_table->rowCount() : 0; }
    // The row shown, 0-based.
    int current() const { return m_current; }
    // Clamped to the rows there are.
    void setCurrent(int index);
    // The current row with its number, for filling; false with *error
    // when it could not be read again.
    bool currentRow(SeriesRow* row, QString* error = nullptr) const;

    // The design as the current row shows it, or design itself while no
    // table is open. A file changed since it was read is read again. The copy is made again only when the design's
    // revision, the row or the table changed; it carries a revision of its
    // own that changes with each of them, so views caching by revision see
    // another row as another picture.
    const BoxDocument& shown(const BoxDocument& design);
    // "Unbekanntes Feld {X} in Objekt N" lines and the reason a row could
    // not be read, of the last copy made.
    const QStringList& problems() const { return m_problems; }
    // The pictures of every row shown so far, one decode per file.
    SharedPictures* pictures() { return m_pictures ? &*m_pictures : nullptr; }

private:
    SeriesLink m_link;
    QString m_boxFile;
    std::unique_ptr<SeriesTable> m_table;
    QString m_openError;
    bool m_linkChanged = false;
    std::optional<SharedPictures> m_pictures;
    int m_current = 0;
    std::uint64_t m_tableSerial = 0;

    BoxDocument m_shown;
    bool m_shownValid = false;
    std::uint64_t m_shownRevision = 0, m_shownTable = 0;
    int m_shownRow = -1;
    bool m_shownRowRead = false;   // m_shown was filled for its row (not the design as typed)
    std::uint64_t m_serial = 0;
    QStringList m_problems;
};
