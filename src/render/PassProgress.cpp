#include "render/PassProgress.h"

#include <algorithm>

PassProgress::PassProgress(const ProgressCallback& progress, int objects)
    : m_progress(progress), m_objects(std::max(objects, 1)) {}

bool PassProgress::ask() {
    if (m_stopped) return false;
    const int percent = static_cast<int>(std::min<long long>(100, 100LL * m_done / m_objects));
    m_stopped = !goOn(m_progress, percent);
    return !m_stopped;
}

bool PassProgress::objectDone() {
    if (m_stopped) return false;
    ++m_done;
    if (!m_progress || m_done % ObjectsPerQuestion != 0) return true;
    return ask();
}

bool PassProgress::linesDone(int lines) {
    if (m_stopped) return false;
    if (!m_progress) return true;
    m_lines += std::max(lines, 0);
    if (m_lines < LinesPerQuestion) return true;
    m_lines = 0;
    return ask();
}
