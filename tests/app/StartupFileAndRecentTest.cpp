// The program's file argument, "Zuletzt geöffnet" and "Beispiele".
#include "AppTestSupport.h"

#include "app/EditorCanvas.h"
#include "app/EditorPage.h"
#include "app/FileCommands.h"
#include "app/MainMenu.h"
#include "app/RecentFilesMenu.h"
#include "app/SamplesMenu.h"
#include "model/BoxFile.h"
#include "model/BoxSize.h"
#include "model/RecentFiles.h"
#include "render/EditorView.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const QString Caption = QStringLiteral("ORB-LUX Faltarillon-Designer 1.0 - ");

// A saved design with a layout other than New's and two figures.
QString saveDesign(const QString& path, double itemHeight = 150) {
    StartedWindow source;
    source.doc().Layout.ItemHeight = itemHeight;
    source.doc().updateExtentFromLayout();
    placeFigure(source.doc(), 600, 420, 40, 30, 0x0000FF);
    placeFigure(source.doc(), 700, 450, 20, 20, 0x00FF00);
    source.prompter.savePaths = {path};
    EXPECT_TRUE(source.window->fileCommands().SaveItemClick());
    return path;
}

struct WindowWithArgument : StartedWindow {
    explicit WindowWithArgument(const QString& file) : StartedWindow(false) {
        window->setStartupFile(file);
        window->show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->startupDone(); }, 3000));
    }
};

QStringList captions(QMenu* menu) {
    QStringList list;
    for (QAction* a : menu->actions()) list << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return list;
}

// Points the settings store at a folder of its own for one test and back.
struct PrivateSettings {
    QTemporaryDir dir;
    PrivateSettings() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path()); }
    ~PrivateSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
};

}  // namespace

TEST(StartupFile, OpensTheFileAfterTheStartupNewAndShowsItsMiddleThird) {
    QTemporaryDir dir;
    const QString path = saveDesign(dir.filePath(QStringLiteral("tisch.box")));
    WindowWithArgument w(path);
    EXPECT_TRUE(w.prompter.messages.empty());
    EXPECT_EQ(w.window->windowTitle(), Caption + QStringLiteral("tisch.box"));
    EXPECT_EQ(w.doc().FileName, path);
    EXPECT_EQ(w.doc().Layout.ItemHeight, 150.0);
    EXPECT_EQ(w.doc().Objects[1].Color, 0x0000FF);
    EXPECT_EQ(w.doc().Objects[2].Color, 0x00FF00);
    const QSize area = editingAreaSize(w.doc());
    EXPECT_EQ(w.window->PaintBox1->size(), area);
    EXPECT_EQ(w.window->PaintBox1->scrollPosition(), QPoint(area.width() / 3, area.height() / 3));
    EXPECT_EQ(w.window->TabSheet3->GrossEd->text(), cubeEdgeText(w.window->TabSheet3->boxPercent(), 150.0));
    EXPECT_EQ(w.window->recentFiles()->list().paths(), QStringList{path});
}

TEST(StartupFile, RelativePathCountsFromTheCurrentFolder) {
    QTemporaryDir dir;
    saveDesign(dir.filePath(QStringLiteral("rel.box")));
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    WindowWithArgument w(QStringLiteral("rel.box"));
    QDir::setCurrent(before);
    EXPECT_EQ(w.doc().FileName, QDir(dir.path()).absoluteFilePath(QStringLiteral("rel.box")));
}

TEST(StartupFile, DamagedOrMissingFileLeavesTheEmptyNew) {
    QTemporaryDir dir;
    const QString path = saveDesign(dir.filePath(QStringLiteral("kaputt.box")));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() - 30));   // ends inside the last record
    f.close();
    {
        WindowWithArgument w(path);
        ASSERT_EQ(w.prompter.messages.size(), 1u);
        EXPECT_EQ(w.prompter.messages[0].caption, boxmsg::DamagedCaption);
        EXPECT_FALSE(w.prompter.messages[0].question);
        EXPECT_EQ(w.window->windowTitle(), Caption + QStringLiteral("NONAME01"));
        EXPECT_FALSE(w.doc().Objects.anyObjects());
        EXPECT_EQ(w.doc().Layout.ItemHeight, 205.0);
        EXPECT_TRUE(w.window->recentFiles()->list().paths().isEmpty());
    }
    WindowWithArgument missing(dir.filePath(QStringLiteral("gibtsnicht.box")));
    ASSERT_EQ(missing.prompter.messages.size(), 1u);
    EXPECT_EQ(missing.prompter.messages[0].caption, boxmsg::OpenFailedCaption);
    EXPECT_EQ(missing.window->windowTitle(), Caption + QStringLiteral("NONAME01"));
}

