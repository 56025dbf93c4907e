#include "export/PdfPictureMarker.h"

namespace {

// Twelve pixels no picture of 16 x 1 is likely to hold by chance, and no
// grey: Qt would write a grey image with one component.
const char kSignature[] = "FaltarillonBildMarke\x13\x57\x9b\xdf\x24\x68\xac\xf0\x31\x75\xb9\xfd\x42\x86\xca\x0e";
constexpr int kSignatureBytes = 36;
constexpr int kIndexPixels = kPictureMarkerWidth - kSignatureBytes / 3;

}  // namespace

QByteArray pictureMarkerRgb(int index) {
    QByteArray rgb(kSignature, kSignatureBytes);
    // The number in base 250, one digit per byte, each byte kept off the
    // values of its neighbours so no pixel is grey.
    quint32 n = static_cast<quint32>(index);
    for (int i = 0; i < kIndexPixels; ++i) {
        const int digit = int(n % 250);
        n /= 250;
        rgb.append(char(digit));
        rgb.append(char(255 - digit));
        rgb.append(char(digit ^ 0x5A));
    }
    return rgb;
}

DibHandle pictureMarker(int index) {
    const QByteArray rgb = pictureMarkerRgb(index);
    QImage image(kPictureMarkerWidth, 1, QImage::Format_RGB32);
    for (int x = 0; x < kPictureMarkerWidth; ++x)
        image.setPixel(x, 0, qRgb(uchar(rgb[3 * x]), uchar(rgb[3 * x + 1]), uchar(rgb[3 * x + 2])));
    return DibHandle(image, 24);
}

int pictureMarkerIndex(const QByteArray& rgb) {
    if (rgb.size() != 3 * kPictureMarkerWidth || !rgb.startsWith(QByteArray(kSignature, kSignatureBytes))) return -1;
    quint32 n = 0;
    for (int i = kIndexPixels - 1; i >= 0; --i) {
        const int at = kSignatureBytes + 3 * i;
        const int digit = uchar(rgb[at]);
        if (digit >= 250 || uchar(rgb[at + 1]) != 255 - digit || uchar(rgb[at + 2]) != (digit ^ 0x5A)) return -1;
        n = n * 250 + quint32(digit);
    }
    return n > 0x7fffffffu ? -1 : int(n);
}
