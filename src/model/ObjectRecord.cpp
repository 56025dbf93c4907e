#include "model/ObjectRecord.h"

#include "model/BoxDocument.h"
#include "model/BoxFileReader.h"
#include "model/BoxFileWriter.h"

#include <memory>

QByteArray objectRecordBytes(const BoxDocument& frame, const Tobs& object) {
    auto carrier = std::make_unique<BoxDocument>();
    carrier->Layout = frame.Layout;
    carrier->ExtentWidth = frame.ExtentWidth;
    carrier->ExtentHeight = frame.ExtentHeight;
    carrier->Zoom = frame.Zoom;
    carrier->ScreenDivisor = frame.ScreenDivisor;
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
