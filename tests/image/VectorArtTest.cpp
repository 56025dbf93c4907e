// Drawings (SVG) as pictures: what screening refuses and what it keeps, the
// size a drawing brings along, and that passes draw it from its vectors at
// their own pixels, turned as the picture is.

#include "image/DrawDib.h"
#include "image/ImageLoader.h"
#include "image/ImageRotation.h"
#include "image/RenderThreads.h"
#include "image/TiledOutlines.h"
#include "image/VectorArt.h"
#include "../render/RenderTestUtil.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <thread>

// A sanitizer build counts its shadow memory and the quarantine of freed
// blocks in the peak: bounds are measured in the plain build only.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPeakMemoryIsOurs = false;
#else
constexpr bool kPeakMemoryIsOurs = true;
#endif

namespace {

QByteArray svg(const QByteArray& rootAttributes, const QByteArray& body) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" " +
           rootAttributes + ">" + body + "</svg>";
}

QByteArray billionLaughs() {
    QByteArray dtd = "<?xml version=\"1.0\"?>\n<!DOCTYPE svg [\n<!ENTITY lol \"lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        dtd += "<!ENTITY lol" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k) dtd += (i == 1 ? "&lol;" : "&lol" + QByteArray::number(i - 1) + ";");
        dtd += "\">\n";
    }
    return dtd + "]>\n" + svg("viewBox=\"0 0 10 10\"", "<text>&lol9;</text>");
}

QByteArray gzipOf(const QByteArray& data) {
    QProcess gz;
    gz.start(QStringLiteral("gzip"), {QStringLiteral("-c")});
    gz.waitForStarted();
    gz.write(data);
    gz.closeWriteChannel();
    gz.waitForFinished(60000);
    return gz.readAllStandardOutput();
}

QByteArray pngBytes() {
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::red);
    QByteArray out;
    QBuffer b(&out);
    b.open(QIODevice::WriteOnly);
    img.save(&b, "PNG");
    return out;
}

// A one-bit PNG: many pixels in few bytes, as a picture inside a drawing.
QByteArray monoPng(int side) {
    QImage img(side, side, QImage::Format_Mono);
    img.fill(0);
    QByteArray out;
    QBuffer b(&out);
    b.open(QIODevice::WriteOnly);
    img.save(&b, "PNG");
    return out;
}

QByteArray repeated(const QByteArray& element, int count) {
    QByteArray out;
    out.reserve(element.size() * count);
    for (int i = 0; i < count; ++i) out += element;
    return out;
}

// The resident peak of this process from now on (Linux resets it on "5").
void resetPeakMemory() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}
qint64 peakMemoryBytes() {
    QFile f(QStringLiteral("/proc/self/status"));
    f.open(QIODevice::ReadOnly);
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    return -1;
}

QRgb at(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

}  // namespace

