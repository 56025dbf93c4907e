// Every fast way of making the sheet's pixels against the plain one: bands on
// 1, 2 and 3 threads against one pass over the whole page, the outline from
// one dilated rendering against its 4d^2 copies, our PNG and PDF files read
// back by independent tools, and the scaling of pictures against its formula.

#include "RenderTestUtil.h"
#include "TextCanvas.h"

#include "image/DrawDib.h"
#include "image/ImageLoader.h"
#include "image/ImageRotation.h"
#include "image/VectorArt.h"
#include "render/DrawVCart.h"
#include "render/fast/OutlineMask.h"
#include "image/RenderThreads.h"
#include "sheet/SheetPdfWriter.h"
#include "sheet/SheetPngWriter.h"
#include "sheet/SheetRenderer.h"
#include "render/TextRenderer.h"
#include "model/BoxFile.h"
#include "model/StreamPrompter.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTextLayout>
#include <gtest/gtest.h>
#include <random>

namespace {

DibHandle gradient(int w, int h, int seed) {
    QImage img(w, h, QImage::Format_RGB32);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 255 / w + int(rng() % 7)) & 255, y * 255 / h, (x ^ y) & 0xFF));
    return DibHandle(img, 24);
}

// Everything the pass draws: background, figures of every shape and fill,
// outlined and shadowed texts in four turns and three faces, and pictures
// with a transparent colour, some hanging over the box area's edges.
std::unique_ptr<BoxDocument> busyDocument() {
    auto doc = rt::document();
    doc->BackgroundMode = bgCenterLarger;
    doc->BackgroundPicture = gradient(300, 170, 1);
    std::mt19937 rng(42);
    auto any = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int slot = 1;
    for (int i = 0; i < 150; ++i, ++slot) {
        Tobs& o = rt::place(*doc, slot, Figure, any(500, 1080), any(360, 760), any(3, 90), any(3, 90));
        o.Shape = any(0, 9);
        o.FillModeOrShadowColor = any(0, 2);
        o.Color = any(0, 0xFFFFFF);
        o.BorderOrOutlineColor = any(0, 0xFFFFFF);
        o.LineWidthOrTransColor = any(1, 12);
    }
    const char* faces[] = {"Arial", "Times New Roman", "Courier New"};
    for (int i = 0; i < 8; ++i, ++slot) {
        Tobs& t = rt::place(*doc, slot, Text, 560 + (i % 4) * 120, 420 + (i / 4) * 150, 150, 70);
        t.Content = QStringLiteral("Gruß %1\rÄpfel & Öl").arg(i);
        t.FontName = QString::fromLatin1(faces[i % 3]);
        t.FontSize = 12 + 2 * i;
        t.FontStyle = std::uint8_t(i % 4);
        t.Color = 0xFFFFFF;
        t.Outline = 1;
        t.BorderOrOutlineColor = 0x202080;
        t.Shadow = std::uint8_t(i % 2);
        t.ShadowDx = t.ShadowDy = 8;
        t.FillModeOrShadowColor = 0x808080;
        t.Rotation = i % 4;
        t.Alignment = i % 3;
    }
    for (int i = 0; i < 3; ++i, ++slot) {
        Tobs& im = rt::place(*doc, slot, Image, 520 + i * 200, 350 + i * 130, 160, 120);
        DibHandle pic = gradient(90 + 30 * i, 70, 10 + i);
        for (int y = 35; y < 70; ++y)
            for (int x = 0; x < 40; ++x) pic.setpixel(x, y, 0xFFFFFF);
        im.Picture = pic;
        im.KeepAspect = std::uint8_t(i % 2);
        im.Transparent = 1;
        im.TransAuto = 1;
        im.LineWidthOrTransColor = 0xFFFFFF;   // what the lower-left pixel gives
    }
    return doc;
}

QSize a4At(int dpi) {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()).fullRectPixels(dpi).size();
}

// The plain way: one pass over the whole page on the calling thread.
QImage onePass(const BoxDocument& doc, int dpi, QSize page) {
    const RenderThreadsOverride one(1);
    QImage img(page, QImage::Format_RGB32);
    EXPECT_TRUE(drawSheetBand(img, doc, 100, dpi, dpi, 0, 96));
    return img;
}

struct OutlineSwitch {
    explicit OutlineSwitch(bool on) : was(outlineFromMaskEnabled()) { setOutlineFromMask(on); }
    ~OutlineSwitch() { setOutlineFromMask(was); }
    bool was;
};

QString tool(const char* name) {
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    EXPECT_FALSE(path.isEmpty()) << name << " is needed to check our files";
    return path;
}

