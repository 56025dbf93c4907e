#include "image/VectorArt.h"

#include "image/ImageLoader.h"
#include "image/OpaqueGround.h"
#include "image/TiledOutlines.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QHash>
#include <QImageReader>
#include <QStringDecoder>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSvgRenderer>
#include <QThread>
#include <QThreadPool>
#include <QTransform>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <condition_variable>
#include <exception>
#include <functional>
#include <vector>
#include <limits>
#include <list>
#include <mutex>
#include <optional>

namespace {

// Qt SVG reports each feature it skips on the message handler; a drawing
// with many of them would flood the terminal on every pass.
QLoggingCategory::CategoryFilter previousFilter = nullptr;
void quietSvgCategory(QLoggingCategory* category) {
    if (qstrcmp(category->categoryName(), "qt.svg") == 0) {
        category->setEnabled(QtWarningMsg, false);
        category->setEnabled(QtCriticalMsg, false);
        return;
    }
    if (previousFilter) previousFilter(category);
}
void muteSvgWarnings() {
    static std::once_flag once;
    std::call_once(once, [] { previousFilter = QLoggingCategory::installFilter(quietSvgCategory); });
}

bool gzipped(const QByteArray& raw) {
    return raw.size() >= 2 && uchar(raw[0]) == 0x1f && uchar(raw[1]) == 0x8b;
}

// Unpacks within the size limit: a packed file of a few kilobytes may unpack
// to gigabytes.
bool gunzipBounded(const QByteArray& raw, QByteArray& out, QString* reason) {
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.constData()));
    z.avail_in = uInt(raw.size());
    out.clear();
    char chunk[64 * 1024];
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) {
            inflateEnd(&z);
            if (reason) *reason = QStringLiteral("Die gepackte Zeichnung ist beschädigt.");
            return false;
        }
        out.append(chunk, int(sizeof chunk - z.avail_out));
        if (out.size() > kMaxVectorArtBytes) {
            inflateEnd(&z);
            if (reason) *reason = QStringLiteral("Die Zeichnung ist entpackt größer als 16 MB.");
            return false;
        }
        if (status == Z_OK && z.avail_in == 0 && z.avail_out != 0) {
            inflateEnd(&z);
            if (reason) *reason = QStringLiteral("Die gepackte Zeichnung ist unvollständig.");
            return false;
        }
    }
    inflateEnd(&z);
    return true;
}

QString localName(QStringView qualified) {
    const int colon = int(qualified.indexOf(QLatin1Char(':')));
    return (colon < 0 ? qualified : qualified.mid(colon + 1)).toString();
}

// Elements that run code, pull in content from elsewhere or name font files:
// dropped with everything inside them.
bool droppedElement(const QString& name) {
    static const QStringList dropped = {QStringLiteral("script"),        QStringLiteral("foreignObject"),
                                        QStringLiteral("font-face-uri"), QStringLiteral("font-face-src"),
                                        QStringLiteral("handler"),       QStringLiteral("iframe"),
                                        QStringLiteral("audio"),         QStringLiteral("video"),
                                        QStringLiteral("animation"),     QStringLiteral("feImage")};
    return dropped.contains(name);
}