TEST(VectorArt, HostileAndBrokenFilesAreRefusedWithTheReasonNamed) {
    struct Case {
        const char* name;
        std::function<QByteArray()> bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"leere Datei", [] { return QByteArray(); }, "leer"},
        {"nur Leerraum", [] { return QByteArray(" \n\t "); }, "leer"},
        {"PNG mit Namen .svg", pngBytes, "keine SVG-Zeichnung"},
        {"anderes XML", [] { return QByteArray("<html><body/></html>"); }, "keine SVG-Zeichnung"},
        {"kaputtes XML", [] { return svg("viewBox=\"0 0 10 10\"", "<rect><g></rect>"); }, "XML-Fehler in Zeile"},
        {"abgeschnitten", [] { return svg("viewBox=\"0 0 10 10\"", "<rect/>").chopped(8); }, "XML-Fehler"},
        {"Entitäten-Bombe", billionLaughs, "Entitäten"},
        {"eine Million Elemente", [] { return svg("viewBox=\"0 0 10 10\"", repeated("<g/>", 1000000)); },
         "mehr als 100000 Elemente"},
        {"zu tief", [] { return svg("viewBox=\"0 0 10 10\"", repeated("<g>", 5000) + repeated("</g>", 5000)); },
         "Ebenen"},
        {"ein Pfad aus 300000 langen Kanten",
         [] { return svg("viewBox=\"0 0 10 10\"", "<path d=\"M0,0 " + repeated("L10,10 L0,10 L10,0 ", 100000) + "z\"/>"); },
         "Koordinaten"},
        {"ohne Größe", [] { return svg("", "<rect width=\"5\" height=\"5\"/>"); }, "keine Größe"},
        {"gepackte Bombe",
         [] { return gzipOf(svg("viewBox=\"0 0 10 10\"", "<desc>" + QByteArray(40 << 20, 'a') + "</desc>")); },
         "entpackt größer als 16 MB"},
        {"gepackt und beschädigt", [] { return gzipOf(svg("viewBox=\"0 0 10 10\"", "<rect/>")).left(30); },
         "gepackte Zeichnung"},
        // Each reference within the reader's bound, together past the file's.
        {"kurze Entität sehr oft",
         [] {
             return "<!DOCTYPE svg [<!ENTITY a \"" + QByteArray(4000, 'x') + "\">]>" +
                    svg("viewBox=\"0 0 10 10\"", "<desc>" + repeated("&a;", 5000) + "</desc>");
         },
         "größer als 16 MB"},
        {"Bilder mit zusammen zu vielen Bildpunkten",
         [] {
             // Two pictures, each below the bound alone.
             const int side = int(std::sqrt(0.6 * double(MaxDecodedImageBytes() / 4))) + 1;
             const QByteArray image =
                 "<image width=\"5\" height=\"5\" xlink:href=\"data:image/png;base64," + monoPng(side).toBase64() + "\"/>";
             return svg("viewBox=\"0 0 10 10\"", image + image);
         },
         "Bildpunkte"},
        {"Breite jenseits aller Zahlen", [] { return svg("width=\"1e308in\" height=\"10mm\" viewBox=\"0 0 1 1\"", "<rect/>"); },
         "keine brauchbare Größe"},
        {"viewBox, die platziert zum Strich wird", [] { return svg("viewBox=\"0 0 1e308 1\"", "<rect/>"); },
         "keine brauchbare Größe"},
        {"winzige Breite", [] { return svg("width=\"1e-300mm\" height=\"10mm\"", "<rect/>"); },
         "keine brauchbare Größe"},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes = c.bytes();
        QString reason;
        EXPECT_TRUE(DecodeVectorArt(bytes, &reason).isEmpty());
        EXPECT_TRUE(reason.contains(QString::fromUtf8(c.reason))) << reason.toStdString();
        // Read as a file: refused the same way, and the raster readers (Qt
        // has an SVG plugin of its own) never get it either.
        const QString path = dir.filePath(QStringLiteral("bild.svg"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        EXPECT_TRUE(OpenDib(path).isEmpty());
        EXPECT_TRUE(OpenDibScaled(path, 64).isEmpty());
        EXPECT_TRUE(VectorArtFault(path).contains(QString::fromUtf8(c.reason))) << VectorArtFault(path).toStdString();
    }
}

// Each reference stays within the reader's bound; their number is what
// makes the document large, and it is refused before it is expanded.
TEST(VectorArt, ManyReferencesToOneEntityAreRefusedBeforeTheyAreExpanded) {
    const QByteArray doc = "<!DOCTYPE svg [<!ENTITY a \"" + QByteArray(4000, 'x') + "\">]>" +
                           svg("viewBox=\"0 0 10 10\"", "<desc>" + repeated("&a;", 30000) + "</desc>");
    resetPeakMemory();
    const qint64 before = peakMemoryBytes();
    QString reason;
    EXPECT_FALSE(screenVectorArt(doc, &reason));
    EXPECT_TRUE(reason.contains(QStringLiteral("größer als 16 MB"))) << reason.toStdString();
    if (kPeakMemoryIsOurs) EXPECT_LT(peakMemoryBytes() - before, 64LL << 20);
}

TEST(VectorArt, AFileOfAHundredMegabytesIsRefusedUnread) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gross.svg"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(100LL << 20));   // sparse: nothing to read but its size
    f.close();
    resetPeakMemory();
    EXPECT_TRUE(OpenDib(path).isEmpty());
    EXPECT_EQ(VectorArtFault(path), QStringLiteral("Die Zeichnung ist größer als 16 MB."));
    EXPECT_LT(peakMemoryBytes(), 300LL << 20);
}

