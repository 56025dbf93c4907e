// faltarillon-cli info DATEI.box: the document as JSON, fields in file order.

#include "box/FaceGeometry.h"
#include "box/FoldingModel.h"
#include "cli/BoxSizeOption.h"
#include "cli/CliCommand.h"
#include "cli/CliPrompter.h"
#include "model/BoxFile.h"
#include "model/BoxSize.h"
#include "model/SeriesFields.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace {

// Writes JSON with the keys in the order given (QJsonObject would sort them).
class JsonWriter {
public:
    explicit JsonWriter(QTextStream& out) : m_out(out) {}

    void begin(const char* key, QChar bracket) {
        this->key(key);
        m_out << bracket;
        m_first = true;
        ++m_depth;
    }
    void end(QChar bracket) {
        --m_depth;
        newline();
        m_out << bracket;
        m_first = false;
    }
    void value(const char* key, const QString& text) {
        this->key(key);
        m_out << quoted(text);
    }
    void value(const char* key, qint64 v) {
        this->key(key);
        m_out << v;
    }
    void value(const char* key, double v) {
        this->key(key);
        m_out << QString::number(v, 'g', QLocale::FloatingPointShortest);
    }
    void value(const char* key, bool v) {
        this->key(key);
        m_out << (v ? "true" : "false");
    }
    void null(const char* key) {
        this->key(key);
        m_out << "null";
    }

private:
    static QString quoted(const QString& text) {
        // QJsonDocument knows the escaping rules; take its output for one string.
        const QByteArray array = QJsonDocument(QJsonArray{QJsonValue(text)}).toJson(QJsonDocument::Compact);
        return QString::fromUtf8(array.mid(1, array.size() - 2));
    }
    void newline() {
        m_out << '\n';
        for (int i = 0; i < m_depth; ++i) m_out << "  ";
    }
    void key(const char* key) {
        if (!m_first) m_out << ',';
        if (m_depth > 0) newline();
        m_first = false;
        if (key) m_out << quoted(QString::fromLatin1(key)) << ": ";
    }

    QTextStream& m_out;
    bool m_first = true;
    int m_depth = 0;
};

QString hex(const std::uint8_t* data, int size) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(data), size).toHex());
}

void writeLayout(JsonWriter& json, const SheetLayout& l) {
    json.begin("layout", QLatin1Char('{'));
    json.value("MarginX", l.MarginX);
    json.value("MarginY", l.MarginY);
    json.value("PitchX", l.PitchX);
    json.value("PitchY", l.PitchY);
    json.value("ItemWidth", l.ItemWidth);
    json.value("ItemHeight", l.ItemHeight);
    json.value("Columns", qint64(l.Columns));
    json.value("Rows", qint64(l.Rows));
    json.value("TypeNameLength", qint64(l.TypeName[0]));
    json.value("TypeName", l.typeNameText());
    json.value("TypeNameBytes", hex(l.TypeName.data() + 1, 21));
    json.value("Reserved", hex(l.Reserved.data(), 34));
    json.end(QLatin1Char('}'));
}

void writePicture(JsonWriter& json, const char* key, const DibHandle& dib) {
    if (dib.isEmpty()) {
        json.null(key);
        return;
    }
    json.begin(key, QLatin1Char('{'));
    json.value("width", qint64(dib.DibWidth()));
    json.value("height", qint64(dib.DibHeight()));
    json.value("bitCount", qint64(dib.DibBitCount()));
    json.end(QLatin1Char('}'));
}

void writeObject(JsonWriter& json, int slot, const Tobs& o) {
    json.begin(nullptr, QLatin1Char('{'));
    json.value("slot", qint64(slot));
    json.value("Left", qint64(o.Left));
    json.value("Top", qint64(o.Top));
    json.value("Width", qint64(o.Width));
    json.value("Height", qint64(o.Height));
    json.value("KeepAspect", qint64(o.KeepAspect));
    json.value("Kind", qint64(o.Kind));
    json.value("Color", qint64(o.Color));
    json.value("Shape", qint64(o.Shape));
    json.value("Alignment", qint64(o.Alignment));
    json.value("BorderOrOutlineColor", qint64(o.BorderOrOutlineColor));
    json.value("FillModeOrShadowColor", qint64(o.FillModeOrShadowColor));
    json.value("Shadow", qint64(o.Shadow));
    json.value("Outline", qint64(o.Outline));
    json.value("ShadowDx", qint64(o.ShadowDx));
    json.value("ShadowDy", qint64(o.ShadowDy));
    json.value("Transparent", qint64(o.Transparent));
    json.value("TransAuto", qint64(o.TransAuto));
    json.value("LineWidthOrTransColor", qint64(o.LineWidthOrTransColor));
    json.value("Rotation", qint64(o.Rotation));
    json.value("Content", o.Content);
    json.value("FontColor", qint64(o.FontColor));
    json.value("FontHeight", qint64(o.FontHeight));
    json.value("FontName", o.FontName);
    json.value("FontPitch", qint64(o.FontPitch));
    json.value("FontSize", qint64(o.FontSize));
    json.value("FontStyle", qint64(o.FontStyle));
    if (o.Kind == Image) writePicture(json, "Picture", o.Picture);
    json.end(QLatin1Char('}'));
}

void writeStyle(JsonWriter& json, const BoxDocument& doc) {
    const BoxForm& f = doc.Form;
    json.begin("style", QLatin1Char('{'));
    json.value("id", boxform::styleId(f.style));
    json.value("name", boxform::styleName(f.style));
    if (f.isCuboid()) {
        json.value("L", f.L);
        json.value("B", f.B);
        json.value("H", f.H);
        json.value("t", f.thickness);
        if (f.hasNotch()) json.value("notch", f.notch);
    }
    json.end(QLatin1Char('}'));
}

