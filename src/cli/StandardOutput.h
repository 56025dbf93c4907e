#pragma once
// stdout as a device that keeps the errno of a failed write: a full disk
// or a closed file behind stdout must fail the run with its reason, and
// QFile on stdout keeps only an English error text.

#include <QIODevice>

class StandardOutput : public QIODevice {
public:
    StandardOutput() { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

    // 0 while every write has arrived.
    int failure() const { return m_errno; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    int m_errno = 0;
};
