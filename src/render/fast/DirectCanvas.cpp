#include "render/fast/DirectCanvas.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QRegion>
#include <atomic>

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
    if (image->devicePixelRatio() != 1.0 || canvas.combinedTransform().type() != QTransform::TxNone) return d;
    if (canvas.testRenderHint(QPainter::Antialiasing) ||
        canvas.compositionMode() != QPainter::CompositionMode_SourceOver || canvas.opacity() != 1.0)
        return d;
    QRect clip = image->rect();
    if (canvas.hasClipping()) {
        const QRegion region = canvas.clipRegion();
        if (region.rectCount() > 1) return d;
        clip &= region.boundingRect();
    }
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
