#include "image/DibHandle.h"

namespace {
int bitCountOf(const QImage& image) {
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return 1;
    case QImage::Format_Indexed8:
        return image.colorCount() <= 2 ? 1 : image.colorCount() <= 16 ? 4 : 8;
    default:
        return 24;
    }
}
}  // namespace

DibHandle::DibHandle(const QImage& image, int bitCount) {
    if (image.isNull()) return;
    m_bitCount = bitCount > 0 ? bitCount : bitCountOf(image);
    if (m_bitCount <= 8)
        m_image = image.format() == QImage::Format_Indexed8 ? image
                                                              : image.convertToFormat(QImage::Format_Indexed8);
    else
        m_image = image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32)
                                          : image.convertToFormat(QImage::Format_RGB32);
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
        m_image.scanLine(y)[x] = static_cast<uchar>(value);
        return;
    }
    reinterpret_cast<QRgb*>(m_image.scanLine(y))[x] =
        qRgb(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
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
        QImage img(width, height, QImage::Format_Indexed8);
        if (img.isNull()) return DibHandle();
        QVector<QRgb> table = colorTable;
        table.resize(1 << (bitCount <= 1 ? 1 : bitCount <= 4 ? 4 : 8));
        img.setColorTable(table);
        img.fill(0);
        return DibHandle(img, bitCount <= 1 ? 1 : bitCount <= 4 ? 4 : 8);
    }
    QImage img(width, height, QImage::Format_RGB32);
    if (img.isNull()) return DibHandle();
    img.fill(0xFF000000u);
    return DibHandle(img, 24);
}

void deldib(DibHandle& dib) { dib = DibHandle(); }
