// libFuzzer target: the Targa decoder must refuse anything it cannot read
// without crashing, hanging or allocating beyond the decoder limit.

#include "image/ImageLoader.h"
#include "image/OwnDecoders.h"

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    QImage image;
    if (DecodeTga(bytes, image)) {
        if (image.isNull() || qint64(image.sizeInBytes()) > MaxDecodedImageBytes() + (1 << 20)) abort();
    }
    return 0;
}
