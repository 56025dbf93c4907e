#include "app/FoldView.h"

#include "model/BoxDocument.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {
// Degrees per pixel of drag.
constexpr double kTurnPerPixel = 0.5;
}

FoldView::FoldView(BoxDocument& doc, std::function<int()> percent, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_percent(std::move(percent)) {
    setObjectName(QStringLiteral("FoldView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(160, 120);
}

void FoldView::setCamera(const ViewCamera& camera) {
    m_camera = camera;
    m_camera.pitch = std::clamp(m_camera.pitch, -90.0, 90.0);
    m_camera.yaw = std::remainder(m_camera.yaw, 360.0);
    m_camera.zoom = std::clamp(m_camera.zoom, 0.25, 8.0);
    update();
    emit cameraChanged();
}

void FoldView::resetCamera() { setCamera(ViewCamera{}); }

void FoldView::setFold(double fold) {
    fold = std::clamp(fold, 0.0, 1.0);
    if (fold == m_fold) return;
    m_fold = fold;
    update();
}

void FoldView::setLabels(bool on) {
    if (on == m_labels) return;
    m_labels = on;
    update();
}

void FoldView::refreshTextures() {
    // A high-density screen shows the faces at its device pixels: face
    // pictures sharp enough for those.
    if (devicePixelRatioF() > 1.0) {
        const int edge = FaceTextures::edgeFor(size() * devicePixelRatioF());
        if (edge > m_textures.edgePixels()) m_textures = FaceTextures(edge);
    }
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchX() : 96;
    m_textures.update(shown(), m_percent ? m_percent() : 100, dpi);
}

QImage FoldView::grabView(QSize size) {
    refreshTextures();
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull()) return picture;
    const int percent = m_percent ? m_percent() : 100;
    // A picture larger than the view gets sharper face pictures of its own.
    FaceTextures sharp(FaceTextures::edgeFor(size));
    const bool own = sharp.edgePixels() > m_textures.edgePixels() && sharp.make(shown(), percent);
    QPainter painter(&picture);
    const FoldingModel model = FoldingModel::inMillimetres(m_doc.Layout, NetSource::of(m_doc, percent));
    FoldedBoxPainter(model, m_fold, m_camera, size).paint(painter, own ? sharp : m_textures, m_labels);
    return picture;
}

void FoldView::paintEvent(QPaintEvent*) {
    refreshTextures();
    ++m_frames;
    QPainter painter(this);
    const FoldingModel model = FoldingModel::inMillimetres(m_doc.Layout, NetSource::of(m_doc, m_percent ? m_percent() : 100));
    FoldedBoxPainter(model, m_fold, m_camera, size()).paint(painter, m_textures, m_labels);
}

void FoldView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_dragging = true;
    m_dragFrom = event->position().toPoint();
}

void FoldView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) return;
    const QPoint at = event->position().toPoint();
    const QPoint d = at - m_dragFrom;
    m_dragFrom = at;
    ViewCamera c = m_camera;
    // Dragging right turns the box's front to the right, dragging down tips
    // its top towards the viewer.
    c.yaw -= d.x() * kTurnPerPixel;
    c.pitch += d.y() * kTurnPerPixel;
    setCamera(c);
}

void FoldView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_dragging = false;
}

void FoldView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) resetCamera();
}

void FoldView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y();
    if (steps == 0) return;
    ViewCamera c = m_camera;
    c.zoom *= std::pow(1.15, steps / 120.0);
    setCamera(c);
    event->accept();
}
