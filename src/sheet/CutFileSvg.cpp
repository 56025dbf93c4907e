// The cut file as SVG: one layer group each for cut lines, fold lines and
// registration marks, in millimetres on the paper.

#include "sheet/CutSheet.h"

#include "base/ErrnoText.h"
#include "base/SaveFile.h"

#include <QXmlStreamWriter>

namespace {

QString num(double v) { return QString::number(v, 'f', 4); }

QString pathData(const QPolygonF& poly) {
    QString d;
    for (int i = 0; i < poly.size(); ++i)
        d += (i == 0 ? QStringLiteral("M ") : QStringLiteral(" L ")) + num(poly[i].x()) + QLatin1Char(' ') +
             num(poly[i].y());
    return d + QStringLiteral(" Z");
}

void beginLayer(QXmlStreamWriter& xml, const QString& id, const QString& label) {
    xml.writeStartElement(QStringLiteral("g"));
    xml.writeAttribute(QStringLiteral("id"), id);
    xml.writeAttribute(QStringLiteral("inkscape:groupmode"), QStringLiteral("layer"));
    xml.writeAttribute(QStringLiteral("inkscape:label"), label);
}

// stopped: set when sheet.progress stopped the file.
bool writeSvg(const CutSheet& sheet, QIODevice& file, bool& stopped) {
    int written = 0;
    auto next = [&] {
        stopped = !cutShapeWritten(sheet, ++written);
        return !stopped;
    };
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("svg"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    xml.writeNamespace(QStringLiteral("http://www.inkscape.org/namespaces/inkscape"), QStringLiteral("inkscape"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    // The user unit is the millimetre, so every coordinate below is in mm.
    xml.writeAttribute(QStringLiteral("width"), num(sheet.paperMm.width()) + QStringLiteral("mm"));
    xml.writeAttribute(QStringLiteral("height"), num(sheet.paperMm.height()) + QStringLiteral("mm"));
    xml.writeAttribute(QStringLiteral("viewBox"), QStringLiteral("0 0 %1 %2").arg(num(sheet.paperMm.width()),
                                                                                 num(sheet.paperMm.height())));
    xml.writeTextElement(QStringLiteral("title"), QStringLiteral("Schnittdatei"));

    // Marks lowest, cut lines on top: the order cutter software expects to
    // find the outline it cuts.
    beginLayer(xml, QStringLiteral("passermarken"), cutlayer::SvgMarks);
    for (const QPolygonF& m : sheet.marks) {
        xml.writeEmptyElement(QStringLiteral("path"));
        xml.writeAttribute(QStringLiteral("d"), pathData(m));
        xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("#000000"));
        xml.writeAttribute(QStringLiteral("stroke"), QStringLiteral("none"));
        if (!next()) return false;
    }
    xml.writeEndElement();

    beginLayer(xml, QStringLiteral("falzlinien"), cutlayer::SvgFold);
    for (const QLineF& f : sheet.folds) {
        xml.writeEmptyElement(QStringLiteral("line"));
        xml.writeAttribute(QStringLiteral("x1"), num(f.x1()));
        xml.writeAttribute(QStringLiteral("y1"), num(f.y1()));
        xml.writeAttribute(QStringLiteral("x2"), num(f.x2()));
        xml.writeAttribute(QStringLiteral("y2"), num(f.y2()));
        xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
        xml.writeAttribute(QStringLiteral("stroke"), QStringLiteral("#00FFFF"));
        xml.writeAttribute(QStringLiteral("stroke-width"), QStringLiteral("0.0882"));
        xml.writeAttribute(QStringLiteral("stroke-dasharray"), QStringLiteral("3 1.5"));
        if (!next()) return false;
    }
    xml.writeEndElement();

    beginLayer(xml, QStringLiteral("schnittlinien"), cutlayer::SvgCut);
    for (const QPolygonF& c : sheet.cuts) {
        xml.writeEmptyElement(QStringLiteral("path"));
        xml.writeAttribute(QStringLiteral("d"), pathData(c));
        xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
        xml.writeAttribute(QStringLiteral("stroke"), QStringLiteral("#FF00FF"));
        // 0.25 pt: the hairline cutter software treats as a cut.
        xml.writeAttribute(QStringLiteral("stroke-width"), QStringLiteral("0.0882"));
        if (!next()) return false;
    }
    // Slits are cut like the outline but stay open.
    for (const QLineF& s : sheet.slits) {
        xml.writeEmptyElement(QStringLiteral("path"));
        xml.writeAttribute(QStringLiteral("d"), QStringLiteral("M %1 %2 L %3 %4").arg(num(s.x1()), num(s.y1()),
                                                                                    num(s.x2()), num(s.y2())));
        xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
        xml.writeAttribute(QStringLiteral("stroke"), QStringLiteral("#FF00FF"));
        xml.writeAttribute(QStringLiteral("stroke-width"), QStringLiteral("0.0882"));
        if (!next()) return false;
    }
    xml.writeEndElement();

    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError();
}

}  // namespace

bool writeCutSvg(const CutSheet& sheet, const QString& path, QString* error) {
    bool stopped = false;
    const SaveResult saved = saveFile(path, [&](QIODevice& out) { return writeSvg(sheet, out, stopped); });
    if (!saved && error) *error = stopped ? stoppedText() : fileReasonLine(path, saved.reason);
    return saved.ok;
}
