// Saving never destroys the previous file and reports every failure.
#include "BoxTestSupport.h"

#include "model/BoxFile.h"
#include "Unprivileged.h"
#include "WriteFaults.h"

#include <QDir>
#include <QFileDevice>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace boxtest;

namespace {

class BoxFileSave : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingPrompter prompter;
    BoxDocument doc;

    void SetUp() override {
        makeNewDocument(doc);
        for (int slot = 1; slot <= 50; ++slot) placeText(doc, slot, QStringLiteral("Text %1").arg(slot));
    }

    void expectCreateFailed() {
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Beim Erstellen der Datei ist ein Fehler aufgetreten!"));
        EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("Fehler: Datei konnte nicht erstellt werden"));
        EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Information);
        EXPECT_FALSE(prompter.messages[0].reason.isEmpty());
    }

    // Saves with every write past bytes failing (EFBIG), as on a full disk;
    // in this process, so that it also runs as an ordinary user.
    bool saveUnderSizeLimit(const QString& file, rlim_t bytes) {
        struct rlimit old {};
        EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool saved = Saveit(doc, file, prompter);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        return saved;
    }

    // The described message of a failed write, with the file and the reason.
    void expectWriteFailed(const QString& path, const QString& reason) {
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("Fehler: Datei konnte nicht geschrieben werden"));
        EXPECT_EQ(prompter.messages[0].path, path);
        EXPECT_EQ(prompter.messages[0].reason, reason);
    }

};

}  // namespace

