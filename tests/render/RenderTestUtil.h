#pragma once
// Small helpers for pixel tests on QImage.

#include "model/BoxDocument.h"
#include "render/Mapping.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

namespace rt {

inline QImage canvas(int w, int h, QColor fill = Qt::white) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

inline QRgb px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0x00FFFFFFu; }
inline QRgb rgb(int r, int g, int b) { return (QRgb(r) << 16) | (QRgb(g) << 8) | QRgb(b); }
constexpr QRgb White = 0xFFFFFF;
constexpr QRgb Black = 0x000000;

// Bounding box of the pixels that match.
inline QRect boundsWhere(const QImage& img, const std::function<bool(QRgb)>& pred) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (pred(px(img, x, y))) r = r.isNull() ? QRect(x, y, 1, 1) : r.united(QRect(x, y, 1, 1));
    return r;
}
inline QRect boundsOf(const QImage& img, QRgb color) {
    return boundsWhere(img, [color](QRgb c) { return c == color; });
}
inline QRect boundsNot(const QImage& img, QRgb color) {
    return boundsWhere(img, [color](QRgb c) { return c != color; });
}
inline int countOf(const QImage& img, QRgb color, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (px(img, x, y) == color) ++n;
    return n;
}

// The largest difference of any colour channel between two images of one
// size; how many pixels differ at all goes to differing.
inline int maxChannelDifference(const QImage& a, const QImage& b, int* differing = nullptr) {
    int worst = 0, count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            worst = std::max(worst, d);
            if (d) ++count;
        }
    if (differing) *differing = count;
    return worst;
}

// A document whose objects are given directly in screen pixels at Zoom 1.0,
// divisor 416: device pixel p is document unit 416 * p.
inline std::unique_ptr<BoxDocument> document() {
    auto doc = std::make_unique<BoxDocument>();
    doc->Zoom = 1.0;
    doc->ScreenDivisor = 416;
    doc->Layout.applyNewDocumentLayout();
    doc->updateExtentFromLayout();
    return doc;
}

inline Tobs& place(BoxDocument& doc, int slot, int kind, int x, int y, int w, int h) {
    Tobs& o = doc.Objects[slot];
    o.resetToDefaults();
    o.Kind = kind;
    SetDevLeft(o, x, 1.0, 416);
    SetDevTop(o, y, 1.0, 416);
    SetDevWidth(o, w, 1.0, 416);
    SetDevHeight(o, h, 1.0, 416);
    return o;
}

// A red filled rectangle over the whole editing area, in slot 1: every copy
// of the box on a sheet is full of it.
inline Tobs& coverWithRed(BoxDocument& doc) {
    Tobs& o = doc.Objects[1];
    o.resetToDefaults();
    o.Kind = Figure;
    o.Shape = shRectangle;
    o.FillModeOrShadowColor = fmFilled;
    o.Color = 0x0000FF;
    o.Width = doc.ExtentWidth;
    o.Height = doc.ExtentHeight;
    return o;
}

}  // namespace rt
