// The save helper: what it refuses, what a failed write leaves behind and
// which reason it gives.
#include "base/SaveFile.h"

#include "Unprivileged.h"
#include "WriteFaults.h"

#include <QIODevice>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/un.h>

using namespace writefaults;

namespace {

class SaveFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

// More than QSaveFile buffers, written in many small pieces.
QByteArray manyKilobytes() {
    QByteArray bytes;
    for (int i = 0; i < 20000; ++i) bytes += QByteArray::number(i) + ' ';
    return bytes;
}

DeviceWriter inPieces(const QByteArray& bytes) {
    return [bytes](QIODevice& out) {
        for (qsizetype at = 0; at < bytes.size(); at += 100)
            if (out.write(bytes.mid(at, 100)) < 0) return false;
        return true;
    };
}

}  // namespace

TEST_F(SaveFile, WritesNewAndReplacesOldFilesLeavingNothingElse) {
    const QString file = path(QStringLiteral("a.dat"));
    EXPECT_TRUE(saveFile(file, QByteArray("neu")));
    EXPECT_EQ(readAll(file), QByteArray("neu"));
    const QByteArray big = manyKilobytes();
    const SaveResult again = saveFile(file, inPieces(big));
    EXPECT_TRUE(again.ok);
    EXPECT_FALSE(again.inPlace);
    EXPECT_TRUE(again.reason.isEmpty());
    EXPECT_EQ(readAll(file), big);
    EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("a.dat")});
}

