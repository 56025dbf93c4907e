#include "image/SaneScanner.h"

#include "image/ImageLoader.h"

#include <QMutex>
#include <QMutexLocker>

#include <sane/sane.h>

#include <atomic>
#include <vector>

namespace {

QMutex& saneLock() {
    static QMutex lock;
    return lock;
}

// Holds the lock for one operation and initialises SANE on first use.
class SaneSession {
public:
    SaneSession() : m_locker(&saneLock()) {
        static bool initialised = false;
        if (!initialised) {
            SANE_Int version = 0;
            initialised = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
        }
        m_ok = initialised;
    }
    bool ok() const { return m_ok; }

private:
    QMutexLocker<QMutex> m_locker;
    bool m_ok = false;
};

QString statusText(SANE_Status status) {
    switch (status) {
    case SANE_STATUS_DEVICE_BUSY:
        return QStringLiteral("Der Scanner ist belegt.");
    case SANE_STATUS_JAMMED:
        return QStringLiteral("Im Scanner hat sich das Papier gestaut.");
    case SANE_STATUS_NO_DOCS:
        return QStringLiteral("Im Scanner liegt keine Vorlage.");
    case SANE_STATUS_COVER_OPEN:
        return QStringLiteral("Der Deckel des Scanners ist offen.");
    case SANE_STATUS_IO_ERROR:
        return QStringLiteral("Die Verbindung zum Scanner ist gestört.");
    case SANE_STATUS_NO_MEM:
        return QStringLiteral("Für den Scan ist nicht genug Speicher frei.");
    case SANE_STATUS_ACCESS_DENIED:
        return QStringLiteral("Der Zugriff auf den Scanner wurde verweigert.");
    default:
        return QStringLiteral("Der Scanner meldet einen Fehler: %1")
            .arg(QString::fromLocal8Bit(sane_strstatus(status)));
    }
}

ScanResult failure(ScanStatus status, const QString& message) {
    ScanResult r;
    r.status = status;
    r.message = message;
    return r;
}

// The handle of the scan in progress, for cancelling from another thread.
// Its own small lock: the scanning thread holds the SANE lock throughout.
QMutex runningLock;
SANE_Handle runningHandle = nullptr;
// Some backends end a cancelled read with a plain end of data; this flag
// keeps such a half page from passing for a complete scan.
std::atomic<bool> runningCancelled{false};

struct DeviceCloser {
    SANE_Handle handle = nullptr;
    void publish() {
        QMutexLocker<QMutex> lock(&runningLock);
        runningHandle = handle;
        runningCancelled = false;
    }
    ~DeviceCloser() {
        if (handle) {
            {
                QMutexLocker<QMutex> lock(&runningLock);
                runningHandle = nullptr;
            }
            sane_cancel(handle);
            sane_close(handle);
        }
    }
};

// One received frame, its rows as SANE sent them.
struct Frame {
    SANE_Parameters params{};
    QByteArray data;
};

int sampleAt(const uchar* row, int index, int depth) {
    switch (depth) {
    case 1:
        return (row[index / 8] >> (7 - index % 8)) & 1;
    case 16:
        // host byte order; keep the high byte
        return reinterpret_cast<const quint16*>(row)[index] >> 8;
    default:
        return row[index];
    }
}

DibHandle buildImage(const std::vector<Frame>& frames) {
    const SANE_Parameters& p = frames.front().params;
    const int width = p.pixels_per_line;
    const int bpl = p.bytes_per_line;
    if (width <= 0 || bpl <= 0) return DibHandle();
    const int height = int(frames.front().data.size() / bpl);
    if (height <= 0) return DibHandle();
    const bool grey = p.format == SANE_FRAME_GRAY;
    const bool interleaved = p.format == SANE_FRAME_RGB;
    if (grey) {
        const bool lineArt = p.depth == 1;
        QVector<QRgb> table;
        if (lineArt) {
            table << qRgb(0, 0, 0) << qRgb(255, 255, 255);
        } else {
            for (int i = 0; i < 256; ++i) table << qRgb(i, i, i);
        }
        DibHandle dib = newdib(width, height, lineArt ? 1 : 8, table);
        if (dib.isEmpty()) return dib;
        for (int y = 0; y < height; ++y) {
            const uchar* row = reinterpret_cast<const uchar*>(frames.front().data.constData()) + qint64(y) * bpl;
            uchar* out = dib.image().scanLine(y);
            for (int x = 0; x < width; ++x) {
                const int s = sampleAt(row, x, p.depth);
                // SANE line art: 1 is black
                out[x] = uchar(lineArt ? 1 - s : s);
            }
        }
        return dib;
    }
    DibHandle dib = newdib(width, height, 24);
    if (dib.isEmpty()) return dib;
    // Three-pass scanners send one frame per channel, in any order.
    const Frame* channel[3] = {nullptr, nullptr, nullptr};
    if (!interleaved) {
        for (const Frame& f : frames) {
            const int c = f.params.format == SANE_FRAME_RED ? 0 : f.params.format == SANE_FRAME_GREEN ? 1 : 2;
            channel[c] = &f;
        }
        for (const Frame* f : channel)
            if (!f || f->params.bytes_per_line != bpl || f->data.size() < qint64(height) * bpl) return DibHandle();
    }
    const int scale = p.depth == 1 ? 255 : 1;
    for (int y = 0; y < height; ++y) {
        QRgb* out = reinterpret_cast<QRgb*>(dib.image().scanLine(y));
        for (int x = 0; x < width; ++x) {
            int c[3];
            for (int k = 0; k < 3; ++k) {
                if (interleaved) {
                    const uchar* row = reinterpret_cast<const uchar*>(frames.front().data.constData()) + qint64(y) * bpl;
                    c[k] = sampleAt(row, 3 * x + k, p.depth) * scale;
                } else {
                    const uchar* row = reinterpret_cast<const uchar*>(channel[k]->data.constData()) + qint64(y) * bpl;
                    c[k] = sampleAt(row, x, p.depth) * scale;
                }
            }
            out[x] = qRgb(c[0], c[1], c[2]);
        }
    }
    return dib;
}

bool setOption(SANE_Handle handle, const QString& name, const QString& value) {
    for (SANE_Int i = 1;; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle, i);
        if (!d) return false;
        if (!d->name || QString::fromLatin1(d->name) != name) continue;
        if (!SANE_OPTION_IS_ACTIVE(d->cap) || !SANE_OPTION_IS_SETTABLE(d->cap)) return false;
        SANE_Int info = 0;
        bool ok = true;
        switch (d->type) {
        case SANE_TYPE_BOOL: {
            const QString v = value.toLower();
            SANE_Bool b = (v == QLatin1String("true") || v == QLatin1String("yes") || v == QLatin1String("1"))
                              ? SANE_TRUE
                              : SANE_FALSE;
            return sane_control_option(handle, i, SANE_ACTION_SET_VALUE, &b, &info) == SANE_STATUS_GOOD;
        }
        case SANE_TYPE_INT: {
            SANE_Int n = SANE_Int(value.toDouble(&ok));
            return ok && sane_control_option(handle, i, SANE_ACTION_SET_VALUE, &n, &info) == SANE_STATUS_GOOD;
        }
        case SANE_TYPE_FIXED: {
            SANE_Fixed f = SANE_FIX(value.toDouble(&ok));
            return ok && sane_control_option(handle, i, SANE_ACTION_SET_VALUE, &f, &info) == SANE_STATUS_GOOD;
        }
        case SANE_TYPE_STRING: {
            QByteArray text = value.toLocal8Bit();
            if (text.size() >= d->size) return false;
            text.resize(d->size);
            return sane_control_option(handle, i, SANE_ACTION_SET_VALUE, text.data(), &info) == SANE_STATUS_GOOD;
        }
        default:
            return false;
        }
    }
}

}  // namespace

