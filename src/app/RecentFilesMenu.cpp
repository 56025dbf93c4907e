#include "app/RecentFilesMenu.h"

#include "app/MenuCaption.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

RecentFilesMenu::RecentFilesMenu(QMenu* menu, bool useSettings, QObject* parent)
    : QObject(parent), m_menu(menu), m_useSettings(useSettings) {
    if (m_useSettings) {
        QSettings settings;   // organisation and application name are set once in main
        m_list.load(settings);
    }
    rebuild();
}

void RecentFilesMenu::fileUsed(const QString& path) {
    m_list.add(path);
    changed();
}

void RecentFilesMenu::forget(const QString& path) {
    m_list.remove(path);
    changed();
}

void RecentFilesMenu::clear() {
    m_list.clear();
    changed();
}

void RecentFilesMenu::changed() {
    if (m_useSettings) {
        QSettings settings;
        m_list.store(settings);
    }
    rebuild();
}

void RecentFilesMenu::rebuild() {
    // The action being triggered may be one of these: it goes once its
    // signal has returned.
    for (QAction* old : m_menu->actions()) {
        m_menu->removeAction(old);
        if (old->parent() == m_menu) old->deleteLater();
    }
    int number = 0;
    for (const QString& path : m_list.paths()) {
        ++number;
        QAction* a = m_menu->addAction(QStringLiteral("&%1 %2").arg(number).arg(menuCaptionText(QFileInfo(path).fileName())));
        a->setStatusTip(path);
        connect(a, &QAction::triggered, this, [this, path] { emit openRequested(path); });
    }
    m_menu->addSeparator();
    QAction* clearItem = m_menu->addAction(clearCaption());
    clearItem->setObjectName(QStringLiteral("ListeLeeren1"));
    clearItem->setStatusTip(QStringLiteral("Leert die Liste der zuletzt geöffneten Boxen"));
    clearItem->setEnabled(number > 0);
    connect(clearItem, &QAction::triggered, this, &RecentFilesMenu::clear);
}
