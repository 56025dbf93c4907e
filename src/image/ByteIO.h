#pragma once
// Little helpers for reading and writing binary image headers. The reader
// never reads past its data: a short read sets failed() and yields zeros, so
// a decoder checks once after a block of reads instead of before each byte.

#include <QByteArray>
#include <cstdint>

class ByteReader {
public:
    // The reader points into data, which must outlive it. end, if given,
    // stops reading there (a chunk inside a larger file).
    explicit ByteReader(const QByteArray& data, qint64 pos = 0, qint64 end = -1)
        : m_data(reinterpret_cast<const uchar*>(data.constData())),
          m_size(end >= 0 && end < data.size() ? end : data.size()), m_pos(pos) {}
    ByteReader(QByteArray&&, qint64 = 0, qint64 = -1) = delete;   // would dangle

    bool failed() const { return m_failed; }
    qint64 pos() const { return m_pos; }
    qint64 size() const { return m_size; }
    qint64 remaining() const { return m_pos <= m_size ? m_size - m_pos : 0; }
    bool atEnd() const { return m_pos >= m_size; }
    void seek(qint64 pos) {
        if (pos < 0 || pos > m_size) m_failed = true;
        else m_pos = pos;
    }
    void skip(qint64 n) { seek(m_pos + n); }
    const uchar* here() const { return m_data + m_pos; }

    uint8_t u8() {
        if (m_pos >= m_size) {
            m_failed = true;
            return 0;
        }
        return m_data[m_pos++];
    }
    uint16_t le16() { const uint16_t a = u8(); return uint16_t(a | (u8() << 8)); }
    uint32_t le32() { const uint32_t a = le16(); return a | (uint32_t(le16()) << 16); }
    uint16_t be16() { const uint16_t a = u8(); return uint16_t((a << 8) | u8()); }
    uint32_t be32() { const uint32_t a = be16(); return (a << 16) | be16(); }

private:
    const uchar* m_data;
    qint64 m_size;
    qint64 m_pos;
    bool m_failed = false;
};

class ByteWriter {
public:
    QByteArray data;
    void u8(int v) { data.append(char(uint8_t(v))); }
    void le16(int v) { u8(v); u8(v >> 8); }
    void le32(uint32_t v) { le16(int(v & 0xFFFF)); le16(int(v >> 16)); }
    void be16(int v) { u8(v >> 8); u8(v); }
    void be32(uint32_t v) { be16(int(v >> 16)); be16(int(v & 0xFFFF)); }
    void bytes(const char* s, int n) { data.append(s, n); }
    void zeros(int n) { data.append(n, '\0'); }
    void putLe32At(int pos, uint32_t v) {
        for (int i = 0; i < 4; ++i) data[pos + i] = char(uint8_t(v >> (8 * i)));
    }
    void putBe32At(int pos, uint32_t v) {
        for (int i = 0; i < 4; ++i) data[pos + i] = char(uint8_t(v >> (8 * (3 - i))));
    }
};
