// Render speed: the editor repaint, the printed sheet and image scaling.

#include "BenchSupport.h"
#include "image/DrawDib.h"
#include "model/BoxDocument.h"
#include "render/fast/EditorLayerCache.h"
#include "render/EditorView.h"
#include "render/fast/FigureMask.h"
#include "render/Mapping.h"
#include "image/RenderThreads.h"
#include "sheet/SheetPdfWriter.h"
#include "sheet/SheetPngWriter.h"
#include "sheet/SheetRenderer.h"
#include "render/TextRenderer.h"
#include "render/fast/ZoomStepWarmer.h"

#include <QGuiApplication>
#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPainter>
#include <sys/resource.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>

namespace {

using bench::place;

DibHandle gradient(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) line[x] = qRgb(x * 255 / w, y * 255 / h, (x ^ y) & 0xFF);
    }
    return DibHandle(img, 24);
}

DibHandle withWhiteCorner(int w, int h) {
    DibHandle d = gradient(w, h);
    QImage& img = d.image();
    for (int y = h / 2; y < h; ++y)
        for (int x = 0; x < w / 2; ++x) img.setPixel(x, y, qRgb(255, 255, 255));
    return d;
}

std::unique_ptr<BoxDocument> newDoc() {
    auto doc = std::make_unique<BoxDocument>();
    doc->Layout.applyNewDocumentLayout();
    doc->updateExtentFromLayout();
    doc->Zoom = 1.0;
    doc->ScreenDivisor = 416;
    return doc;
}

// Figures of 8 to maxSide screen pixels a side (60: 1.6 to 13 mm on paper),
// random shapes, fill modes, colours and line widths of 0.2 to 2 mm.
void addFigures(BoxDocument& doc, int firstSlot, int count, std::mt19937& rng, int areaW, int areaH,
                int maxSide = 60) {
    std::uniform_int_distribution<int> px(0, areaW - maxSide), py(0, areaH - maxSide), sz(8, maxSide), shape(0, 9),
        fill(0, 2), width(1, 10);
    for (int i = 0; i < count; ++i) {
        Tobs& o = place(doc, firstSlot + i, Figure, px(rng), py(rng), sz(rng), sz(rng));
        o.Shape = shape(rng);
        o.FillModeOrShadowColor = fill(rng);
        o.Color = static_cast<int>(rng() & 0xFFFFFF);
        o.BorderOrOutlineColor = static_cast<int>(rng() & 0xFFFFFF);
        o.LineWidthOrTransColor = width(rng);
    }
}

// The editor shows 1920 x 1080 of the 1646 x 1164 area at Zoom 1.25.
void BM_EditorRepaint1000Objects(benchmark::State& state) {
    auto doc = newDoc();
    doc->Zoom = 1.25;
    std::mt19937 rng(7);
    addFigures(*doc, 1, 945, rng, 1646, 1164);
    for (int i = 0; i < 50; ++i) {
        Tobs& t = place(*doc, 946 + i, Text, 550 + (i % 10) * 50, 390 + (i / 10) * 70, 200, 60);
        t.Content = QStringLiteral("Gruß aus der Box\rZeile %1").arg(i);
        t.FontName = QStringLiteral("Arial");
        t.FontSize = 24;
        t.Shadow = 1;
        t.ShadowDx = t.ShadowDy = 20;
        t.FillModeOrShadowColor = 0x808080;
        t.Alignment = i % 3;
    }
    for (int i = 0; i < 5; ++i) {
        Tobs& im = place(*doc, 996 + i, Image, 600 + i * 90, 500 + i * 40, 160, 120);
        im.Picture = gradient(640, 480);
        im.KeepAspect = 1;
    }
    doc->BackgroundMode = bgTile;
    doc->BackgroundPicture = gradient(300, 200);
    QImage buffer(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        renderEditorBuffer(buffer, *doc, 100, 400, 300);
        benchmark::DoNotOptimize(buffer.constBits());
    }
}
BENCHMARK(BM_EditorRepaint1000Objects)->Unit(benchmark::kMillisecond)->UseRealTime();

std::unique_ptr<BoxDocument> tenThousandFigures(int maxSide) {
    auto doc = newDoc();
    doc->Zoom = 1.25;
    std::mt19937 rng(11);
    addFigures(*doc, 1, 10000, rng, 2057, 1455, maxSide);
    return doc;
}

