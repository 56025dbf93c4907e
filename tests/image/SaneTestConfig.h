#pragma once
// A private SANE configuration that enables the "test" backend (the system
// one leaves it disabled). SANE reads it once, at its first use in the
// process: call SaneTestConfig::enable() before any scanner call and choose
// per-scan settings through ScanOptions.

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTextStream>

class SaneTestConfig {
public:
    // overrides: test.conf keys and their values, e.g. {"mode", "Color"}
    explicit SaneTestConfig(const QMap<QString, QString>& overrides = {}) {
        m_old = qgetenv("SANE_CONFIG_DIR");
        m_hadOld = qEnvironmentVariableIsSet("SANE_CONFIG_DIR");
        QFile dll(m_dir.filePath("dll.conf"));
        dll.open(QIODevice::WriteOnly);
        dll.write("test\n");
        dll.close();
        QFile system("/etc/sane.d/test.conf");
        QStringList lines;
        if (system.open(QIODevice::ReadOnly))
            lines = QString::fromLocal8Bit(system.readAll()).split('\n');
        for (QString& line : lines) {
            const QString key = line.section(' ', 0, 0);
            if (overrides.contains(key)) line = key + ' ' + overrides.value(key);
        }
        QFile conf(m_dir.filePath("test.conf"));
        conf.open(QIODevice::WriteOnly);
        conf.write(lines.join('\n').toLocal8Bit());
        conf.close();
        qputenv("SANE_CONFIG_DIR", m_dir.path().toLocal8Bit());
    }
    ~SaneTestConfig() {
        if (m_hadOld) qputenv("SANE_CONFIG_DIR", m_old);
        else qunsetenv("SANE_CONFIG_DIR");
    }
    static bool available() { return QFile::exists("/etc/sane.d/test.conf"); }

    // The process-wide configuration (kept until exit).
    static bool enable() {
        if (!available()) return false;
        static SaneTestConfig config;
        return true;
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
    bool m_hadOld = false;
};