QImage readPpm(const QByteArray& bytes) {
    QImage img;
    img.loadFromData(bytes, "PPM");
    return img.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(SheetThreads, BandsOnOneTwoAndThreeThreadsMatchOnePass) {
    const auto doc = busyDocument();
    const QSize page = a4At(150);
    const QImage plain = onePass(*doc, 150, page);
    ASSERT_FALSE(rt::boundsNot(plain, rt::White).isNull());
    for (int threads : {1, 2, 3}) {
        const RenderThreadsOverride forced(threads);
        const QImage sheet = renderSheetImage(*doc, 100, 150, page, 96);
        EXPECT_EQ(sheet, plain) << threads << " threads";

        // The print path: bands of 100 rows, rendered a batch at a time.
        QImage printed(page, QImage::Format_RGB32);
        printed.fill(Qt::white);
        QImage sink(1, 1, QImage::Format_RGB32);
        QPainter device(&sink);
        ASSERT_TRUE(printSheet(device, *doc, 100, 150, 150, page, 96, 100, [&](const QImage& band, int top) {
            QPainter p(&printed);
            p.drawImage(0, top, band);
        }));
        device.end();
        EXPECT_EQ(printed, plain) << threads << " threads";
        EXPECT_FALSE(Painting());
    }
}

TEST(SheetThreads, ForcedCountIsUsedAndRestored) {
    const int machine = renderThreadCount();
    {
        const RenderThreadsOverride forced(3);
        EXPECT_EQ(renderThreadCount(), 3);
        std::vector<int> seen(1000, 0);
        parallelFor(1000, [&](int i) { seen[size_t(i)]++; });
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 1000);
        // Nested fan-outs run in place instead of waiting for a busy pool.
        std::atomic<int> inner{0};
        parallelFor(6, [&](int) { parallelFor(5, [&](int) { ++inner; }); });
        EXPECT_EQ(inner.load(), 30);
    }
    EXPECT_EQ(renderThreadCount(), machine);
}

// The dilated outline against the 4d^2 copies, through the real text
// drawing: on screen (d = 1) and at 600 dpi (d = 4), every turn, three
// faces. Glyphs without antialiasing give the same pixels; antialiased
// edges may differ by a few levels, and only where copies overlap partly.
TEST(OutlineFromMask, MatchesTheCopiesOnScreenAndAt600Dpi) {
    const char* faces[] = {"Arial", "Times New Roman", "Courier New"};
    for (const bool aliased : {true, false}) {
        for (const bool print : {false, true}) {
            // At 600 dpi one unturned and one turned text keep the test short.
            for (int rotation = 0; rotation < (print ? 2 : 4); ++rotation) {
                for (int f = 0; f < 3; ++f) {
                    auto doc = rt::document();
                    Tobs& t = rt::place(*doc, 1, Text, 600, 450, 100, 50);
                    t.Content = QStringLiteral("Wolke %1\rgrüßt").arg(f);
                    t.FontName = QString::fromLatin1(faces[f]);
                    t.FontSize = 16;
                    t.FontStyle = std::uint8_t(f);
                    t.Color = 0xFFFFFF;
                    t.Outline = 1;
                    t.BorderOrOutlineColor = 0x0000C0;
                    t.Rotation = rotation;
                    auto draw = [&](bool fromMask) {
                        const OutlineSwitch sw(fromMask);
                        rt::TextCanvas tc = rt::textCanvas(*doc, print, aliased);
                        QPainter painter(&tc.image);
                        EXPECT_TRUE(DrawVCart(painter, *doc, tc.params));
                        painter.end();
                        return tc.image;
                    };
                    const QImage copies = draw(false), dilated = draw(true);
                    int differing = 0;
                    const int worst = rt::maxChannelDifference(copies, dilated, &differing);
                    const std::string what = QStringLiteral("%1 %2 rotation %3 %4")
                                                 .arg(aliased ? "aliased" : "antialiased", print ? "600 dpi" : "screen")
                                                 .arg(rotation)
                                                 .arg(faces[f])
                                                 .toStdString();
                    // The outline shows (reddish pixels on white text over green).
                    EXPECT_FALSE(rt::boundsWhere(copies, [](QRgb c) { return qRed(c) > 100 && qGreen(c) < 100; }).isNull())
                        << what;
                    if (aliased)
                        EXPECT_EQ(worst, 0) << what;
                    else
                        EXPECT_LE(worst, 3) << what << " (" << differing << " pixels)";
                }
            }
        }
    }
}

