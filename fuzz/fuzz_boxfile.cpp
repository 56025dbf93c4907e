// Box file reader under arbitrary bytes: it must never read outside the
// buffer or crash, and whatever it accepts must write back to a file that
// reads as the same document.

#include "model/BoxFileReader.h"
#include "model/BoxFileWriter.h"
#include "base/Cp1252.h"

#include <cstdint>
#include <cstdlib>

namespace {

void checkStringCoding(const QByteArray& bytes) {
    // Any byte string reads as some text, and that text writes and reads back unchanged.
    const QByteArray noZero = QByteArray(bytes).replace('\0', 'z');
    const QString text = decodeBoxString(noZero);
    const QByteArray stored = encodeBoxString(text);
    if (decodeBoxString(stored) != text) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static BoxDocument doc;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (size < 512) checkStringCoding(bytes);

    doc.clearall();
    if (!parseBoxDocument(bytes, doc).ok()) return 0;

    const QByteArray written = serializeBoxDocument(doc);
    static BoxDocument again;
    again.clearall();
    if (!parseBoxDocument(written, again).ok()) std::abort();
    if (serializeBoxDocument(again) != written) std::abort();
    return 0;
}
