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
              QStringLiteral("schreibgeschützt"));
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
// its new length reserved first, so a file size limit keeps it whole.
TEST_F(SaveFile, InPlaceFallbackWritesOverOnlyWithTheRoomReserved) {
    RUN_IN_CHILD_PROCESS();
    RUN_AS_ORDINARY_USER();
    const QString sub = path(QStringLiteral("nurlesen"));
    ASSERT_TRUE(QDir().mkdir(sub));
    const QString file = sub + QStringLiteral("/a.dat");
    ASSERT_TRUE(writeAll(file, QByteArray(7000, 'x')));
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const SaveResult written = saveFile(file, QByteArray("neu"), SaveMode::InPlaceWhenFolderRefuses);
    SaveResult refused;
    {
        const FileSizeLimit limit(1024);
        refused = saveFile(file, QByteArray(3000, 's'), SaveMode::InPlaceWhenFolderRefuses);
    }
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(written.ok);
    EXPECT_TRUE(written.inPlace);
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.inPlace);
    EXPECT_EQ(refused.reason, QStringLiteral("Datei zu groß"));
    EXPECT_EQ(readAll(file), QByteArray("neu"));
    EXPECT_EQ(entriesOf(sub), QStringList{QStringLiteral("a.dat")});
}

// The same on a real full disk, as the ordinary user it happens to: root
// mounts the tmpfs, makes a folder the user cannot write with the user's
// file in it, fills the disk and lets the user save. The old file used to
// be cut short before the first write failed.
TEST_F(SaveFile, InPlaceOnAFullDiskKeepsTheOldFile) {
    const QString prepared = qEnvironmentVariable("FALTARILLON_TEST_FULL_FOLDER");
    if (!prepared.isEmpty()) {
        const SaveResult r = saveFile(prepared + QStringLiteral("/a.dat"), manyKilobytes(),
                                      SaveMode::InPlaceWhenFolderRefuses);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.inPlace);
        EXPECT_EQ(r.reason, QStringLiteral("Kein Speicherplatz mehr"));
        return;
    }
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
    const SmallTmpfs disk;
    if (!disk.mounted()) GTEST_SKIP() << disk.why().toStdString();
    const QString sub = disk.filePath(QStringLiteral("nurlesen"));
    ASSERT_TRUE(QDir().mkdir(sub));
    const QString file = sub + QStringLiteral("/a.dat");
    const QByteArray old(100, 'p');
    ASSERT_TRUE(writeAll(file, old));
    const QByteArray native = QFile::encodeName(file);
    ASSERT_EQ(::chown(native.constData(), unprivileged::NobodyId, unprivileged::NobodyId), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(sub).constData(), 0755), 0);
    ASSERT_TRUE(disk.fill());
    unprivileged::runCurrentTestAsNobody({QStringLiteral("FALTARILLON_TEST_FULL_FOLDER=") + sub});
    EXPECT_EQ(readAll(file), old);
    EXPECT_EQ(entriesOf(sub), QStringList{QStringLiteral("a.dat")});
}

// A replace makes a new file: it takes the old one's mode exactly (root
// used to turn 0444 into 0644 and every run dropped the special bits), and
// as root its owner and group. A file without any write bit is refused,
// whoever saves.
TEST_F(SaveFile, ReplacedFileKeepsModeOwnerAndGroupAndNoWriteBitRefuses) {
    const bool root = ::geteuid() == 0;
    struct Case {
        mode_t mode;
        bool saved;
    };
    for (const Case c : {Case{0604, true}, Case{0620, true}, Case{02664, true}, Case{04755, true}, Case{0444, false},
                         Case{0400, false}}) {
        SCOPED_TRACE(QString::number(c.mode, 8).toStdString());
        const QString file = path(QStringLiteral("m%1.dat").arg(c.mode, 0, 8));
        const QByteArray native = QFile::encodeName(file);
        ASSERT_TRUE(writeAll(file, QByteArray("alt")));
        if (root) ASSERT_EQ(::chown(native.constData(), unprivileged::NobodyId, unprivileged::NobodyId), 0);
        ASSERT_EQ(::chmod(native.constData(), c.mode), 0);
        const SaveResult r = saveFile(file, QByteArray("neu"));
        EXPECT_EQ(r.ok, c.saved);
        if (!c.saved) EXPECT_EQ(r.reason, QStringLiteral("schreibgeschützt"));
        EXPECT_EQ(readAll(file), c.saved ? QByteArray("neu") : QByteArray("alt"));
        struct stat st {};
        ASSERT_EQ(::stat(native.constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.mode);
        if (root) {
            EXPECT_EQ(st.st_uid, unprivileged::NobodyId);
            EXPECT_EQ(st.st_gid, unprivileged::NobodyId);
        }
    }
}
