#include "model/BoxDocument.h"

#include "image/ImageRotation.h"
#include "model/TransparentValue.h"

#include <utility>

void BoxDocument::clearall() {
    Objects.clearAll();
    CurrentObject = 0;
    BackgroundMode = bgNone;
    deldib(BackgroundPicture);
    BackgroundFile.clear();
    markChanged();
    BackgroundFileStoredBytes.clear();
    FileName.clear();
}

void BoxDocument::updateExtentFromLayout() {
    // Multiply first, then divide, in extended precision; truncate toward zero.
    ExtentWidth = static_cast<std::int32_t>(static_cast<long double>(Layout.ItemWidth) * 3 * 20000 / 25.39995L);
    ExtentHeight = static_cast<std::int32_t>(static_cast<long double>(Layout.ItemHeight) * 3 * 20000 / 25.39995L);
    markChanged();
}

void BoxDocument::bringToFront() {
    if (!ObjectTable::isValidSlot(CurrentObject)) return;
    Objects.exchange(CurrentObject, ObjectTable::Capacity);
    CurrentObject = ObjectTable::Capacity;
    markChanged();
}

void BoxDocument::sendToBack() {
    if (!ObjectTable::isValidSlot(CurrentObject)) return;
    Objects.exchange(CurrentObject, 1);
    CurrentObject = 1;
    markChanged();
}

void BoxDocument::deleteCurrent() {
    if (!ObjectTable::isValidSlot(CurrentObject)) return;
    Objects.deleteObject(CurrentObject);
    CurrentObject = 0;
    markChanged();
}

void BoxDocument::turnObject(int slot, int direction) {
    if (!ObjectTable::isValidSlot(slot)) return;
    Tobs& o = Objects[slot];
    if (o.isFree()) return;
    const bool clockwise = direction >= 0;
    if (o.Kind == Image) {
        // A picture that could not be turned (no memory) leaves the object
        // as it was, so size, picture and Rotation never disagree.
        if (!o.Picture.isEmpty() && !(clockwise ? RotRight(o.Picture) : RotLeft(o.Picture)))
            return;
        std::swap(o.Width, o.Height);
    }
    // Rotation may hold anything a file brought; keep the result in 0..3.
    o.Rotation = ((o.Rotation % 4 + (clockwise ? 1 : 3)) % 4 + 4) % 4;
    settleTransparentValue(o);
    markChanged();
}
