#include "model/BoxDocument.h"

void BoxDocument::clearall() {
    Objects.clearAll();
    CurrentObject = 0;
    BackgroundMode = bgNone;
    deldib(BackgroundPicture);
    BackgroundFile.clear();
    FileName.clear();
}

void BoxDocument::updateExtentFromLayout() {
    ExtentWidth = static_cast<std::int32_t>(static_cast<long double>(Layout.ItemWidth) * 3 * 20000 / 25.39995L);
    ExtentHeight = static_cast<std::int32_t>(static_cast<long double>(Layout.ItemHeight) * 3 * 20000 / 25.39995L);
}

void BoxDocument::bringToFront() {
    if (!ObjectTable::isValidSlot(CurrentObject)) return;
    Objects.exchange(CurrentObject, ObjectTable::Capacity);
    CurrentObject = ObjectTable::Capacity;
}

void BoxDocument::sendToBack() {
    if (!ObjectTable::isValidSlot(CurrentObject)) return;
    Objects.exchange(CurrentObject, 1);
    CurrentObject = 1;
}

void BoxDocument::deleteCurrent() {
    if (!ObjectTable::isValidSlot(CurrentObject)) return;
    Objects.deleteObject(CurrentObject);
    CurrentObject = 0;
}

void BoxDocument::turnObject(int slot, int direction) {
    if (!ObjectTable::isValidSlot(slot)) return;
    Tobs& o = Objects[slot];
    // Turning the picture itself is done by the image module's rotation.
    o.Rotation = ((o.Rotation + (direction >= 0 ? 1 : -1)) % 4 + 4) % 4;
}