TEST(VectorArt, ScreeningLeavesNothingThatReachesOutsideTheFile) {
    QTemporaryDir dir;
    // A picture beside the drawing that a reference names: it must never
    // show, as no file but the drawing itself is read.
    QImage red(20, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("nachbar.png"))));
    const QByteArray pngData = "data:image/png;base64," + pngBytes().toBase64();
    const QByteArray nested = "data:image/png;base64," + svg("viewBox=\"0 0 1 1\"", "").toBase64();
    // A PNG start, then a second payload: a drawing that shows the neighbour.
    const QByteArray smuggled =
        "data:image/png;base64,iVBORw0KGgoAAAANbase64," +
        svg("width=\"100\" height=\"100\"", "<image width=\"100\" height=\"100\" xlink:href=\"" +
                                                dir.filePath("nachbar.png").toUtf8() + "\"/>")
            .toBase64();
    // Written as mail programs wrap it: kept, in the one plain form.
    const QByteArray plain = monoPng(4).toBase64();
    QByteArray wrapped = "data:IMAGE/PNG;base64,";
    for (int i = 0; i < plain.size(); i += 20) wrapped += plain.mid(i, 20) + "\n  ";
    const QByteArray body =
        "<defs><linearGradient id=\"grad\"><stop offset=\"0\" stop-color=\"#00f\"/></linearGradient>"
        "<rect id=\"eigen\" width=\"1\" height=\"1\"/></defs>"
        "<style>@import url(http://evil.example/a.css); rect { fill: url(#grad) } "
        "circle { fill: url('http://evil.example/p.svg#x') }</style>"
        "<image x=\"0\" y=\"0\" width=\"50\" height=\"50\" xlink:href=\"" + dir.filePath("nachbar.png").toUtf8() + "\"/>"
        "<image x=\"0\" y=\"0\" width=\"50\" height=\"50\" href=\"file://" + dir.filePath("nachbar.png").toUtf8() + "\"/>"
        "<image width=\"5\" height=\"5\" xlink:href=\"" + nested + "\"/>"
        "<image id=\"eingebettet\" width=\"5\" height=\"5\" xlink:href=\"" + pngData + "\"/>"
        "<image width=\"100\" height=\"100\" xlink:href=\"" + smuggled + "\"/>"
        "<image width=\"5\" height=\"5\" xlink:href=\"" + wrapped + "\"/>"
        "<image width=\"5\" height=\"5\" xlink:href=\"#selbst\"/>"
        "<use xlink:href=\"http://evil.example/other.svg#a\"/><use xlink:href=\"#eigen\"/>"
        "<a href=\"http://evil.example/\"><rect x=\"60\" width=\"5\" height=\"5\" fill=\"url(http://evil.example/#g)\"/></a>"
        "<script>fetch('http://evil.example/')</script>"
        "<foreignObject><iframe src=\"http://evil.example/\"/></foreignObject>"
        "<font-face font-family=\"F\"><font-face-src><font-face-uri xlink:href=\"http://evil.example/f.svg\"/>"
        "</font-face-src></font-face>"
        "<text style=\"font-family: F; fill: url(http://evil.example/#t)\" xml:base=\"http://evil.example/\">&ext;</text>";
    const QByteArray doc = "<?xml version=\"1.0\"?>\n<?xml-stylesheet href=\"http://evil.example/s.css\"?>\n"
                           "<!DOCTYPE svg [<!ENTITY ext SYSTEM \"file:///etc/passwd\">]>\n" +
                           svg("width=\"100\" height=\"100\" viewBox=\"0 0 100 100\"", body);
    QString reason;
    const auto art = screenVectorArt(doc, &reason);
    ASSERT_TRUE(art) << reason.toStdString();
    const QString screened = QString::fromUtf8(art->svg);
    for (const char* gone : {"evil", "nachbar", "passwd", "script", "DOCTYPE", "xml-stylesheet", nested.constData(),
                             "#selbst", "AAANbase64"})
        EXPECT_FALSE(screened.contains(QString::fromUtf8(gone))) << gone << " in " << screened.toStdString();
    const QByteArray plainData = "data:image/png;base64," + plain;
    for (const char* kept : {"url(#grad)", "#eigen", "eingebettet", "base64,iVBOR", plainData.constData()})
        EXPECT_TRUE(screened.contains(QString::fromUtf8(kept))) << kept;

    QImage out(100, 100, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::white);
    QPainter p(&out);
    drawVectorArt(p, QRectF(0, 0, 100, 100), *art, 0);
    p.end();
    EXPECT_NE(at(out, 30, 30), 0xFF0000u) << "the neighbouring picture was read";
}

