#include "model/BoxFileReader.h"

#include "model/BoxFileExtension.h"
#include "model/BoxFileFormat.h"
#include "base/Cp1252.h"

#include <cmath>
#include <cstring>

namespace {

class ByteSource {
public:
    explicit ByteSource(const QByteArray& data)
        : m_begin(reinterpret_cast<const unsigned char*>(data.constData())),
          m_pos(m_begin), m_end(m_begin + data.size()) {}

    bool failed() const { return m_error != BoxParseError::None; }
    BoxParseError error() const { return m_error; }
    qsizetype offset() const { return m_failOffset; }
    qsizetype position() const { return m_pos - m_begin; }

    void skip(qsizetype n) { if (need(n)) m_pos += n; }
    void raw(void* dst, qsizetype n) {
        if (!need(n)) return;
        std::memcpy(dst, m_pos, static_cast<size_t>(n));
        m_pos += n;
    }
    std::uint8_t u8() {
        if (!need(1)) return 0;
        return *m_pos++;
    }
    std::int32_t i32() {
        if (!need(4)) return 0;
        const std::uint32_t u = std::uint32_t(m_pos[0]) | std::uint32_t(m_pos[1]) << 8 |
                                std::uint32_t(m_pos[2]) << 16 | std::uint32_t(m_pos[3]) << 24;
        m_pos += 4;
        return static_cast<std::int32_t>(u);
    }
    double f64() {
        if (!need(8)) return 0;
        std::uint64_t u = 0;
        for (int i = 7; i >= 0; --i) u = (u << 8) | m_pos[i];
        m_pos += 8;
        double v;
        std::memcpy(&v, &u, 8);
        return v;
    }
    // The bytes of a zero-terminated string, without the zero.
    bool zbytes(const char*& data, int& size) {
        data = nullptr;
        size = 0;
        if (failed()) return false;
        const void* zero = std::memchr(m_pos, 0, static_cast<size_t>(m_end - m_pos));
        if (!zero) {
            fail(BoxParseError::UnterminatedString);
            return false;
        }
        const auto* z = static_cast<const unsigned char*>(zero);
        data = reinterpret_cast<const char*>(m_pos);
        size = static_cast<int>(z - m_pos);
        m_pos = z + 1;
        return true;
    }
    void fail(BoxParseError e) {
        if (failed()) return;
        m_error = e;
        m_failOffset = position();
    }

private:
    bool need(qsizetype n) {
        if (failed()) return false;
        if (m_end - m_pos < n) {
            fail(BoxParseError::Truncated);
            return false;
        }
        return true;
    }

