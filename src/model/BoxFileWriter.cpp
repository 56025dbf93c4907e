#include "model/BoxFileWriter.h"

#include "model/BoxFileFormat.h"
#include "model/Cp1252.h"

#include <cstring>

namespace {

class ByteSink {
public:
    explicit ByteSink(QByteArray& out) : m_out(out) {}

    void raw(const void* data, int size) { m_out.append(static_cast<const char*>(data), size); }
    void u8(std::uint8_t v) { m_out.append(static_cast<char>(v)); }
    void i32(std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        const char b[4] = {char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char(u >> 24)};
        m_out.append(b, 4);
    }
    void f64(double v) {
        std::uint64_t u;
        std::memcpy(&u, &v, 8);
        char b[8];
        for (int i = 0; i < 8; ++i) b[i] = char((u >> (8 * i)) & 0xFF);
        m_out.append(b, 8);
    }
    void zbytes(const QByteArray& bytes) {
        m_out.append(bytes);
        m_out.append('\0');
    }

private:
    QByteArray& m_out;
};

// The stored bytes are reused while they still mean the current text.
QByteArray storedBytes(const QString& text, const QByteArray& asRead) {
    if (!asRead.isEmpty() && decodeBoxString(asRead) == text) return asRead;
    return encodeBoxString(text);
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

}  // namespace

QByteArray serializeBoxDocument(const BoxDocument& doc) {
    QByteArray data;
    int objects = 0;
    qsizetype textBytes = 0;
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& o = doc.Objects[slot];
        if (o.Kind > 0) {
            ++objects;
            textBytes += o.Content.size() + o.FontName.size();
        }
    }
    data.reserve(boxfile::kIdentifierSize + boxfile::kLayoutSize + 32 + doc.BackgroundFile.size() * 3 +
                 objects * (boxfile::kRecordFixedSize + 2 + 4) + textBytes * 2);

    ByteSink out(data);
    out.raw(boxfile::kIdentifier, boxfile::kIdentifierSize);
    writeLayout(out, doc.Layout);
    out.i32(doc.ExtentWidth);
    out.i32(doc.ExtentHeight);
    out.i32(doc.BackgroundMode);
    out.zbytes(storedBytes(doc.BackgroundFile, doc.BackgroundFileStoredBytes));
    out.f64(doc.Zoom);
    out.f64(doc.ScreenDivisor);

    FontNameCache fontNames;
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& o = doc.Objects[slot];
        if (o.Kind <= 0) continue;
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
        out.zbytes(storedBytes(o.Content, o.ContentStoredBytes));
        out.i32(o.FontColor);
        out.i32(o.FontHeight);
        out.zbytes(fontNames.bytes(o.FontName, o.FontNameStoredBytes));
        out.u8(o.FontPitch);
        out.i32(o.FontSize);
        out.u8(o.FontStyle);
    }
    out.i32(boxfile::kEndMarker);
    return data;
}