// A full render of the view (nothing kept): range(0) the figures' size,
// range(1) the threads (0 = the machine's cores).
void BM_EditorRepaint10000Figures(benchmark::State& state) {
    auto doc = tenThousandFigures(static_cast<int>(state.range(0)));
    const RenderThreadsOverride threads(static_cast<int>(state.range(1)));
    QImage buffer(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        renderEditorBuffer(buffer, *doc, 100, 0, 0);
        benchmark::DoNotOptimize(buffer.constBits());
    }
}
// 60: a busy design; 110: figures that cover the view about 25 times over.
BENCHMARK(BM_EditorRepaint10000Figures)->Args({60, 1})->Args({60, 0})->Args({110, 1})->Args({110, 0})
    ->Unit(benchmark::kMillisecond)->UseRealTime();

// The same full render with the kept figure masks forgotten before each one:
// the first paint of a design whose figures the editor has not drawn yet.
void BM_EditorRepaint10000FiguresFirstPaint(benchmark::State& state) {
    auto doc = tenThousandFigures(static_cast<int>(state.range(0)));
    const RenderThreadsOverride threads(static_cast<int>(state.range(1)));
    QImage buffer(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        FigureMask::forgetAll();
        state.ResumeTiming();
        renderEditorBuffer(buffer, *doc, 100, 0, 0);
        benchmark::DoNotOptimize(buffer.constBits());
    }
}
BENCHMARK(BM_EditorRepaint10000FiguresFirstPaint)->Args({60, 0})->Args({110, 0})
    ->Unit(benchmark::kMillisecond)->UseRealTime();

// The repaint after an edit, through the kept picture: range(1) 0 = one
// figure moved by a few pixels between repaints (a drag step, a nudge),
// 1 = nothing drawn changed (a selection, a panel update).
void BM_EditorRepaint10000FiguresKept(benchmark::State& state) {
    auto doc = tenThousandFigures(static_cast<int>(state.range(0)));
    QImage buffer(1920, 1080, QImage::Format_RGB32);
    EditorLayerCache cache;
    cache.render(buffer, *doc, 100, 0, 0);
    int step = 0;
    for (auto _ : state) {
        if (state.range(1) == 0) doc->Objects[5000].Left += (++step % 2 ? 416 * 4 : -416 * 4);
        cache.render(buffer, *doc, 100, 0, 0);
        benchmark::DoNotOptimize(buffer.constBits());
    }
}
BENCHMARK(BM_EditorRepaint10000FiguresKept)->Args({60, 0})->Args({60, 1})->Args({110, 0})
    ->Unit(benchmark::kMillisecond)->UseRealTime();

// A zoom step in, then back out, as the zoom tool makes them, each after the
// editor has been idle long enough to make the step's masks ahead.
void BM_EditorRepaint10000FiguresZoomStep(benchmark::State& state) {
    auto doc = tenThousandFigures(static_cast<int>(state.range(0)));
    const double divisor = doc->ScreenDivisor;
    QImage buffer(1920, 1080, QImage::Format_RGB32);
    EditorLayerCache cache;
    cache.render(buffer, *doc, 100, 0, 0);
    bool in = false;
    for (auto _ : state) {
        state.PauseTiming();
        ZoomStepWarmer::instance().waitIdle();
        in = !in;
        doc->ScreenDivisor = in ? divisor / 1.5 : doc->ScreenDivisor * 1.5;
        state.ResumeTiming();
        cache.render(buffer, *doc, 100, 0, 0);
        benchmark::DoNotOptimize(buffer.constBits());
    }
}
BENCHMARK(BM_EditorRepaint10000FiguresZoomStep)->Arg(60)->Arg(110)->Unit(benchmark::kMillisecond)->UseRealTime();

// A high-density screen (3840 x 2160 device pixels for the same view):
// range(0) 0 = a full render, 1 = the repaint after one figure moved,
// through the kept picture; range(1) the device-pixel ratio in tenths
// (20 = 2, 15 = 1.5).
void BM_EditorRepaint10000FiguresHighDensity(benchmark::State& state) {
    auto doc = tenThousandFigures(60);
    QImage buffer(3840, 2160, QImage::Format_RGB32);
    buffer.setDevicePixelRatio(state.range(1) / 10.0);
    EditorLayerCache cache;
    cache.render(buffer, *doc, 100, 0, 0);
    int step = 0;
    for (auto _ : state) {
        if (state.range(0) == 0) cache.invalidate();
        else doc->Objects[5000].Left += (++step % 2 ? 416 * 4 : -416 * 4);
        cache.render(buffer, *doc, 100, 0, 0);
        benchmark::DoNotOptimize(buffer.constBits());
    }
    state.counters["masks_MB"] = double(FigureMask::keptBytes()) / (1 << 20);
}
BENCHMARK(BM_EditorRepaint10000FiguresHighDensity)->Args({0, 20})->Args({1, 20})->Args({0, 15})->Args({1, 15})
    ->Unit(benchmark::kMillisecond)->UseRealTime();

