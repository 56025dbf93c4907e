// Drawings (SVG) as pictures: the editor repaint at a zoom step once the
// drawings are drawn at that zoom, and the 600-dpi sheet against the same
// design with PNG pictures of the same size.

#include "BenchSupport.h"
#include "DrawingDesign.h"
#include "image/ImageLoader.h"
#include "image/TiledOutlines.h"
#include "image/VectorArt.h"
#include "model/BoxDocument.h"
#include "render/fast/EditorLayerCache.h"
#include "sheet/SheetRenderer.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>
#include <memory>

namespace {

// 20 pictures of 200 x 150 editor pixels over the net; kind 0 drawings,
// 1 PNG pictures, 2 flat drawings, 3 one drawing placed 20 times; 4 and 5
// drawings and PNG pictures of half the size side by side.
std::unique_ptr<BoxDocument> twentyPictures(int kind) {
    auto doc = rt::document();
    const DibHandle repeated = DecodeVectorArt(drawingdesign::logo(0));
    for (int i = 0; i < 20; ++i) {
        Tobs& o = kind >= 4 ? drawingdesign::placeLogoApart(*doc, i) : drawingdesign::placeLogo(*doc, i);
        const DibHandle drawing = kind == 3 ? repeated : DecodeVectorArt(drawingdesign::logo(i, kind == 2));
        o.Picture = kind == 1 || kind == 5 ? DecodeDib(drawingdesign::pngOf(drawing), QStringLiteral("png")) : drawing;
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
// (each strip once, shared by the bands and the objects that show it)
// against PNG pictures scaled from their pixels. Wall time, and the CPU of
// the whole process: the render threads and Qt's pool draw the bands.
void BM_Sheet600Dpi20Pictures(benchmark::State& state) {
    auto doc = twentyPictures(int(state.range(0)));
    for (auto _ : state) {
        clearVectorArtRenderings();
        const QImage page = renderSheetImage(*doc, 100, 600, QSize(7017, 4958), 96);
        benchmark::DoNotOptimize(page.constBits());
    }
    const char* labels[] = {"SVG",           "PNG",           "SVG flach", "SVG, eine Zeichnung 20-mal",
                            "SVG nebeneinander", "PNG nebeneinander"};
    state.SetLabel(labels[state.range(0)]);
}
BENCHMARK(BM_Sheet600Dpi20Pictures)->Arg(0)->Arg(2)->Arg(3)->Arg(1)->Arg(4)->Arg(5)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// One logo of the design at its size on the 600-dpi sheet (2493 x 1870),
// in strips of 256 rows as the sheet has it drawn: through the device that
// fills large outlines in tiles, and with Qt's painter alone.
void BM_LogoAt600Dpi(benchmark::State& state) {
    const bool tiled = state.range(0) == 0;
    const DibHandle drawing = DecodeVectorArt(drawingdesign::logo(3));
    QSvgRenderer renderer(drawing.vectorArt()->svg);
    const QSize size(2493, 1870);
    QImage strip(size.width(), 256, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        onDrawingThread([&] {
            for (int top = 0; top < size.height(); top += strip.height()) {
                strip.fill(0);
                QPainter target(&strip);
                if (!tiled) {
                    target.setRenderHint(QPainter::Antialiasing);
                    target.translate(0, -top);
                    renderer.render(&target, QRectF(QPointF(0, 0), QSizeF(size)));
                    continue;
                }
                TiledOutlineDevice device(target);
                QPainter p(&device);
                p.setRenderHint(QPainter::Antialiasing);
                p.translate(0, -top);
                renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
            }
        });
        benchmark::DoNotOptimize(strip.constBits());
    }
    state.SetLabel(tiled ? "Kacheln" : "Qt allein");
}
BENCHMARK(BM_LogoAt600Dpi)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

FALTARILLON_BENCH_MAIN()
