#include "render/fast/DirectCanvas.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QRegion>
#include <atomic>
#include <cmath>

namespace {
std::atomic<bool> g_directOn{true};
}

DirectCanvas DirectCanvas::of(QPainter& canvas) {
    DirectCanvas d;
    QPaintDevice* dev = canvas.device();
    if (!g_directOn.load() || !dev || dev->devType() != QInternal::Image) return d;
    auto* image = static_cast<QImage*>(dev);
    const QImage::Format f = image->format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
        return d;
    const qreal ratio = image->devicePixelRatio();
    if (ratio == 1.0) {
        if (canvas.combinedTransform().type() != QTransform::TxNone) return d;
    } else {
        // Only the plain scale the image's ratio gives the painter.
        const QTransform t = canvas.deviceTransform();
        if (ratio < 1.5 || ratio > 4 || 2 * ratio != std::floor(2 * ratio) || t.type() != QTransform::TxScale ||
            t.m11() != ratio || t.m22() != ratio || canvas.worldTransform().type() != QTransform::TxNone)
            return d;
    }
    if (canvas.testRenderHint(QPainter::Antialiasing) ||
        canvas.compositionMode() != QPainter::CompositionMode_SourceOver || canvas.opacity() != 1.0)
        return d;
    QRect clip = image->rect();
    if (canvas.hasClipping()) {
        const QRegion region = canvas.clipRegion();
        if (region.rectCount() > 1) return d;
        QRect r = region.boundingRect();
        if (ratio != 1.0) {
            // A logical clip edge inside a device pixel is cut by rules of
            // the painter's own.
            const QRectF device(r.left() * ratio, r.top() * ratio, r.width() * ratio, r.height() * ratio);
            if (device.left() != std::floor(device.left()) || device.top() != std::floor(device.top()) ||
                device.right() != std::floor(device.right()) || device.bottom() != std::floor(device.bottom()))
                return d;
            r = device.toRect();
        }
        clip &= r;
    }
    d.m_ratio = ratio;
    // A view onto memory of its own is not shared, so this does not copy.
    d.m_rows = image->bits();
    d.m_bytesPerLine = image->bytesPerLine();
    d.m_clip = clip;
    d.m_bounds = image->rect();
    return d;
}

bool DirectCanvas::enabled() { return g_directOn.load(); }

DirectCanvasOff::DirectCanvasOff() : m_previous(g_directOn.exchange(false)) {}

DirectCanvasOff::~DirectCanvasOff() { g_directOn.store(m_previous); }
