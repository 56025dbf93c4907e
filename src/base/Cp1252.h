#pragma once
// Strings in box files are 8-bit, code page 1252. Qt has no codec for it, so
// the table lives here. A text that code page 1252 cannot hold is written as
// UTF-8 behind the byte-order mark EF BB BF instead of losing characters;
// reading takes only strings that start with the mark as UTF-8 and every
// other string as code page 1252, so no valid code-page text changes.

#include <QByteArray>
#include <QString>

// Every byte maps to a character: the five bytes code page 1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+0081 etc., so that they
// survive a round trip.
QString decodeCp1252(const char* data, int size);
inline QString decodeCp1252(const QByteArray& bytes) { return decodeCp1252(bytes.constData(), bytes.size()); }

// Encodes text as code page 1252. Returns false (and a partial result) when
// a character has no code in it.
bool encodeCp1252(const QString& text, QByteArray& out);

// The UTF-8 byte-order mark that marks a box file string as UTF-8.
inline const QByteArray& utf8Mark() {
    static const QByteArray mark("\xEF\xBB\xBF", 3);
    return mark;
}

// The bytes a box file stores for a string (without the terminating zero):
// code page 1252 when it holds the text and would be read back as the same
// text, otherwise the mark and UTF-8. Zero characters cannot be stored and
// are left out.
QByteArray encodeBoxString(const QString& text);

// The text a box file's string bytes stand for. wasUtf8 tells whether the
// bytes started with the mark and were taken as UTF-8.
QString decodeBoxString(const char* data, int size, bool* wasUtf8 = nullptr);
inline QString decodeBoxString(const QByteArray& bytes, bool* wasUtf8 = nullptr) {
    return decodeBoxString(bytes.constData(), bytes.size(), wasUtf8);
}
