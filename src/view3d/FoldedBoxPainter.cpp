#include "view3d/FoldedBoxPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180;
// Camera distance in radii of the folded shape: a mild perspective.
constexpr double kDistance = 3.2;

const QColor kBackgroundTop(236, 240, 244);
const QColor kBackgroundBottom(212, 218, 226);
const QColor kCard(226, 214, 190);   // the unprinted back of the card

// Light from above left, a little in front; in camera space.
const Vec3 kLight = Vec3{-0.45, -0.75, -0.5}.normalized();

double brightness(const Vec3& normal) {
    return 0.58 + 0.42 * std::max(0.0, normal.dot(kLight));
}

}  // namespace

FoldedBoxPainter::FoldedBoxPainter(const FoldingModel& model, double fold, const ViewCamera& camera, QSize size)
    : m_model(model), m_fold(std::clamp(fold, 0.0, 1.0)), m_size(size), m_poses(model.fold(m_fold)) {
    // Turn about the middle of what there is to see, and fit it.
    Vec3 lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
    for (const PanelPose& p : m_poses)
        for (const Vec3& c : p.corners) {
            lo = {std::min(lo.x, c.x), std::min(lo.y, c.y), std::min(lo.z, c.z)};
            hi = {std::max(hi.x, c.x), std::max(hi.y, c.y), std::max(hi.z, c.z)};
        }
    const Vec3 centre = (lo + hi) / 2;
    double radius = 0;
    for (const PanelPose& p : m_poses)
        for (const Vec3& c : p.corners) radius = std::max(radius, (c - centre).length());
    if (radius <= 0) radius = 1;
    const double distance = kDistance * radius;
    const Rigid3 turn = Rigid3::rotation({}, {1, 0, 0}, camera.pitch * kDegree) *
                        Rigid3::rotation({}, {0, 1, 0}, camera.yaw * kDegree);
    m_view = Rigid3::translation({0, 0, distance}) * turn * Rigid3::translation(-centre);
    const double half = std::max(1, std::min(size.width(), size.height())) / 2.0;
    const double zoom = std::clamp(camera.zoom, 0.05, 50.0);
    m_focal = zoom * 0.9 * half * std::sqrt(distance * distance - radius * radius) / radius;
    computeOrder();
}

Vec3 FoldedBoxPainter::toView(const Vec3& p) const { return m_view.apply(p); }

QPointF FoldedBoxPainter::project(const Vec3& p) const {
    const Vec3 v = toView(p);
    const double z = std::max(v.z, 1e-9);
    return QPointF(m_size.width() / 2.0 + m_focal * v.x / z, m_size.height() / 2.0 + m_focal * v.y / z);
}

bool FoldedBoxPainter::showsPrintedSide(PanelId id) const {
    const PanelPose& pose = m_poses[static_cast<int>(id)];
    if (pose.corners.empty()) return false;
    const Vec3 n = m_view.rotate(pose.normal);
    return n.dot(-toView(pose.corners.front())) > 0;
}

QPointF FoldedBoxPainter::panelCentre(PanelId id) const {
    const PanelPose& pose = m_poses[static_cast<int>(id)];
    Vec3 mid;
    for (const Vec3& c : pose.corners) mid += c / double(pose.corners.size());
    return project(mid);
}