    const unsigned char* m_begin;
    const unsigned char* m_pos;
    const unsigned char* m_end;
    BoxParseError m_error = BoxParseError::None;
    qsizetype m_failOffset = 0;
};

// Reads a string; keeps its bytes only when they were taken as UTF-8.
bool readString(ByteSource& in, QString& text, QByteArray& storedBytes) {
    const char* data;
    int size;
    if (!in.zbytes(data, size)) return false;
    bool utf8 = false;
    text = decodeBoxString(data, size, &utf8);
    if (utf8)
        storedBytes = QByteArray(data, size);
    else
        storedBytes.clear();
    return true;
}

bool saneLength(double mm, bool mustBePositive) {
    if (!std::isfinite(mm) || std::fabs(mm) > boxfile::kMaxSheetMm) return false;
    return !mustBePositive || mm > 0;
}

BoxParseError checkLayout(const SheetLayout& l) {
    if (l.Columns < 1 || l.Rows < 1) return BoxParseError::BadGrid;
    if (!saneLength(l.MarginX, false) || !saneLength(l.MarginY, false) || !saneLength(l.PitchX, false) ||
        !saneLength(l.PitchY, false) || !saneLength(l.ItemWidth, true) || !saneLength(l.ItemHeight, true))
        return BoxParseError::BadLayoutSize;
    return BoxParseError::None;
}

bool saneScale(double v, double lo, double hi) { return std::isfinite(v) && v >= lo && v <= hi; }

bool saneSurface(std::int32_t extent, double zoom, double divisor) {
    if (extent < 0 || extent > boxfile::kMaxExtent) return false;
    const long double pixels = static_cast<long double>(extent) * zoom / divisor;
    return pixels <= static_cast<long double>(boxfile::kMaxSurfacePixels);
}

void readLayout(ByteSource& in, SheetLayout& l) {
    l.MarginX = in.f64();
    l.MarginY = in.f64();
    l.PitchX = in.f64();
    l.PitchY = in.f64();
    l.ItemWidth = in.f64();
    l.ItemHeight = in.f64();
    l.Columns = in.i32();
    l.Rows = in.i32();
    in.raw(l.TypeName.data(), static_cast<qsizetype>(l.TypeName.size()));
    in.raw(l.Reserved.data(), static_cast<qsizetype>(l.Reserved.size()));
}

// Font names repeat from object to object: equal bytes share one string.
struct FontNameMemo {
    QByteArray bytes;
    QString text;
    QByteArray stored;
    bool valid = false;
};

bool readFontName(ByteSource& in, Tobs& o, FontNameMemo& memo) {
    const char* data;
    int size;
    if (!in.zbytes(data, size)) return false;
    if (!memo.valid || memo.bytes.size() != size || std::memcmp(memo.bytes.constData(), data, size) != 0) {
        memo.bytes = QByteArray(data, size);
        bool utf8 = false;
        memo.text = decodeBoxString(data, size, &utf8);
        memo.stored = utf8 ? memo.bytes : QByteArray();
        memo.valid = true;
    }
    o.FontName = memo.text;
    o.FontNameStoredBytes = memo.stored;
    return true;
}

}  // namespace

bool hasBoxIdentifier(const QByteArray& data) {
    // Every byte is compared, the zero byte included.
    if (data.size() < boxfile::kIdentifierSize) return false;
    bool same = true;
    for (int i = 0; i < boxfile::kIdentifierSize; ++i)
        same = (data[i] == boxfile::kIdentifier[i]) && same;
    return same;
}

BoxParseResult parseBoxDocument(const QByteArray& data, BoxDocument& doc) {
    BoxParseResult result;
    if (!hasBoxIdentifier(data)) {
        result.error = BoxParseError::WrongIdentifier;
        return result;
    }
    ByteSource in(data);
    in.skip(boxfile::kIdentifierSize);

    auto failAt = [&](BoxParseError e, qsizetype offset) {
        result.error = e;
        result.offset = offset;
        return result;
    };

    const qsizetype layoutOffset = in.position();
    readLayout(in, doc.Layout);
    doc.ExtentWidth = in.i32();
    doc.ExtentHeight = in.i32();
    doc.BackgroundMode = in.i32();
    readString(in, doc.BackgroundFile, doc.BackgroundFileStoredBytes);
    const qsizetype scaleOffset = in.position();
    doc.Zoom = in.f64();
    doc.ScreenDivisor = in.f64();
    if (in.failed()) return failAt(in.error(), in.offset());

    if (const BoxParseError e = checkLayout(doc.Layout); e != BoxParseError::None) return failAt(e, layoutOffset);
    if (!saneScale(doc.Zoom, boxfile::kMinZoom, boxfile::kMaxZoom))
        return failAt(BoxParseError::BadZoom, scaleOffset);
    if (!saneScale(doc.ScreenDivisor, boxfile::kMinScreenDivisor, boxfile::kMaxScreenDivisor))
        return failAt(BoxParseError::BadScreenDivisor, scaleOffset + 8);
    if (!saneSurface(doc.ExtentWidth, doc.Zoom, doc.ScreenDivisor) ||
        !saneSurface(doc.ExtentHeight, doc.Zoom, doc.ScreenDivisor))
        return failAt(BoxParseError::BadExtent, layoutOffset + boxfile::kLayoutSize);

    FontNameMemo fontNames;
    for (;;) {
        const qsizetype recordOffset = in.position();
        const std::int32_t slot = in.i32();
        if (in.failed()) break;
        if (slot > ObjectTable::Capacity) {   // the end marker
            std::vector<GroupEntry> groups;
            const BoxParseResult ext = parseBoxExtension(data, in.position(), doc.Form, doc.Chunks, &groups, &doc.Series);
            if (!ext.ok()) {
                result.error = ext.error;
                result.offset = ext.offset;
            } else {
                applyGroupEntries(doc.Objects, groups);
            }
            return result;
        }
        if (slot < 1) {
            result.value = slot;
            return failAt(BoxParseError::BadSlot, recordOffset);
        }
        result.slot = slot;
        // A slot named twice takes the later record, as a slot is overwritten.
        Tobs& o = doc.Objects[slot];
        o.resetToDefaults();
        o.Left = in.i32();
        o.Top = in.i32();
        o.Width = in.i32();
        o.Height = in.i32();
        o.KeepAspect = in.u8();
        const qsizetype kindOffset = in.position();
        o.Kind = in.i32();
        if (!in.failed() && (o.Kind < Figure || o.Kind > Image)) {
            result.value = o.Kind;
            return failAt(BoxParseError::BadKind, kindOffset);
        }
        o.Color = in.i32();
        o.Shape = in.i32();
        o.Alignment = in.i32();
        o.BorderOrOutlineColor = in.i32();
        o.FillModeOrShadowColor = in.i32();
        o.Shadow = in.u8();
        o.Outline = in.u8();
        o.ShadowDx = in.i32();
        o.ShadowDy = in.i32();
        o.Transparent = in.u8();
        o.TransAuto = in.u8();
        o.LineWidthOrTransColor = in.i32();
        o.Rotation = in.i32();
        readString(in, o.Content, o.ContentStoredBytes);
        o.FontColor = in.i32();
        o.FontHeight = in.i32();
        readFontName(in, o, fontNames);
        o.FontPitch = in.u8();
        o.FontSize = in.i32();
        o.FontStyle = in.u8();
        if (in.failed()) break;
    }
    return failAt(in.error(), in.offset());
}

