// Writes, once, the design that the sheet benchmark renders: a box file with
// a photo-like background, 1000 figures, 20 outlined texts and 5 pictures
// with a transparent colour, the pictures themselves, and an SVG of the same
// printed sheet (A4 landscape, 600 dpi) for a general SVG renderer.
// With "texte" it writes only texte.box and texte.svg: the same kind of
// design whose 20 texts are short paragraphs with shadow and outline, the
// kind that weighs most in a vector file; it uses the pictures of the first.
//
// The output is committed under bench/data/ and never written again by the
// build: the comparison must not move when our own drawing changes. Run it
// by hand only to make a new, deliberately different data set:
//   make-sheet-bench-data bench/data [texte]

#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "model/NewDocument.h"
#include "model/StreamPrompter.h"
#include "box/BoxNet.h"
#include "render/FigureRenderer.h"
#include "render/SheetRenderParams.h"
#include "sheet/SheetRenderer.h"
#include "render/TextRenderer.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace {

constexpr int kDpi = 600;
constexpr int kPageW = 7017;   // A4 landscape at 600 dpi, no margins
constexpr int kPageH = 4958;

// Smooth value noise of several octaves: hills, sky and texture that
// compress and scale like a photograph rather than like flat colour.
class Noise {
public:
    explicit Noise(unsigned seed) {
        std::mt19937 rng(seed);
        for (float& v : m_grid) v = std::uniform_real_distribution<float>(0, 1)(rng);
    }
    float at(float x, float y) const {
        const int xi = int(std::floor(x)), yi = int(std::floor(y));
        const float fx = x - xi, fy = y - yi;
        auto g = [&](int a, int b) { return m_grid[size_t(((b & 255) * 256) + (a & 255))]; };
        auto s = [](float t) { return t * t * (3 - 2 * t); };
        const float top = g(xi, yi) + (g(xi + 1, yi) - g(xi, yi)) * s(fx);
        const float bot = g(xi, yi + 1) + (g(xi + 1, yi + 1) - g(xi, yi + 1)) * s(fx);
        return top + (bot - top) * s(fy);
    }
    float fractal(float x, float y) const {
        float sum = 0, amp = 0.5f, f = 1;
        for (int o = 0; o < 6; ++o, amp *= 0.5f, f *= 2) sum += amp * at(x * f, y * f);
        return sum;
    }

private:
    float m_grid[256 * 256];
};

int clamp255(float v) { return std::max(0, std::min(255, int(v))); }

QImage photo(int w, int h, unsigned seed) {
    const Noise n(seed);
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const float u = float(x) / w * 8, v = float(y) / h * 6;
            const float hill = 0.45f + 0.2f * n.fractal(u * 0.3f, 3.0f);
            const float t = n.fractal(u, v);
            const float fy = float(y) / h;
            if (fy < hill) {   // sky with clouds
                const float cloud = std::max(0.0f, t - 0.45f) * 2.5f;
                line[x] = qRgb(clamp255(90 + 120 * fy + 140 * cloud), clamp255(140 + 80 * fy + 110 * cloud),
                               clamp255(230 - 20 * fy + 25 * cloud));
            } else {           // meadow and fields
                const float grain = n.at(x * 0.9f, y * 0.9f);
                line[x] = qRgb(clamp255(60 + 120 * t + 30 * grain), clamp255(110 + 90 * t + 20 * grain),
                               clamp255(30 + 50 * t));
            }
        }
    }
    return img;
}

// A picture on a white ground whose lower-left pixel is white: the white
// becomes transparent (TransAuto). Rings and stripes in two colours.
QImage picture(int w, int h, int variant) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    const Noise n(100 + variant);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const float dx = x - w / 2.0f, dy = y - h / 2.0f;
            const float r = std::sqrt(dx * dx + dy * dy) / (std::min(w, h) / 2.0f);
            if (r > 0.95f) continue;
            const float t = n.fractal(x / 80.0f, y / 80.0f);
            const int ring = int(r * (4 + variant)) & 1;
            line[x] = ring ? qRgb(clamp255(200 * t + 40 * variant), clamp255(60 + 100 * t), clamp255(180 - 30 * variant))
                           : qRgb(clamp255(250 - 120 * t), clamp255(200 - 20 * variant), clamp255(40 + 150 * t));
        }
    }
    return img;
}

// The same picture with the transparent colour as alpha, for the SVG.
QImage keyedCopy(const QImage& img) {
    QImage out = img.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = img.pixel(0, img.height() - 1);
    for (int y = 0; y < out.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] | 0xFF000000u) == (key | 0xFF000000u)) line[x] = 0;
    }
    return out;
}

