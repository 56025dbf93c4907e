#pragma once
// Where the faces of the box lie in the editing area, in document units
// computed from the exact-millimetre net (truncated once), so that art placed
// on them lies on the printed folds whatever the editor's zoom. The lid
// counts as two faces, one per half, because the halves lie apart in the net.

#include "box/FoldingModel.h"
#include "box/NetSource.h"

#include <cstdint>
#include <optional>
#include <vector>

struct BoxDocument;

struct FaceRect {
    PanelId panel = PanelId::Vorne;
    // Exact document units (not yet truncated).
    double left = 0, top = 0, right = 0, bottom = 0;
    // Whether each edge is a cut (art may bleed over it) rather than a fold.
    bool cutLeft = false, cutTop = false, cutRight = false, cutBottom = false;
    // The Rotation that reads upright on the folded box.
    int uprightRotation = 0;
    double width() const { return right - left; }
    double height() const { return bottom - top; }
};

// Millimetres of the net (origin at the item's top-left) -> exact document
// units of the editing area, where the item sits at a third of the extent.
struct NetToUnits {
    double originX = 0, originY = 0;
    static constexpr double UnitsPerMm = 20000.0 / 25.39995;
    double x(double mm) const { return originX + mm * UnitsPerMm; }
    double y(double mm) const { return originY + mm * UnitsPerMm; }
};
NetToUnits netToUnits(const BoxDocument& doc);

// The faces of doc's net (the lock-lid box: its two lid halves each).
std::vector<FaceRect> faceRects(const BoxDocument& doc, const NetSource& source);
// The face (or lid half) under a point in document units; none on a flap
// or outside the net.
std::optional<FaceRect> faceAt(const BoxDocument& doc, const NetSource& source, double x, double y);
// Exact document units -> stored value (truncated toward zero).
std::int32_t unitsOf(double exactUnits);
