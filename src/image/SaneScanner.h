#pragma once
// Scanning through SANE. Listing devices and scanning a page are blocking
// calls: the program runs scanPage() in a worker thread and lists devices
// from a dialog. All SANE use is serialised by one lock, as the library is
// not safe to enter from two threads at once. SANE is initialised once per
// process: backends do not survive being set up a second time.

#include "image/DibHandle.h"
#include "base/Progress.h"

#include <QList>
#include <QPair>
#include <QString>

#include <atomic>

struct ScannerDevice {
    QString name;     // what sane_open takes, e.g. "test:0"
    QString vendor;
    QString model;
    QString type;
    QString label() const;   // "Noname frontend-tester virtual device (test:0)"
};

// Device settings applied in order before the scan, by SANE option name:
// {"mode", "Color"}, {"resolution", "150"}, {"depth", "8"}.
using ScanOptions = QList<QPair<QString, QString>>;

enum class ScanStatus { Ok, NoScanner, Cancelled, Failed };

struct ScanResult {
    ScanStatus status = ScanStatus::Failed;
    DibHandle image;    // set only for Ok
    QString message;    // German text for the user when not Ok
};

class SaneScanner {
public:
    // Devices SANE finds now. An error (no SANE at all) gives an empty list
    // and, if asked, a message.
    static QList<ScannerDevice> devices(QString* error = nullptr);

    // Scans one page. An empty device name takes the first device found.
    // progress gets 0..100; cancel, when it becomes true, stops the scan at
    // the next block of data. 1-bit scans become two-colour pictures, grey
    // scans 8-bit grey, colour scans 24-bit; 16-bit samples keep their high
    // byte.
    static ScanResult scanPage(const QString& deviceName, const ProgressCallback& progress = {},
                               const std::atomic<bool>* cancel = nullptr, const ScanOptions& options = {});

    // Asks the scanner of the scan now running (if any) to stop at once,
    // even while the scan waits for data; safe from any thread. The scan
    // then ends as Cancelled.
    static void cancelRunningScan();
};