TEST(VectorArt, ADrawingBringsItsOwnSizeInMillimetres) {
    struct Case {
        const char* root;
        double w, h;
    };
    const Case cases[] = {
        {"width=\"50mm\" height=\"20mm\" viewBox=\"0 0 5 2\"", 50, 20},
        {"width=\"2in\" height=\"1cm\" viewBox=\"0 0 1 1\"", 50.8, 10},
        {"width=\"72pt\" height=\"6pc\"", 25.4, 25.4},
        // Pixels are no physical unit: the view box at 96 per inch counts.
        {"width=\"100\" height=\"100px\" viewBox=\"0 0 192 96\"", 50.8, 25.4},
        {"viewBox=\"0, 0, 96 48\"", 25.4, 12.7},
        {"width=\"96px\" height=\"192\"", 25.4, 50.8},
        {"width=\"100%\" height=\"100%\" viewBox=\"0 0 96 96\"", 25.4, 25.4},
        // A view box of a billion units: placed no larger than a metre.
        {"viewBox=\"0 0 1000000000 500000000\"", 1000, 500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.root);
        const auto art = screenVectorArt(svg(c.root, "<rect width=\"1\" height=\"1\"/>"));
        ASSERT_TRUE(art);
        EXPECT_NEAR(art->sizeMm.width(), c.w, 1e-6);
        EXPECT_NEAR(art->sizeMm.height(), c.h, 1e-6);
    }
}

// A triangle whose slanted edge runs corner to corner: drawn from its
// vectors, the edge lies where the device pixels put it at any size and
// any device scale, not in the steps of the 1024-pixel stand-in.
TEST(VectorArt, ARadialGradientLeftAtItsDefaultRadiusFillsItsShape) {
    // Half the shape's box by default; a radius the file gives is kept.
    struct Case {
        const char* attributes;
        int blueFrom;   // distance from the centre, in pixels of 100, from which the outer stop shows
    };
    for (const Case& c : {Case{"", 50}, Case{" r=\"0.25\"", 25}, Case{" cx=\"0.5\" cy=\"0.5\"", 50}}) {
        SCOPED_TRACE(c.attributes);
        const QByteArray gradient = QByteArray("<defs><radialGradient id=\"g\"") + c.attributes +
                                    "><stop offset=\"0\" stop-color=\"#fff\"/><stop offset=\"1\" "
                                    "stop-color=\"#0000ff\"/></radialGradient></defs>";
        const auto art = screenVectorArt(
            svg("width=\"100\" height=\"100\"", gradient + "<rect width=\"100\" height=\"100\" fill=\"url(#g)\"/>"));
        ASSERT_TRUE(art);
        const QImage raster = rasterOfVectorArt(*art, 0, 100);
        ASSERT_EQ(raster.width(), 100);
        EXPECT_GT(qRed(raster.pixel(50, 50)), 240);     // the inner stop at the centre
        EXPECT_EQ(qAlpha(raster.pixel(50, 50)), 255);
        const QRgb outer = raster.pixel(std::max(0, 50 - c.blueFrom - 1), 50);
        EXPECT_LT(qRed(outer), 20);
        EXPECT_GT(qBlue(outer), 235);
    }
}