std::unique_ptr<BoxDocument> sheetDoc() {
    auto doc = newDoc();
    doc->BackgroundMode = bgCenterLarger;
    doc->BackgroundPicture = gradient(3000, 2000);
    std::mt19937 rng(3);
    for (int i = 0; i < 20; ++i) {
        Tobs& t = place(*doc, 1 + i, Text, 560 + (i % 5) * 100, 400 + (i / 5) * 90, 180, 80);
        t.Content = QStringLiteral("Umriss %1\rmit zwei Zeilen").arg(i);
        t.FontName = QStringLiteral("Times New Roman");
        t.FontSize = 20;
        t.Color = 0xFFFFFF;
        t.Outline = 1;
        t.BorderOrOutlineColor = 0x000000;
        t.Rotation = i % 4;
    }
    for (int i = 0; i < 5; ++i) {
        Tobs& im = place(*doc, 30 + i, Image, 600 + i * 80, 420 + i * 60, 200, 150);
        im.Picture = withWhiteCorner(800, 600);
        im.Transparent = 1;
        im.TransAuto = 1;
    }
    return doc;
}

long maxRssKb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

// The sheet at 600 dpi, A4 landscape, rendered in bands as for the printer.
void BM_Sheet600DpiBands(benchmark::State& state) {
    auto doc = sheetDoc();
    const QSize page(7017, 4958);
    QImage sink(1, 1, QImage::Format_RGB32);
    long bandBytes = 0;
    for (auto _ : state) {
        QPainter device(&sink);
        printSheet(device, *doc, 100, 600, 600, page, 96, 0, [&](const QImage& band, int) {
            bandBytes = std::max<long>(bandBytes, static_cast<long>(band.sizeInBytes()));
        });
    }
    state.counters["band_MB"] = double(bandBytes) / (1024 * 1024);
    state.counters["maxrss_MB"] = double(maxRssKb()) / 1024;
}
BENCHMARK(BM_Sheet600DpiBands)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The sheet as one page image, its bands on range(0) threads (0 = cores).
void BM_Sheet600DpiImage(benchmark::State& state) {
    auto doc = sheetDoc();
    const RenderThreadsOverride threads(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const QImage page = renderSheetImage(*doc, 100, 600, QSize(7017, 4958), 96);
        benchmark::DoNotOptimize(page.constBits());
    }
}
BENCHMARK(BM_Sheet600DpiImage)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// 20 outlined texts at 600 dpi (d = 4): range(0) 0 = the 4d^2 copies,
// 1 = one rendering dilated, 2 = the same texts without outline.
void BM_OutlinedTexts600Dpi(benchmark::State& state) {
    auto doc = sheetDoc();
    doc->BackgroundMode = bgNone;
    for (int slot = 30; slot < 35; ++slot) doc->Objects[slot].Kind = KindFree;
    for (int slot = 1; slot <= 20; ++slot) doc->Objects[slot].Outline = state.range(0) == 2 ? 0 : 1;
    const bool was = outlineFromMaskEnabled();
    setOutlineFromMask(state.range(0) == 1);
    const RenderThreadsOverride one(1);
    QImage page(7017, 4958, QImage::Format_RGB32);
    for (auto _ : state) {
        drawSheetBand(page, *doc, 100, 600, 600, 0, 96);
        benchmark::DoNotOptimize(page.constBits());
    }
    setOutlineFromMask(was);
}
BENCHMARK(BM_OutlinedTexts600Dpi)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(2);

// 20 texts of three lines in Liberation Serif 24 on an A4 sheet at 600 dpi,
// in the sheet's bands on one thread: range(0) 0 = no texts (the sheet alone), 1 = plain,
// 2 = with shadow, 3 = with outline, 4 = with both. ms_per_text is the CPU
// of one text with its effects above the sheet alone (measured alongside).
std::unique_ptr<BoxDocument> effectTexts(int effects) {
    auto doc = newDoc();
    if (effects == 0) return doc;
    for (int i = 0; i < 20; ++i) {
        Tobs& t = place(*doc, 1 + i, Text, 560 + (i % 5) * 100, 400 + (i / 5) * 90, 180, 80);
        t.Content = QStringLiteral("Zeile eins %1\rzweite Zeile\rdritte Zeile").arg(i);
        t.FontName = QStringLiteral("Liberation Serif");
        t.FontSize = 24;
        t.Color = 0x202020;
        t.Shadow = effects == 2 || effects == 4;
        t.ShadowDx = t.ShadowDy = 5;
        t.FillModeOrShadowColor = 0x808080;
        t.Outline = effects == 3 || effects == 4;
        t.BorderOrOutlineColor = 0x00C0FF;
    }
    return doc;
}

