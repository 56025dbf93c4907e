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

#include <utility>
#include <vector>

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
    // What a queue's description says about its printer: colour or grey,
    // the papers it takes (PPD names: A4, A3, A5, Letter, Legal) with the
    // first as default, and the unprintable margin all round in points.
    struct Queue {
        bool colour = false;
        QStringList papers = {QStringLiteral("A4")};
        int margin = 0;
    };
    bool addFileQueue(const QString& name) { return addFileQueue(name, Queue()); }
    bool addFileQueue(const QString& name, const Queue& queue) {
        const QString ppd = path(QStringLiteral("conf/%1-source.ppd").arg(name));
        if (!write(QStringLiteral("conf/%1-source.ppd").arg(name), passThroughPpd(queue))) return fail("cannot write the PPD");
        return runTool(QStringLiteral("lpadmin"), {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                                                   QStringLiteral("file://") + outputFile(name), QStringLiteral("-P"), ppd});
    }
    bool setDefault(const QString& name) { return runTool(QStringLiteral("lpadmin"), {QStringLiteral("-d"), name}); }

    // The server started with these queues, the first one the default, and
    // the print support of this process pointed at it (before the first
    // printer object is made).
    bool startWith(const std::vector<std::pair<QString, Queue>>& queues) {
        if (!start()) return false;
        for (const auto& [name, queue] : queues)
            if (!addFileQueue(name, queue)) return false;
        if (!queues.empty() && !setDefault(queues.front().first)) return false;
        qputenv("CUPS_SERVER", QFile::encodeName(socket()));
        return true;
    }

    QString socket() const { return path(QStringLiteral("cups.sock")); }
    QString outputFile(const QString& queue) const { return path(QStringLiteral("out/%1.prn").arg(queue)); }
    // The job that reached a queue's file: a whole PDF, waited for up to a
    // minute; empty when none came.
    QByteArray waitForJob(const QString& queue) const {
        QByteArray job;
        const bool whole = QTest::qWaitFor(
            [&] {
                QFile f(outputFile(queue));
                job = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
                return job.startsWith("%PDF") && job.trimmed().endsWith("%%EOF");
            },
            60000);
        return whole ? job : QByteArray();
    }
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
    static QString passThroughPpd(const Queue& queue) {
        QString ppd = QStringLiteral(
            "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
            "*LanguageEncoding: ISOLatin1\n*PCFileName: \"DATEI.PPD\"\n*Manufacturer: \"Test\"\n"
            "*Product: \"(Datei)\"\n*ModelName: \"Datei\"\n*ShortNickName: \"Datei\"\n*NickName: \"Datei\"\n"
            "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: %1\n*DefaultColorSpace: %2\n"
            "*FileSystem: False\n*Throughput: \"1\"\n*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n"
            "*cupsVersion: 2.4\n*cupsFilter: \"application/pdf 0 gziptoany\"\n"
            "*cupsFilter: \"application/vnd.cups-raw 0 gziptoany\"\n*DefaultResolution: 300dpi\n")
                          .arg(queue.colour ? QStringLiteral("True") : QStringLiteral("False"),
                               queue.colour ? QStringLiteral("RGB") : QStringLiteral("Gray"));
        if (queue.colour)
            ppd += QStringLiteral(
                "*OpenUI *ColorModel/Color Mode: PickOne\n*OrderDependency: 10 AnySetup *ColorModel\n"
                "*DefaultColorModel: RGB\n*ColorModel Gray/Grayscale: \"<</cupsColorSpace 18>>setpagedevice\"\n"
                "*ColorModel RGB/Color: \"<</cupsColorSpace 1>>setpagedevice\"\n*CloseUI: *ColorModel\n");
        const QString first = queue.papers.value(0, QStringLiteral("A4"));
        QString sizes, regions, areas, dimensions;
        for (const QString& paper : queue.papers) {
            const QSize pt = paperPoints(paper);
            const QString dims = QStringLiteral("%1 %2").arg(pt.width()).arg(pt.height());
            sizes += QStringLiteral("*PageSize %1/%1: \"<</PageSize[%2]>>setpagedevice\"\n").arg(paper, dims);
            regions += QStringLiteral("*PageRegion %1/%1: \"<</PageSize[%2]>>setpagedevice\"\n").arg(paper, dims);
            areas += QStringLiteral("*ImageableArea %1/%1: \"%2 %3 %4 %5\"\n")
                         .arg(paper)
                         .arg(queue.margin)
                         .arg(queue.margin)
                         .arg(pt.width() - queue.margin)
                         .arg(pt.height() - queue.margin);
            dimensions += QStringLiteral("*PaperDimension %1/%1: \"%2\"\n").arg(paper, dims);
        }
        ppd += QStringLiteral("*OpenUI *PageSize/Media Size: PickOne\n*OrderDependency: 10 AnySetup *PageSize\n"
                              "*DefaultPageSize: %1\n") .arg(first) +
               sizes + QStringLiteral("*CloseUI: *PageSize\n*OpenUI *PageRegion: PickOne\n"
                                      "*OrderDependency: 10 AnySetup *PageRegion\n*DefaultPageRegion: %1\n").arg(first) +
               regions + QStringLiteral("*CloseUI: *PageRegion\n*DefaultImageableArea: %1\n").arg(first) + areas +
               QStringLiteral("*DefaultPaperDimension: %1\n").arg(first) + dimensions;
        return ppd;
    }
    static QSize paperPoints(const QString& paper) {
        if (paper == QLatin1String("A3")) return {842, 1191};
        if (paper == QLatin1String("A5")) return {420, 595};
        if (paper == QLatin1String("Letter")) return {612, 792};
        if (paper == QLatin1String("Legal")) return {612, 1008};
        return {595, 842};
    }

    QTemporaryDir m_root;
    QProcess m_daemon;
    QString m_error;
};