void FoldedBoxPainter::computeOrder() {
    // Which side of each panel shows, and its corners in camera space.
    struct Item {
        DrawItem draw;
        std::vector<Vec3> v;
        Vec3 n;
        double depth;
        QRectF screen;
    };
    std::vector<Item> items;
    // A box shut on every side shows nothing of its inside; through a
    // sleeve's open ends the inner sides and the glue flap show.
    const bool closed = m_fold >= 1 && m_model.plan().enclosed;
    for (const PanelPose& pose : m_poses) {
        if (pose.corners.size() < 3) continue;
        // Closed, the flaps are inside and only the printed sides show.
        if (closed && !m_model.panel(pose.id).isFace() && !m_model.panel(pose.id).outside) continue;
        Item it;
        it.draw = {pose.id, showsPrintedSide(pose.id)};
        if (closed && !it.draw.printedSide) continue;
        it.n = m_view.rotate(pose.normal);
        it.depth = 0;
        QPolygonF screen;
        for (const Vec3& c : pose.corners) {
            it.v.push_back(toView(c));
            it.depth += it.v.back().z / pose.corners.size();
            screen << project(c);
        }
        it.screen = screen.boundingRect();
        items.push_back(std::move(it));
    }
    const double eps = 1e-7 * std::max(1.0, m_model.largestMeasure());
    // All corners of a lie on the far side of b's plane (or in it).
    auto allBeyond = [&](const Item& a, const Item& b) {
        const double cam = b.n.dot(Vec3{} - b.v[0]);
        bool strictly = false;
        for (const Vec3& p : a.v) {
            const double s = b.n.dot(p - b.v[0]);
            if (s * cam > 0 && std::abs(s) > eps) return false;
            if (std::abs(s) > eps) strictly = true;
        }
        return strictly;
    };
    // All corners of a lie on the viewer's side of b's plane (or in it).
    auto allBefore = [&](const Item& a, const Item& b) {
        const double cam = b.n.dot(Vec3{} - b.v[0]);
        bool strictly = false;
        for (const Vec3& p : a.v) {
            const double s = b.n.dot(p - b.v[0]);
            if (s * cam < 0 && std::abs(s) > eps) return false;
            if (std::abs(s) > eps) strictly = true;
        }
        return strictly;
    };
    const int n = static_cast<int>(items.size());
    std::vector<std::vector<int>> after(n);   // after[i]: drawn after i
    std::vector<int> pending(n, 0);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            if (!items[i].screen.intersects(items[j].screen)) continue;
            const bool iFirst = allBeyond(items[i], items[j]) || allBefore(items[j], items[i]);
            const bool jFirst = allBeyond(items[j], items[i]) || allBefore(items[i], items[j]);
            if (iFirst == jFirst) continue;
            const int first = iFirst ? i : j, second = iFirst ? j : i;
            after[first].push_back(second);
            ++pending[second];
        }
    // Far to near where the planes do not decide; a cycle is broken at its
    // farthest panel.
    std::vector<bool> done(n, false);
    m_order.clear();
    for (int k = 0; k < n; ++k) {
        int pick = -1;
        for (int i = 0; i < n; ++i)
            if (!done[i] && pending[i] == 0 && (pick < 0 || items[i].depth > items[pick].depth)) pick = i;
        if (pick < 0)
            for (int i = 0; i < n; ++i)
                if (!done[i] && (pick < 0 || items[i].depth > items[pick].depth)) pick = i;
        done[pick] = true;
        for (int s : after[pick]) --pending[s];
        m_order.push_back(items[pick].draw);
    }
}

void FoldedBoxPainter::paint(QPainter& painter, const FaceTextures& textures, bool labels) const {
    painter.save();
    QLinearGradient sky(0, 0, 0, m_size.height());
    sky.setColorAt(0, kBackgroundTop);
    sky.setColorAt(1, kBackgroundBottom);
    painter.fillRect(QRect(QPoint(0, 0), m_size), sky);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    paintShadow(painter);
    for (const DrawItem& item : m_order) paintPanel(painter, textures, item);
    if (labels) paintLabels(painter);
    painter.restore();
}

