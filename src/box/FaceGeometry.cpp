#include "box/FaceGeometry.h"

#include "model/BoxDocument.h"

#include <cmath>
#include <limits>

namespace {

// A rectangle edge from p to q is a fold when a fold segment runs along it.
bool foldAlong(const FoldingModel& model, QPointF p, QPointF q) {
    const double tol = 1e-6 * std::max(1.0, model.largestMeasure());
    const bool vertical = std::abs(p.x() - q.x()) < tol;
    for (const NetSegment& s : model.folds()) {
        if (vertical) {
            if (std::abs(s.a.x() - p.x()) > tol || std::abs(s.b.x() - p.x()) > tol) continue;
            const double lo = std::max(std::min(s.a.y(), s.b.y()), std::min(p.y(), q.y()));
            const double hi = std::min(std::max(s.a.y(), s.b.y()), std::max(p.y(), q.y()));
            if (hi - lo > tol) return true;
        } else {
            if (std::abs(s.a.y() - p.y()) > tol || std::abs(s.b.y() - p.y()) > tol) continue;
            const double lo = std::max(std::min(s.a.x(), s.b.x()), std::min(p.x(), q.x()));
            const double hi = std::min(std::max(s.a.x(), s.b.x()), std::max(p.x(), q.x()));
            if (hi - lo > tol) return true;
        }
    }
    return false;
}

}  // namespace

std::int32_t unitsOf(double exactUnits) {
    const double lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
    const double t = std::trunc(exactUnits);
    return static_cast<std::int32_t>(t < lo ? lo : t > hi ? hi : t);
}

NetToUnits netToUnits(const BoxDocument& doc) {
    // The item's corner in the editing area: the middle third of the extent.
    return NetToUnits{doc.ExtentWidth / 3.0, doc.ExtentHeight / 3.0};
}

std::vector<FaceRect> faceRects(const BoxDocument& doc, const NetSource& source) {
    const FoldingModel model = FoldingModel::inMillimetres(doc.Layout, source);
    const NetToUnits units = netToUnits(doc);
    std::vector<FaceRect> faces;
    for (const FoldPanel& p : model.panels()) {
        if (!p.isFace()) continue;
        // Only the face itself, without tabs (a lid half's lock tab).
        const QRectF r = p.face;
        FaceRect f;
        f.panel = p.id;
        f.cutLeft = !foldAlong(model, r.topLeft(), r.bottomLeft());
        f.cutRight = !foldAlong(model, r.topRight(), r.bottomRight());
        f.cutTop = !foldAlong(model, r.topLeft(), r.topRight());
        f.cutBottom = !foldAlong(model, r.bottomLeft(), r.bottomRight());
        f.left = units.x(r.left());
        f.right = units.x(r.right());
        f.top = units.y(r.top());
        f.bottom = units.y(r.bottom());
        f.uprightRotation = p.upright;
        faces.push_back(f);
    }
    return faces;
}

std::optional<FaceRect> faceAt(const BoxDocument& doc, const NetSource& source, double x, double y) {
    for (const FaceRect& f : faceRects(doc, source))
        if (x >= f.left && x < f.right && y >= f.top && y < f.bottom) return f;
    return std::nullopt;
}
