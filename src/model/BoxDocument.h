#pragma once
// One box design: layout, editing area, view scale, background and objects.

#include "model/BoxForm.h"
#include "model/ObjectTable.h"
#include "model/SeriesData.h"
#include "model/SheetLayout.h"
#include "image/DibHandle.h"
#include "base/Progress.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

struct BoxDocument {
    ObjectTable Objects;
    SheetLayout Layout = SheetLayout::startupLayout();
    std::int32_t ExtentWidth = 0;
    std::int32_t ExtentHeight = 0;
    double Zoom = 1.0;
    double ScreenDivisor = 416;
    std::int32_t BackgroundMode = bgNone;
    QString BackgroundFile;
    QByteArray BackgroundFileStoredBytes;   // as Tobs::ContentStoredBytes
    DibHandle BackgroundPicture;
    std::int32_t CurrentObject = 0;
    // The other selected objects besides the current one, in no order; may
    // name slots freed since (selectedSlots() leaves those out).
    std::vector<int> Selection;
    QString FileName;
    QString ProgramFolder;   // always ends in '/'
    // The form of the box: a cube (New, and every file that says nothing
    // else) or a cuboid of its own measures.
    BoxForm Form;
    // Chunks of the file's extension kept for a newer version, in the order read.
    KeptChunks Chunks;
    // The data whose rows personalise the design (none when its path is empty).
    SeriesLink Series;

    // Raised by every change of the document (objects, background, layout).
    // It only ever grows, so one number never stands for two states: views
    // that cache something made from the document compare it with theirs.
    std::uint64_t Revision = 0;
    void markChanged() { ++Revision; }

    // Resets objects, selection, background, file name, form (the cube),
    // kept chunks and the linked data; layout, extent, zoom and divisor stay.
    void clearall();
    // Extent from the layout: three item sizes in each direction.
    void updateExtentFromLayout();

    // The selected objects: the current one and the others, used slots only,
    // ascending (drawing order).
    std::vector<int> selectedSlots() const;
    bool isSelected(int slot) const;
    // Another selected object becomes the current one; the selection stays.
    void makeCurrent(int slot);
    // The object alone becomes the selection (0: nothing selected).
    void selectOnly(int slot);
    // Adds the slot, or with its group the whole group, to the selection;
    // the current object stays.
    void addToSelection(int slot);
    // The used slots of a group, ascending; the slot alone when it has none.
    std::vector<int> groupOf(int slot) const;

    void bringToFront();     // exchange the current object with slot 10000, which becomes current
    void sendToBack();       // exchange the current object with slot 1, which becomes current
    void deleteCurrent();    // frees the current slot; no current object afterwards
    // One quarter turn of the object in a slot, the one path of the turn
    // commands: +1 clockwise, -1 counter-clockwise. Rotation steps within
    // 0..3 for every kind, a stored value outside that range counting as 0
    // (no turn), as the reader and the text drawing take it. An image also
    // turns its picture and exchanges its document width and height exactly:
    // its screen size is exchanged to the pixel at every zoom, it keeps its
    // top-left corner, and four turns give the rectangle back. False, with
    // nothing changed, when the picture could not be turned (no memory).
    // Free and invalid slots are left alone.
    bool turnObject(int slot, int direction, const ProgressCallback& progress = {});
};

// Screen divisor for a screen of the given horizontal pixels per inch:
// 2 x (20000 div dpi), 416 at 96. A dpi outside 1..10000 counts as 96.
inline double screenDivisorFor(int dpi) {
    return 2.0 * (20000 / (dpi > 0 && dpi <= 10000 ? dpi : 96));
}
