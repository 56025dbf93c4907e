#pragma once
// Reads back what the export wrote into an SVG: the groups with their layer
// attributes and the paths inside them (M, L, C and Z with absolute
// coordinates, which is all the export writes).

#include <QByteArray>
#include <QPolygonF>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <map>
#include <vector>

namespace ex {

struct SvgSubpath {
    QPolygonF points;
    bool closed = false;
};

struct SvgLayer {
    QString id;
    QString label;
    QString groupmode;
    std::vector<QString> pathData;   // d of every path in the group (nested too)
    std::vector<QString> strokes;    // stroke of the same paths
    int texts = 0;
    int images = 0;                   // <use> of embedded pictures
};

inline std::vector<SvgSubpath> parsePathData(const QString& d) {
    std::vector<SvgSubpath> out;
    QString token;
    QChar command;
    std::vector<double> numbers;
    auto flush = [&] {
        if (command.isNull()) return;
        const char c = command.toLatin1();
        if (c == 'M') out.push_back({});
        if (c == 'Z') {
            if (!out.empty()) out.back().closed = true;
        } else if (!out.empty()) {
            // C: only the end point of each curve counts for the outline.
            const size_t step = c == 'C' ? 6 : 2;
            for (size_t i = 0; i + step <= numbers.size(); i += step)
                out.back().points << QPointF(numbers[i + step - 2], numbers[i + step - 1]);
        }
        numbers.clear();
    };
    auto endNumber = [&] {
        if (!token.isEmpty()) numbers.push_back(token.toDouble());
        token.clear();
    };
    for (QChar ch : d) {
        if (ch.isLetter() && ch != QLatin1Char('e')) {
            endNumber();
            flush();
            command = ch;
        } else if (ch == QLatin1Char(' ') || ch == QLatin1Char(',')) {
            endNumber();
        } else if (ch == QLatin1Char('-') && !token.isEmpty() && !token.endsWith(QLatin1Char('e'))) {
            endNumber();
            token = ch;
        } else {
            token += ch;
        }
    }
    endNumber();
    flush();
    return out;
}

inline std::map<QString, SvgLayer> readLayers(const QByteArray& svg, QString* error = nullptr) {
    std::map<QString, SvgLayer> layers;
    QXmlStreamReader xml(svg);
    const QString ink = QStringLiteral("http://www.inkscape.org/namespaces/inkscape");
    std::vector<QString> open;   // layer id (or empty) of every open <g>
    QString current;
    int clipDepth = 0;   // clip outlines are no drawing of their own
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("clipPath")) ++clipDepth;
        if (xml.isEndElement() && xml.name() == QLatin1String("clipPath")) --clipDepth;
        if (xml.isStartElement() && clipDepth == 0) {
            const auto attrs = xml.attributes();
            if (xml.name() == QLatin1String("g")) {
                const QString mode = attrs.value(ink, QStringLiteral("groupmode")).toString();
                if (mode == QLatin1String("layer")) {
                    SvgLayer layer;
                    layer.id = attrs.value(QStringLiteral("id")).toString();
                    layer.label = attrs.value(ink, QStringLiteral("label")).toString();
                    layer.groupmode = mode;
                    layers[layer.id] = layer;
                    current = layer.id;
                    open.push_back(layer.id);
                } else {
                    open.push_back(QString());
                }
            } else if (!current.isEmpty() && xml.name() == QLatin1String("path")) {
                layers[current].pathData.push_back(attrs.value(QStringLiteral("d")).toString());
                layers[current].strokes.push_back(attrs.value(QStringLiteral("stroke")).toString());
            } else if (!current.isEmpty() && xml.name() == QLatin1String("text")) {
                ++layers[current].texts;
            } else if (!current.isEmpty() && xml.name() == QLatin1String("use")) {
                ++layers[current].images;
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("g") && !open.empty()) {
            if (!open.back().isEmpty()) current.clear();
            open.pop_back();
        }
    }
    if (error && xml.hasError()) *error = xml.errorString();
    return layers;
}

}  // namespace ex