// Style text without its imports and with every url() that leaves the file
// replaced by none; references to the file's own elements stay.
QString withoutOutsideUrls(const QString& css) {
    static const QRegularExpression import(QStringLiteral("@import[^;]*;?"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression url(QStringLiteral("url\\(\\s*(['\"]?)\\s*([^'\")]*)\\1\\s*\\)"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString out = css;
    out.remove(import);
    QString result;
    int last = 0;
    auto it = url.globalMatch(out);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        result += QStringView(out).mid(last, m.capturedStart() - last);
        result += m.captured(2).startsWith(QLatin1Char('#')) ? m.captured(0) : QStringLiteral("none");
        last = int(m.capturedEnd());
    }
    result += QStringView(out).mid(last);
    return result;
}

// A picture embedded as data, in the one form it is passed on in: the
// whole payload decoded, its bytes PNG or JPEG by their own signature
// whatever the media type claims, and written again as a plain data: URI.
// Anything else (an SVG in particular, or a second payload the renderer
// would take instead) would reach a reader unscreened: empty then. *pixels
// is the picture's size from its header, which the renderer decodes in full
// when it parses the drawing.
QString canonicalEmbeddedRaster(const QString& href, qint64* pixels) {
    static const QRegularExpression data(QStringLiteral("^data:image/(png|jpeg|jpg)\\s*;\\s*base64,"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = data.match(href);
    if (!m.hasMatch()) return QString();
    QByteArray payload = href.mid(m.capturedEnd()).toLatin1();
    payload.replace(' ', "").replace('\n', "").replace('\r', "").replace('\t', "");
    const auto decoded = QByteArray::fromBase64Encoding(payload, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return QString();
    const QByteArray& bytes = decoded.decoded;
    QByteArray format;
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        format = "png";
    else if (bytes.startsWith("\xFF\xD8\xFF"))
        format = "jpeg";
    else
        return QString();
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) return QString();
    *pixels = qint64(size.width()) * size.height();
    return QStringLiteral("data:image/") + QLatin1String(format) + QStringLiteral(";base64,") +
           QLatin1String(bytes.toBase64());
}

// A length of the root element in millimetres when it names a physical
// unit; 0 otherwise.
double physicalMm(const QString& value) {
    static const QRegularExpression length(QStringLiteral("^\\s*([0-9.eE+-]+)\\s*(mm|cm|in|pt|pc)\\s*$"));
    const QRegularExpressionMatch m = length.match(value);
    if (!m.hasMatch()) return 0;
    bool ok = false;
    const double v = m.captured(1).toDouble(&ok);
    if (!ok || !(v > 0) || !std::isfinite(v)) return 0;
    const QString unit = m.captured(2);
    double mm = v * 25.4 / 6;   // pc
    if (unit == QLatin1String("mm"))
        mm = v;
    else if (unit == QLatin1String("cm"))
        mm = v * 10;
    else if (unit == QLatin1String("in"))
        mm = v * 25.4;
    else if (unit == QLatin1String("pt"))
        mm = v * 25.4 / 72;
    return mm;   // infinite when the value overflows: naturalSize refuses it
}

// A plain number or pixels (at 96 per inch) in millimetres; 0 otherwise.
double pixelMm(const QString& value) {
    static const QRegularExpression length(QStringLiteral("^\\s*([0-9.eE+-]+)\\s*(px)?\\s*$"));
    const QRegularExpressionMatch m = length.match(value);
    if (!m.hasMatch()) return 0;
    bool ok = false;
    const double v = m.captured(1).toDouble(&ok);
    return ok && v > 0 ? v * (25.4 / 96) : 0;
}

QSizeF viewBoxMm(const QString& value) {
    const QStringList parts =
        value.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    if (parts.size() != 4) return {};
    bool okW = false, okH = false;
    const double w = parts[2].toDouble(&okW), h = parts[3].toDouble(&okH);
    if (!okW || !okH || !(w > 0) || !(h > 0)) return {};
    return QSizeF(w * (25.4 / 96), h * (25.4 / 96));
}

// The drawing's own size: its width and height where they name a physical
// unit, else its view box at 96 per inch, else plain width and height.
// Empty where it names none; *usable false where it names one no object
// can take: beyond every number, or with a side that comes to nothing once
// the drawing is scaled down to be placed.
QSizeF naturalSize(const QXmlStreamAttributes& root, bool* usable) {
    const QString w = root.value(QLatin1String("width")).toString();
    const QString h = root.value(QLatin1String("height")).toString();
    const QSizeF box = viewBoxMm(root.value(QLatin1String("viewBox")).toString());
    QSizeF size;
    if (physicalMm(w) > 0 && physicalMm(h) > 0)
        size = QSizeF(physicalMm(w), physicalMm(h));
    else if (box.isValid())
        size = box;
    else if (pixelMm(w) > 0 && pixelMm(h) > 0)
        size = QSizeF(pixelMm(w), pixelMm(h));
    *usable = true;
    if (!size.isValid()) return size;
    if (!std::isfinite(size.width()) || !std::isfinite(size.height())) {
        *usable = false;
        return {};
    }
    if (std::max(size.width(), size.height()) > kMaxVectorArtPlacedMm)
        size.scale(kMaxVectorArtPlacedMm, kMaxVectorArtPlacedMm, Qt::KeepAspectRatio);
    if (!(std::min(size.width(), size.height()) >= kMinVectorArtPlacedMm)) *usable = false;
    return size;
}

// Numbers in path data or a point list: the rasteriser's work grows with
// the edges a scan line crosses, which a short file can make numerous.
qint64 numbersIn(const QString& data) {
    qint64 count = 0;
    bool inNumber = false;
    for (const QChar c : data) {
        const bool part = c.isDigit() || c == QLatin1Char('.');
        if (part && !inNumber) ++count;
        inNumber = part || ((c == QLatin1Char('e') || c == QLatin1Char('E')) && inNumber);
    }
    return count;
}

// The document as text, for counting its references: XML may come as
// UTF-16, with or without a byte order mark.
QString documentText(const QByteArray& xml) {
    if (auto encoding = QStringConverter::encodingForData(xml)) return QStringDecoder(*encoding).decode(xml);
    if (xml.size() >= 2 && xml[0] == 0) return QStringDecoder(QStringConverter::Utf16BE).decode(xml);
    if (xml.size() >= 2 && xml[1] == 0) return QStringDecoder(QStringConverter::Utf16LE).decode(xml);
    return QString::fromUtf8(xml);
}

bool entityNameChar(QChar c, bool first) {
    if (c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char(':')) return true;
    return !first && (c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('-'));
}

// The characters text comes to with its references to declared entities
// expanded, entities within entities included. The reader bounds each expansion, not
// their number: a short entity named a hundred thousand times is hundreds
// of megabytes. Counting stops once past limit; a chain of entities deeper
// than any drawing needs counts as past it.
qint64 expandedEntityChars(const QString& text, const QXmlStreamEntityDeclarations& declared, qint64 limit) {
    QHash<QString, QString> values;
    for (const QXmlStreamEntityDeclaration& d : declared)
        if (!values.contains(d.name().toString())) values.insert(d.name().toString(), d.value().toString());
    QHash<QString, qint64> expanded;
    std::function<qint64(QStringView, int)> count = [&](QStringView in, int depth) -> qint64 {
        qint64 total = 0;
        for (qsizetype i = 0; i < in.size() && total <= limit; ++i) {
            ++total;
            if (in[i] != QLatin1Char('&') || i + 1 >= in.size() || !entityNameChar(in[i + 1], true)) continue;
            qsizetype end = i + 1;
            while (end < in.size() && entityNameChar(in[end], false)) ++end;
            if (end >= in.size() || in[end] != QLatin1Char(';')) continue;
            const QString name = in.mid(i + 1, end - i - 1).toString();
            i = end;
            const auto value = values.constFind(name);
            // One of the five XML names stays one character, as does a name
            // the reader will report undeclared.
            if (value == values.constEnd()) continue;
            --total;
            auto known = expanded.constFind(name);
            if (known == expanded.constEnd()) {
                // Past the limit while it is being counted: an entity that
                // names itself, however indirectly, never ends.
                expanded.insert(name, limit + 1);
                const qint64 own = depth > 32 ? limit + 1 : count(*value, depth + 1);
                known = expanded.insert(name, own);
            }
            total += *known;
        }
        return std::min(total, limit + 1);
    };
    return count(text, 0);
}

bool refuse(QString* reason, const QString& text) {
    if (reason) *reason = text;
    return false;
}

// Qt's renderer drops a radial gradient that leaves its radius to the
// default, and with it the fill of every shape that uses it; written out,
// the default (half the shape's box) draws as the file means. Where the
// radius may come from another gradient, or is in the drawing's own units,
// the element stays as it is.
void giveRadius(const QXmlStreamAttributes& attributes, QXmlStreamWriter& w) {
    for (const QXmlStreamAttribute& a : attributes) {
        const QString attr = localName(a.qualifiedName());
        if (attr == QLatin1String("r") || attr == QLatin1String("href")) return;
        if (attr == QLatin1String("gradientUnits") && a.value().trimmed() == QLatin1String("userSpaceOnUse")) return;
    }
    w.writeAttribute(QStringLiteral("r"), QStringLiteral("0.5"));
}

bool screen(const QByteArray& xml, QByteArray& out, QSizeF& sizeMm, QString* reason) {
    QXmlStreamReader in(xml);
    in.setNamespaceProcessing(false);
    // A named text may grow to this many characters and no further: a few
    // lines of declarations cannot expand to gigabytes.
    in.setEntityExpansionLimit(4096);
    QXmlStreamWriter w(&out);
    int elements = 0, depth = 0, skipping = 0;
    qint64 pathNumbers = 0;
    bool rootSeen = false;
    qint64 embeddedPixels = 0;
    // The pictures inside are decoded whole when the renderer parses the
    // drawing: together no more pixels, at four bytes each, than one raster
    // picture may take in bytes, so that the drawing and the sheet it is on
    // stay within what one large photo costs.
    const qint64 maxEmbeddedPixels = MaxDecodedImageBytes() / 4;
    const QString tooLarge = QStringLiteral("Die Zeichnung ist mit ihren Textbausteinen (Entitäten) größer als 16 MB.");
    QStringList open;
    while (!in.atEnd()) {
        if (out.size() > kMaxVectorArtBytes) return refuse(reason, tooLarge);
        switch (in.readNext()) {
        case QXmlStreamReader::DTD:
            if (!in.entityDeclarations().isEmpty() &&
                expandedEntityChars(documentText(xml), in.entityDeclarations(), kMaxVectorArtBytes) >
                    kMaxVectorArtBytes)
                return refuse(reason, tooLarge);
            break;
        case QXmlStreamReader::StartDocument:
            w.writeStartDocument();
            break;
        case QXmlStreamReader::StartElement: {
            if (++elements > kMaxVectorArtElements)
                return refuse(reason, QStringLiteral("Die Zeichnung hat mehr als %1 Elemente.")
                                          .arg(kMaxVectorArtElements));
            if (++depth > kMaxVectorArtDepth)
                return refuse(reason, QStringLiteral("Die Zeichnung ist tiefer als %1 Ebenen verschachtelt.")
                                          .arg(kMaxVectorArtDepth));
            const QString name = localName(in.qualifiedName());
            if (!rootSeen) {
                rootSeen = true;
                if (name != QLatin1String("svg"))
                    return refuse(reason, QStringLiteral("Die Datei ist keine SVG-Zeichnung."));
                bool usable = true;
                sizeMm = naturalSize(in.attributes(), &usable);
                if (!usable) return refuse(reason, QStringLiteral("Die Zeichnung hat keine brauchbare Größe."));
            }
            if (skipping > 0 || droppedElement(name)) {
                ++skipping;
                break;
            }
            open << name;
            w.writeStartElement(in.qualifiedName().toString());
            for (const QXmlStreamAttribute& a : in.attributes()) {
                const QString attr = localName(a.qualifiedName());
                QString value = a.value().toString();
                if (attr == QLatin1String("href") && name == QLatin1String("image")) {
                    // Qt opens any other target, "#name" too, as a file.
                    qint64 pixels = 0;
                    value = canonicalEmbeddedRaster(value.trimmed(), &pixels);
                    if (value.isEmpty()) continue;
                    embeddedPixels += pixels;
                    if (embeddedPixels > maxEmbeddedPixels)
                        return refuse(reason, QStringLiteral("Die Bilder in der Zeichnung haben zusammen mehr als "
                                                             "%1 Millionen Bildpunkte.")
                                                  .arg(maxEmbeddedPixels / 1000000));
                } else if (attr == QLatin1String("href")) {
                    if (!value.trimmed().startsWith(QLatin1Char('#'))) continue;
                } else if (attr == QLatin1String("base") || attr == QLatin1String("src")) {
                    continue;
                }
                if (attr == QLatin1String("d") || attr == QLatin1String("points")) {
                    pathNumbers += numbersIn(value);
                    if (pathNumbers > kMaxVectorArtPathNumbers)
                        return refuse(reason, QStringLiteral("Die Zeichnung hat mehr als %1 Koordinaten in ihren Pfaden.")
                                                  .arg(kMaxVectorArtPathNumbers));
                }
                if (value.contains(QLatin1String("url("), Qt::CaseInsensitive) ||
                    value.contains(QLatin1String("@import"), Qt::CaseInsensitive))
                    value = withoutOutsideUrls(value);
                w.writeAttribute(a.qualifiedName().toString(), value);
            }
            if (name == QLatin1String("radialGradient")) giveRadius(in.attributes(), w);
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            if (skipping > 0) {
                --skipping;
                break;
            }
            open.removeLast();
            w.writeEndElement();
            break;
        case QXmlStreamReader::Characters:
            if (skipping > 0 || open.isEmpty()) break;
            if (open.last() == QLatin1String("style"))
                w.writeCharacters(withoutOutsideUrls(in.text().toString()));
            else
                w.writeCharacters(in.text().toString());
            break;
        default:
            // DTD, comments, processing instructions (style sheets) and
            // entities that name other files: left out.
            break;
        }
    }
    if (in.hasError()) {
        if (in.errorString().contains(QLatin1String("ntity")))
            return refuse(reason, QStringLiteral("Die Zeichnung enthält unzulässige oder zu große Textbausteine "
                                                 "(Entitäten, Zeile %1).")
                                      .arg(in.lineNumber()));
        if (xml.trimmed().isEmpty()) return refuse(reason, QStringLiteral("Die Datei ist leer."));
        if (!rootSeen) return refuse(reason, QStringLiteral("Die Datei ist keine SVG-Zeichnung."));
        return refuse(reason, QStringLiteral("Die Zeichnung ist fehlerhaft (XML-Fehler in Zeile %1).")
                                  .arg(in.lineNumber()));
    }
    if (!rootSeen) return refuse(reason, QStringLiteral("Die Datei ist keine SVG-Zeichnung."));
    w.writeEndDocument();
    if (out.size() > kMaxVectorArtBytes) return refuse(reason, tooLarge);
    if (!sizeMm.isValid())
        return refuse(reason, QStringLiteral("Die Zeichnung gibt keine Größe an (weder Breite und Höhe noch viewBox)."));
    return true;
}

std::atomic<std::uint64_t> nextArtId{1};
std::atomic<int> liveRenderers{0};

// Parsed drawings, a few per thread: a renderer is not to be shared between
// threads, and parsing on every pass would cost more than drawing.
QSvgRenderer* rendererOf(const VectorArt& art) {
    struct Parsed {
        std::uint64_t id;
        std::unique_ptr<QSvgRenderer> renderer;
    };
    // A thread that ends while the program runs (a pool thread idle for a
    // while) gives its parsed drawings back. The main thread's, and those of
    // threads that end with the program, are never destroyed: a parsed
    // drawing holds fonts, which must not be released after the
    // application object.
    struct ThreadParsed {
        std::list<Parsed>* list = new std::list<Parsed>;
        ~ThreadParsed() {
            const QCoreApplication* app = QCoreApplication::instance();
            if (!app || QCoreApplication::closingDown() || QThread::currentThread() == app->thread()) return;
            liveRenderers -= int(list->size());
            delete list;
        }
    };
    thread_local ThreadParsed threadParsed;
    std::list<Parsed>& parsed = *threadParsed.list;
    for (auto it = parsed.begin(); it != parsed.end(); ++it) {
        if (it->id != art.id) continue;
        parsed.splice(parsed.begin(), parsed, it);
        return parsed.front().renderer.get();
    }
    muteSvgWarnings();
    auto renderer = std::make_unique<QSvgRenderer>(art.svg);
    if (!renderer->isValid()) return nullptr;
    parsed.push_front({art.id, std::move(renderer)});
    ++liveRenderers;
    if (parsed.size() > 24) {
        parsed.pop_back();
        --liveRenderers;
    }
    return parsed.front().renderer.get();
}

// The transform that puts the upright drawing, of size *upright, into dest
// turned by quarter turns clockwise.
QTransform turnedInto(const QRectF& dest, int turns, QSizeF* upright) {
    turns &= 3;
    QTransform t;
    switch (turns) {
    case 1: t.translate(dest.right(), dest.top()); break;
    case 2: t.translate(dest.right(), dest.bottom()); break;
    case 3: t.translate(dest.left(), dest.bottom()); break;
    default: t.translate(dest.left(), dest.top()); break;
    }
    t.rotate(90.0 * turns);
    *upright = turns % 2 ? QSizeF(dest.height(), dest.width()) : dest.size();
    return t;
}

void renderTurned(QPainter& p, const QRectF& dest, QSvgRenderer& renderer, int turns) {
    QSizeF upright;
    const QTransform t = turnedInto(dest, turns, &upright);
    p.save();
    p.setClipRect(dest, Qt::IntersectClip);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setTransform(t, true);
    renderer.render(&p, QRectF(QPointF(0, 0), upright));
    p.restore();
}

// Renderings kept for raster passes, by drawing, turns, pixel size and
// strip: the editor repaints at one zoom many times, and the sheet's bands
// each show a part of the same rendering. A large rendering is made in
// strips of kStripRows rows, each when a band first needs it: bands on
// different threads make different strips side by side instead of one
// waiting for another's whole rendering, rows that no band shows are never
// drawn, and repeated objects of the same size share the strips. The bytes
// hold the strips a 4K screen shows of a drawing 10000 pixels wide; a sheet
// passes its strips through far more, and each one kept beyond what its
// bands need is memory faulted in afresh.
constexpr qint64 kKeptBytes = 96LL * 1024 * 1024;
// Pixels: an A4 page at 600 dpi. Larger ones (a zoom far in) are drawn
// straight into the pass, clipped to what it shows.
constexpr qint64 kLargestKept = 36LL * 1000 * 1000;
constexpr int kStripRows = 256;
// From this many pixels on, a strip is drawn on a thread of Qt's own pool
// (see onDrawingThread); smaller ones cost less than the hand-over.
constexpr qint64 kPooledPixels = 256LL * 256;

// A strip's pixels that later drawings cover: at most this many parts, the
// largest; whatever is left out is drawn as though nothing covered it.
constexpr size_t kMostHiddenParts = 16;

struct StripKey {
    std::uint64_t id;
    int turns;
    QSize size;
    int strip;
    std::vector<QRect> hidden;   // in the strip's pixels; left transparent
    // The strip's pixels from its top-left corner that are drawn: without
    // the columns on the right and the rows at the bottom that are hidden.
    QSize drawn;
    bool operator==(const StripKey& o) const {
        return id == o.id && turns == o.turns && size == o.size && strip == o.strip && hidden == o.hidden &&
               drawn == o.drawn;
    }
};
struct Kept {
    StripKey key;
    QImage image;
};
std::mutex keptLock;
std::list<Kept> kept;
qint64 keptBytes = 0;
// Strips under way: a band that needs one waits for it instead of making
// it a second time.
std::vector<StripKey> making;
std::condition_variable made;

// Called with keptLock held.
const QImage* findKeptLocked(const StripKey& key) {
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (!(it->key == key)) continue;
        kept.splice(kept.begin(), kept, it);
        return &kept.front().image;
    }
    return nullptr;
}

int stripCount(const QSize& size) { return (size.height() + kStripRows - 1) / kStripRows; }

// The memory of strips no longer kept, for new strips of the same size: a
// sheet at 600 dpi passes through several times the kept bytes in strips,
// and pages fresh from the system cost more to fault in than the strip
// costs to fill.
constexpr qint64 kSpareBytes = 32LL * 1024 * 1024;
struct SpareStrips {
    std::mutex lock;
    std::vector<std::pair<qsizetype, uchar*>> buffers;
    qsizetype bytes = 0;
};
// Never destroyed: the last kept strip may go after static destruction.
SpareStrips& spareStrips() {
    static SpareStrips* spare = new SpareStrips;
    return *spare;
}

void releaseStripBuffer(void* info) {
    auto* buffer = static_cast<qsizetype*>(info);   // its size, then the pixels
    SpareStrips& spare = spareStrips();
    {
        const std::lock_guard<std::mutex> lock(spare.lock);
        if (spare.bytes + *buffer <= kSpareBytes) {
            spare.buffers.emplace_back(*buffer, reinterpret_cast<uchar*>(buffer));
            spare.bytes += *buffer;
            return;
        }
    }
    std::free(buffer);
}

// A transparent ARGB32_Premultiplied image of size, in spare memory where
// some of that size is left.
QImage stripImage(const QSize& size) {
    const qsizetype bytes = qsizetype(size.width()) * size.height() * 4;
    uchar* buffer = nullptr;
    {
        SpareStrips& spare = spareStrips();
        const std::lock_guard<std::mutex> lock(spare.lock);
        for (auto it = spare.buffers.begin(); it != spare.buffers.end(); ++it) {
            if (it->first != bytes) continue;
            buffer = it->second;
            spare.bytes -= bytes;
            spare.buffers.erase(it);
            break;
        }
    }
    // The size leads the buffer, padded to keep the pixels 16-byte aligned.
    constexpr qsizetype kLead = 16;
    if (!buffer) {
        buffer = static_cast<uchar*>(std::malloc(size_t(kLead + bytes)));
        if (!buffer) return {};
        *reinterpret_cast<qsizetype*>(buffer) = bytes;
    }
    QImage image(buffer + kLead, size.width(), size.height(), size.width() * 4,
                 QImage::Format_ARGB32_Premultiplied, releaseStripBuffer, buffer);
    image.fill(0);
    return image;
}

// Rows [strip * kStripRows, ...) of the drawing rendered at size, on a
// transparent ground.
QImage renderStrip(const VectorArt& art, const StripKey& key) {
    QSvgRenderer* renderer = rendererOf(art);
    if (!renderer) return {};
    const int top = key.strip * kStripRows;
    // Cut on the right and at the bottom only: the drawing keeps its place
    // on the strip's pixels, and so each pixel its value.
    QImage image = stripImage(key.drawn);
    if (image.isNull()) return {};
    QPainter target(&image);
    QRegion visible;
    if (!key.hidden.empty()) {
        visible = QRegion(image.rect());
        for (const QRect& r : key.hidden) visible -= r;
    }
    TiledOutlineDevice device(target, visible);
    QPainter p(&device);
    p.translate(0, -top);
    renderTurned(p, QRectF(QPointF(0, 0), QSizeF(key.size)), *renderer, key.turns);
    return image;
}

// make(), on a thread of Qt's pool where the rendering has enough pixels
// for Qt to split its fills (see kPooledPixels).
QImage renderPooled(qint64 pixels, const std::function<QImage()>& make) {
    if (pixels < kPooledPixels) return make();
    QImage image;
    onDrawingThread([&] { image = make(); });
    return image;
}

// The strip, kept or made now. A strip another thread is making is waited
// for when mayWait, else *busy is set and nothing returned.
QImage takeStrip(const VectorArt& art, const StripKey& key, bool mayWait, bool* busy) {
    {
        std::unique_lock<std::mutex> lock(keptLock);
        if (const QImage* found = findKeptLocked(key)) return *found;
        if (std::find(making.begin(), making.end(), key) != making.end()) {
            if (!mayWait) {
                *busy = true;
                return {};
            }
            made.wait(lock, [&] { return std::find(making.begin(), making.end(), key) == making.end(); });
            if (const QImage* found = findKeptLocked(key)) return *found;
        }
        making.push_back(key);
    }
    // However this ends, others waiting for the same strip go on.
    struct Done {
        StripKey key;
        ~Done() {
            {
                const std::lock_guard<std::mutex> lock(keptLock);
                making.erase(std::find(making.begin(), making.end(), key));
            }
            made.notify_all();
        }
    } done{key};
    const qint64 pixels = qint64(key.drawn.width()) * key.drawn.height();
    const QImage image = renderPooled(pixels, [&] { return renderStrip(art, key); });
    if (image.isNull()) return image;
    const std::lock_guard<std::mutex> lock(keptLock);
    kept.push_front({key, image});
    keptBytes += image.sizeInBytes();
    while (keptBytes > kKeptBytes && kept.size() > 1) {
        keptBytes -= kept.back().image.sizeInBytes();
        kept.pop_back();
    }
    return image;
}

// The parts of hidden (in the drawing's pixels) within the strip, in the
// strip's pixels, the largest first; *whole set where they cover it all,
// *drawn the size the strip needs to hold what they leave.
std::vector<QRect> hiddenInStrip(const std::vector<QRect>& hidden, const QSize& size, int strip, bool* whole,
                                 QSize* drawn) {
    const QRect rows(0, strip * kStripRows, size.width(), std::min(kStripRows, size.height() - strip * kStripRows));
    std::vector<QRect> parts;
    QRegion left(rows);
    for (const QRect& r : hidden) {
        const QRect part = r & rows;
        if (part.isEmpty()) continue;
        parts.push_back(part.translated(0, -rows.top()));
        left -= part;
    }
    *whole = !parts.empty() && left.isEmpty();
    const QRect shown = left.boundingRect();
    *drawn = QSize(shown.right() + 1, shown.bottom() + 1 - rows.top());
    std::stable_sort(parts.begin(), parts.end(), [](const QRect& a, const QRect& b) {
        return qint64(a.width()) * a.height() > qint64(b.width()) * b.height();
    });
    if (parts.size() > kMostHiddenParts) parts.resize(kMostHiddenParts);
    return parts;
}

// Draws the strips of the drawing at size whose rows meet [firstRow,
// lastRow] with their top-left pixel at device pixel `corner`, less the
// pixels hidden (in the drawing's pixels); the painter maps device pixels
// one to one (its transform reset) apart from dpr.
void drawStrips(QPainter& painter, const VectorArt& art, int turns, const QSize& size, QPoint corner,
                int firstRow, int lastRow, qreal dpr, const std::vector<QRect>& hidden) {
    const int first = std::max(0, firstRow / kStripRows);
    const int last = std::min(stripCount(size) - 1, lastRow / kStripRows);
    const auto draw = [&](int strip, QImage image) {
        if (image.isNull()) return;
        image.setDevicePixelRatio(dpr);
        painter.drawImage(QPointF(corner.x() / dpr, (corner.y() + strip * kStripRows) / dpr), image);
    };
    // Strips that others are making come last, so that this thread makes
    // the rest meanwhile; strips cover disjoint rows, so their order does
    // not show.
    std::vector<StripKey> others;
    for (int strip = first; strip <= last; ++strip) {
        bool whole = false;
        StripKey key{art.id, turns, size, strip};
        key.hidden = hiddenInStrip(hidden, size, strip, &whole, &key.drawn);
        if (whole) continue;
        bool busy = false;
        const QImage image = takeStrip(art, key, false, &busy);
        if (busy)
            others.push_back(std::move(key));
        else
            draw(strip, image);
    }
    for (const StripKey& key : others) draw(key.strip, takeStrip(art, key, true, nullptr));
}

// Where a drawing lands on a raster device that only scales: in kept
// strips, its edges on the device pixels; else drawn straight in.
struct RasterPlace {
    bool strips = false;
    qint64 x1 = 0, y1 = 0, x2 = 0, y2 = 0;   // device pixels, when in strips
};

std::optional<RasterPlace> rasterPlace(const QPainter& painter, const QRectF& dest) {
    const QPaintEngine* engine = painter.paintEngine();
    const QTransform t = painter.deviceTransform();
    if (!engine || engine->type() != QPaintEngine::Raster || t.type() > QTransform::TxScale || t.m11() <= 0 ||
        t.m22() <= 0)
        return std::nullopt;
    // The device's own pixels, edges where a filled rectangle of the same
    // size would have them.
    const auto edge = [](qreal v) { return qint64(std::llround(std::clamp<qreal>(v, -1e9, 1e9))); };
    RasterPlace place;
    place.x1 = edge(dest.left() * t.m11() + t.dx());
    place.x2 = edge(dest.right() * t.m11() + t.dx());
    place.y1 = edge(dest.top() * t.m22() + t.dy());
    place.y2 = edge(dest.bottom() * t.m22() + t.dy());
    place.strips = place.x2 > place.x1 && place.y2 > place.y1 &&
                   (place.x2 - place.x1) * (place.y2 - place.y1) <= kLargestKept;
    return place;
}

// The upright fractions f after quarter turns clockwise.
QRectF turnedFractions(QRectF f, int turns) {
    for (int i = 0; i < (turns & 3); ++i) f = QRectF(1 - f.bottom(), f.left(), f.height(), f.width());
    return f;
}

}  // namespace

namespace {

// Whether text starts, after white space, comments and processing
// instructions, with markup: a declaration, a document type or an element.
bool startsAsMarkup(QByteArray text) {
    if (text.startsWith("\xEF\xBB\xBF")) text = text.mid(3);
    qsizetype at = 0;
    for (;;) {
        while (at < text.size() && std::isspace(uchar(text[at]))) ++at;
        const QByteArrayView rest = QByteArrayView(text).sliced(at);
        if (rest.startsWith("<!--")) {
            const qsizetype end = text.indexOf("-->", at + 4);
            if (end < 0) return true;   // a comment longer than what we see
            at = end + 3;
        } else if (rest.startsWith("<?") && !rest.startsWith("<?xml")) {
            const qsizetype end = text.indexOf("?>", at + 2);
            if (end < 0) return true;
            at = end + 2;
        } else {
            return rest.startsWith("<?xml") || rest.startsWith("<!DOCTYPE") ||
                   (rest.size() > 1 && rest[0] == '<' && (std::isalpha(uchar(rest[1])) || rest[1] == '_'));
        }
    }
}

}  // namespace

bool isVectorArtContent(const QByteArray& head) {
    if (gzipped(head) || startsAsMarkup(head)) return true;
    // UTF-16 text, or whatever else Qt's own SVG reader would take.
    QByteArray copy = head;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader::imageFormat(&buffer).startsWith("svg");
}

bool isVectorArtFile(const QString& path, const QByteArray& head) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("svg") || suffix == QLatin1String("svgz")) return true;
    return isVectorArtContent(head);
}

std::shared_ptr<const VectorArt> screenVectorArt(const QByteArray& raw, QString* reason) {
    if (raw.trimmed().isEmpty()) {
        refuse(reason, QStringLiteral("Die Datei ist leer."));
        return nullptr;
    }
    if (raw.size() > kMaxVectorArtBytes) {
        refuse(reason, QStringLiteral("Die Zeichnung ist größer als 16 MB."));
        return nullptr;
    }
    QByteArray xml;
    if (gzipped(raw)) {
        if (!gunzipBounded(raw, xml, reason)) return nullptr;
    } else {
        xml = raw;
    }
    auto art = std::make_shared<VectorArt>();
    if (!screen(xml, art->svg, art->sizeMm, reason)) return nullptr;
    art->id = nextArtId++;
    art->ground = opaqueGround(art->svg);
    if (!rendererOf(*art)) {
        refuse(reason, QStringLiteral("Die Zeichnung kann nicht dargestellt werden."));
        return nullptr;
    }
    return art;
}

QSizeF vectorArtSizeMm(const VectorArt& art, int quarterTurns) {
    return quarterTurns % 2 ? art.sizeMm.transposed() : art.sizeMm;
}

QImage rasterOfVectorArt(const VectorArt& art, int quarterTurns, int longestSide) {
    QSizeF size = vectorArtSizeMm(art, quarterTurns);
    if (!size.isValid() || longestSide <= 0) return {};
    size.scale(longestSide, longestSide, Qt::KeepAspectRatio);
    const QSize px(std::max(1, qRound(size.width())), std::max(1, qRound(size.height())));
    return renderPooled(qint64(px.width()) * px.height(), [&]() -> QImage {
        QSvgRenderer* renderer = rendererOf(art);
        if (!renderer) return {};
        // Drawn premultiplied, as the raster engine blends natively (on
        // plain ARGB32 every span is converted there and back), then
        // handed out as plain ARGB32 as pictures are.
        QImage image(px, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) return {};
        image.fill(0);
        QPainter target(&image);
        TiledOutlineDevice device(target);
        QPainter p(&device);
        renderTurned(p, QRectF(QPointF(0, 0), QSizeF(px)), *renderer, quarterTurns);
        p.end();
        target.end();
        image.convertTo(QImage::Format_ARGB32);
        return image;
    });
}

void drawVectorArt(QPainter& painter, const QRectF& dest, const VectorArt& art, int quarterTurns,
                   const std::vector<QRect>& hidden) {
    if (!(dest.width() > 0) || !(dest.height() > 0)) return;
    const std::optional<RasterPlace> place = rasterPlace(painter, dest);
    if (place) {
        const qint64 x1 = place->x1, x2 = place->x2, y1 = place->y1, y2 = place->y2;
        if (x2 <= x1 || y2 <= y1) return;
        const QTransform t = painter.deviceTransform();
        QRect reach(-(1 << 30), -(1 << 30), std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
        if (painter.device() && painter.device()->devType() == QInternal::Image)
            reach = static_cast<const QImage*>(painter.device())->rect();
        if (painter.hasClipping()) reach &= t.mapRect(painter.clipBoundingRect()).toAlignedRect();
        if (x2 <= reach.left() || x1 > reach.right() || y2 <= reach.top() || y1 > reach.bottom()) return;
        if (place->strips) {
            const QSize size(int(x2 - x1), int(y2 - y1));
            const int firstRow = int(std::max<qint64>(reach.top(), y1) - y1);
            const int lastRow = int(std::min<qint64>(qint64(reach.bottom()), y2 - 1) - y1);
            std::vector<QRect> inDrawing;
            for (const QRect& r : hidden) {
                const QRect part = r.translated(-int(x1), -int(y1)) & QRect(QPoint(0, 0), size);
                if (!part.isEmpty()) inDrawing.push_back(part);
            }
            painter.save();
            // What stays after the reset is the device's own scale (a
            // high-density buffer): the renderings carry the same ratio, so
            // they land one to one on the device pixels.
            painter.resetTransform();
            drawStrips(painter, art, quarterTurns, size, QPoint(int(x1), int(y1)), firstRow, lastRow,
                       painter.deviceTransform().m11(), inDrawing);
            painter.restore();
            return;
        }
    }
    QSvgRenderer* renderer = rendererOf(art);
    if (renderer) renderTurned(painter, dest, *renderer, quarterTurns);
}

std::vector<QRect> vectorArtCover(const QPainter& painter, const QRectF& dest, const VectorArt& art, int quarterTurns) {
    std::vector<QRect> cover;
    if (art.ground.empty() || !(dest.width() > 0) || !(dest.height() > 0)) return cover;
    const std::optional<RasterPlace> place = rasterPlace(painter, dest);
    if (!place) return cover;
    // The edges the drawing is stretched between on the device.
    qreal left = place->x1, right = place->x2, top = place->y1, bottom = place->y2;
    if (!place->strips) {
        const QRectF exact = painter.deviceTransform().mapRect(dest);
        left = exact.left(), right = exact.right(), top = exact.top(), bottom = exact.bottom();
    }
    constexpr qreal kFar = 1e9;
    for (const QRectF& part : art.ground) {
        const QRectF f = turnedFractions(part, quarterTurns);
        // Only pixels wholly inside, and a pixel more in from each edge: the
        // coverage of an edge pixel rests on rounding.
        const qreal l = std::ceil(left + f.left() * (right - left)) + 1;
        const qreal r = std::floor(left + f.right() * (right - left)) - 1;
        const qreal t = std::ceil(top + f.top() * (bottom - top)) + 1;
        const qreal b = std::floor(top + f.bottom() * (bottom - top)) - 1;
        if (!(r > l) || !(b > t) || std::abs(l) > kFar || std::abs(r) > kFar || std::abs(t) > kFar || std::abs(b) > kFar)
            continue;
        cover.push_back(QRect(QPoint(int(l), int(t)), QPoint(int(r) - 1, int(b) - 1)));
    }
    return cover;
}

void clearVectorArtRenderings() {
    const std::lock_guard<std::mutex> lock(keptLock);
    kept.clear();
    keptBytes = 0;
}

qint64 keptVectorArtBytes() {
    const std::lock_guard<std::mutex> lock(keptLock);
    return keptBytes;
}

int parsedVectorArtCount() { return liveRenderers; }

void onDrawingThread(const std::function<void()>& work) {
    QThreadPool* pool = QThreadPool::globalInstance();
    if (!pool || pool->contains(QThread::currentThread())) return work();
    std::exception_ptr fault;
    QSemaphore done;
    pool->start([&] {
        try {
            work();
        } catch (...) {
            fault = std::current_exception();
        }
        done.release();
    });
    done.acquire();
    if (fault) std::rethrow_exception(fault);
}