TEST(VectorArt, DrawnAtTheDevicePixelsOfEveryPass) {
    const DibHandle dib =
        DecodeVectorArt(svg("viewBox=\"0 0 100 100\"", "<polygon points=\"0,0 100,0 100,100\" fill=\"black\"/>"));
    ASSERT_TRUE(dib.isVector());
    ASSERT_EQ(std::max(dib.DibWidth(), dib.DibHeight()), kVectorStandInSide);
    struct Case {
        int logical;
        qreal deviceScale;   // a high-density buffer's, or a zoom step's
    };
    // The last one is past the largest kept rendering: drawn straight in.
    const Case cases[] = {{300, 1}, {700, 2}, {1500, 1}, {3200, 1}, {1700, 2}, {3100, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logical * c.deviceScale);
        const int device = int(c.logical * c.deviceScale);
        QImage out(device, device, QImage::Format_RGB32);
        out.setDevicePixelRatio(c.deviceScale);
        out.fill(Qt::white);
        QPainter p(&out);
        DrawDib(p, 0, 0, c.logical, c.logical, dib, 0, 0, dib.DibWidth(), dib.DibHeight());
        p.end();
        int worst = 0;
        for (int y = 0; y < device; y += 7) {
            int firstDark = device;
            for (int x = 0; x < device; ++x)
                if (qRed(out.pixel(x, y)) < 128) {
                    firstDark = x;
                    break;
                }
            worst = std::max(worst, std::abs(firstDark - y));
        }
        EXPECT_LE(worst, 1);
    }
    // The repaint at the same size draws the kept rendering.
    clearVectorArtRenderings();
    QImage small(200, 200, QImage::Format_RGB32);
    QPainter p(&small);
    DrawDib(p, 0, 0, 200, 200, dib, 0, 0, dib.DibWidth(), dib.DibHeight());
    const qint64 kept = keptVectorArtBytes();
    DrawDib(p, 0, 0, 200, 200, dib, 0, 0, dib.DibWidth(), dib.DibHeight());
    EXPECT_EQ(kept, 200 * 200 * 4);
    EXPECT_EQ(keptVectorArtBytes(), kept);
}

TEST(VectorArt, QuarterTurnsTurnTheDrawingAndItsStandInAlike) {
    // Red in the top-left quarter of a 2:1 drawing.
    const DibHandle upright = DecodeVectorArt(
        svg("width=\"40mm\" height=\"20mm\" viewBox=\"0 0 40 20\"",
            "<rect width=\"40\" height=\"20\" fill=\"white\"/><rect width=\"20\" height=\"10\" fill=\"red\"/>"));
    ASSERT_TRUE(upright.isVector());
    // Where the red quarter lies after each number of clockwise turns, in
    // quarters of the drawn rectangle (column, row).
    const QPoint redQuarter[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int turns = 0; turns < 4; ++turns) {
        SCOPED_TRACE(turns);
        DibHandle dib = upright;
        for (int k = 0; k < turns; ++k) ASSERT_TRUE(RotRight(dib));
        EXPECT_EQ(dib.vectorTurns(), turns);
        const QSize size = turns % 2 ? QSize(100, 200) : QSize(200, 100);
        EXPECT_EQ(dib.aspectSize(), turns % 2 ? QSize(2000, 4000) : QSize(4000, 2000));
        QImage out(size, QImage::Format_RGB32);
        out.fill(Qt::black);
        QPainter p(&out);
        DrawDib(p, 0, 0, size.width(), size.height(), dib, 0, 0, dib.DibWidth(), dib.DibHeight());
        p.end();
        for (int qx = 0; qx < 2; ++qx)
            for (int qy = 0; qy < 2; ++qy) {
                const bool red = QPoint(qx, qy) == redQuarter[turns];
                const QPoint centre(size.width() * (2 * qx + 1) / 4, size.height() * (2 * qy + 1) / 4);
                EXPECT_EQ(at(out, centre.x(), centre.y()), red ? 0xFF0000u : 0xFFFFFFu) << qx << "," << qy;
                const QPoint standIn(dib.DibWidth() * (2 * qx + 1) / 4, dib.DibHeight() * (2 * qy + 1) / 4);
                EXPECT_EQ(at(dib.image(), standIn.x(), standIn.y()), red ? 0xFF0000u : 0xFFFFFFu);
            }
    }
    DibHandle back = upright;
    ASSERT_TRUE(RotLeft(back));
    EXPECT_EQ(back.vectorTurns(), 3);
}

