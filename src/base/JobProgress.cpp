#include "base/JobProgress.h"

#include <algorithm>

JobProgress::JobProgress(ProgressCallback report, int units)
    : m_report(std::move(report)), m_units(std::max(units, 1)), m_owner(std::this_thread::get_id()) {}

bool JobProgress::ask(int partPercent) {
    if (m_stopped.load()) return false;
    if (!m_report || std::this_thread::get_id() != m_owner) return true;
    const int part = std::clamp(partPercent, 0, 100);
    const long long done = std::min(m_done.load(), m_units);
    const int percent = static_cast<int>(std::min<long long>(100, (done * 100 + part) / m_units));
    // The same percent again is still a question: the user may have
    // pressed "Abbrechen" since.
    if (!m_report(percent)) m_stopped.store(true);
    return !m_stopped.load();
}

bool JobProgress::pieceDone() {
    ++m_done;
    return ask(0);
}

ProgressCallback JobProgress::forPiece() {
    if (!m_report) return {};
    return [this](int percent) { return ask(percent); };
}
