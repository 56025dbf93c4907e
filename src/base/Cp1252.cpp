#include "base/Cp1252.h"

#include <QStringDecoder>

#include <array>
#include <cstring>

namespace {

// Characters of the bytes 0x80..0x9F; the undefined ones map to themselves.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Byte for a character, 0 when code page 1252 has none (zero itself is
// handled by the caller).
unsigned char cp1252Byte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[static_cast<size_t>(i)] == c) return static_cast<unsigned char>(0x80 + i);
    return 0;
}

bool allAscii(const char* data, int size) {
    for (int i = 0; i < size; ++i)
        if (static_cast<unsigned char>(data[i]) >= 0x80) return false;
    return true;
}

}  // namespace

QString decodeCp1252(const char* data, int size) {
    QString text(size, Qt::Uninitialized);
    QChar* out = text.data();
    for (int i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        out[i] = QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b));
    }
    return text;
}

bool encodeCp1252(const QString& text, QByteArray& out) {
    out.resize(text.size());
    char* dst = out.data();
    bool complete = true;
    for (int i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const unsigned char b = cp1252Byte(c);
        if (b == 0 && c != 0) complete = false;
        dst[i] = static_cast<char>(b == 0 && c != 0 ? '?' : b);
    }
    return complete;
}

QByteArray encodeBoxString(const QString& text) {
    QString stored = text;
    if (stored.contains(QChar(0))) stored.remove(QChar(0));
    QByteArray bytes;
    const bool complete = encodeCp1252(stored, bytes);
    // Code-page bytes that begin like the mark would be read as UTF-8: such
    // a text carries the mark in front too, so it reads back unchanged.
    if (complete && !bytes.startsWith(utf8Mark())) return bytes;
    return utf8Mark() + stored.toUtf8();
}

QString decodeBoxString(const char* data, int size, bool* wasUtf8) {
    if (allAscii(data, size)) {
        if (wasUtf8) *wasUtf8 = false;
        return QString::fromLatin1(data, size);
    }
    const bool utf8 = size >= 3 && std::memcmp(data, utf8Mark().constData(), 3) == 0;
    if (wasUtf8) *wasUtf8 = utf8;
    if (!utf8) return decodeCp1252(data, size);
    // Only our own mark is taken off: a text that itself begins with U+FEFF
    // keeps it, which plain fromUtf8 would drop, one more on every save.
    QStringDecoder fromUtf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return fromUtf8(QByteArrayView(data + 3, size - 3));
}
