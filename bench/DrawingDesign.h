#pragma once
// The design the drawing benchmarks measure, shared by bench_vector_art and
// make-drawing-bench-data (which writes it as box files for timing the
// command-line tool): 20 logos, each its own drawing, in a grid of 200 x 150
// editor pixels over the net, as drawings or as PNG pictures of the same size.

#include "../tests/render/RenderTestUtil.h"
#include "image/DibHandle.h"
#include "image/ImageLoader.h"

#include <QBuffer>
#include <QByteArray>

namespace drawingdesign {

constexpr int kPictures = 20;

// A logo as drawing programs write them: a ground, gradients, curves with
// strokes, some forty elements; flat: the same shapes in plain opaque
// colours, without gradients.
inline QByteArray logo(int seed, bool flat = false) {
    QByteArray s = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40mm\" height=\"30mm\" viewBox=\"0 0 400 300\">"
                   "<defs><linearGradient id=\"a\" x1=\"0\" x2=\"1\"><stop offset=\"0\" stop-color=\"#fa0\"/>"
                   "<stop offset=\"1\" stop-color=\"#c02\"/></linearGradient>"
                   "<radialGradient id=\"b\"><stop offset=\"0\" stop-color=\"#fff\"/>"
                   "<stop offset=\"1\" stop-color=\"#06c\"/></radialGradient></defs>"
                   "<rect width=\"400\" height=\"300\" rx=\"30\" fill=\"url(#a)\"/>";
    for (int i = 0; i < 36; ++i) {
        const int x = (i * 73 + seed * 31) % 360 + 20, y = (i * 47 + seed * 17) % 260 + 20;
        s += "<path d=\"M" + QByteArray::number(x) + "," + QByteArray::number(y) + " c30,-40 60,40 90,0 s40,50 10,60 z\" "
             "fill=\"" + (i % 3 && !flat ? QByteArray("url(#b)") : "#" + QByteArray::number(0x203040 + i * 0x050301, 16)) +
             "\" stroke=\"#222\" stroke-width=\"3\"" + (flat ? "" : " opacity=\"0.8\"") + "/>";
    }
    return s + "<circle cx=\"200\" cy=\"150\" r=\"60\" fill=\"none\" stroke=\"#fff\" stroke-width=\"12\"/></svg>";
}

// The same picture as pixels: the drawing at its stand-in size, as a PNG
// file would bring it.
inline QByteArray pngOf(const DibHandle& drawing) {
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    drawing.image().save(&b, "PNG");
    return bytes;
}

// Picture i's object in slot i + 1; its picture is left to the caller.
inline Tobs& placeLogo(BoxDocument& doc, int i) {
    Tobs& o = rt::place(doc, 1 + i, Image, 560 + (i % 5) * 105, 400 + (i / 5) * 95, 200, 150);
    o.KeepAspect = 1;
    return o;
}

// The same, half the size and side by side: nothing covers anything (20
// pictures of the full size cannot lie on an A4 page without covering
// one another).
inline Tobs& placeLogoApart(BoxDocument& doc, int i) {
    Tobs& o = rt::place(doc, 1 + i, Image, 545 + (i % 5) * 100, 380 + (i / 5) * 75, 100, 75);
    o.KeepAspect = 1;
    return o;
}

}  // namespace drawingdesign
