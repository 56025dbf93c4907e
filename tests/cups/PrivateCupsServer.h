#pragma once
// A print server of the test's own: cupsd with its own configuration,
// spool and log folders in a temporary folder, reached only through its own
// socket (CUPS_SERVER), so no system print server is needed or touched.
// Queues print into files. The daemon is stopped when the object goes.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

class PrivateCupsServer {
public:
    PrivateCupsServer() = default;
    ~PrivateCupsServer() { stop(); }
    PrivateCupsServer(const PrivateCupsServer&) = delete;
    PrivateCupsServer& operator=(const PrivateCupsServer&) = delete;

    // Starts the daemon and waits for its socket; false with error() set.
    bool start() {
        if (!m_root.isValid()) return fail(QStringLiteral("no temporary folder"));
        for (const char* tool : {"cupsd", "lpadmin"})
            if (!findTool(QString::fromLatin1(tool))) return fail(QStringLiteral("%1 not installed").arg(tool));
        // The scheduler drops to the user lp for its filters: every folder
        // must be reachable by it.
        for (const QString& sub : {QStringLiteral("conf"), QStringLiteral("spool"), QStringLiteral("tmp"),
                                   QStringLiteral("state"), QStringLiteral("cache"), QStringLiteral("log"),
                                   QStringLiteral("out")})
            if (!QDir().mkpath(path(sub))) return fail(QStringLiteral("cannot make ") + sub);
        QFile::setPermissions(m_root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                 QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                 QFile::ExeOther);
        for (const QString& open : {QStringLiteral("tmp"), QStringLiteral("out")})
            QFile::setPermissions(path(open), QFileDevice::Permissions(0x7777));
        if (!write(QStringLiteral("conf/cupsd.conf"),
                   QStringLiteral("LogLevel info\nListen %1\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                                  "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                  "<Policy default>\n  <Limit All>\n    Order allow,deny\n    Allow all\n"
                                  "  </Limit>\n</Policy>\n")
                       .arg(socket())) ||
            !write(QStringLiteral("conf/cups-files.conf"),
                   QStringLiteral("ServerRoot %1\nRequestRoot %2\nTempDir %3\nStateDir %4\nCacheDir %5\n"
                                  "AccessLog %6/access_log\nErrorLog %6/error_log\nPageLog %6/page_log\n"
                                  "Printcap %1/printcap\nFileDevice Yes\nUser lp\nGroup lp\nSystemGroup root\n")
                       .arg(path("conf"), path("spool"), path("tmp"), path("state"), path("cache"), path("log"))))
            return fail(QStringLiteral("cannot write the configuration"));

        m_daemon.setProcessChannelMode(QProcess::MergedChannels);
        m_daemon.start(QStringLiteral("cupsd"), {QStringLiteral("-f"), QStringLiteral("-c"), path("conf/cupsd.conf"),
                                                 QStringLiteral("-s"), path("conf/cups-files.conf")});
        if (!m_daemon.waitForStarted(5000)) return fail(QStringLiteral("cupsd did not start"));
        if (!QTest::qWaitFor([&] { return QFileInfo(socket()).exists() || m_daemon.state() != QProcess::Running; },
                             15000) ||
            m_daemon.state() != QProcess::Running)
            return fail(QStringLiteral("cupsd gave no socket: ") + QString::fromLocal8Bit(m_daemon.readAll()) + log());
        return true;
    }

    // A queue whose device is the file out/<name>.prn. CUPS writes nothing
    // into a file device for a queue without any filter, so the queue's
    // description names one that passes the job through unchanged.
    bool addFileQueue(const QString& name) {
        const QString ppd = path(QStringLiteral("conf/%1-source.ppd").arg(name));
        if (!write(QStringLiteral("conf/%1-source.ppd").arg(name), passThroughPpd())) return fail("cannot write the PPD");
        return runTool(QStringLiteral("lpadmin"), {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                                                   QStringLiteral("file://") + outputFile(name), QStringLiteral("-P"), ppd});
    }
    bool setDefault(const QString& name) { return runTool(QStringLiteral("lpadmin"), {QStringLiteral("-d"), name}); }

    QString socket() const { return path(QStringLiteral("cups.sock")); }
    QString outputFile(const QString& queue) const { return path(QStringLiteral("out/%1.prn").arg(queue)); }
    QString error() const { return m_error; }
    QString log() const {
        QFile f(path(QStringLiteral("log/error_log")));
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll().right(4000)) : QString();
    }

    void stop() {
        if (m_daemon.state() == QProcess::NotRunning) return;
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(10000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }

private:
    QString path(const QString& rel) const { return m_root.filePath(rel); }
    bool fail(const QString& why) {
        m_error = why;
        return false;
    }
    static bool findTool(const QString& tool) {
        for (const char* dir : {"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/"})
            if (QFileInfo(QString::fromLatin1(dir) + tool).isExecutable()) return true;
        return false;
    }
    bool write(const QString& rel, const QString& text) {
        QFile f(path(rel));
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) >= 0;
    }
    bool runTool(const QString& tool, const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CUPS_SERVER"), socket());
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(tool, args);
        if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return fail(tool + QLatin1Char(' ') + args.join(QLatin1Char(' ')) + QStringLiteral(": ") +
                        QString::fromLocal8Bit(p.readAll()) + log());
        return true;
    }
    static QString passThroughPpd() {
        return QStringLiteral(
            "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
            "*LanguageEncoding: ISOLatin1\n*PCFileName: \"DATEI.PPD\"\n*Manufacturer: \"Test\"\n"
            "*Product: \"(Datei)\"\n*ModelName: \"Datei\"\n*ShortNickName: \"Datei\"\n*NickName: \"Datei\"\n"
            "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: False\n*DefaultColorSpace: Gray\n"
            "*FileSystem: False\n*Throughput: \"1\"\n*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n"
            "*cupsVersion: 2.4\n*cupsFilter: \"application/pdf 0 gziptoany\"\n"
            "*cupsFilter: \"application/vnd.cups-raw 0 gziptoany\"\n*DefaultResolution: 300dpi\n"
            "*OpenUI *PageSize/Media Size: PickOne\n*OrderDependency: 10 AnySetup *PageSize\n*DefaultPageSize: A4\n"
            "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n*CloseUI: *PageSize\n"
            "*OpenUI *PageRegion: PickOne\n*OrderDependency: 10 AnySetup *PageRegion\n*DefaultPageRegion: A4\n"
            "*PageRegion A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n*CloseUI: *PageRegion\n"
            "*DefaultImageableArea: A4\n*ImageableArea A4/A4: \"0 0 595 842\"\n"
            "*DefaultPaperDimension: A4\n*PaperDimension A4/A4: \"595 842\"\n");
    }

    QTemporaryDir m_root;
    QProcess m_daemon;
    QString m_error;
};