QString describeParseError(const BoxParseResult& r) {
    const QString at = QStringLiteral(" (Byte %1)").arg(r.offset);
    switch (r.error) {
    case BoxParseError::None:
        return QString();
    case BoxParseError::WrongIdentifier:
        return QStringLiteral("Die Dateikennung ist falsch.");
    case BoxParseError::Truncated:
        return QStringLiteral("Die Datei endet vorzeitig") + at + QLatin1Char('.');
    case BoxParseError::BadSlot:
        return QStringLiteral("Ungültige Objektnummer %1").arg(r.value) + at + QLatin1Char('.');
    case BoxParseError::UnterminatedString:
        return QStringLiteral("Eine Zeichenkette ist nicht abgeschlossen") + at + QLatin1Char('.');
    case BoxParseError::BadZoom:
        return QStringLiteral("Der Zoomfaktor ist ungültig") + at + QLatin1Char('.');
    case BoxParseError::BadScreenDivisor:
        return QStringLiteral("Der Bildschirmmaßstab ist ungültig") + at + QLatin1Char('.');
    case BoxParseError::BadExtent:
        return QStringLiteral("Die Größe der Arbeitsfläche ist ungültig") + at + QLatin1Char('.');
    case BoxParseError::BadGrid:
        return QStringLiteral("Die Anzahl der Spalten oder Zeilen des Bogens ist ungültig") + at + QLatin1Char('.');
    case BoxParseError::BadLayoutSize:
        return QStringLiteral("Die Maße des Bogens sind ungültig") + at + QLatin1Char('.');
    case BoxParseError::BadKind:
        return QStringLiteral("Unbekannte Objektart %1 in Objekt %2").arg(r.value).arg(r.slot) + at +
               QLatin1Char('.');
    case BoxParseError::NewerVersion:
        return NewerVersionText;
    case BoxParseError::BadExtension:
        return QStringLiteral("Die Erweiterung nach dem Endezeichen ist beschädigt") + at + QLatin1Char('.');
    case BoxParseError::ExtensionTruncated:
        return QStringLiteral("Die Datei endet vorzeitig in der Erweiterung") + at + QLatin1Char('.');
    }
    return QString();
}