void SaneScanner::cancelRunningScan() {
    QMutexLocker<QMutex> lock(&runningLock);
    if (!runningHandle) return;
    runningCancelled = true;
    sane_cancel(runningHandle);
}

QString ScannerDevice::label() const {
    QString text = (vendor + QLatin1Char(' ') + model).trimmed();
    if (text.isEmpty()) return name;
    return text + QStringLiteral(" (") + name + QLatin1Char(')');
}

QList<ScannerDevice> SaneScanner::devices(QString* error) {
    QList<ScannerDevice> list;
    SaneSession session;
    if (!session.ok()) {
        if (error) *error = QStringLiteral("Die Scanner-Schnittstelle (SANE) steht nicht zur Verfügung.");
        return list;
    }
    const SANE_Device** devs = nullptr;
    const SANE_Status st = sane_get_devices(&devs, SANE_FALSE);
    if (st != SANE_STATUS_GOOD || !devs) {
        if (error) *error = statusText(st);
        return list;
    }
    for (int i = 0; devs[i]; ++i) {
        ScannerDevice d;
        d.name = QString::fromLocal8Bit(devs[i]->name);
        d.vendor = QString::fromLocal8Bit(devs[i]->vendor);
        d.model = QString::fromLocal8Bit(devs[i]->model);
        d.type = QString::fromLocal8Bit(devs[i]->type);
        list << d;
    }
    return list;
}