TEST(RecentFiles, NewestFirstAtMostEightAgainMovesToTheTop) {
    RecentFiles list;
    for (int i = 1; i <= 10; ++i) list.add(QStringLiteral("/boxen/%1.box").arg(i));
    ASSERT_EQ(list.paths().size(), 8);
    EXPECT_EQ(list.paths().first(), QStringLiteral("/boxen/10.box"));
    EXPECT_EQ(list.paths().last(), QStringLiteral("/boxen/3.box"));
    list.add(QStringLiteral("/boxen/5.box"));
    EXPECT_EQ(list.paths().size(), 8);
    EXPECT_EQ(list.paths().first(), QStringLiteral("/boxen/5.box"));
    EXPECT_EQ(list.paths().count(QStringLiteral("/boxen/5.box")), 1);
    list.add(QStringLiteral("/boxen/./x/../5.box"));   // the same file spelled otherwise
    EXPECT_EQ(list.paths().count(QStringLiteral("/boxen/5.box")), 1);
    list.add(QString());
    EXPECT_EQ(list.paths().size(), 8);
}

TEST(RecentFiles, StoredListIsCheckedWhenRead) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    QStringList stored;
    for (int i = 1; i <= 12; ++i) stored << QStringLiteral("/b/%1.box").arg(i);
    stored.insert(1, QStringLiteral("/b/1.box"));   // a duplicate
    stored.insert(2, QString());
    settings.setValue(RecentFiles::settingsKey(), stored);
    RecentFiles list;
    list.load(settings);
    EXPECT_EQ(list.paths(), (QStringList{"/b/1.box", "/b/2.box", "/b/3.box", "/b/4.box", "/b/5.box", "/b/6.box",
                                         "/b/7.box", "/b/8.box"}));
}

TEST(RecentFilesMenu, OpenedAndSavedFilesAreListedAndOpenAgain) {
    QTemporaryDir dir;
    const QString a = saveDesign(dir.filePath(QStringLiteral("a.box")));
    const QString b = saveDesign(dir.filePath(QStringLiteral("Kiste & Deckel.box")), 205);
    StartedWindow w;
    QMenu* menu = w.window->MainMenu1->Zuletztgeoeffnet1;
    EXPECT_EQ(captions(menu), (QStringList{"-", "Liste &leeren"}));
    EXPECT_FALSE(menu->actions().last()->isEnabled());

    w.prompter.openPaths = {a};
    w.window->fileCommands().OpenItemClick();
    w.prompter.openPaths = {b};   // a.box unchanged: opened without a question
    w.window->fileCommands().OpenItemClick();
    EXPECT_EQ(captions(menu), (QStringList{"&1 Kiste && Deckel.box", "&2 a.box", "-", "Liste &leeren"}));
    EXPECT_EQ(menu->actions().at(0)->statusTip(), b);

    // Save as under a new name puts that name on top.
    const QString c = dir.filePath(QStringLiteral("c.box"));
    w.prompter.savePaths = {c};
    ASSERT_TRUE(w.window->fileCommands().Speichernunter1Click());
    EXPECT_EQ(w.window->recentFiles()->list().paths(), (QStringList{c, b, a}));

    // Choosing an entry opens it like Open does, with its save question.
    placeFigure(w, 700, 500, 20, 20);
    w.prompter.messages.clear();
    w.prompter.answers = {PromptAnswer::No};
    menu->actions().at(2)->trigger();   // "&3 a.box"
    EXPECT_EQ(w.doc().FileName, a);
    ASSERT_EQ(w.prompter.messages.size(), 1u);
    EXPECT_EQ(w.prompter.messages[0].caption, QStringLiteral("Faltarillon öffnen"));
    EXPECT_EQ(w.window->recentFiles()->list().paths(), (QStringList{a, c, b}));
    QCoreApplication::processEvents();   // the old items go once their signal returned

    menu->actions().last()->trigger();   // "Liste leeren"
    EXPECT_EQ(captions(menu), (QStringList{"-", "Liste &leeren"}));
}

TEST(RecentFilesMenu, MissingFileIsReportedAndDropped) {
    QTemporaryDir dir;
    const QString a = saveDesign(dir.filePath(QStringLiteral("bleibt.box")));
    const QString gone = saveDesign(dir.filePath(QStringLiteral("weg.box")));
    StartedWindow w;
    w.window->recentFiles()->fileUsed(a);
    w.window->recentFiles()->fileUsed(gone);
    ASSERT_TRUE(QFile::remove(gone));
    w.window->MainMenu1->Zuletztgeoeffnet1->actions().at(0)->trigger();
    ASSERT_EQ(w.prompter.messages.size(), 1u);
    EXPECT_EQ(w.prompter.messages[0].text, QStringLiteral("Die Datei ") + gone + QStringLiteral(" wurde nicht gefunden."));
    EXPECT_EQ(w.prompter.messages[0].icon, PromptIcon::Information);
    EXPECT_TRUE(w.prompter.messages[0].caption.isEmpty());
    EXPECT_EQ(w.window->recentFiles()->list().paths(), QStringList{a});
    EXPECT_EQ(w.window->windowTitle(), Caption + QStringLiteral("NONAME01"));
}