// The same comparison for antialiased glyphs made here directly, whatever
// the renderer's own fonts use: the dilated coverage may differ from the
// copies only at pixels that some copy covers partly, and by at most 3
// levels per channel.
TEST(OutlineFromMask, AntialiasedEdgesDifferBoundedOnlyAtPartlyCoveredPixels) {
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(46);
    font.setStyleStrategy(QFont::PreferAntialias);
    QTextLayout layout(QStringLiteral("Schön & rund"), font);
    layout.beginLayout();
    layout.createLine().setPosition(QPointF(0, 0));
    layout.endLayout();
    const QRect area(0, 0, 360, 90);
    for (int d : {1, 2, 4}) {
        const QColor ground(250, 230, 20), outline(20, 30, 200), text(240, 250, 255);
        QImage copies(area.size(), QImage::Format_RGB32);
        copies.fill(ground);
        {
            QPainter p(&copies);
            p.setPen(outline);
            for (int dx = -d; dx <= d; ++dx)
                for (int dy = -d; dy <= d; ++dy)
                    if (dx && dy) layout.draw(&p, QPointF(10 + dx, 10 + dy));
            p.setPen(text);
            layout.draw(&p, QPointF(10, 10));
        }
        QImage mask(area.size(), QImage::Format_Alpha8);
        mask.fill(0);
        {
            QPainter p(&mask);
            p.setPen(Qt::black);
            layout.draw(&p, QPointF(10, 10));
        }
        const OutlineCoverage coverage = dilatedCoverage(mask, QPoint(0, 0), d, area);
        QImage dilated(area.size(), QImage::Format_RGB32);
        dilated.fill(ground);
        {
            QPainter p(&dilated);
            drawOutlinedText(p, coverage, outline, mask, QPoint(0, 0), text);
        }
        // Edge pixels: some copy covers them partly and none fully, or the
        // text itself covers them partly.
        int partly = 0;
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x) {
                bool full = false, part = false;
                for (int dx = -d; dx <= d; ++dx)
                    for (int dy = -d; dy <= d; ++dy) {
                        const int sx = x - dx, sy = y - dy;
                        if (!dx || !dy || sx < 0 || sy < 0 || sx >= area.width() || sy >= area.height()) continue;
                        const uchar a = mask.constScanLine(sy)[sx];
                        full = full || a == 255;
                        part = part || (a > 0 && a < 255);
                    }
                const uchar own = mask.constScanLine(y)[x];
                if ((part && !full) || (own > 0 && own < 255)) ++partly;
                else
                    ASSERT_EQ(copies.pixel(x, y), dilated.pixel(x, y)) << "d " << d << " at " << x << "," << y;
            }
        EXPECT_GT(partly, 0);
        EXPECT_LE(rt::maxChannelDifference(copies, dilated), 3) << "d " << d;
    }
}

TEST(SheetPng, ReadBackByNetpbmAndQtIsTheImage) {
    QImage img(613, 2100, QImage::Format_RGB32);   // several deflate pieces
    std::mt19937 rng(5);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, (y / 40) % 3 ? qRgb(x & 255, (x * y) & 255, y & 255) : qRgb(rng() & 255, rng() & 255, rng() & 255));
    QByteArray first;
    for (int threads : {1, 2, 3}) {
        const RenderThreadsOverride forced(threads);
        const QByteArray png = encodeSheetPng(img, 600);
        ASSERT_FALSE(png.isEmpty());
        if (first.isEmpty()) first = png;
        EXPECT_EQ(png, first) << "the file must not depend on the thread count";
    }
    QImage qt;
    ASSERT_TRUE(qt.loadFromData(first, "PNG"));
    EXPECT_EQ(qt.convertToFormat(QImage::Format_RGB32), img);
    EXPECT_EQ(qt.dotsPerMeterX(), 23622);

    QProcess pngtopnm;
    pngtopnm.start(tool("pngtopnm"), {});
    ASSERT_TRUE(pngtopnm.waitForStarted());
    pngtopnm.write(first);
    pngtopnm.closeWriteChannel();
    ASSERT_TRUE(pngtopnm.waitForFinished(60000));
    ASSERT_EQ(pngtopnm.exitCode(), 0) << pngtopnm.readAllStandardError().toStdString();
    EXPECT_EQ(readPpm(pngtopnm.readAllStandardOutput()), img);
}

