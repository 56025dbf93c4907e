#include "model/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {
QString normalised(const QString& path) {
    return path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
}
}  // namespace

void RecentFiles::add(const QString& path) {
    const QString p = normalised(path);
    if (p.isEmpty()) return;
    m_paths.removeAll(p);
    m_paths.prepend(p);
    while (m_paths.size() > Capacity) m_paths.removeLast();
}

void RecentFiles::remove(const QString& path) { m_paths.removeAll(normalised(path)); }

void RecentFiles::load(const QSettings& settings) {
    const QStringList stored = settings.value(settingsKey()).toStringList();
    m_paths.clear();
    // Oldest first through add(), so the order and the limit hold whatever
    // was stored.
    for (auto it = stored.crbegin(); it != stored.crend(); ++it) add(*it);
}

void RecentFiles::store(QSettings& settings) const { settings.setValue(settingsKey(), m_paths); }
