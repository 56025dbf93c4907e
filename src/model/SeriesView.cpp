#include "model/SeriesView.h"

#include <algorithm>

bool SeriesView::follow(const BoxDocument& design, QString* error, const ProgressCallback& progress) {
    // The pictures' second place is the box file's folder: a design saved
    // elsewhere starts a fresh cache.
    if (design.Series == m_link && design.FileName == m_boxFile) return false;
    const bool linkChanged = design.Series != m_link;
    m_boxFile = design.FileName;
    m_pictures.emplace(design.FileName, design.ProgramFolder);
    m_shownValid = false;
    if (!linkChanged) return false;
    m_link = design.Series;
    m_linkChanged = true;
    m_table.reset();
    m_openError.clear();
    m_current = 0;
    ++m_tableSerial;
    if (!m_link.linked()) return true;
    m_table = SeriesTable::open(m_link.path, m_link.separator, m_link.encoding, &m_openError, progress);
    if (!m_table && error) *error = m_openError;
    return true;
}

void SeriesView::setCurrent(int index) {
    m_current = std::clamp(index, 0, std::max(0, rowCount() - 1));
}

bool SeriesView::currentRow(SeriesRow* row, QString* error) const {
    if (!m_table) return false;
    row->columns = m_table->columns();
    row->number = m_current + 1;
    return m_table->row(m_current, &row->values, error);
}

const BoxDocument& SeriesView::shown(const BoxDocument& design) {
    follow(design);
    if (!m_table) return design;
    // Edited in a spreadsheet meanwhile: read again, so the views show what
    // the file says now (the rows may change: takeLinkChange() says so); a
    // file that no longer reads shows the design as typed, as at the link.
    if (m_table->changedOnDisk()) {
        QString why;
        m_table = SeriesTable::open(m_link.path, m_link.separator, m_link.encoding, &why);
        ++m_tableSerial;
        m_linkChanged = true;
        m_openError = m_table ? QString() : why;
        setCurrent(m_current);
        if (!m_table) return design;
    }
    if (m_shownValid && m_shownRevision == design.Revision && m_shownRow == m_current && m_shownTable == m_tableSerial)
        return m_shown;
    m_problems.clear();
    SeriesRow row;
    QString error;
    const bool read = currentRow(&row, &error);
    if (!read) {
        // The design as typed, and why.
        m_shown = design;
        m_problems.push_back(error);
    } else if (m_shownValid && m_shownRevision == design.Revision && m_shownTable == m_tableSerial &&
               m_shownRowRead) {
        // Only the row changed.
        refillForRow(m_shown, design, row, &m_problems, pictures());
    } else {
        m_shown = documentForRow(design, row, &m_problems, pictures());
    }
    m_shownRowRead = read;
    // Far above any design's own count, which starts at zero and grows by one.
    m_shown.Revision = (std::uint64_t(1) << 63) + ++m_serial;
    m_shownRevision = design.Revision;
    m_shownRow = m_current;
    m_shownTable = m_tableSerial;
    m_shownValid = true;
    return m_shown;
}

void SeriesView::reload() {
    m_link = SeriesLink();
    m_table.reset();
}
