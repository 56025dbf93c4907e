#pragma once
// "&Zuletzt geöffnet": one item per recently used box file ("&1 name" …
// "&8 name", the full path as hint), then "Liste &leeren". The list is
// stored in the per-user settings store after every change when settings
// are in use.

#include "model/RecentFiles.h"

#include <QObject>

class QMenu;

class RecentFilesMenu : public QObject {
    Q_OBJECT
public:
    RecentFilesMenu(QMenu* menu, bool useSettings, QObject* parent = nullptr);

    const RecentFiles& list() const { return m_list; }
    void fileUsed(const QString& path);
    void forget(const QString& path);
    void clear();

    static QString clearCaption() { return QStringLiteral("Liste &leeren"); }

signals:
    void openRequested(const QString& path);

private:
    void changed();
    void rebuild();

    QMenu* m_menu;
    bool m_useSettings;
    RecentFiles m_list;
};
