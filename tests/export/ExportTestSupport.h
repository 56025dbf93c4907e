#pragma once
// A design with every kind of object for the export tests, the outside
// readers (librsvg, poppler) run as processes, and the outline of the net
// measured from the net's printed lines.

#include "RenderTestUtil.h"
#include "model/BoxDocument.h"
#include "box/BoxNet.h"
#include "sheet/SheetRenderer.h"
#include "export/VectorExport.h"

#include <QBuffer>
#include <QFile>

#include <QDir>
#include <QImage>
#include <QPolygonF>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace ex {

struct FigureSpot {
    QRect screenRect;   // editor pixels at Zoom 1.0
    QRgb color;
};

// Objects of the design in editor pixels (the box area is 548..1097 x
// 388..776): a background picture over the whole box area, filled figures,
// a text with shadow and outline, a turned text and a picture object.
struct Design {
    std::unique_ptr<BoxDocument> doc = rt::document();
    std::vector<FigureSpot> figures;
    std::vector<QRect> texts;        // rectangles of the text objects
    QStringList words;               // every word of every text object
    std::vector<QRect> pictures;     // rectangles of the picture objects
    QSize backgroundSize{320, 240};
    QSize pictureSize{80, 60};
};

inline QImage patternImage(QSize size, int seed) {
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb((x * 255 / size.width() + seed) & 255, (y * 255 / size.height()) & 255,
                                    ((x / 20 + y / 20) % 2) ? 200 : 90));
    return img;
}

inline std::unique_ptr<Design> makeDesign(bool withBackground = true) {
    auto d = std::make_unique<Design>();
    BoxDocument& doc = *d->doc;
    if (withBackground) {
        doc.BackgroundPicture = DibHandle(patternImage(d->backgroundSize, 0));
        doc.BackgroundMode = bgFit;
    }
    int slot = 1;
    const QRgb colours[] = {rt::rgb(200, 30, 30), rt::rgb(30, 160, 40), rt::rgb(20, 40, 200), rt::rgb(250, 220, 0)};
    for (int i = 0; i < 4; ++i) {
        const QRect r(600 + i * 110, 420 + (i % 2) * 60, 70, 50);
        Tobs& o = rt::place(doc, slot++, Figure, r.x(), r.y(), r.width(), r.height());
        o.Shape = i % 2 ? shEllipse : shRectangle;
        o.FillModeOrShadowColor = fmFilled;
        o.Color = static_cast<std::int32_t>(qRed(colours[i]) | (qGreen(colours[i]) << 8) | (qBlue(colours[i]) << 16));
        o.LineWidthOrTransColor = 1;
        d->figures.push_back({r, colours[i]});
    }
    {
        const QRect r(620, 560, 300, 60);
        Tobs& o = rt::place(doc, slot++, Text, r.x(), r.y(), r.width(), r.height());
        o.Content = QStringLiteral("Sonnenblumen Faltarillon");
        o.FontName = QStringLiteral("Liberation Sans");
        o.FontSize = 16;
        o.Color = 0x0000FF;
        o.Shadow = 1;
        o.FillModeOrShadowColor = 0x808080;
        o.Outline = 1;
        o.BorderOrOutlineColor = 0xFFFFFF;
        d->texts.push_back(r);
        d->words << QStringLiteral("Sonnenblumen") << QStringLiteral("Faltarillon");
    }
    {
        const QRect r(1000, 430, 40, 200);
        Tobs& o = rt::place(doc, slot++, Text, r.x(), r.y(), r.width(), r.height());
        o.Content = QStringLiteral("Deckelklappe");
        o.FontName = QStringLiteral("Liberation Serif");
        o.FontSize = 12;
        o.Rotation = 1;
        o.Color = 0x000000;
        d->texts.push_back(QRect(r.x() - 30, r.y(), 70, 200));
        d->words << QStringLiteral("Deckelklappe");
    }
    {
        const QRect r(900, 650, 100, 80);
        Tobs& o = rt::place(doc, slot++, Image, r.x(), r.y(), r.width(), r.height());
        o.Picture = DibHandle(patternImage(d->pictureSize, 90));
        o.KeepAspect = 1;
        d->pictures.push_back(r);
    }
    return d;
}

// The vector export of a design as bytes; a failed export fails the test.
inline QByteArray exportBytes(BoxDocument& doc, const ExportOptions& o) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    EXPECT_TRUE(writeVectorExport(doc, o, buffer, error)) << error.toStdString();
    return bytes;
}

// Bytes put into a file of a temporary folder, for the outside readers.
inline QString writeTemp(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    EXPECT_EQ(f.write(bytes), bytes.size());
    return path;
}

// Runs a program; its exit code must be 0. A missing program fails the test.
inline QByteArray run(const QString& program, const QStringList& args) {
    const QString path = QStandardPaths::findExecutable(program);
    EXPECT_FALSE(path.isEmpty()) << program.toStdString() << " is not installed";
    if (path.isEmpty()) return {};
    QProcess p;
    p.start(path, args);
    EXPECT_TRUE(p.waitForFinished(120000)) << program.toStdString();
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << program.toStdString() << ": " << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

// The outer outline of the printed net, walked along the net's lines
// (clockwise from face 1's top-left corner), in integer print pixels.
inline QPolygonF printedNetOutline(const NetMeasure& m) {
    const std::vector<Polyline> lines = netPolylines(m);
    const int L = m.L, T = m.T, e = m.e;
    QPolygonF out;
    auto add = [&](QPoint p) {
        if (out.isEmpty() || out.last() != QPointF(p)) out << QPointF(p);
    };
    auto addLine = [&](const Polyline& line, bool reversed) {
        if (reversed)
            for (auto it = line.rbegin(); it != line.rend(); ++it) add(*it);
        else
            for (const QPoint& p : line) add(p);
    };
    addLine(lines[12], false);   // dust flap above face 1
    addLine(lines[14], false);   // lid half above face 2
    addLine(lines[13], false);   // dust flap above face 3
    addLine(lines[15], false);   // lid half above face 4
    addLine(lines[8], false);    // glue flap right of face 4
    add({L + 3 * e, T + 2 * e});
    addLine(lines[9], false);    // flap right of the bottom face
    addLine(lines[11], true);    // flap below the bottom face
    addLine(lines[10], true);    // flap left of the bottom face
    add({L, T + 2 * e});
    if (out.first() == out.last()) out.removeLast();
    return out;
}

inline double shoelace(const QPolygonF& p) {
    double a = 0;
    for (int i = 0; i < p.size(); ++i) {
        const QPointF& u = p[i];
        const QPointF& v = p[(i + 1) % p.size()];
        a += u.x() * v.y() - v.x() * u.y();
    }
    return std::abs(a) / 2;
}

}  // namespace ex
