#include "model/BoxFileWriter.h"

#include "model/BoxFileExtension.h"

#include "model/BoxFileFormat.h"
#include "base/Cp1252.h"

#include <algorithm>
#include <cstring>

namespace {

// Appends little-endian fields to a byte array through a raw pointer; room
// is made per record, not per field.
class ByteSink {
public:
    explicit ByteSink(QByteArray& out) : m_out(out), m_data(out.data()) {}
    ~ByteSink() { m_out.resize(m_size); }

    void reserve(qsizetype n) {
        if (m_size + n <= m_out.size()) return;
        m_out.resize(std::max<qsizetype>(m_size + n, m_out.size() * 2));
        m_data = m_out.data();
    }
    void raw(const void* data, qsizetype size) {
        reserve(size);
        std::memcpy(m_data + m_size, data, static_cast<size_t>(size));
        m_size += size;
    }
    // The caller has reserved the room for the fixed-size fields.
    void u8(std::uint8_t v) { m_data[m_size++] = static_cast<char>(v); }
    void i32(std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        char* p = m_data + m_size;
        p[0] = char(u & 0xFF);
        p[1] = char((u >> 8) & 0xFF);
        p[2] = char((u >> 16) & 0xFF);
        p[3] = char(u >> 24);
        m_size += 4;
    }
    void f64(double v) {
        std::uint64_t u;
        std::memcpy(&u, &v, 8);
        char* p = m_data + m_size;
        for (int i = 0; i < 8; ++i) p[i] = char((u >> (8 * i)) & 0xFF);
        m_size += 8;
    }
    void zbytes(const QByteArray& bytes) {
        reserve(bytes.size() + 1);
        std::memcpy(m_data + m_size, bytes.constData(), static_cast<size_t>(bytes.size()));
        m_size += bytes.size();
        m_data[m_size++] = '\0';
    }
    // A string as the file stores it; plain ASCII goes straight in.
    void zstring(const QString& text, const QByteArray& asRead);

private:
    QByteArray& m_out;
    char* m_data = nullptr;
    qsizetype m_size = 0;
};

// The stored bytes are reused while they still mean the current text.
QByteArray storedBytes(const QString& text, const QByteArray& asRead) {
    if (!asRead.isEmpty() && decodeBoxString(asRead) == text) return asRead;
    return encodeBoxString(text);
}

void ByteSink::zstring(const QString& text, const QByteArray& asRead) {
    if (asRead.isEmpty()) {
        const qsizetype n = text.size();
        reserve(n + 1);
        const char16_t* src = reinterpret_cast<const char16_t*>(text.constData());
        char* dst = m_data + m_size;
        qsizetype i = 0;
        for (; i < n; ++i) {
            const char16_t c = src[i];
            if (c == 0 || c >= 0x80) break;
            dst[i] = static_cast<char>(c);
        }
        if (i == n) {
            dst[n] = '\0';
            m_size += n + 1;
            return;
        }
    }
    zbytes(storedBytes(text, asRead));
}

// Font names repeat from object to object: encode each distinct one once.
class FontNameCache {
public:
    QByteArray bytes(const QString& name, const QByteArray& asRead) {
        if (!asRead.isEmpty()) return storedBytes(name, asRead);
        if (!m_valid || name != m_name) {
            m_name = name;
            m_bytes = encodeBoxString(name);
            m_valid = true;
        }
        return m_bytes;
    }

private:
    bool m_valid = false;
    QString m_name;
    QByteArray m_bytes;
};

void writeLayout(ByteSink& out, const SheetLayout& l) {
    out.f64(l.MarginX);
    out.f64(l.MarginY);
    out.f64(l.PitchX);
    out.f64(l.PitchY);
    out.f64(l.ItemWidth);
    out.f64(l.ItemHeight);
    out.i32(l.Columns);
    out.i32(l.Rows);
    out.raw(l.TypeName.data(), static_cast<int>(l.TypeName.size()));
    out.raw(l.Reserved.data(), static_cast<int>(l.Reserved.size()));
}

void writeDocument(QByteArray& data, const BoxDocument& doc) {
    int objects = 0;
    qsizetype textBytes = 0;
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& o = doc.Objects[slot];
        if (o.Kind > 0) {
            ++objects;
            textBytes += o.Content.size() + o.FontName.size();
        }
    }
    data.resize(boxfile::kIdentifierSize + boxfile::kLayoutSize + 32 + doc.BackgroundFile.size() * 3 +
                 objects * (boxfile::kRecordFixedSize + 2 + 4) + textBytes * 2);

    ByteSink out(data);
    out.raw(boxfile::kIdentifier, boxfile::kIdentifierSize);
    out.reserve(boxfile::kLayoutSize + 12);
    writeLayout(out, doc.Layout);
    out.i32(doc.ExtentWidth);
    out.i32(doc.ExtentHeight);
    out.i32(doc.BackgroundMode);
    out.zstring(doc.BackgroundFile, doc.BackgroundFileStoredBytes);
    out.reserve(16);
    out.f64(doc.Zoom);
    out.f64(doc.ScreenDivisor);

    FontNameCache fontNames;
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& o = doc.Objects[slot];
        if (o.Kind <= 0) continue;
        out.reserve(61 + 4);
        out.i32(slot);
        out.i32(o.Left);
        out.i32(o.Top);
        out.i32(o.Width);
        out.i32(o.Height);
        out.u8(o.KeepAspect);
        out.i32(o.Kind);
        out.i32(o.Color);
        out.i32(o.Shape);
        out.i32(o.Alignment);
        out.i32(o.BorderOrOutlineColor);
        out.i32(o.FillModeOrShadowColor);
        out.u8(o.Shadow);
        out.u8(o.Outline);
        out.i32(o.ShadowDx);
        out.i32(o.ShadowDy);
        out.u8(o.Transparent);
        out.u8(o.TransAuto);
        out.i32(o.LineWidthOrTransColor);
        out.i32(o.Rotation);
        out.zstring(o.Content, o.ContentStoredBytes);
        out.reserve(8);
        out.i32(o.FontColor);
        out.i32(o.FontHeight);
        out.zbytes(fontNames.bytes(o.FontName, o.FontNameStoredBytes));
        out.reserve(6);
        out.u8(o.FontPitch);
        out.i32(o.FontSize);
        out.u8(o.FontStyle);
    }
    out.reserve(4);
    out.i32(boxfile::kEndMarker);
}

}  // namespace

QByteArray serializeBoxDocument(const BoxDocument& doc, const QString& targetPath) {
    QByteArray data;
    writeDocument(data, doc);   // the sink trims data to what was written
    data.append(boxExtensionBytes(doc.Form, doc.Chunks, &doc.Objects, &doc.Series,
                                  targetPath.isEmpty() ? doc.FileName : targetPath));
    return data;
}
