#pragma once
// A paint device for drawing into a raster image through another painter:
// every call goes on to that painter unchanged, except the fill and the
// stroke of a large shape, whose outlines are cut into tiles of the image
// before they are filled.
//
// Qt's antialiasing rasteriser keeps the cells of an outline in a small
// fixed pool. Where an outline has more cells than fit, it splits the rows
// into ever thinner bands and walks the whole outline again for each, and
// where a single row is too crowded it starts over with a larger pool. A
// stroke a few hundred pixels long, as a drawing at print resolution has
// dozens of, costs that way some twenty times what it costs without
// antialiasing. Cut along pixel edges into tiles, each piece mostly fits
// the pool and is walked once; a pixel lies in exactly one tile and keeps
// the coverage it had, so the result is the shape's. Only brushes whose
// pixels do not depend on the shape they fill (solid, textures, gradients
// in the painter's coordinates) are cut; the rest go on whole.

#include <QPaintDevice>
#include <QRegion>

#include <memory>

class QPainter;
class TiledOutlineEngine;

class TiledOutlineDevice : public QPaintDevice {
public:
    // target is active on a QImage and stays so while this device is
    // painted on; what is drawn here lands there. Where visible is given
    // (in the image's pixels), only those pixels are drawn, whatever clips
    // the drawing sets, and outlines and tiles wholly outside them are
    // left alone.
    explicit TiledOutlineDevice(QPainter& target, const QRegion& visible = QRegion());
    ~TiledOutlineDevice() override;

    QPaintEngine* paintEngine() const override;
    // Fills and strokes drawn in tiles so far (tests).
    int tiledOutlines() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QPainter& target_;
    std::unique_ptr<TiledOutlineEngine> engine_;
};
