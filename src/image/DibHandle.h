#pragma once
// The image record: one decoded picture with its pixel depth and palette.
// A value type over QImage; copies share pixel memory (implicit sharing), so
// the single-owner bookkeeping of a raw bitmap handle is not needed. deldib()
// empties a record.

#include <QImage>
#include <QString>
#include <QVector>
#include <QRgb>

#include <cstdint>
#include <memory>

struct VectorArt;

class DibHandle {
public:
    DibHandle() = default;

    // Wraps an image. bitCount 0 means: derive 1/4/8/24 from the format.
    explicit DibHandle(const QImage& image, int bitCount = 0);

    bool isEmpty() const { return m_image.isNull(); }

    int DibWidth() const { return m_image.width(); }
    int DibHeight() const { return m_image.height(); }
    int DibBitCount() const { return isEmpty() ? 0 : m_bitCount; }
    int DibColorCount() const;          // 2, 16, 256 for 1, 4, 8 bits; 0 for 24
    bool hasPalette() const { return DibBitCount() <= 8 && DibBitCount() > 0; }
    QVector<QRgb> colorTable() const;   // empty for 24-bit images

    // Palette index (<= 8 bits) or 0x00BBGGRR colour (24 bits); row 0 is the top row.
    // Out-of-range coordinates read 0 and write nothing.
    std::uint32_t getpixel(int x, int y) const;
    void setpixel(int x, int y, std::uint32_t value);

    // Whether the picture carries its own transparency (PNG alpha, GIF transparent index).
    bool hasOwnTransparency() const;

    const QImage& image() const { return m_image; }
    QImage& image() { return m_image; }

    // Vector artwork: the record's pixels are then only a stand-in for the
    // places that need pixels; passes draw the drawing itself, turned by
    // vectorTurns() quarter turns clockwise.
    bool isVector() const { return m_art != nullptr && !isEmpty(); }
    const VectorArt* vectorArt() const { return isVector() ? m_art.get() : nullptr; }
    int vectorTurns() const { return m_artTurns; }
    std::shared_ptr<const VectorArt> vectorArtShared() const { return isVector() ? m_art : nullptr; }
    void setVectorArt(std::shared_ptr<const VectorArt> art, int quarterTurns) {
        m_art = std::move(art);
        m_artTurns = quarterTurns & 3;
    }
    // The picture's proportions: its pixels, or a vector drawing's own size
    // (in hundredths of a millimetre, finer than its stand-in pixels).
    QSize aspectSize() const;

private:
    QImage m_image;   // Format_Indexed8 for 1/4/8-bit pictures, RGB32 or ARGB32 for 24-bit
    int m_bitCount = 0;
    std::shared_ptr<const VectorArt> m_art;
    int m_artTurns = 0;
};

// Library-layer operations on image records.
DibHandle newdib(int width, int height, int bitCount, const QVector<QRgb>& colorTable = {});
void deldib(DibHandle& dib);