TEST(SheetPdf, PopplerShowsTheSheetPixelForPixel) {
    const auto doc = busyDocument();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (int dpi : {72, 150}) {
        const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF());
        SheetPdfPage page;
        page.pagePoints = layout.fullRect(QPageLayout::Point).size();
        page.area = layout.fullRectPixels(dpi).size();
        page.dpiX = page.dpiY = dpi;
        page.title = QStringLiteral("Prüfblatt");
        page.creator = QStringLiteral("Test");
        const QString pdf = dir.filePath(QStringLiteral("blatt%1.pdf").arg(dpi));
        {
            const RenderThreadsOverride forced(3);
            ASSERT_TRUE(writeSheetPdfFile(pdf, *doc, 100, page, 96));
        }
        // Poppler's cairo output draws images unsmoothed at their own
        // resolution; its page is the paper rounded up to whole pixels.
        const QString shownPath = dir.filePath(QStringLiteral("shown%1").arg(dpi));
        QProcess cairo;
        cairo.start(tool("pdftocairo"), {"-png", "-r", QString::number(dpi), "-singlefile", pdf, shownPath});
        ASSERT_TRUE(cairo.waitForFinished(120000));
        ASSERT_EQ(cairo.exitCode(), 0) << cairo.readAllStandardError().toStdString();
        const QImage shown = QImage(shownPath + ".png").convertToFormat(QImage::Format_RGB32);
        const QImage sheet = onePass(*doc, dpi, page.area);
        // Whole pixels on the paper: a raster row that the rounded paper
        // cuts in part shows mixed with nothing.
        const QRect whole(0, 0, std::min(sheet.width(), int(page.pagePoints.width() * dpi / 72)),
                          std::min(sheet.height(), int(page.pagePoints.height() * dpi / 72)));
        ASSERT_GE(shown.width(), whole.width());
        ASSERT_GE(shown.height(), whole.height());
        int differing = 0;
        EXPECT_EQ(rt::maxChannelDifference(shown.copy(whole), sheet.copy(whole), &differing), 0)
            << dpi << " dpi, " << differing << " pixels differ";

        QProcess info;
        info.start(tool("pdfinfo"), {pdf});
        ASSERT_TRUE(info.waitForFinished(60000));
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        EXPECT_TRUE(text.contains(QStringLiteral("Prüfblatt"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Pages:           1"))) << text.toStdString();
    }
}

// The PDF printer's sheet: copies, bleed and marks on the printable area,
// which lies off the paper's corner. Poppler must show the image that
// renderSheetImage makes of the same plan at that place, pixel for pixel,
// whatever the number of threads that wrote it.
TEST(SheetPdf, PlannedSheetOffThePaperCornerShowsTheSheetImage) {
    const auto doc = busyDocument();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const int dpi = 120;
    const QPageLayout layout = pdfPrinterPageLayout(PaperFormat::A4);
    SheetOptions options;
    options.fill = true;
    options.bleed = true;
    options.bleedMm = 2;
    options.regMarks = true;
    const SheetPlan plan = planSheet(doc->Layout, NetSource::cube(40), options, pageFrameOf(layout, dpi));
    ASSERT_GT(plan.columns * plan.rows, 1);
    ASSERT_NE(plan.frame.printable.topLeft(), QPoint(0, 0));
    SheetPdfPage page;
    page.pagePoints = layout.fullRect(QPageLayout::Point).size();
    page.origin = plan.frame.printable.topLeft();
    page.area = plan.frame.printable.size();
    page.dpiX = page.dpiY = dpi;
    page.plan = &plan;
    QImage paper(plan.frame.paper, QImage::Format_RGB32);
    paper.fill(Qt::white);
    {
        const QImage print = renderSheetImage(*doc, plan, 96);
        ASSERT_FALSE(print.isNull());
        QPainter p(&paper);
        p.drawImage(plan.frame.printable.topLeft(), print);
    }
    {
        // The sheet verb's PNG: the same paper, drawn in place on the pool.
        const RenderThreadsOverride forced(3);
        const QImage inPlace = renderSheetPaper(*doc, plan, 96);
        ASSERT_EQ(inPlace.size(), paper.size());
        EXPECT_EQ(rt::maxChannelDifference(inPlace, paper), 0);
    }
    QByteArray first;
    for (int threads : {1, 2, 3}) {
        const RenderThreadsOverride forced(threads);
        const QString pdf = dir.filePath(QStringLiteral("plan%1.pdf").arg(threads));
        ASSERT_TRUE(writeSheetPdfFile(pdf, *doc, 100, page, 96));
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        if (first.isEmpty()) first = bytes;
        EXPECT_EQ(bytes, first) << "the file must not depend on the thread count";
    }
    const QString shownPath = dir.filePath(QStringLiteral("shown"));
    QProcess cairo;
    cairo.start(tool("pdftocairo"),
                {"-png", "-r", QString::number(dpi), "-singlefile", dir.filePath("plan1.pdf"), shownPath});
    ASSERT_TRUE(cairo.waitForFinished(120000));
    ASSERT_EQ(cairo.exitCode(), 0) << cairo.readAllStandardError().toStdString();
    const QImage shown = QImage(shownPath + ".png").convertToFormat(QImage::Format_RGB32);
    const QRect whole(0, 0, int(page.pagePoints.width() * dpi / 72), int(page.pagePoints.height() * dpi / 72));
    ASSERT_GE(shown.width(), whole.width());
    ASSERT_GE(shown.height(), whole.height());
    int differing = 0;
    EXPECT_EQ(rt::maxChannelDifference(shown.copy(whole), paper.copy(whole), &differing), 0)
        << differing << " pixels differ";
}

TEST(SheetPdf, NothingIsWrittenWhileAPassOfThisThreadRuns) {
    const auto doc = busyDocument();
    PaintingGuard running;
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    SheetPdfPage page;
    page.pagePoints = QSizeF(100, 100);
    page.area = QSize(100, 100);
    EXPECT_FALSE(writeSheetPdf(out, *doc, 100, page, 96));
    EXPECT_EQ(out.size(), 0);
}

// Nearest-neighbour scaling: column i shows source column SrcW * i div W,
// row r source row SrcH * r div H; enlarging repeats rows, shrinking skips.
TEST(DrawDibScaling, EveryPixelFollowsTheFormula) {
    const DibHandle pic = gradient(37, 23, 3);
    const QImage& src = pic.image();
    for (const QSize dest : {QSize(100, 71), QSize(19, 11), QSize(37, 23), QSize(500, 7)}) {
        for (const QPoint at : {QPoint(0, 0), QPoint(-13, -5), QPoint(40, 30)}) {
            QImage img = rt::canvas(120, 80, Qt::magenta);
            {
                QPainter p(&img);
                DrawDib(p, at.x(), at.y(), dest.width(), dest.height(), pic, 0, 0, 37, 23);
            }
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x) {
                    const int i = x - at.x(), r = y - at.y();
                    const bool inside = i >= 0 && r >= 0 && i < dest.width() && r < dest.height();
                    const QRgb want = inside ? src.pixel(37 * i / dest.width(), 23 * r / dest.height())
                                             : QColor(Qt::magenta).rgb();
                    ASSERT_EQ(img.pixel(x, y) & 0xFFFFFFu, want & 0xFFFFFFu)
                        << dest.width() << "x" << dest.height() << " at " << x << "," << y;
                }
        }
    }
}

// The frozen benchmark design at 600 dpi: band starts fall inside outlined
// texts, turned pictures and the photo, where a clip that starts a band could
// round an edge pixel differently from the one pass.
TEST(SheetThreads, BenchDesignAt600DpiMatchesOnePass) {
    BoxDocument doc;
    QTextStream err(stderr);
    StreamPrompter prompter(err);
    ASSERT_TRUE(OpenItNow(doc, QStringLiteral(FALTARILLON_TEST_DATA "/../../bench/data/blatt.box"), prompter));
    const QSize page = a4At(600);
    const QImage plain = onePass(doc, 600, page);
    for (int threads : {2, 3}) {
        const RenderThreadsOverride forced(threads);
        const QImage sheet = renderSheetImage(doc, 100, 600, page, 96);
        int differing = 0;
        EXPECT_EQ(rt::maxChannelDifference(sheet, plain, &differing), 0) << differing << " pixels, " << threads << " threads";
    }
}

namespace {
struct ShadowSwitch {
    explicit ShadowSwitch(bool on) : was(shadowFromMaskEnabled()) { setShadowFromMask(on); }
    ~ShadowSwitch() { setShadowFromMask(was); }
    bool was;
};
}  // namespace

// The shadow and its text from one rendering laid on twice against the two
// renderings, in the same pixels: three faces, small to path-filled sizes,
// every turn, shifts in each direction, texts cut by the sheet's 256-row
// bands and by the page edge, on the printed sheet and in the editor.
TEST(ShadowFromMask, EqualsTheTwoRenderingsInBandsAndOnScreen) {
    const char* faces[] = {"Liberation Serif", "Arial", "Courier New"};
    const int sizes[] = {6, 24, 48};
    const int shifts[][2] = {{5, 5}, {-12, 3}, {0, -30}, {40, 0}};
    auto doc = rt::document();
    int slot = 1;
    for (int f = 0; f < 3; ++f)
        for (int s = 0; s < 3; ++s)
            for (int r = 0; r < 4; ++r) {
                const int i = slot - 1;
                // Rows 90 screen pixels apart cross the bands at changing
                // heights; the last column runs off the page's right edge.
                Tobs& t = rt::place(*doc, slot++, Text, 520 + (i % 6) * 140, 380 + (i / 6) * 60, 170, 80);
                t.Content = QStringLiteral("Schatten %1\rÄgypten fügt").arg(i);
                t.FontName = QString::fromLatin1(faces[f]);
                t.FontSize = sizes[s];
                t.FontStyle = std::uint8_t(i % 4);
                t.Color = 0x204080;
                t.Shadow = 1;
                t.ShadowDx = shifts[i % 4][0];
                t.ShadowDy = shifts[i % 4][1];
                t.FillModeOrShadowColor = 0x30C0A0;
                t.Rotation = r;
                t.Alignment = i % 3;
            }
    const QSize page = a4At(300);
    QImage plain, banded;
    {
        const ShadowSwitch off(false);
        plain = onePass(*doc, 300, page);
    }
    {
        const ShadowSwitch on(true);
        const RenderThreadsOverride two(2);
        banded = renderSheetImage(*doc, 100, 300, page, 96);
    }
    // The shadows show (their colour is nowhere else).
    ASSERT_FALSE(rt::boundsWhere(plain, [](QRgb c) { return qRgb(0xA0, 0xC0, 0x30) == (c | 0xFF000000u); }).isNull());
    int differing = 0;
    EXPECT_EQ(rt::maxChannelDifference(plain, banded, &differing), 0) << differing << " pixels differ on the sheet";

    for (const bool aliased : {false, true}) {
        auto editor = [&](bool on) {
            const ShadowSwitch sw(on);
            rt::TextCanvas tc = rt::textCanvas(*doc, false, aliased);
            QPainter painter(&tc.image);
            EXPECT_TRUE(DrawVCart(painter, *doc, tc.params));
            painter.end();
            return tc.image;
        };
        EXPECT_EQ(rt::maxChannelDifference(editor(false), editor(true), &differing), 0)
            << differing << " pixels differ in the editor, " << (aliased ? "aliased" : "antialiased");
    }
}

// The outline, alone and with its shadow from the same rendering, made by
// every band for its own rows only: against one pass over the whole page
// with the shadow drawn as a text of its own. Outline widths 2 and 4 (300
// and 600 dpi), every turn, sizes drawn from the glyph cache and filled as
// paths, texts crossing the bands and cut by the page's right and bottom
// edges. One text per sheet: each is checked on its own.
TEST(OutlineFromMask, BandsMakeOnlyTheirRowsAndEqualOnePass) {
    struct Case {
        int dpi, rotation, size, x, y;
        bool shadow;
        const char* face;
    };
    // x 1060 runs off the page's right edge, y 765 and 785 off its bottom.
    const Case cases[] = {
        {600, 0, 44, 620, 420, true, "Courier New"},    {600, 0, 20, 700, 500, false, "Liberation Serif"},
        {600, 1, 20, 640, 380, true, "Arial"},          {600, 2, 24, 700, 600, true, "Liberation Serif"},
        {600, 3, 20, 900, 380, false, "Courier New"},   {300, 0, 8, 700, 450, true, "Arial"},
        {300, 0, 30, 1060, 450, true, "Liberation Serif"}, {300, 0, 30, 700, 765, true, "Arial"},
        {300, 2, 30, 700, 785, true, "Liberation Serif"},  {300, 3, 30, 760, 640, false, "Arial"},
    };
    const OutlineSwitch outline(true);
    for (const Case& c : cases) {
        auto doc = rt::document();
        Tobs& t = rt::place(*doc, 1, Text, c.x, c.y, 170, 90);
        t.Content = QStringLiteral("Umriss\rÖlfäßchen");
        t.FontName = QString::fromLatin1(c.face);
        t.FontSize = c.size;
        t.FontStyle = std::uint8_t(c.size % 4);
        t.Color = 0xF0F0F0;
        t.Outline = 1;
        t.BorderOrOutlineColor = 0x2020C0;
        t.Shadow = c.shadow;
        t.ShadowDx = c.rotation % 2 ? -9 : 7;
        t.ShadowDy = c.rotation > 1 ? -11 : 6;
        t.FillModeOrShadowColor = 0x30A060;
        t.Rotation = c.rotation;
        const QSize page = a4At(c.dpi);
        const std::string what = QStringLiteral("%1 dpi, turn %2, %3 pt at %4,%5")
                                     .arg(c.dpi).arg(c.rotation).arg(c.size).arg(c.x).arg(c.y).toStdString();
        QImage plain;
        {
            const ShadowSwitch off(false);
            plain = onePass(*doc, c.dpi, page);
        }
        // The outline shows, up to the page's edge where the text runs off it.
        const QRect drawn = rt::boundsWhere(plain, [](QRgb p) { return qRed(p) > 150 && qGreen(p) < 80; });
        ASSERT_FALSE(drawn.isNull()) << what;
        if (c.x > 1000) EXPECT_EQ(drawn.right(), page.width() - 1) << what;
        if (c.y > 700) EXPECT_EQ(drawn.bottom(), page.height() - 1) << what;
        // Two and three threads take the 256-row bands in other orders.
        const ShadowSwitch on(true);
        const RenderThreadsOverride forced(2 + int(&c - cases) % 2);
        int differing = 0;
        EXPECT_EQ(rt::maxChannelDifference(plain, renderSheetImage(*doc, 100, c.dpi, page, 96), &differing), 0)
            << differing << " pixels differ, " << what;
    }
}

// Shadowed texts, alone and outlined, with the shadow laid from the text's
// mask against the shadow drawn as a text of its own, in one pass: sizes
// filled as paths from just past the glyph cache up, glyphs at every
// sub-pixel phase (alignments, box widths and places off the pixel grid),
// every turn, shifts in each direction, texts crossing 1024, 2048 and 4096
// device pixels and the page's top edge (their shadows on either side), at
// 300 and 600 dpi.
TEST(ShadowFromMask, EqualsTheDirectShadowAtEverySubPixelPlace) {
    struct Case {
        int dpi, size, rotation;
        bool outline;
    };
    const Case cases[] = {
        {600, 24, 0, false}, {600, 11, 0, false}, {600, 40, 1, false}, {600, 24, 2, false},
        {600, 18, 3, false}, {300, 30, 0, false}, {300, 16, 1, false}, {600, 24, 0, true},
        {600, 20, 3, true},  {300, 44, 2, true},
    };
    const int shifts[][2] = {{5, 5}, {-7, 3}, {2, -9}, {11, 0}};
    for (const Case& c : cases) {
        auto doc = rt::document();
        for (int i = 0; i < 12; ++i) {
            Tobs& t = rt::place(*doc, 1 + i, Text, 530 + (i % 4) * 130, 390 + (i / 4) * 110, 150 + i % 5, 90);
            // Places and widths between device pixels move the glyphs'
            // fractional positions from text to text.
            t.Left += i * 37;
            t.Top += i * 53;
            t.Width += i * 29;
            t.Content = QStringLiteral("Zeile %1 Waage\rÄgypten fügt\rdritte Zeile").arg(i);
            t.FontName = QString::fromLatin1(i % 3 == 2 ? "Arial" : "Liberation Serif");
            t.FontSize = c.size + i % 3;
            t.FontStyle = std::uint8_t(i % 4);
            t.Alignment = i % 3;
            t.Color = 0x202020;
            t.Shadow = 1;
            t.ShadowDx = shifts[i % 4][0];
            t.ShadowDy = shifts[i % 4][1];
            t.FillModeOrShadowColor = 0x808080;
            t.Outline = c.outline;
            t.BorderOrOutlineColor = 0x00C0FF;
            t.Rotation = c.rotation;
        }
        const std::string what = QStringLiteral("%1 dpi, %2 pt, turn %3%4")
                                     .arg(c.dpi).arg(c.size).arg(c.rotation).arg(c.outline ? ", outlined" : "")
                                     .toStdString();
        const QSize page = a4At(c.dpi);
        QImage plain;
        {
            const ShadowSwitch off(false);
            plain = onePass(*doc, c.dpi, page);
        }
        ASSERT_FALSE(rt::boundsWhere(plain, [](QRgb p) { return (p & 0xFFFFFF) == 0x808080; }).isNull()) << what;
        const ShadowSwitch on(true);
        int differing = 0;
        EXPECT_EQ(rt::maxChannelDifference(plain, onePass(*doc, c.dpi, page), &differing), 0)
            << differing << " pixels differ in one pass, " << what;
    }
}

namespace {

// A drawing of its own: a ground (none, plain, rounded or a gradient) in
// its colour, see-through shapes and a stroked ring on it.
DibHandle groundedDrawing(int i) {
    const QByteArray colour = "#" + QByteArray::number(0x400000 + i * 0x1b3d57 % 0xbfffff, 16);
    const QByteArray grounds[] = {
        "",
        "<rect width=\"200\" height=\"120\" fill=\"" + colour + "\"/>",
        "<rect x=\"10\" y=\"5\" width=\"170\" height=\"110\" rx=\"25\" fill=\"" + colour + "\" stroke=\"#000\" stroke-width=\"4\"/>",
        "<linearGradient id=\"g\" x2=\"0\" y2=\"1\"><stop stop-color=\"" + colour +
            "\"/><stop offset=\"1\" stop-color=\"#fff\"/></linearGradient><rect width=\"200\" height=\"120\" fill=\"url(#g)\"/>"};
    const QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 200 120\">" + grounds[i % 4] +
                           "<circle cx=\"" + QByteArray::number(40 + i * 13 % 120) + "\" cy=\"60\" r=\"45\" fill=\"#08f\" "
                           "opacity=\"0.5\"/><circle cx=\"150\" cy=\"50\" r=\"30\" fill=\"none\" stroke=\"#c00\" "
                           "stroke-width=\"9\"/></svg>";
    DibHandle dib = DecodeVectorArt(svg);
    for (int k = 0; k < i % 3; ++k) EXPECT_TRUE(RotRight(dib));
    return dib;
}

// The same picture without what it knows of its ground: drawn whole
// whatever lies over it.
DibHandle withoutGround(const DibHandle& dib) {
    auto art = std::make_shared<VectorArt>(*dib.vectorArt());
    art->ground.clear();
    DibHandle plain = dib;
    plain.setVectorArt(art, dib.vectorTurns());
    return plain;
}

}  // namespace

// Drawings that leave out what later drawings cover give the sheet they
// would give drawn whole: grounds of every kind, turned, stretched, under a
// figure and a text, one wholly covered, one with a transparent colour, and
// a drawing placed twice (drawn once for both).
TEST(SheetDrawings, LeavingOutWhatLaterDrawingsCoverChangesNoPixel) {
    auto doc = rt::document();
    const DibHandle twice = groundedDrawing(7);
    for (int i = 0; i < 12; ++i) {
        Tobs& o = rt::place(*doc, 1 + i, Image, 560 + (i % 4) * 97 + i, 390 + (i / 4) * 83 + 2 * i, 190 + 3 * i, 130 - 2 * i);
        o.KeepAspect = i % 2;
        o.Transparent = i == 5;
        o.Picture = i == 9 || i == 11 ? twice : groundedDrawing(i);
    }
    // Slot 2 lies wholly under slot 6, the largest.
    rt::place(*doc, 2, Image, 700, 480, 60, 40).Picture = groundedDrawing(1);
    rt::place(*doc, 6, Image, 650, 450, 260, 160).Picture = groundedDrawing(5);
    Tobs& figure = rt::place(*doc, 20, Figure, 640, 420, 120, 90);
    figure.Shape = 3;
    figure.Color = 0x30c0a0;
    Tobs& text = rt::place(*doc, 21, Text, 760, 500, 200, 60);
    text.Content = QStringLiteral("Über allem");
    for (int slot : {20, 21}) std::swap(doc->Objects[slot], doc->Objects[slot - 12]);

    std::vector<DibHandle> grounded(ObjectTable::Capacity + 1), plain(ObjectTable::Capacity + 1);
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot)
        if (doc->Objects[slot].Kind == Image) {
            grounded[slot] = doc->Objects[slot].Picture;
            plain[slot] = withoutGround(grounded[slot]);
        }
    const auto sheet = [&](int dpi, const std::vector<DibHandle>& pictures, qint64* kept) {
        for (int slot = 1; slot <= ObjectTable::Capacity; ++slot)
            if (doc->Objects[slot].Kind == Image) doc->Objects[slot].Picture = pictures[slot];
        clearVectorArtRenderings();
        const QImage page = renderSheetImage(*doc, 100, dpi, a4At(dpi), 96);
        *kept = keptVectorArtBytes();
        return page;
    };
    for (int dpi : {300, 600}) {
        SCOPED_TRACE(dpi);
        qint64 leavingBytes = 0, wholeBytes = 0;
        const QImage leaving = sheet(dpi, grounded, &leavingBytes);
        const QImage drawnWhole = sheet(dpi, plain, &wholeBytes);
        int differing = 0;
        EXPECT_EQ(rt::maxChannelDifference(leaving, drawnWhole, &differing), 0) << differing << " pixels";
        // Something was left out: the covered drawing's strips were never
        // made (at 300 dpi all strips stay kept).
        if (dpi == 300) EXPECT_LT(leavingBytes, wholeBytes);
    }
}
