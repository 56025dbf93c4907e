// Drawings (SVG) as pictures: the editor repaint at a zoom step once the
// drawings are drawn at that zoom, and the 600-dpi sheet against the same
// design with PNG pictures of the same size.

#include "BenchSupport.h"
#include "image/ImageLoader.h"
#include "image/VectorArt.h"
#include "model/BoxDocument.h"
#include "render/fast/EditorLayerCache.h"
#include "sheet/SheetRenderer.h"

#include <QBuffer>
#include <QImage>

#include <cmath>
#include <memory>

namespace {

using bench::place;

// A logo as drawing programs write them: a ground, gradients, curves with
// strokes, some forty elements; flat: the same shapes in plain opaque
// colours, without gradients.
QByteArray logo(int seed, bool flat = false) {
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
DibHandle pngOf(const DibHandle& drawing) {
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    drawing.image().save(&b, "PNG");
    return DecodeDib(bytes, QStringLiteral("png"));
}

// 20 pictures of 200 x 150 editor pixels over the net; kind 0 drawings,
// 1 PNG pictures, 2 flat drawings.
std::unique_ptr<BoxDocument> twentyPictures(int kind) {
    auto doc = rt::document();
    for (int i = 0; i < 20; ++i) {
        Tobs& o = place(*doc, 1 + i, Image, 560 + (i % 5) * 105, 400 + (i / 5) * 95, 200, 150);
        const DibHandle drawing = DecodeVectorArt(logo(i, kind == 2));
        o.Picture = kind == 1 ? pngOf(drawing) : drawing;
        o.KeepAspect = 1;
    }
    return doc;
}

// Zoom steps in and out (1 and 1.5), each repaint in full; the drawings were
// drawn once at both zooms before the timing.
void BM_EditorRepaint20PicturesZoomStep(benchmark::State& state) {
    auto doc = twentyPictures(int(state.range(0)));
    const double divisor = doc->ScreenDivisor;
    QImage buffer(1920, 1080, QImage::Format_RGB32);
    EditorLayerCache cache;
    for (double d : {divisor, divisor / 1.5}) {
        doc->ScreenDivisor = d;
        cache.invalidate();
        cache.render(buffer, *doc, 100, 400, 300);
    }
    bool in = false;
    for (auto _ : state) {
        in = !in;
        doc->ScreenDivisor = in ? divisor : divisor / 1.5;
        cache.invalidate();
        cache.render(buffer, *doc, 100, 400, 300);
        benchmark::DoNotOptimize(buffer.constBits());
    }
    state.SetLabel(state.range(0) == 1 ? "PNG" : state.range(0) == 2 ? "SVG flach" : "SVG");
}
BENCHMARK(BM_EditorRepaint20PicturesZoomStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The 600-dpi sheet, A4 landscape: drawings drawn afresh from their vectors
// (each once, its rendering shared by the bands it reaches) against PNG
// pictures scaled from their pixels.
void BM_Sheet600Dpi20Pictures(benchmark::State& state) {
    auto doc = twentyPictures(int(state.range(0)));
    for (auto _ : state) {
        clearVectorArtRenderings();
        const QImage page = renderSheetImage(*doc, 100, 600, QSize(7017, 4958), 96);
        benchmark::DoNotOptimize(page.constBits());
    }
    state.SetLabel(state.range(0) == 1 ? "PNG" : state.range(0) == 2 ? "SVG flach" : "SVG");
}
BENCHMARK(BM_Sheet600Dpi20Pictures)->Arg(0)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

FALTARILLON_BENCH_MAIN()
