// Where file dialogs start: the folder last used for the kind of file,
// else beside the box file, else home; kept in the settings store.

#include "model/FolderMemory.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(FolderMemory, LastFolderOfTheKindElseBesideTheBoxElseHome) {
    QTemporaryDir dir;
    const QString boxes = dir.filePath("Boxen"), pictures = dir.filePath("Bilder");
    ASSERT_TRUE(QDir().mkpath(boxes) && QDir().mkpath(pictures));
    const QString box = boxes + QStringLiteral("/Würfel.box");
    FolderMemory folders(false);
    const struct {
        const char* step;
        FileKind kind;
        QString boxFile, want;
    } expected[] = {
        {"nothing kept, unnamed", FileKind::Picture, QString(), QDir::homePath()},
        {"nothing kept, named", FileKind::Picture, box, boxes},
        {"box in a folder that is gone", FileKind::Box, dir.filePath("weg/x.box"), QDir::homePath()},
    };
    for (const auto& e : expected) EXPECT_EQ(folders.startFolder(e.kind, e.boxFile), e.want) << e.step;

    folders.remember(FileKind::Picture, pictures + QStringLiteral("/rose.jpg"));
    EXPECT_EQ(folders.startFolder(FileKind::Picture, box), pictures);
    EXPECT_EQ(folders.startFolder(FileKind::Export, box), boxes) << "kept per kind";
    folders.remember(FileKind::Export, dir.filePath("fehlt/x.pdf"));   // no such folder: nothing kept
    EXPECT_EQ(folders.startFolder(FileKind::Export, QString()), QDir::homePath());
    ASSERT_TRUE(QDir(pictures).removeRecursively());
    EXPECT_EQ(folders.startFolder(FileKind::Picture, box), boxes) << "a removed folder is passed over";
    EXPECT_EQ(startFolder(nullptr, FileKind::Box, box), boxes);
}

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
}
