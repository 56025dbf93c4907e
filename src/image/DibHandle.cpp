#include "image/DibHandle.h"

#include "image/VectorArt.h"

#include <algorithm>

namespace {

int bitCountForColours(int colours) {
    return colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
}

int bitCountOf(const QImage& image) {
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return 1;
    case QImage::Format_Indexed8:
        return bitCountForColours(image.colorCount());
    case QImage::Format_Grayscale8:
        return 8;
    default:
        return 24;
    }
}

QVector<QRgb> greyTable() {
    QVector<QRgb> table(256);
    for (int i = 0; i < 256; ++i) table[i] = qRgb(i, i, i);
    return table;
}

// Every index a pixel can hold must have a table entry, or drawing reads past
// the table; missing entries become opaque black.
void padColourTable(QImage& image, int bitCount) {
    const int wanted = 1 << bitCount;
    QVector<QRgb> table = image.colorTable();
    if (table.size() == wanted) return;
    const int old = table.size();
    table.resize(wanted);
    for (int i = old; i < wanted; ++i) table[i] = qRgb(0, 0, 0);
    image.setColorTable(table);
}

}  // namespace

DibHandle::DibHandle(const QImage& image, int bitCount) {
    if (image.isNull()) return;
    m_bitCount = bitCount > 0 ? bitCount : bitCountOf(image);
    if (m_bitCount <= 8) {
        m_bitCount = m_bitCount <= 1 ? 1 : m_bitCount <= 4 ? 4 : 8;
        if (image.format() == QImage::Format_Indexed8) {
            m_image = image;
        } else if (image.format() == QImage::Format_Grayscale8) {
            m_image = image.convertToFormat(QImage::Format_Indexed8, greyTable());
        } else {
            m_image = image.convertToFormat(QImage::Format_Indexed8);
        }
        if (m_image.isNull()) {
            m_bitCount = 0;
            return;
        }
        // A table larger than the depth allows means the depth was guessed
        // too small: widen it rather than lose colours.
        while (m_bitCount < 8 && m_image.colorCount() > (1 << m_bitCount))
            m_bitCount = m_bitCount == 1 ? 4 : 8;
        // Some files use indices beyond their colour table; the depth must
        // cover every index a pixel holds, or writers would mask them.
        if (bitCount <= 0 && m_bitCount < 8) {
            int highest = 0;
            for (int y = 0; y < m_image.height() && highest < 16; ++y) {
                const uchar* line = m_image.constScanLine(y);
                for (int x = 0; x < m_image.width(); ++x) highest = std::max<int>(highest, line[x]);
            }
            while (m_bitCount < 8 && highest >= (1 << m_bitCount)) m_bitCount = m_bitCount == 1 ? 4 : 8;
        }
        if (m_image.colorCount() == 0) m_image.setColorTable(greyTable());
        padColourTable(m_image, m_bitCount);
    } else {
        m_bitCount = 24;
        if (image.hasAlphaChannel())
            m_image = image.format() == QImage::Format_ARGB32 ? image
                                                               : image.convertToFormat(QImage::Format_ARGB32);
        else
            m_image = image.format() == QImage::Format_RGB32 ? image
                                                              : image.convertToFormat(QImage::Format_RGB32);
        if (m_image.isNull()) m_bitCount = 0;
    }
}

int DibHandle::DibColorCount() const {
    const int bits = DibBitCount();
    return bits > 0 && bits <= 8 ? (1 << bits) : 0;
}

QVector<QRgb> DibHandle::colorTable() const {
    return hasPalette() ? m_image.colorTable() : QVector<QRgb>();
}

std::uint32_t DibHandle::getpixel(int x, int y) const {
    if (isEmpty() || x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height()) return 0;
    if (hasPalette()) return m_image.constScanLine(y)[x];
    const QRgb c = reinterpret_cast<const QRgb*>(m_image.constScanLine(y))[x];
    return std::uint32_t(qRed(c)) | (std::uint32_t(qGreen(c)) << 8) | (std::uint32_t(qBlue(c)) << 16);
}

void DibHandle::setpixel(int x, int y, std::uint32_t value) {
    if (isEmpty() || x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height()) return;
    if (hasPalette()) {
        // An index beyond the depth would address a colour the table lacks.
        m_image.scanLine(y)[x] = static_cast<uchar>(value & std::uint32_t(DibColorCount() - 1));
        return;
    }
    QRgb* line = reinterpret_cast<QRgb*>(m_image.scanLine(y));
    const int alpha = m_image.format() == QImage::Format_ARGB32 ? qAlpha(line[x]) : 255;
    line[x] = qRgba(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF), alpha);
}

bool DibHandle::hasOwnTransparency() const {
    if (isEmpty()) return false;
    if (hasPalette()) {
        for (QRgb c : m_image.colorTable())
            if (qAlpha(c) < 255) return true;
        return false;
    }
    return m_image.format() == QImage::Format_ARGB32 && m_image.hasAlphaChannel();
}

DibHandle newdib(int width, int height, int bitCount, const QVector<QRgb>& colorTable) {
    if (width <= 0 || height <= 0) return DibHandle();
    if (bitCount <= 8) {
        const int bits = bitCount <= 1 ? 1 : bitCount <= 4 ? 4 : 8;
        QImage img(width, height, QImage::Format_Indexed8);
        if (img.isNull()) return DibHandle();
        QVector<QRgb> table = colorTable.mid(0, 1 << bits);
        const int old = table.size();
        table.resize(1 << bits);
        for (int i = old; i < table.size(); ++i) table[i] = qRgb(0, 0, 0);
        img.setColorTable(table);
        img.fill(0);
        return DibHandle(img, bits);
    }
    QImage img(width, height, QImage::Format_RGB32);
    if (img.isNull()) return DibHandle();
    img.fill(0xFF000000u);
    return DibHandle(img, 24);
}

void deldib(DibHandle& dib) { dib = DibHandle(); }

QSize DibHandle::aspectSize() const {
    if (const VectorArt* art = vectorArt()) {
        const QSizeF mm = vectorArtSizeMm(*art, m_artTurns);
        return QSize(std::max(1, qRound(mm.width() * 100)), std::max(1, qRound(mm.height() * 100)));
    }
    return QSize(DibWidth(), DibHeight());
}