TEST(VectorArt, SvgContentIsAlwaysReadAsADrawingWhateverItsName) {
    const QByteArray drawing = svg("viewBox=\"0 0 10 10\"", "<rect width=\"10\" height=\"10\" fill=\"blue\"/>");
    for (const char* hint : {"svg", "png", "", "jpg"}) {
        SCOPED_TRACE(hint);
        EXPECT_TRUE(DecodeDib(drawing, QString::fromLatin1(hint)).isVector());
    }
    QTemporaryDir dir;
    const QString packed = dir.filePath(QStringLiteral("logo.svgz"));
    QFile f(packed);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(gzipOf(drawing));
    f.close();
    const DibHandle dib = OpenDib(packed);
    ASSERT_TRUE(dib.isVector());
    EXPECT_EQ(at(dib.image(), 10, 10), 0x0000FFu);
    EXPECT_TRUE(GetDIBOpenFilter().contains(QStringLiteral("*.svg;*.svgz")));
}

// Qt's own SVG reader follows references to other files: content that is a
// drawing reaches it under no name and by no path, however it starts.
TEST(VectorArt, ADrawingUnderARasterNameIsScreenedOnEveryPath) {
    QTemporaryDir dir;
    QImage red(20, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("nachbar.png"))));
    const QByteArray drawing =
        svg("width=\"100\" height=\"100\"", "<rect width=\"100\" height=\"100\" fill=\"blue\"/><image width=\"100\" "
                                              "height=\"100\" xlink:href=\"" +
                                                  dir.filePath("nachbar.png").toUtf8() + "\"/>");
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"Kommentar vorweg", "<!-- Logo -->\n" + drawing},
        {"Dokumenttyp vorweg", "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"x.dtd\">" + drawing},
        {"Leerraum, Anweisung und Kommentar", "\n\n<?foo bar?><!-- a --><!-- b -->" + drawing},
        {"gepackt", gzipOf(drawing)},
    };
    const QString path = dir.filePath(QStringLiteral("logo01.png"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        const DibHandle read[] = {DecodeDib(c.bytes, QStringLiteral("png")), OpenDib(path), OpenDibScaled(path, 64)};
        for (const DibHandle& dib : read) {
            ASSERT_TRUE(dib.isVector());
            EXPECT_EQ(at(dib.image(), dib.image().width() / 2, dib.image().height() / 2), 0x0000FFu);
        }
    }
}