ScanResult SaneScanner::scanPage(const QString& deviceName, const ProgressCallback& progress,
                                 const std::atomic<bool>* cancel, const ScanOptions& options) {
    const QString noScanner = QStringLiteral("Es wurde kein Scanner gefunden.");
    SaneSession session;
    if (!session.ok()) return failure(ScanStatus::NoScanner, noScanner);

    QByteArray name = deviceName.toLocal8Bit();
    if (name.isEmpty()) {
        const SANE_Device** devs = nullptr;
        if (sane_get_devices(&devs, SANE_FALSE) != SANE_STATUS_GOOD || !devs || !devs[0])
            return failure(ScanStatus::NoScanner, noScanner);
        name = devs[0]->name;
    }
    DeviceCloser device;
    SANE_Status st = sane_open(name.constData(), &device.handle);
    if (st != SANE_STATUS_GOOD) {
        device.handle = nullptr;
        if (st == SANE_STATUS_INVAL || st == SANE_STATUS_UNSUPPORTED)
            return failure(ScanStatus::NoScanner, noScanner);
        return failure(ScanStatus::Failed, statusText(st));
    }

    device.publish();
    for (const auto& option : options) {
        if (!setOption(device.handle, option.first, option.second))
            return failure(ScanStatus::Failed,
                           QStringLiteral("Die Scanner-Einstellung \"%1\" ist nicht möglich.").arg(option.first));
    }

    auto cancelled = [&] { return (cancel && cancel->load()) || runningCancelled.load(); };
    const qint64 limit = MaxDecodedImageBytes();
    std::vector<Frame> frames;
    std::vector<SANE_Byte> buffer(64 * 1024);
    if (progress) progress(0);
    for (;;) {
        st = sane_start(device.handle);
        if (st == SANE_STATUS_CANCELLED) return failure(ScanStatus::Cancelled, QStringLiteral("Der Scan wurde abgebrochen."));
        if (st != SANE_STATUS_GOOD) return failure(ScanStatus::Failed, statusText(st));
        Frame frame;
        st = sane_get_parameters(device.handle, &frame.params);
        if (st != SANE_STATUS_GOOD) return failure(ScanStatus::Failed, statusText(st));
        const SANE_Parameters& p = frame.params;
        if ((p.depth != 1 && p.depth != 8 && p.depth != 16) || p.pixels_per_line <= 0 || p.bytes_per_line <= 0 ||
            p.pixels_per_line > 65535 ||
            qint64(p.bytes_per_line) * 8 < qint64(p.pixels_per_line) * p.depth * (p.format == SANE_FRAME_RGB ? 3 : 1))
            return failure(ScanStatus::Failed, QStringLiteral("Der Scanner liefert ein unbekanntes Bildformat."));
        const int passes = p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB ? 1 : 3;
        const qint64 expected = p.lines > 0 ? qint64(p.lines) * p.bytes_per_line : -1;
        for (;;) {
            if (cancelled()) return failure(ScanStatus::Cancelled, QStringLiteral("Der Scan wurde abgebrochen."));
            SANE_Int len = 0;
            st = sane_read(device.handle, buffer.data(), SANE_Int(buffer.size()), &len);
            if (st == SANE_STATUS_EOF || cancelled()) break;
            if (st == SANE_STATUS_CANCELLED)
                return failure(ScanStatus::Cancelled, QStringLiteral("Der Scan wurde abgebrochen."));
            if (st != SANE_STATUS_GOOD) return failure(ScanStatus::Failed, statusText(st));
            frame.data.append(reinterpret_cast<const char*>(buffer.data()), len);
            if (frame.data.size() * (passes == 3 ? 3 : 1) > limit)
                return failure(ScanStatus::Failed, QStringLiteral("Der Scan ist zu groß."));
            if (progress && expected > 0) {
                const qint64 done = qint64(frames.size()) * expected + frame.data.size();
                progress(int(std::min<qint64>(100, done * 100 / (expected * passes))));
            }
        }
        if (cancelled()) return failure(ScanStatus::Cancelled, QStringLiteral("Der Scan wurde abgebrochen."));
        const bool last = p.last_frame;
        frames.push_back(std::move(frame));
        if (last || frames.size() >= 3) break;
    }
    if (progress) progress(100);
    // Keep whole rows only; a hand scanner may stop mid-row.
    ScanResult result;
    result.image = buildImage(frames);
    if (result.image.isEmpty())
        return failure(ScanStatus::Failed, QStringLiteral("Der Scanner hat kein Bild geliefert."));
    result.status = ScanStatus::Ok;
    return result;
}
