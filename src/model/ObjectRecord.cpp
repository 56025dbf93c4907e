#include "model/ObjectRecord.h"

#include "model/BoxDocument.h"
#include "model/BoxFileReader.h"
#include "model/BoxFileWriter.h"

#include <memory>

namespace {

// An empty document with the frame's sheet and view, to carry objects.
std::unique_ptr<BoxDocument> carrierOf(const BoxDocument& frame) {
    auto carrier = std::make_unique<BoxDocument>();
    carrier->Layout = frame.Layout;
    carrier->ExtentWidth = frame.ExtentWidth;
    carrier->ExtentHeight = frame.ExtentHeight;
    carrier->Zoom = frame.Zoom;
    carrier->ScreenDivisor = frame.ScreenDivisor;
    return carrier;
}

}  // namespace

QByteArray objectRecordBytes(const BoxDocument& frame, const Tobs& object) {
    auto carrier = carrierOf(frame);
    carrier->Objects[1] = object;
    carrier->Objects[1].Picture = DibHandle();
    return serializeBoxDocument(*carrier);
}

bool readObjectRecord(const QByteArray& bytes, Tobs& object) {
    auto carrier = std::make_unique<BoxDocument>();
    if (!parseBoxDocument(bytes, *carrier).ok()) return false;
    for (int s = 1; s <= ObjectTable::Capacity; ++s) {
        if (carrier->Objects[s].isFree()) continue;
        object = carrier->Objects[s];
        return true;
    }
    return false;
}

QByteArray selectionRecordBytes(const BoxDocument& frame, const std::vector<int>& chosen, int current) {
    auto carrier = carrierOf(frame);
    int n = 0;
    std::uint32_t currentIndex = 0;
    for (int slot : chosen) {
        if (n >= ObjectTable::Capacity) break;
        if (slot == current) currentIndex = static_cast<std::uint32_t>(n);
        Tobs& o = carrier->Objects[++n];
        o = frame.Objects[slot];
        o.Picture = DibHandle();
        o.Locked = 0;
    }
    QByteArray index(4, '\0');
    for (int i = 0; i < 4; ++i) index[i] = static_cast<char>((currentIndex >> (8 * i)) & 0xff);
    carrier->Chunks.push_back(KeptChunk{QByteArray("curr"), index});
    return serializeBoxDocument(*carrier);
}

bool readSelectionRecord(const QByteArray& bytes, std::vector<Tobs>& objects, int& currentIndex) {
    auto carrier = std::make_unique<BoxDocument>();
    if (!parseBoxDocument(bytes, *carrier).ok()) return false;
    objects.clear();
    for (int s = 1; s <= ObjectTable::Capacity; ++s)
        if (!carrier->Objects[s].isFree()) objects.push_back(carrier->Objects[s]);
    currentIndex = 0;
    for (const KeptChunk& c : carrier->Chunks) {
        if (c.tag != "curr" || c.data.size() != 4) continue;
        const auto* d = reinterpret_cast<const unsigned char*>(c.data.constData());
        const std::uint32_t i = std::uint32_t(d[0]) | std::uint32_t(d[1]) << 8 | std::uint32_t(d[2]) << 16 |
                                std::uint32_t(d[3]) << 24;
        if (i < objects.size()) currentIndex = static_cast<int>(i);
    }
    return !objects.empty();
}