// Each hostile file that is not refused is drawn over a whole A4 sheet at
// 600 dpi (as the sheet's bands are) within bounded memory.
TEST(VectorArt, AcceptedHostileDrawingsDrawOnTheSheetInBoundedMemory) {
    const QByteArray cases[] = {
        svg("viewBox=\"0 0 1000000000 1000000000\"",
            "<circle cx=\"500000000\" cy=\"500000000\" r=\"400000000\" fill=\"green\" stroke=\"black\" "
            "stroke-width=\"1000000\"/>"),
        svg("viewBox=\"0 0 1000 1000\"",
            repeated("<rect x=\"1\" y=\"2\" width=\"3\" height=\"2\" fill=\"#123456\" opacity=\"0.5\"/>", 99990)),
    };
    const QSize a4(4960, 7016);
    for (const QByteArray& bytes : cases) {
        resetPeakMemory();
        const qint64 before = peakMemoryBytes();
        const DibHandle dib = DecodeVectorArt(bytes);
        ASSERT_TRUE(dib.isVector());
        QImage band(a4.width(), 1024, QImage::Format_RGB32);
        for (int top = 0; top < a4.height(); top += band.height()) {
            band.fill(Qt::white);
            QPainter p(&band);
            p.translate(0, -top);
            DrawDib(p, 0, 0, a4.width(), a4.height(), dib, 0, 0, dib.DibWidth(), dib.DibHeight());
        }
        if (kPeakMemoryIsOurs) EXPECT_LT(peakMemoryBytes() - before, 300LL << 20);
    }
}