QString svgColor(std::int32_t ref) {
    return QStringLiteral("#%1%2%3")
        .arg(ref & 0xFF, 2, 16, QChar('0'))
        .arg((ref >> 8) & 0xFF, 2, 16, QChar('0'))
        .arg((ref >> 16) & 0xFF, 2, 16, QChar('0'));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const bool texts = argc == 3 && std::string(argv[2]) == "texte";
    if (argc != 2 && !texts) {
        std::fprintf(stderr, "Aufruf: make-sheet-bench-data ZIELORDNER [texte]\n");
        return 2;
    }
    const QString name = texts ? QStringLiteral("texte") : QStringLiteral("blatt");
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path())) return 1;

    BoxDocument doc;
    initStartupDocument(doc, 96);
    newDocument(doc);
    std::mt19937 rng(20261208);
    auto any = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    // Pictures: bare file names, found beside the box file when it is opened.
    const QImage ground = photo(3000, 2000, 7);
    if (!texts && !ground.save(dir.filePath("hintergrund.jpg"), "JPEG", 90)) return 1;
    doc.BackgroundMode = bgCenterLarger;
    doc.BackgroundFile = QStringLiteral("hintergrund.jpg");

    // Placed inside the box area, in document units.
    const int itemW = doc.ExtentWidth / 3, itemH = doc.ExtentHeight / 3;
    auto placeRect = [&](Tobs& o, int maxW, int maxH) {
        o.Width = any(itemW / 120, maxW);
        o.Height = any(itemH / 120, maxH);
        o.Left = itemW + any(0, itemW - o.Width);
        o.Top = itemH + any(0, itemH - o.Height);
    };
    int slot = 1;
    for (int i = 0; i < 1000; ++i, ++slot) {
        Tobs& o = doc.Objects[slot];
        o.Kind = Figure;
        placeRect(o, itemW / 12, itemH / 9);
        o.Shape = any(0, 9);
        o.FillModeOrShadowColor = any(0, 2);
        o.Color = any(0, 0xFFFFFF);
        o.BorderOrOutlineColor = any(0, 0xFFFFFF);
        o.LineWidthOrTransColor = any(1, 10);
        o.KeepAspect = 1;
    }
    const char* words[] = {"Gruß aus der Box", "Faltarillon", "Für Dich", "Überraschung!", "Danke"};
    // Lines short enough for the rectangle, broken by hand so that the SVG
    // breaks them alike.
    const char* paragraphs[] = {
        "Herzlichen Glückwunsch!\rAlles Gute zum Geburtstag\rund viel Freude mit\rdieser kleinen Box.",
        "Frohe Weihnachten\rwünschen Dir Anna,\rJonas und die Kinder\raus dem Schwarzwald.",
        "Für die beste Oma\rder Welt: Danke für\rjeden Sonntag mit Tee,\rKuchen und Geschichten.",
        "Überraschung! Öffne\rdie Box ganz vorsichtig,\rdrinnen wartet etwas\rSüßes auf Dich.",
        "Viel Glück im neuen\rZuhause, gute Nachbarn\rund immer genug Platz\rfür alle Freunde."};
    for (int i = 0; i < 20; ++i, ++slot) {
        Tobs& o = doc.Objects[slot];
        o.Kind = Text;
        if (texts) {
            placeRect(o, itemW / 3, itemH / 4);
            o.Width = std::max(o.Width, itemW / 4);
            o.Height = std::max(o.Height, itemH / 6);
            o.Content = QString::fromUtf8(paragraphs[i % 5]);
            o.FontSize = 10 + (i % 3) * 2;
            o.Shadow = 1;
            o.FillModeOrShadowColor = any(0x404040, 0x808080);
            o.ShadowDx = 4 + i % 5;
            o.ShadowDy = 4 + i % 4;
        } else {
            placeRect(o, itemW / 4, itemH / 6);
            o.Width = std::max(o.Width, itemW / 6);
            o.Height = std::max(o.Height, itemH / 10);
            o.Content = QString::fromUtf8(words[i % 5]) + QStringLiteral("\r%1").arg(i + 1);
            o.FontSize = 14 + (i % 4) * 4;
        }
        o.FontName = (i % 2) ? QStringLiteral("Arial") : QStringLiteral("Times New Roman");
        o.FontHeight = -o.FontSize * 4 / 3;
        o.Color = 0xFFFFFF;
        o.Outline = 1;
        o.BorderOrOutlineColor = any(0, 0x404040);
        o.Rotation = i % 4;
        o.Alignment = i % 3;
        o.KeepAspect = 1;
    }
    QImage pictures[5];
    for (int i = 0; i < 5; ++i, ++slot) {
        pictures[i] = picture(800 + 100 * i, 600, i);
        const QString file = QStringLiteral("bild%1.png").arg(i + 1);
        if (!texts) {
            if (!pictures[i].save(dir.filePath(file), "PNG")) return 1;
            if (!keyedCopy(pictures[i]).save(dir.filePath(QStringLiteral("bild%1-alpha.png").arg(i + 1)), "PNG"))
                return 1;
        }
        Tobs& o = doc.Objects[slot];
        o.Kind = Image;
        placeRect(o, itemW / 4, itemH / 4);
        o.Content = file;
        o.KeepAspect = 1;
        o.Transparent = 1;
        o.TransAuto = 1;
    }
    QTextStream errors(stderr);
    StreamPrompter prompter(errors);
    const QString boxPath = dir.filePath(name + QStringLiteral(".box"));
    if (!Saveit(doc, boxPath, prompter)) return 1;

    // The SVG of the printed sheet, with the geometry our pass computes.
    RenderParams params = sheetRenderParams(doc.Layout, NetSource::cube(100), kDpi, kDpi, printFontFactor(kDpi, 96));
    QFile svgFile(dir.filePath(name + QStringLiteral(".svg")));
    if (!svgFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
    QTextStream svg(&svgFile);
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\""
        << kPageW << "\" height=\"" << kPageH << "\" viewBox=\"0 0 " << kPageW << ' ' << kPageH << "\">\n"
        << "<rect width=\"" << kPageW << "\" height=\"" << kPageH << "\" fill=\"#ffffff\"/>\n";
    {
        const BoxArea area = boxAreaFor(params.AreaWidth, params.AreaHeight, params.OffsetX, params.OffsetY, false);
        const int bw = area.right - area.left + 1, bh = area.bottom - area.top + 1;
        const int iw = ground.width(), ih = ground.height();
        int x = area.left, y = area.top, w = bw, h = bh;
        const long long ch = static_cast<long long>(ih) * bw / iw;
        if (ch > bh) { y += int((bh - ch) / 2); h = int(ch); }
        else { const int cw = int(static_cast<long long>(iw) * bh / ih); x += (bw - cw) / 2; w = cw; }
        svg << "<image x=\"" << x << "\" y=\"" << y << "\" width=\"" << w - 1 << "\" height=\"" << h - 1
            << "\" preserveAspectRatio=\"none\" xlink:href=\"hintergrund.jpg\"/>\n";
    }
    const double scale = params.mapping.Scale();
    for (int s = 1; s < slot; ++s) {
        const Tobs& o = doc.Objects[s];
        const auto [X, Y, W, H] = deviceRect(o, params);
        if (o.Kind == Figure) {
            const int pw = figurePenWidth(o.LineWidthOrTransColor, scale);
            QString stroke, fill;
            if (o.Shape >= shLineH) {
                stroke = fill = svgColor(o.Color);
            } else if (o.FillModeOrShadowColor == fmFilled) {
                stroke = fill = svgColor(o.Color);
            } else if (o.FillModeOrShadowColor == fmBorder) {
                stroke = svgColor(o.BorderOrOutlineColor);
                fill = QStringLiteral("none");
            } else {
                stroke = svgColor(o.BorderOrOutlineColor);
                fill = svgColor(o.Color);
            }
            const QString paint = QStringLiteral(" fill=\"%1\" stroke=\"%2\" stroke-width=\"%3\" stroke-linecap=\"round\" "
                                                 "stroke-linejoin=\"round\"/>\n")
                                      .arg(fill, stroke)
                                      .arg(pw);
            const int side = std::min(W, H);
            switch (o.Shape) {
            case shCircle:
            case shEllipse: {
                const int w = o.Shape == shCircle ? side : W, h = o.Shape == shCircle ? side : H;
                svg << "<ellipse cx=\"" << X + (w - 1) / 2.0 << "\" cy=\"" << Y + (h - 1) / 2.0 << "\" rx=\""
                    << (w - 1) / 2.0 << "\" ry=\"" << (h - 1) / 2.0 << '"' << paint;
                break;
            }
            case shSquare:
            case shRectangle:
            case shRoundSquare:
            case shRoundRect: {
                const bool sq = o.Shape == shSquare || o.Shape == shRoundSquare;
                const bool round = o.Shape == shRoundSquare || o.Shape == shRoundRect;
                svg << "<rect x=\"" << X << "\" y=\"" << Y << "\" width=\"" << (sq ? side : W) - 1 << "\" height=\""
                    << (sq ? side : H) - 1 << '"';
                if (round) svg << " rx=\"" << (W / 3) / 2.0 << "\" ry=\"" << (H / 3) / 2.0 << '"';
                svg << paint;
                break;
            }
            default: {
                int x1 = X, y1 = Y, x2 = X + W, y2 = Y + H;
                if (o.Shape == shLineH) y2 = Y;
                if (o.Shape == shLineV) x2 = X;
                if (o.Shape == shLineUp) std::swap(y1, y2);
                svg << "<line x1=\"" << x1 << "\" y1=\"" << y1 << "\" x2=\"" << x2 << "\" y2=\"" << y2 << '"' << paint;
                break;
            }
            }
        } else if (o.Kind == Text) {
            const int px = std::abs(textPixelHeight(o.FontSize, scale, params.FontFactor, kDpi, 96));
            const int d = outlinePixels(scale);
            const QString family = o.FontName == QLatin1String("Arial") ? QStringLiteral("Liberation Sans")
                                                                         : QStringLiteral("Liberation Serif");
            QStringList lines = o.Content.split(QChar('\r'));
            QString anchor = QStringLiteral("start");
            int tx = X, ty = Y + int(px * 0.89);
            QString transform;
            if (o.Rotation == 0) {
                if (o.Alignment == 1) { anchor = QStringLiteral("middle"); tx = X + W / 2; }
                if (o.Alignment == 2) { anchor = QStringLiteral("end"); tx = X + W; }
            } else {
                lines = QStringList{turnedTextLine(o.Content)};
                const QPoint a = o.Rotation == 1 ? QPoint(X, Y) : o.Rotation == 2 ? QPoint(X + W, Y) : QPoint(X + W, Y + H);
                tx = a.x();
                ty = a.y();
                transform = QStringLiteral(" transform=\"rotate(%1 %2 %3)\"").arg(90 * o.Rotation).arg(tx).arg(ty);
            }
            // The shadow is one copy of the text, moved.
            if (o.Shadow == 1) {
                const int sx = shadowPixels(o.ShadowDx, scale), sy = shadowPixels(o.ShadowDy, scale);
                svg << "<g transform=\"translate(" << sx << ' ' << sy << ")\">";
                svg << "<text x=\"" << tx << "\" y=\"" << ty << "\" font-family=\"" << family << "\" font-size=\""
                    << px << "\" text-anchor=\"" << anchor << "\" fill=\"" << svgColor(o.FillModeOrShadowColor)
                    << '"' << transform << '>';
                for (int l = 0; l < lines.size(); ++l)
                    svg << "<tspan x=\"" << tx << "\" dy=\"" << (l ? int(px * 1.15) : 0) << "\">"
                        << lines[l].toHtmlEscaped() << "</tspan>";
                svg << "</text></g>\n";
            }
            // The outline is the text stroked 2d wide beneath its fill: the
            // same look as the 4d^2 shifted copies.
            svg << "<text x=\"" << tx << "\" y=\"" << ty << "\" font-family=\"" << family << "\" font-size=\"" << px
                << "\" text-anchor=\"" << anchor << "\" fill=\"" << svgColor(o.Color) << "\" stroke=\""
                << svgColor(o.BorderOrOutlineColor) << "\" stroke-width=\"" << 2 * d
                << "\" paint-order=\"stroke\" stroke-linejoin=\"miter\"" << transform << '>';
            for (int l = 0; l < lines.size(); ++l)
                svg << "<tspan x=\"" << tx << "\" dy=\"" << (l ? int(px * 1.15) : 0) << "\">" << lines[l].toHtmlEscaped()
                    << "</tspan>";
            svg << "</text>\n";
        } else if (o.Kind == Image) {
            const int idx = s - 1021;
            const QSize sz = QSize(W, H);
            const int iw = pictures[idx].width(), ih = pictures[idx].height();
            int dw = sz.width(), dh = sz.height();
            const int chh = int(static_cast<long long>(ih) * dw / iw);
            if (chh < dh) dh = chh; else dw = int(static_cast<long long>(iw) * dh / ih);
            svg << "<image x=\"" << X << "\" y=\"" << Y << "\" width=\"" << dw - 1 << "\" height=\"" << dh - 1
                << "\" preserveAspectRatio=\"none\" xlink:href=\"bild" << idx + 1 << "-alpha.png\"/>\n";
        }
    }
    // The net: black dotted lines, 1 pixel, three on and three off.
    const BoxArea area = boxAreaFor(params.AreaWidth, params.AreaHeight, params.OffsetX, params.OffsetY, false);
    svg << "<g fill=\"none\" stroke=\"#000000\" stroke-width=\"1\" stroke-dasharray=\"3 3\">\n";
    for (const Polyline& line : netPolylines(measureNet(area, 100))) {
        svg << "<polyline points=\"";
        for (const QPoint& p : line) svg << p.x() + 0.5 << ',' << p.y() + 0.5 << ' ';
        svg << "\"/>\n";
    }
    svg << "</g>\n</svg>\n";
    svg.flush();
    return svgFile.error() == QFile::NoError ? 0 : 1;
}