TEST_F(SaveFile, TargetsThatAreNoRegularFilesAreRefusedWithoutBlocking) {
    // A FIFO without a reader would block an open for ever.
    const QString fifo = path(QStringLiteral("rohr.png"));
    ASSERT_TRUE(makeFifo(fifo));
    SaveResult r = saveFile(fifo, QByteArray("x"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, QStringLiteral("ist keine gewöhnliche Datei"));
    EXPECT_FALSE(QFileInfo(fifo).isFile());

    const QString socketPath = path(QStringLiteral("sockel"));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(socketPath);
    ASSERT_LT(size_t(native.size()), sizeof(addr.sun_path));
    std::memcpy(addr.sun_path, native.constData(), size_t(native.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    EXPECT_EQ(saveFile(socketPath, QByteArray("x")).reason, QStringLiteral("ist keine gewöhnliche Datei"));
    ::close(fd);

    EXPECT_EQ(saveFile(dir.path(), QByteArray("x")).reason, QStringLiteral("ist ein Ordner"));
    EXPECT_EQ(saveFile(path(QStringLiteral("fehlt/a.dat")), QByteArray("x")).reason,
              QStringLiteral("Ordner nicht gefunden"));
    EXPECT_EQ(saveFile(QString(), QByteArray("x")).reason, QStringLiteral("Ordner nicht gefunden"));
    const QString loop = path(QStringLiteral("schleife"));
    ASSERT_TRUE(QFile::link(loop, loop));
    EXPECT_EQ(saveFile(loop, QByteArray("x")).reason, QStringLiteral("Zu viele symbolische Verknüpfungen"));
    EXPECT_EQ(saveFile(QStringLiteral("/proc/faltarillon-test.dat"), QByteArray("x")).ok, false);
}

TEST_F(SaveFile, DevicesAreRefusedAndKeepTheirKind) {
    const QString full = makeCharDevice(dir.path(), QStringLiteral("voll"), 7);
    if (full.isEmpty()) GTEST_SKIP() << "mknod needs root here: " << std::strerror(errno);
    const QString link = path(QStringLiteral("verweis.png"));
    ASSERT_TRUE(QFile::link(full, link));
    for (const QString& target : {full, link}) {
        const SaveResult r = saveFile(target, QByteArray("x"), SaveMode::InPlaceWhenFolderRefuses);
        EXPECT_FALSE(r.ok) << target.toStdString();
        EXPECT_EQ(r.reason, QStringLiteral("ist keine gewöhnliche Datei"));
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(full).constData(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(SaveFile, WriteProtectedFileAndFolderAreRefused) {
    RUN_AS_ORDINARY_USER();
    const QString file = path(QStringLiteral("geschuetzt.dat"));
    ASSERT_TRUE(writeAll(file, QByteArray("alt")));
    QFile::setPermissions(file, QFileDevice::ReadOwner);
    EXPECT_EQ(saveFile(file, QByteArray("neu"), SaveMode::InPlaceWhenFolderRefuses).reason,
              QStringLiteral("Zugriff verweigert"));
    EXPECT_EQ(readAll(file), QByteArray("alt"));

    const QString sub = path(QStringLiteral("nurlesen"));
    ASSERT_TRUE(QDir().mkdir(sub));
    ASSERT_TRUE(writeAll(sub + QStringLiteral("/alt.dat"), QByteArray("alt")));
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const SaveResult fresh = saveFile(sub + QStringLiteral("/neu.dat"), QByteArray("neu"),
                                      SaveMode::InPlaceWhenFolderRefuses);
    // Without the in-place option even an existing writable file stays.
    const SaveResult atomic = saveFile(sub + QStringLiteral("/alt.dat"), QByteArray("neu"));
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(fresh.reason, QStringLiteral("Zugriff verweigert"));
    EXPECT_EQ(atomic.reason, QStringLiteral("Zugriff verweigert"));
    EXPECT_EQ(entriesOf(sub), QStringList{QStringLiteral("alt.dat")});
    EXPECT_EQ(readAll(sub + QStringLiteral("/alt.dat")), QByteArray("alt"));
}

// A write error in the flush inside QSaveFile::commit() is not seen by
// commit() itself: a small file used to be committed empty.
TEST_F(SaveFile, FileSizeLimitKeepsTheOldFileForSmallAndLargeWrites) {
    RUN_IN_CHILD_PROCESS();
    const QString file = path(QStringLiteral("alt.dat"));
    const QByteArray old(100, 'p');
    ASSERT_TRUE(writeAll(file, old));
    SaveResult small, large;
    {
        const FileSizeLimit limit(1024);
        small = saveFile(file, QByteArray(3000, 's'));
        large = saveFile(file, inPieces(manyKilobytes()));
    }
    for (const SaveResult& r : {small, large}) {
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.inPlace);
        EXPECT_EQ(r.reason, QStringLiteral("Datei zu groß"));
    }
    EXPECT_EQ(readAll(file), old);
    EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("alt.dat")});
}

TEST_F(SaveFile, FullDiskKeepsTheOldFile) {
    const SmallTmpfs disk;
    if (!disk.mounted()) GTEST_SKIP() << disk.why().toStdString();
    const QString file = disk.filePath(QStringLiteral("alt.dat"));
    const QByteArray old(100, 'p');
    ASSERT_TRUE(writeAll(file, old));
    ASSERT_TRUE(disk.fill());
    for (const QByteArray& bytes : {QByteArray(3000, 's'), manyKilobytes()}) {
        const SaveResult r = saveFile(file, inPieces(bytes));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.reason, QStringLiteral("Kein Speicherplatz mehr"));
        EXPECT_EQ(readAll(file), old);
        EXPECT_EQ(disk.entries(), QStringList{QStringLiteral("alt.dat")});
    }
    disk.empty();
    EXPECT_TRUE(saveFile(file, manyKilobytes()));
}

TEST_F(SaveFile, WriterThatGivesUpKeepsTheOldFile) {
    const QString file = path(QStringLiteral("alt.dat"));
    ASSERT_TRUE(writeAll(file, QByteArray("alt")));
    const SaveResult r = saveFile(file, [](QIODevice& out) {
        out.write("halb");
        return false;
    });
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, contentFailedText());
    EXPECT_EQ(readAll(file), QByteArray("alt"));
    EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("alt.dat")});
}

// A folder that takes no temporary file: the existing file is written over,
// and a failure then says that the old version is gone.
TEST_F(SaveFile, InPlaceFallbackWritesOverAndOwnsUpToItsLoss) {
    RUN_IN_CHILD_PROCESS();
    RUN_AS_ORDINARY_USER();
    const QString sub = path(QStringLiteral("nurlesen"));
    ASSERT_TRUE(QDir().mkdir(sub));
    const QString file = sub + QStringLiteral("/a.dat");
    ASSERT_TRUE(writeAll(file, QByteArray(7000, 'x')));
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const SaveResult written = saveFile(file, QByteArray("neu"), SaveMode::InPlaceWhenFolderRefuses);
    SaveResult lost;
    {
        const FileSizeLimit limit(1024);
        lost = saveFile(file, QByteArray(3000, 's'), SaveMode::InPlaceWhenFolderRefuses);
    }
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(written.ok);
    EXPECT_TRUE(written.inPlace);
    EXPECT_FALSE(lost.ok);
    EXPECT_TRUE(lost.inPlace);
    EXPECT_EQ(lost.reason, QStringLiteral("Datei zu groß; direkt überschrieben, die alte Fassung ist verloren"));
    EXPECT_EQ(entriesOf(sub), QStringList{QStringLiteral("a.dat")});
}
