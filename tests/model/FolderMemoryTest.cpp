// The folders the file dialogs start in outlive the run in the settings
// store (the window tests check where each dialog starts).

#include "model/FolderMemory.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(FolderMemory, KeptInTheSettingsStoreForTheNextRun) {
    QTemporaryDir store, dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, store.path());
    const QString org = QCoreApplication::organizationName();
    QCoreApplication::setOrganizationName(QStringLiteral("FolderMemoryTest"));
    {
        FolderMemory first(true);
        first.remember(FileKind::CutFile, dir.filePath("plotter.dxf"));
    }
    EXPECT_EQ(QSettings().value(FolderMemory::settingsKey(FileKind::CutFile)).toString(), dir.path());
    EXPECT_EQ(FolderMemory(true).startFolder(FileKind::CutFile, QString()), dir.path());
    // Only the run's own memory without the store.
    EXPECT_EQ(FolderMemory(false).startFolder(FileKind::CutFile, QString()), QDir::homePath());
    QSettings().setValue(FolderMemory::settingsKey(FileKind::Box), QStringLiteral("\x01kaputt"));
    EXPECT_EQ(FolderMemory(true).startFolder(FileKind::Box, QString()), QDir::homePath());
    QSettings().clear();
    QCoreApplication::setOrganizationName(org);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}
