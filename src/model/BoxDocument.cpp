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
    // A reader fills in the form and the kept chunks only where its file
    // has them: a document used again must not keep those of the last one.
    Form = BoxForm::cube();
    Chunks.clear();
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

bool BoxDocument::turnObject(int slot, int direction, const ProgressCallback& progress) {
    if (!ObjectTable::isValidSlot(slot)) return true;
    Tobs& o = Objects[slot];
    if (o.isFree()) return true;
    const bool clockwise = direction >= 0;
    if (o.Kind == Image) {
        // A picture that could not be turned leaves the object as it was, so
        // size, picture and Rotation never disagree.
        if (!o.Picture.isEmpty() && !(clockwise ? RotRight(o.Picture, progress) : RotLeft(o.Picture, progress)))
            return false;
        // The units themselves, not screen pixels: through the screen grid a
        // size off the grid (after a zoom step, or from another screen) lost
        // up to a pixel at every turn.
        std::swap(o.Width, o.Height);
    }
    const int from = o.Rotation >= 0 && o.Rotation <= 3 ? o.Rotation : 0;
    o.Rotation = (from + (clockwise ? 1 : 3)) % 4;
    // The lower-left pixel is another one now.
    settleTransparentValue(o);
    markChanged();
    return true;
}
