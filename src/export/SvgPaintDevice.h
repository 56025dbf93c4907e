#pragma once
// A paint device whose painter writes SVG (see SvgPaintEngine): the page is
// widthMm x heightMm, painter coordinates are device pixels at dpi.

#include "export/SvgPaintEngine.h"

#include <QPaintDevice>
#include <memory>

class QIODevice;
class SvgPaintEngine;

class SvgPaintDevice : public QPaintDevice {
public:
    SvgPaintDevice(QIODevice* out, double widthMm, double heightMm, int dpi);
    ~SvgPaintDevice() override;

    QPaintEngine* paintEngine() const override;

    // Layer groups around what the painter draws between the two calls; the
    // painter must be active.
    void beginLayer(const QString& id, const QString& label);
    void endLayer();
    void setTitle(const QString& title);
    void setPictureFiles(const PictureFiles* files);
    void setSidePictureSink(SidePictureSink sink);

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    std::unique_ptr<SvgPaintEngine> m_engine;
    double m_widthMm, m_heightMm;
    int m_dpi;
};
