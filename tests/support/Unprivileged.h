#pragma once
// Tests about permissions mean nothing as root, who may write anything. Run
// as root (as CI does), such a test starts a copy of its own executable as
// the unprivileged user "nobody" with only itself selected and passes when
// that run passes; run as an ordinary user, it simply runs.
//
//   TEST(Suite, Name) {
//       RUN_AS_ORDINARY_USER();
//       ... the checks, as an ordinary user ...
//   }

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace unprivileged {

constexpr unsigned NobodyId = 65534;

// Runs the current test in a copy of this executable as "nobody"; returns
// false (and records the failure) when it could not run or did not pass.
// extra holds variables (NAME=value) for the copy: what root prepared for it.
inline bool runCurrentTestAsNobody(const QStringList& extra = {}) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString filter = QStringLiteral("%1.%2").arg(QString::fromUtf8(info->test_suite_name()),
                                                       QString::fromUtf8(info->name()));
    QTemporaryDir home;
    if (!home.isValid()) {
        ADD_FAILURE() << "no temporary folder";
        return false;
    }
    // The copy and a home of its own where nobody can reach them, whatever
    // the permissions of the build folder's parents.
    const QString exe = home.filePath(QStringLiteral("test-as-nobody"));
    const QString tmp = home.filePath(QStringLiteral("tmp"));
    if (!QFile::copy(QStringLiteral("/proc/self/exe"), exe) || !QDir().mkdir(tmp) ||
        ::chmod(QFile::encodeName(home.path()).constData(), 0755) != 0 ||
        ::chmod(QFile::encodeName(exe).constData(), 0755) != 0 ||
        ::chown(QFile::encodeName(tmp).constData(), NobodyId, NobodyId) != 0) {
        ADD_FAILURE() << "cannot prepare the copy for nobody";
        return false;
    }
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), tmp);
    env.insert(QStringLiteral("TMPDIR"), tmp);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), tmp);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const QString& variable : extra)
        env.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
    run.setProcessEnvironment(env);
    run.setWorkingDirectory(tmp);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QStringLiteral("setpriv"),
              {QStringLiteral("--reuid=%1").arg(NobodyId), QStringLiteral("--regid=%1").arg(NobodyId),
               QStringLiteral("--clear-groups"), exe, QStringLiteral("--gtest_filter=") + filter});
    if (!run.waitForFinished(120000)) {
        run.kill();
        run.waitForFinished();
        ADD_FAILURE() << "the run as nobody did not finish: " << run.errorString().toStdString();
        return false;
    }
    const QByteArray out = run.readAll();
    // Exactly this test ran and passed; a skip there is no pass here.
    const bool passed = run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0 &&
                        out.contains("[  PASSED  ] 1 test.") && !out.contains("SKIPPED");
    if (!passed) ADD_FAILURE() << "as nobody:\n" << out.toStdString();
    return passed;
}

}  // namespace unprivileged

#define RUN_AS_ORDINARY_USER()                          \
    do {                                                \
        if (::geteuid() == 0) {                         \
            unprivileged::runCurrentTestAsNobody();     \
            return;                                     \
        }                                               \
    } while (0)
