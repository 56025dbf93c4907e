#pragma once
// The list behind "Zuletzt geöffnet": the box files last opened or saved,
// newest first, each path once. Kept in the per-user settings store beside
// the window placement.

#include <QString>
#include <QStringList>

class QSettings;

class RecentFiles {
public:
    static constexpr int Capacity = 8;

    const QStringList& paths() const { return m_paths; }

    // Puts path at the top; an entry already in the list moves there, the
    // oldest falls off beyond Capacity. Paths are made absolute first, so the
    // same file given relatively is not listed twice.
    void add(const QString& path);
    void remove(const QString& path);
    void clear() { m_paths.clear(); }

    // Reads and writes the list under its own key; stored entries are
    // checked like new ones (empty, duplicate and surplus entries dropped).
    void load(const QSettings& settings);
    void store(QSettings& settings) const;

    static QString settingsKey() { return QStringLiteral("RecentFiles/Paths"); }

private:
    QStringList m_paths;
};
