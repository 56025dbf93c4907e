#pragma once
// One box design: layout, editing area, view scale, background and objects.

#include "model/ObjectTable.h"
#include "model/SheetLayout.h"
#include "image/DibHandle.h"

#include <QString>
#include <cstdint>

struct BoxDocument {
    ObjectTable Objects;
    SheetLayout Layout = SheetLayout::startupLayout();
    std::int32_t ExtentWidth = 0;
    std::int32_t ExtentHeight = 0;
    double Zoom = 1.0;
    double ScreenDivisor = 416;
    std::int32_t BackgroundMode = bgNone;
    QString BackgroundFile;
    DibHandle BackgroundPicture;
    std::int32_t CurrentObject = 0;
    QString FileName;
    QString ProgramFolder;   // always ends in '/'

    // Resets objects, selection, background and file name; layout, extent,
    // zoom and divisor stay.
    void clearall();
    // Extent from the layout: three item sizes in each direction.
    void updateExtentFromLayout();

    void bringToFront();     // exchange the current object with slot 10000
    void sendToBack();       // exchange the current object with slot 1
    void deleteCurrent();
    // One quarter turn of an object: +1 clockwise, -1 counter-clockwise.
    // Images turn their picture and exchange width and height.
    void turnObject(int slot, int direction);
};

// Screen divisor for a screen of the given horizontal pixels per inch.
inline double screenDivisorFor(int dpi) { return 2.0 * (20000 / (dpi > 0 ? dpi : 96)); }