void BM_TextEffects600Dpi(benchmark::State& state) {
    const RenderThreadsOverride one(1);
    auto cpuOf = [&](const BoxDocument& doc, int runs) {
        const std::clock_t start = std::clock();
        for (int i = 0; i < runs; ++i) benchmark::DoNotOptimize(renderSheetImage(doc, 100, 600, QSize(7017, 4958), 96));
        return double(std::clock() - start) * 1000 / CLOCKS_PER_SEC / runs;
    };
    auto doc = effectTexts(int(state.range(0)));
    for (auto _ : state) {
        const QImage page = renderSheetImage(*doc, 100, 600, QSize(7017, 4958), 96);
        benchmark::DoNotOptimize(page.constBits());
    }
    if (state.range(0) > 0) {
        const auto empty = effectTexts(0);
        state.counters["ms_per_text"] = (cpuOf(*doc, 3) - cpuOf(*empty, 3)) / 20;
    }
}
BENCHMARK(BM_TextEffects600Dpi)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(3);

// PNG of the 600-dpi sheet: range(0) 0 = the toolkit's writer at its default
// setting, 1 = ours (Up filter, zlib level 1, pieces on the pool).
void BM_Sheet600DpiPng(benchmark::State& state) {
    auto doc = sheetDoc();
    const QImage page = renderSheetImage(*doc, 100, 600, QSize(7017, 4958), 96);
    qint64 bytes = 0;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            QBuffer out;
            out.open(QIODevice::WriteOnly);
            page.save(&out, "PNG");
            bytes = out.size();
        } else {
            bytes = encodeSheetPng(page, 600).size();
        }
    }
    state.counters["png_MB"] = double(bytes) / (1024 * 1024);
}
BENCHMARK(BM_Sheet600DpiPng)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The same sheet printed into a PDF in memory, as the print command does
// without a printer.
void BM_Sheet600DpiPdf(benchmark::State& state) {
    auto doc = sheetDoc();
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QPdfWriter writer(&out);
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
        QPainter device(&writer);
        printSheet(device, *doc, 100, 600, 600, writer.pageLayout().fullRectPixels(600).size(), 96);
        device.end();
        bytes = out.size();
    }
    state.counters["pdf_MB"] = double(bytes) / (1024 * 1024);
    state.counters["maxrss_MB"] = double(maxRssKb()) / 1024;
}
BENCHMARK(BM_Sheet600DpiPdf)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The same sheet through our own writer: bands rendered and deflated on the
// pool, stored as Flate images.
void BM_Sheet600DpiPdfOwnWriter(benchmark::State& state) {
    auto doc = sheetDoc();
    qint64 bytes = 0;
    SheetPdfPage page;
    page.pagePoints = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()).fullRect(QPageLayout::Point).size();
    page.area = QSize(7017, 4958);
    for (auto _ : state) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        writeSheetPdf(out, *doc, 100, page, 96);
        bytes = out.size();
    }
    state.counters["pdf_MB"] = double(bytes) / (1024 * 1024);
    state.counters["maxrss_MB"] = double(maxRssKb()) / 1024;
}
BENCHMARK(BM_Sheet600DpiPdfOwnWriter)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_Scale4000x3000To1920x1080(benchmark::State& state) {
    const DibHandle dib = gradient(4000, 3000);
    QImage buffer(1920, 1080, QImage::Format_RGB32);
    QPainter p(&buffer);
    for (auto _ : state) {
        DrawDib(p, 0, 0, 1920, 1080, dib, 0, 0, 4000, 3000);
        benchmark::DoNotOptimize(buffer.constBits());
    }
}
BENCHMARK(BM_Scale4000x3000To1920x1080)->Unit(benchmark::kMillisecond);

void BM_MemcpyDestination1920x1080(benchmark::State& state) {
    QImage src(1920, 1080, QImage::Format_RGB32);
    src.fill(Qt::gray);
    QImage dst(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        std::memcpy(dst.bits(), src.constBits(), static_cast<size_t>(dst.sizeInBytes()));
        benchmark::DoNotOptimize(dst.constBits());
    }
}
BENCHMARK(BM_MemcpyDestination1920x1080)->Unit(benchmark::kMillisecond);

}  // namespace

FALTARILLON_BENCH_MAIN()