TEST(RecentFilesMenu, KeptInTheSettingsStoreAcrossRuns) {
    PrivateSettings store;
    QTemporaryDir dir;
    const QString a = saveDesign(dir.filePath(QStringLiteral("gemerkt.box")));
    RecordingPrompter prompter;
    {
        TSDIAppForm first(&prompter, true);
        first.recentFiles()->fileUsed(a);
    }
    TSDIAppForm second(&prompter, true);
    EXPECT_EQ(second.recentFiles()->list().paths(), QStringList{a});
    EXPECT_EQ(second.MainMenu1->Zuletztgeoeffnet1->actions().at(0)->text(), QStringLiteral("&1 gemerkt.box"));
    // beside the window placement, in the one store of the program
    QSettings settings;
    EXPECT_EQ(settings.value(RecentFiles::settingsKey()).toStringList(), QStringList{a});
}

TEST(SamplesMenu, OpensASampleAsANewUnnamedBox) {
    StartedWindow w;
    QMenu* menu = w.window->MainMenu1->Beispiele1;
    // The build copies the samples beside the program, as the package puts
    // them under share/faltarillon/beispiele.
    EXPECT_EQ(captions(menu), (QStringList{"Box mit Bildhintergrund", "Geschenkbox", "Kartenschachtel", "Seifenschachtel",
                                      "Spielkartenschachtel", "Spielwürfel", "Teebeutelschachtel", "Teeschachtel"}));
    for (QAction* a : menu->actions())
        EXPECT_EQ(a->statusTip(), QStringLiteral("Öffnet die Beispielbox als neue, unbenannte Box"));
    const QString folder = SamplesMenu::samplesFolder(w.doc().ProgramFolder);
    const QString picturePath = QDir(folder).filePath(QStringLiteral("Box mit Bildhintergrund.box"));
    const QByteArray before = [&] {
        QFile f(picturePath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    menu->actions().at(0)->trigger();
    EXPECT_TRUE(w.prompter.messages.empty());
    EXPECT_EQ(w.window->windowTitle(), Caption + QStringLiteral("NONAME01"));
    EXPECT_TRUE(w.doc().FileName.isEmpty());
    EXPECT_TRUE(w.doc().Objects.anyObjects());
    EXPECT_FALSE(w.doc().BackgroundPicture.isEmpty());
    // The picture keeps the place it was found in, so a copy saved elsewhere
    // still finds it.
    EXPECT_EQ(w.doc().BackgroundFile, QDir(folder).filePath(QStringLiteral("Abendhimmel.jpg")));
    EXPECT_TRUE(w.window->recentFiles()->list().paths().isEmpty());

    // Save asks for a name: the sample is never written over.
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("meine.box"));
    w.prompter.savePaths = {copy};
    ASSERT_TRUE(w.window->fileCommands().SaveItemClick());
    QFile sample(picturePath);
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    EXPECT_EQ(sample.readAll(), before);
    BoxDocument reopened;
    RecordingPrompter quiet;
    ASSERT_TRUE(OpenItNow(reopened, copy, quiet));
    EXPECT_TRUE(quiet.messages.empty());
    EXPECT_FALSE(reopened.BackgroundPicture.isEmpty());

    // Changed since it was saved, a sample asks first, like Open.
    placeFigure(w, 700, 500, 20, 20);
    w.prompter.messages.clear();
    w.prompter.answers = {PromptAnswer::Cancel};
    menu->actions().at(2)->trigger();
    ASSERT_EQ(w.prompter.messages.size(), 1u);
    EXPECT_EQ(w.prompter.messages[0].caption, QStringLiteral("Faltarillon öffnen"));
    EXPECT_EQ(w.doc().FileName, copy);
}

TEST(MenuCaptions, AmpersandInANameIsShownNotAMnemonic) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("beispiele"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile(QStringLiteral(FALTARILLON_TEST_DATA "/../../samples/Geschenkbox.box")).copy(folder + "/Kisten & Kästen.box");
    QMenu menu;
    SamplesMenu samples(&menu, dir.path() + QLatin1Char('/'));
    EXPECT_EQ(captions(&menu), QStringList{"Kisten && Kästen"});
}
