#include "model/BoxDocument.h"

#include "image/ImageRotation.h"
#include "model/TransparentValue.h"

#include <algorithm>
#include <utility>

void BoxDocument::clearall() {
    Objects.clearAll();
    CurrentObject = 0;
    Selection.clear();
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
    Series = SeriesLink();
}

void BoxDocument::updateExtentFromLayout() {
    // Multiply first, then divide, in extended precision; truncate toward zero.
    ExtentWidth = static_cast<std::int32_t>(static_cast<long double>(Layout.ItemWidth) * 3 * 20000 / 25.39995L);
    ExtentHeight = static_cast<std::int32_t>(static_cast<long double>(Layout.ItemHeight) * 3 * 20000 / 25.39995L);
    markChanged();
}

std::vector<int> BoxDocument::selectedSlots() const {
    std::vector<int> chosen;
    chosen.reserve(Selection.size() + 1);
    auto take = [&](int slot) {
        if (ObjectTable::isValidSlot(slot) && !Objects[slot].isFree()) chosen.push_back(slot);
    };
    take(CurrentObject);
    for (int slot : Selection) take(slot);
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    return chosen;
}

bool BoxDocument::isSelected(int slot) const {
    if (!ObjectTable::isValidSlot(slot) || Objects[slot].isFree()) return false;
    return slot == CurrentObject || std::find(Selection.begin(), Selection.end(), slot) != Selection.end();
}

void BoxDocument::makeCurrent(int slot) {
    if (slot == CurrentObject) return;
    if (ObjectTable::isValidSlot(CurrentObject) && !Objects[CurrentObject].isFree()) Selection.push_back(CurrentObject);
    Selection.erase(std::remove(Selection.begin(), Selection.end(), slot), Selection.end());
    CurrentObject = slot;
}

void BoxDocument::selectOnly(int slot) {
    CurrentObject = ObjectTable::isValidSlot(slot) ? slot : 0;
    Selection.clear();
}

void BoxDocument::addToSelection(int slot) {
    for (int member : groupOf(slot))
        if (member != CurrentObject && std::find(Selection.begin(), Selection.end(), member) == Selection.end())
            Selection.push_back(member);
}

std::vector<int> BoxDocument::groupOf(int slot) const {
    std::vector<int> members;
    if (!ObjectTable::isValidSlot(slot) || Objects[slot].isFree()) return members;
    const std::int32_t group = Objects[slot].Group;
    if (group == 0) {
        members.push_back(slot);
        return members;
    }
    for (int s = 1; s <= ObjectTable::Capacity; ++s)
        if (!Objects[s].isFree() && Objects[s].Group == group) members.push_back(s);
    return members;
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
