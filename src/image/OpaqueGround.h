#pragma once
// The part of a drawing it is sure to cover without a see-through pixel:
// the ground a logo lies on. A pass that draws several drawings over one
// another leaves out what a later one covers so, since nothing of it would
// show; drawings at print resolution are the slowest thing on a sheet.
//
// Only what can be known from the document for certain counts: rectangles
// straight under the root, filled with an opaque colour or a gradient of
// opaque stops, with no opacity, transform or styling of their own or of
// the root. Nothing drawn later can make a pixel of them see-through again
// unless a drawing asks for another compositing mode, and a document that
// does, or has a style sheet that could change any of this, has no ground.

#include <QByteArray>
#include <QRectF>

#include <vector>

// The opaque parts of the screened document, as fractions of its view box
// (0 to 1 each way; the renderer stretches the view box over the place it is
// drawn into). Rounded corners are left out: a rounded rectangle gives two
// parts, its middle across and its middle down. Empty where none is known.
std::vector<QRectF> opaqueGround(const QByteArray& screenedSvg);