void writePoint(JsonWriter& json, double x, double y) {
    json.begin(nullptr, QLatin1Char('['));
    json.value(nullptr, x);
    json.value(nullptr, y);
    json.end(QLatin1Char(']'));
}

// Every panel of the net, so that a script can place artwork on a face:
// its corners in millimetres from the net's top-left corner and in the
// document units that objects' positions use (at a box size of 100 %).
void writePanels(JsonWriter& json, const BoxDocument& doc) {
    const FoldingModel net = FoldingModel::inMillimetres(doc.Layout, NetSource::of(doc, 100));
    const QPointF corner = net.cutOutline().boundingRect().topLeft();
    const NetToUnits units = netToUnits(doc);
    json.begin("panels", QLatin1Char('['));
    for (const FoldPanel& p : net.panels()) {
        json.begin(nullptr, QLatin1Char('{'));
        json.value("name", p.name);
        json.value("role", roleName(p.role));
        json.value("net", qint64(0));
        json.begin("mm", QLatin1Char('['));
        for (const QPointF& c : p.outline) writePoint(json, c.x() - corner.x(), c.y() - corner.y());
        json.end(QLatin1Char(']'));
        json.begin("units", QLatin1Char('['));
        for (const QPointF& c : p.outline) writePoint(json, units.x(c.x()), units.y(c.y()));
        json.end(QLatin1Char(']'));
        json.end(QLatin1Char('}'));
    }
    json.end(QLatin1Char(']'));
}

// The linked data (null without) and the fields the design uses.
void writeSeries(JsonWriter& json, const BoxDocument& doc) {
    if (doc.Series.linked()) {
        json.begin("series", QLatin1Char('{'));
        json.value("path", doc.Series.path);
        json.value("separator", doc.Series.separator == SeriesSeparator::Semicolon ? QStringLiteral("Semikolon")
                                : doc.Series.separator == SeriesSeparator::Tab     ? QStringLiteral("Tabulator")
                                                                                   : QStringLiteral("Komma"));
        json.value("encoding", doc.Series.encoding == SeriesEncoding::Windows1252 ? QStringLiteral("Windows-1252")
                                                                                  : QStringLiteral("UTF-8"));
        json.end(QLatin1Char('}'));
    } else {
        json.null("series");
    }
    json.begin("fields", QLatin1Char('['));
    for (const QString& name : designFieldNames(doc)) json.value(nullptr, name);
    json.end(QLatin1Char(']'));
}

int runInfo(const QCommandLineParser& args, CliContext& ctx) {
    CliPrompter prompter(ctx);
    BoxDocument doc;
    if (!OpenItNow(doc, args.positionalArguments().at(0), prompter)) return CliFailed;
    warnIfNetDoesNotFit(doc, 100, args.positionalArguments().at(0), ctx);

    JsonWriter json(ctx.out);
    json.begin(nullptr, QLatin1Char('{'));
    json.value("file", doc.FileName);
    writeLayout(json, doc.Layout);
    json.value("layoutLine", sheetLayoutLine(doc.Layout, QLocale(QLocale::German, QLocale::Germany)));
    json.value("ExtentWidth", qint64(doc.ExtentWidth));
    json.value("ExtentHeight", qint64(doc.ExtentHeight));
    json.value("Zoom", doc.Zoom);
    json.value("ScreenDivisor", doc.ScreenDivisor);
    const QSize surface = drawingSurfaceSize(doc);
    json.begin("surface", QLatin1Char('{'));
    json.value("width", qint64(surface.width()));
    json.value("height", qint64(surface.height()));
    json.end(QLatin1Char('}'));
    json.value("BackgroundMode", qint64(doc.BackgroundMode));
    json.value("BackgroundFile", doc.BackgroundFile);
    writePicture(json, "BackgroundPicture", doc.BackgroundPicture);
    json.begin("form", QLatin1Char('{'));
    json.value("name", boxform::formName(doc.Form.kind));
    if (doc.Form.isCuboid()) {
        json.value("L", doc.Form.L);
        json.value("B", doc.Form.B);
        json.value("H", doc.Form.H);
    }
    json.end(QLatin1Char('}'));
    writeStyle(json, doc);
    writePanels(json, doc);
    json.begin("chunks", QLatin1Char('['));
    for (const KeptChunk& c : doc.Chunks) {
        json.begin(nullptr, QLatin1Char('{'));
        json.value("tag", QString::fromLatin1(c.tag));
        json.value("length", qint64(c.data.size()));
        json.end(QLatin1Char('}'));
    }
    json.end(QLatin1Char(']'));
    writeSeries(json, doc);
    json.begin("objects", QLatin1Char('['));
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot)
        if (!doc.Objects[slot].isFree()) writeObject(json, slot, doc.Objects[slot]);
    json.end(QLatin1Char(']'));
    json.end(QLatin1Char('}'));
    ctx.out << '\n';
    ctx.out.flush();
    return CliOk;
}

const CliCommandRegistrar registrar(QStringLiteral("info"),
                                    CliCommand{{QStringLiteral("DATEI.box")},
                                               QStringLiteral("zeigt Bogenlayout, Arbeitsfläche, Hintergrund, "
                                                              "Boxform mit den Flächen des Netzes und "
                                                              "alle Objekte als JSON"),
                                               {},
                                               runInfo});

}  // namespace
