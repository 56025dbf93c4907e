#include "export/SvgPaintDevice.h"

#include "export/SvgPaintEngine.h"

#include <cmath>

namespace {
// A device pixel is 1/dpi of a real inch: the printer's pixel, not the
// program's 25.39995 mm inch of document units.
double mmToDevice(double mm, int dpi) { return mm / 25.4 * dpi; }
}  // namespace

SvgPaintDevice::SvgPaintDevice(QIODevice* out, double widthMm, double heightMm, int dpi)
    : m_engine(std::make_unique<SvgPaintEngine>(out, widthMm, heightMm, mmToDevice(widthMm, dpi),
                                                mmToDevice(heightMm, dpi))),
      m_widthMm(widthMm), m_heightMm(heightMm), m_dpi(dpi) {}

SvgPaintDevice::~SvgPaintDevice() = default;

QPaintEngine* SvgPaintDevice::paintEngine() const { return m_engine.get(); }

void SvgPaintDevice::beginLayer(const QString& id, const QString& label) { m_engine->beginLayer(id, label); }
void SvgPaintDevice::endLayer() { m_engine->endLayer(); }
void SvgPaintDevice::setTitle(const QString& title) { m_engine->setTitle(title); }
void SvgPaintDevice::setPictureFiles(const PictureFiles* files) { m_engine->setPictureFiles(files); }
void SvgPaintDevice::setSidePictureSink(SidePictureSink sink) { m_engine->setSidePictureSink(std::move(sink)); }

int SvgPaintDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth: return static_cast<int>(std::ceil(mmToDevice(m_widthMm, m_dpi)));
    case PdmHeight: return static_cast<int>(std::ceil(mmToDevice(m_heightMm, m_dpi)));
    case PdmWidthMM: return static_cast<int>(std::lround(m_widthMm));
    case PdmHeightMM: return static_cast<int>(std::lround(m_heightMm));
    case PdmNumColors: return 0x7fffffff;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return m_dpi;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
    default: return 0;
    }
}
