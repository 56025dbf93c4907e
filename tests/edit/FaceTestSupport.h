#pragma once
// Object 1 set up afresh on a face of the net for the face commands' tests.

#include "box/FaceGeometry.h"
#include "model/BoxDocument.h"

#include <cstdint>

// A selected object of the kind and size (document units) whose top-left
// corner lies `inset` of the face's width and height in from the face's.
inline Tobs& freshObjectOnFace(BoxDocument& doc, const FaceRect& f, int kind, std::int32_t width,
                               std::int32_t height, double inset) {
    Tobs& o = doc.Objects[1];
    o.resetToDefaults();
    o.Kind = kind;
    o.Width = width;
    o.Height = height;
    o.Left = unitsOf(f.left + f.width() * inset);
    o.Top = unitsOf(f.top + f.height() * inset);
    doc.CurrentObject = 1;
    return o;
}