// A large drawing is made in strips, each when a pass first shows its rows.
// Put together they must give the picture one rendering of the whole drawing
// gives, whether the page is drawn in one go or in bands on several threads
// (as the sheet is). Each strip is rasterised on the coordinates of the
// whole shifted by whole rows, so edges and coverage come out the same; only
// a gradient's position, computed in floating point from the shifted pixel,
// may land on the neighbouring entry of Qt's colour table (seen on about 3 %
// of the pixels below the first strip, never more than 1 level): at most 2
// levels on a channel, and none in the first strip, which is not shifted.
TEST(VectorArt, StripsPutTogetherGiveTheWholeRendering) {
    const QByteArray logo = svg(
        "width=\"70mm\" height=\"110mm\" viewBox=\"0 0 70 110\"",
        "<defs><linearGradient id=\"g\" x2=\"0\" y2=\"1\"><stop offset=\"0\" stop-color=\"#fa0\"/>"
        "<stop offset=\"1\" stop-color=\"#20c\"/></linearGradient>"
        "<radialGradient id=\"r\"><stop offset=\"0\" stop-color=\"#fff\"/><stop offset=\"1\" stop-color=\"#060\"/>"
        "</radialGradient></defs>"
        "<rect x=\"2\" y=\"2\" width=\"66\" height=\"106\" rx=\"8\" fill=\"url(#g)\"/>"
        "<path d=\"M5,30 c20,-25 40,25 60,0 s-10,70 -50,60 z\" fill=\"url(#r)\" opacity=\"0.7\" stroke=\"#222\" "
        "stroke-width=\"1.5\"/><circle cx=\"35\" cy=\"80\" r=\"20\" fill=\"none\" stroke=\"#fff\" "
        "stroke-width=\"4\"/>");
    const DibHandle dib = DecodeVectorArt(logo);
    ASSERT_TRUE(dib.isVector());
    const QRect place(31, 37, 700, 1100);   // rows 37.. of the page: strips and bands never align
    const QSize page(760, 1200);
    QImage whole(place.size(), QImage::Format_ARGB32_Premultiplied);
    whole.fill(0);
    {
        // In one go, through the device the strips are drawn with.
        QSvgRenderer renderer(dib.vectorArt()->svg);
        QPainter target(&whole);
        TiledOutlineDevice device(target);
        QPainter p(&device);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(place.size())));
    }
    QImage expected = rt::canvas(page.width(), page.height());
    QPainter(&expected).drawImage(place.topLeft(), whole);

    struct Case {
        const char* name;
        int bandRows;   // 0: the page in one go
        int threads;
    };
    for (const Case& c : {Case{"in one go", 0, 1}, Case{"bands, one thread", 100, 1}, Case{"bands, three threads", 100, 3},
                          Case{"sheet bands, two threads", 256, 2}}) {
        SCOPED_TRACE(c.name);
        clearVectorArtRenderings();
        const RenderThreadsOverride threads(c.threads);
        QImage out = rt::canvas(page.width(), page.height());
        const int bands = c.bandRows ? (page.height() + c.bandRows - 1) / c.bandRows : 1;
        uchar* const bits = out.bits();
        parallelFor(bands, [&](int i) {
            QImage view(bits, out.width(), out.height(), out.bytesPerLine(), QImage::Format_RGB32);
            QPainter p(&view);
            if (c.bandRows) p.setClipRect(QRect(0, i * c.bandRows, page.width(), c.bandRows));
            DrawDib(p, place.x(), place.y(), place.width(), place.height(), dib, 0, 0, dib.DibWidth(),
                    dib.DibHeight());
        });
        EXPECT_LE(rt::maxChannelDifference(out, expected), 2);
        // Above the first shifted strip nothing may differ at all.
        const QRect unshifted(0, 0, page.width(), place.y() + 256);
        EXPECT_EQ(rt::maxChannelDifference(out.copy(unshifted), expected.copy(unshifted)), 0);
    }

    // Rows no pass shows are never drawn: a clip to page rows 300..399
    // (drawing rows 263..362) needs the second strip of 256 rows only.
    clearVectorArtRenderings();
    QImage band = rt::canvas(page.width(), page.height());
    {
        QPainter p(&band);
        p.setClipRect(QRect(0, 300, page.width(), 100));
        DrawDib(p, place.x(), place.y(), place.width(), place.height(), dib, 0, 0, dib.DibWidth(), dib.DibHeight());
    }
    EXPECT_EQ(keptVectorArtBytes(), qint64(place.width()) * 256 * 4);
    const QRect rows(0, 300, page.width(), 100);
    EXPECT_LE(rt::maxChannelDifference(band.copy(rows), expected.copy(rows)), 2);
    EXPECT_TRUE(rows.contains(rt::boundsNot(band, rt::White)));

    // The memory of strips let go is used again for other drawings of the
    // same size: nothing of the earlier drawing may show through.
    const DibHandle dot = DecodeVectorArt(
        svg("width=\"70mm\" height=\"110mm\" viewBox=\"0 0 70 110\"", "<circle cx=\"35\" cy=\"55\" r=\"1\" fill=\"red\"/>"));
    clearVectorArtRenderings();
    QImage out = rt::canvas(page.width(), page.height());
    {
        QPainter p(&out);
        DrawDib(p, place.x(), place.y(), place.width(), place.height(), dot, 0, 0, dot.DibWidth(), dot.DibHeight());
    }
    const QRect red = rt::boundsNot(out, rt::White);
    EXPECT_TRUE(place.contains(red));
    EXPECT_LE(red.width(), 21);
    EXPECT_LE(red.height(), 21);
}

// Each thread parses the drawings it draws. Pool threads end after a while
// idle and new ones start: what an ended thread parsed must be given back,
// or a long session gains the parsed drawings of every such round.
TEST(VectorArt, AThreadThatEndsGivesBackItsParsedDrawings) {
    const DibHandle dib = DecodeVectorArt(svg("viewBox=\"0 0 10 10\"", "<rect width=\"10\" height=\"10\" fill=\"blue\"/>"));
    ASSERT_TRUE(dib.isVector());
    const int before = parsedVectorArtCount();
    std::thread drawer([&] {
        QImage out = rt::canvas(40, 40);
        QPainter p(&out);
        DrawDib(p, 0, 0, 40, 40, dib, 0, 0, dib.DibWidth(), dib.DibHeight());
        p.end();
        EXPECT_EQ(rt::px(out, 20, 20), 0x0000FFu);
        EXPECT_EQ(parsedVectorArtCount(), before + 1);
    });
    drawer.join();
    EXPECT_EQ(parsedVectorArtCount(), before);
}