TEST_F(BoxFileSave, ReplacesAnExistingFile) {
    const QString file = dir.filePath(QStringLiteral("a.box"));
    ASSERT_TRUE(writeAll(file, QByteArray(5000, 'x')));
    ASSERT_TRUE(Saveit(doc, file, prompter));
    EXPECT_EQ(readAll(file), serializeBoxDocument(doc));
    EXPECT_TRUE(prompter.messages.empty());
    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(BoxFileSave, FolderThatCannotBeWrittenTakesNoNewFile) {
    RUN_AS_ORDINARY_USER();
    const QString sub = dir.filePath(QStringLiteral("nurlesen"));
    ASSERT_TRUE(QDir().mkdir(sub));
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(Saveit(doc, sub + QStringLiteral("/neu.box"), prompter));
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    expectCreateFailed();
    EXPECT_FALSE(QFile::exists(sub + QStringLiteral("/neu.box")));
}

// No temporary file can be made beside it, so the whole file is made in
// memory first and then written in place.
TEST_F(BoxFileSave, WritableFileInAFolderThatCannotBeWrittenIsReplacedInPlace) {
    RUN_AS_ORDINARY_USER();
    const QString sub = dir.filePath(QStringLiteral("nurlesen"));
    ASSERT_TRUE(QDir().mkdir(sub));
    const QString file = sub + QStringLiteral("/a.box");
    ASSERT_TRUE(writeAll(file, QByteArray(70000, 'x')));
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool saved = Saveit(doc, file, prompter);
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(saved);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(readAll(file), serializeBoxDocument(doc));
    EXPECT_EQ(QDir(sub).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// Saving never turns a FIFO, a device or a folder into a box file.
TEST_F(BoxFileSave, TargetsThatAreNoRegularFilesAreRefused) {
    const QString fifo = dir.filePath(QStringLiteral("rohr.box"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    EXPECT_FALSE(Saveit(doc, fifo, prompter));
    expectCreateFailed();
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    const QString link = dir.filePath(QStringLiteral("voll.box"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), link));
    for (const QString& target : {QStringLiteral("/dev/full"), QStringLiteral("/dev/null"), link}) {
        prompter.messages.clear();
        EXPECT_FALSE(Saveit(doc, target, prompter)) << target.toStdString();
        expectCreateFailed();
    }
    EXPECT_TRUE(QFileInfo(QStringLiteral("/dev/full")).exists());
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/full")).isFile());
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/null")).isFile());
}

TEST_F(BoxFileSave, ReadOnlyFileSystemIsReported) {
    // Even root cannot create files here.
    EXPECT_FALSE(Saveit(doc, QStringLiteral("/proc/faltarillon-test.box"), prompter));
    expectCreateFailed();
}

TEST_F(BoxFileSave, MissingFolderOrFolderAsTargetIsReported) {
    EXPECT_FALSE(Saveit(doc, dir.filePath(QStringLiteral("gibtsnicht/a.box")), prompter));
    expectCreateFailed();
    prompter.messages.clear();
    EXPECT_FALSE(Saveit(doc, dir.path(), prompter));
    expectCreateFailed();
    prompter.messages.clear();
    EXPECT_FALSE(Saveit(doc, QString(), prompter));
    expectCreateFailed();
}

TEST_F(BoxFileSave, WriteProtectedFileIsNotReplaced) {
    RUN_AS_ORDINARY_USER();
    const QString file = dir.filePath(QStringLiteral("geschuetzt.box"));
    ASSERT_TRUE(writeAll(file, QByteArray("alt")));
    QFile::setPermissions(file, QFileDevice::ReadOwner);
    EXPECT_FALSE(Saveit(doc, file, prompter));
    expectCreateFailed();
    EXPECT_EQ(readAll(file), QByteArray("alt"));
}

TEST_F(BoxFileSave, WriteErrorKeepsThePreviousFile) {
    // A file size limit makes every write past it fail, as a full disk does.
    const QString file = dir.filePath(QStringLiteral("voll.box"));
    const QByteArray previous(100, 'p');
    ASSERT_TRUE(writeAll(file, previous));
    for (int slot = 1; slot <= 2000; ++slot) placeText(doc, slot, QString(40, QLatin1Char('t')));

    const bool saved = saveUnderSizeLimit(file, 4096);

    EXPECT_FALSE(saved);
    expectWriteFailed(file, QStringLiteral("Datei zu groß"));
    EXPECT_EQ(readAll(file), previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(BoxFileSave, FullDiskKeepsThePreviousFileAndSaysWhy) {
    const writefaults::SmallTmpfs disk;
    if (!disk.mounted()) GTEST_SKIP() << disk.why().toStdString();
    const QString file = disk.filePath(QStringLiteral("a.box"));
    ASSERT_TRUE(writeAll(file, QByteArray(100, 'p')));
    ASSERT_TRUE(disk.fill());
    const bool saved = Saveit(doc, file, prompter);
    disk.empty();
    EXPECT_FALSE(saved);
    expectWriteFailed(file, QStringLiteral("Kein Speicherplatz mehr"));
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("Die vorhandene Datei wurde nicht verändert.")));
    EXPECT_EQ(readAll(file), QByteArray(100, 'p'));
    EXPECT_EQ(disk.entries(), QStringList{QStringLiteral("a.box")});
}

TEST_F(BoxFileSave, TheRefusedTargetIsNamedWithItsReason) {
    const QString fifo = dir.filePath(QStringLiteral("rohr.box"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    EXPECT_FALSE(Saveit(doc, fifo, prompter));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].path, fifo);
    EXPECT_EQ(prompter.messages[0].reason, QStringLiteral("ist keine gewöhnliche Datei"));
    prompter.messages.clear();
    EXPECT_FALSE(Saveit(doc, dir.filePath(QStringLiteral("gibtsnicht/a.box")), prompter));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].reason, QStringLiteral("Ordner nicht gefunden"));
}

// In place the new length is reserved before the first byte is written:
// where it cannot be had, the old file stays and the message says so.
TEST_F(BoxFileSave, WriteInPlaceWithoutRoomKeepsTheOldFile) {
    RUN_AS_ORDINARY_USER();
    const QString sub = dir.filePath(QStringLiteral("nurlesen"));
    ASSERT_TRUE(QDir().mkdir(sub));
    const QString file = sub + QStringLiteral("/a.box");
    ASSERT_TRUE(writeAll(file, QByteArray(100, 'p')));
    for (int slot = 1; slot <= 2000; ++slot) placeText(doc, slot, QString(40, QLatin1Char('t')));
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool saved = saveUnderSizeLimit(file, 4096);
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(saved);
    expectWriteFailed(file, QStringLiteral("Datei zu groß"));
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("Die vorhandene Datei wurde nicht verändert.")));
    EXPECT_EQ(readAll(file), QByteArray(100, 'p'));
}

// The program's message boxes keep their text and add "PATH: reason" below.
TEST(FileFaultMessage, TheProgramAddsTheFileAndTheReasonAsALineOfItsOwn) {
    struct Shown : Prompter {
        QString text;
        PromptAnswer ask(const QString&, const QString&, PromptIcon, PromptButtons) override { return PromptAnswer::No; }
        void inform(const QString&, const QString& t, PromptIcon) override { text = t; }
        QString openPath(const QString&, const QString&, const QString&) override { return {}; }
        QString savePath(const QString&, const QString&, const QString&, const QString&) override { return {}; }
    } shown;
    shown.fileFault(QStringLiteral("Fehler"), QStringLiteral("Beim Schreiben ist ein Fehler aufgetreten!"),
                    QStringLiteral("/voll/a.box"), QStringLiteral("Kein Speicherplatz mehr"), PromptIcon::Information);
    EXPECT_EQ(shown.text, QStringLiteral("Beim Schreiben ist ein Fehler aufgetreten!\n/voll/a.box: Kein Speicherplatz mehr"));
    shown.fileFault(QString(), QStringLiteral("Nur der Text"), QStringLiteral("/a"), QString(), PromptIcon::Error);
    EXPECT_EQ(shown.text, QStringLiteral("Nur der Text"));
}