void FoldedBoxPainter::paintShadow(QPainter& painter) const {
    // A soft patch on the ground below the box, seen only from above.
    double ground = -1e300, x0 = 1e300, x1 = -1e300, z0 = 1e300, z1 = -1e300;
    for (const PanelPose& p : m_poses)
        for (const Vec3& c : p.corners) {
            ground = std::max(ground, c.y);
            x0 = std::min(x0, c.x);
            x1 = std::max(x1, c.x);
            z0 = std::min(z0, c.z);
            z1 = std::max(z1, c.z);
        }
    const double grow = 0.12 * m_model.smallestMeasure();
    const Vec3 corners[4] = {{x0 - grow, ground, z0 - grow}, {x1 + grow, ground, z0 - grow},
                             {x1 + grow, ground, z1 + grow}, {x0 - grow, ground, z1 + grow}};
    // The ground faces up (-y): visible when the viewer is above it.
    const Vec3 up = m_view.rotate(Vec3{0, -1, 0});
    if (up.dot(-toView(corners[0])) <= 0) return;
    QPolygonF patch;
    for (const Vec3& c : corners) patch << project(c);
    const QRectF r = patch.boundingRect();
    if (r.width() < 1 || r.height() < 1) return;
    painter.save();
    painter.translate(r.center());
    painter.scale(r.width() / 2, r.height() / 2);
    // The flat net stands on nothing; the shadow grows as the box takes shape.
    const double standing = std::min(1.0, 0.15 + m_fold);
    QRadialGradient soft(QPointF(0, 0), 1);
    soft.setColorAt(0, QColor(40, 44, 52, int(110 * standing)));
    soft.setColorAt(0.6, QColor(40, 44, 52, int(60 * standing)));
    soft.setColorAt(1, QColor(40, 44, 52, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(soft);
    painter.drawEllipse(QPointF(0, 0), 1, 1);
    painter.restore();
}

void FoldedBoxPainter::paintPanel(QPainter& painter, const FaceTextures& textures, const DrawItem& item) const {
    const PanelPose& pose = m_poses[static_cast<int>(item.id)];
    QPolygonF screen;
    for (const Vec3& c : pose.corners) screen << project(c);
    const Vec3 n = m_view.rotate(item.printedSide ? pose.normal : -pose.normal);
    const double light = brightness(n);

    if (!item.printedSide) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(int(kCard.red() * light), int(kCard.green() * light), int(kCard.blue() * light)));
        painter.drawPolygon(screen);
    } else {
        const PanelTexture* tex = textures.isValid() ? &textures.texture(item.id) : nullptr;
        if (!tex || tex->image.isNull()) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::white);
            painter.drawPolygon(screen);
        } else {
            // Four points of the panel's plane, in the picture's pixels and
            // on the screen, fix the projective map between the two.
            const QRectF box = m_model.panel(item.id).outline.boundingRect();
            const QPointF netCorners[4] = {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()};
            QPolygonF from, to;
            const QTransform toPixels =
                textures.millimetresToPixels() * QTransform::fromTranslate(-tex->netPixels.left(), -tex->netPixels.top());
            for (const QPointF& c : netCorners) {
                from << toPixels.map(c);
                to << project(pose.transform.apply(Vec3{c.x(), c.y(), 0}));
            }
            QTransform map;
            if (QTransform::quadToQuad(from, to, map)) {
                painter.save();
                // A lid half closing shows only part of its picture.
                if (pose.netPolygon.size() != m_model.panel(item.id).outline.size()) {
                    QPainterPath clip;
                    clip.addPolygon(screen);
                    painter.setClipPath(clip);
                }
                painter.setTransform(map, true);
                painter.drawImage(QPointF(0, 0), tex->image);
                painter.restore();
            }
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, int(255 * (1 - light))));
        painter.drawPolygon(screen);
    }
    // A faint edge so folds read clearly.
    painter.setPen(QPen(QColor(60, 60, 60, 110), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(screen);
}

void FoldedBoxPainter::paintLabels(QPainter& painter) const {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(std::max(11, std::min(m_size.width(), m_size.height()) / 28));
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    auto label = [&](const QString& text, QPointF at) {
        QRectF r = metrics.boundingRect(text);
        r.moveCenter(at);
        r.adjust(-5, -2, 5, 2);
        painter.setPen(QPen(QColor(40, 40, 40), 1));
        painter.setBrush(QColor(255, 255, 255, 215));
        painter.drawRoundedRect(r, 4, 4);
        painter.setPen(QColor(20, 20, 20));
        painter.drawText(r, Qt::AlignCenter, text);
    };
    // A face made of several panels (the lid's halves) gets one label in
    // their middle once all of them are shut, on the first of them.
    const std::vector<FoldPanel>& panels = m_model.panels();
    for (const FoldPanel& p : panels) {
        const QString name = p.faceName();
        if (name.isEmpty() || !showsPrintedSide(p.id)) continue;
        std::vector<PanelId> parts;
        bool shut = true;
        for (const FoldPanel& q : panels)
            if (q.faceName() == name) {
                parts.push_back(q.id);
                shut = shut && m_model.hingeProgress(q.id, m_fold) >= 1;
            }
        if (parts.size() < 2 || !shut) {
            label(name, panelCentre(p.id));
            continue;
        }
        if (parts.front() != p.id) continue;
        QPointF mid;
        for (PanelId id : parts) mid += panelCentre(id) / double(parts.size());
        label(name, mid);
    }
}
