#pragma once
// Writes that fail as on a full disk, for the tests of every writer.
//
//   TEST(Suite, Name) {
//       RUN_IN_CHILD_PROCESS();          // the rest runs in a copy of this test
//       ... prepare the old file ...
//       bool saved;
//       { const FileSizeLimit limit(4096); saved = write(); }
//       ... check ...
//   }
//
// FileSizeLimit sets RLIMIT_FSIZE with SIGXFSZ ignored, so every write past
// the limit fails with EFBIG; it works for any user, but it must not touch
// the test runner itself, so it only works in the child. SmallTmpfs mounts a
// tmpfs of a few blocks, full when asked, for the real ENOSPC (root only; a
// test prints why it skips where the mount fails).

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace writefaults {

inline constexpr const char* ChildVariable = "FALTARILLON_TEST_CHILD";

inline bool inChild() { return qEnvironmentVariableIsSet(ChildVariable); }

// Runs the current test in a copy of this executable; records a failure
// when that run did not pass.
inline void runCurrentTestInChild() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString filter = QStringLiteral("%1.%2").arg(QString::fromUtf8(info->test_suite_name()),
                                                       QString::fromUtf8(info->name()));
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(ChildVariable), QStringLiteral("1"));
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")),
              {QStringLiteral("--gtest_filter=") + filter});
    if (!run.waitForFinished(120000)) {
        run.kill();
        run.waitForFinished();
        ADD_FAILURE() << "the child did not finish";
        return;
    }
    const QByteArray out = run.readAll();
    const bool ran = run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0;
    if (ran && out.contains("[  SKIPPED ] 1 test")) GTEST_SKIP() << "skipped in the child";
    if (!ran || !out.contains("[  PASSED  ] 1 test.")) ADD_FAILURE() << "in the child:\n" << out.toStdString();
}

// Every write past bytes fails (EFBIG) while this lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        if (!inChild()) {
            ADD_FAILURE() << "FileSizeLimit outside RUN_IN_CHILD_PROCESS()";
            return;
        }
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = m_old;
        small.rlim_cur = bytes;
        m_set = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
        if (!m_set) ADD_FAILURE() << "setrlimit: " << std::strerror(errno);
    }
    ~FileSizeLimit() {
        if (!m_set) return;
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit m_old {};
    void (*m_handler)(int) = SIG_DFL;
    bool m_set = false;
};

// A tmpfs of sizeKb in a temporary folder, unmounted at the end.
class SmallTmpfs {
public:
    explicit SmallTmpfs(int sizeKb = 200) {
        if (!m_dir.isValid()) {
            m_why = QStringLiteral("no temporary folder");
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(sizeKb) + "k,mode=1777";
        if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) != 0) {
            m_why = QStringLiteral("cannot mount a tmpfs here: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        m_mounted = true;
    }
    ~SmallTmpfs() {
        if (m_mounted) ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return m_mounted; }
    QString why() const { return m_why; }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    // Fills every free block, so the next write fails with ENOSPC.
    bool fill() const {
        QFile filler(m_dir.filePath(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
        const QByteArray block(4096, 'f');
        while (filler.write(block) > 0) {
        }
        // The last partial block.
        while (filler.write(block.constData(), 1) > 0) {
        }
        return true;
    }
    // Frees what fill() took.
    void empty() const { QFile::remove(m_dir.filePath(QStringLiteral(".filler"))); }
    // Everything in the tmpfs but the filler.
    QStringList entries() const {
        QStringList names = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        names.removeAll(QStringLiteral(".filler"));
        return names;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_why;
};

// A character device node with the numbers of /dev/null (1,3) or /dev/full
// (1,7), made in folder, never the machine's /dev. Empty when mknod is not
// allowed (as an ordinary user).
inline QString makeCharDevice(const QString& folder, const QString& name, unsigned minor = 7) {
    const QString path = folder + QLatin1Char('/') + name;
    if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, minor)) != 0) return QString();
    return path;
}

inline bool makeFifo(const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0; }

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The names in folder (hidden ones too): a failed save leaves only the old file.
inline QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace writefaults

#define RUN_IN_CHILD_PROCESS()                        \
    do {                                              \
        if (!::writefaults::inChild()) {              \
            ::writefaults::runCurrentTestInChild();   \
            return;                                   \
        }                                             \
    } while (0)
