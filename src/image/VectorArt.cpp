#include "image/VectorArt.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QPaintEngine>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTransform>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <vector>
#include <limits>
#include <list>
#include <mutex>

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

// A picture embedded as data: kept only when its bytes really are PNG or
// JPEG; anything else (an SVG in particular) would reach a reader unscreened.
bool embeddedRaster(const QString& href) {
    static const QRegularExpression data(QStringLiteral("^data:image/(png|jpeg|jpg);base64,"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = data.match(href);
    if (!m.hasMatch()) return false;
    const QByteArray head =
        QByteArray::fromBase64(href.mid(m.capturedEnd(), 16).toLatin1(), QByteArray::Base64Encoding);
    return head.startsWith("\x89PNG") || head.startsWith("\xFF\xD8\xFF");
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
    if (unit == QLatin1String("mm")) return v;
    if (unit == QLatin1String("cm")) return v * 10;
    if (unit == QLatin1String("in")) return v * 25.4;
    if (unit == QLatin1String("pt")) return v * 25.4 / 72;
    return v * 25.4 / 6;   // pc
}

// A plain number or pixels (at 96 per inch) in millimetres; 0 otherwise.
double pixelMm(const QString& value) {
    static const QRegularExpression length(QStringLiteral("^\\s*([0-9.eE+-]+)\\s*(px)?\\s*$"));
    const QRegularExpressionMatch m = length.match(value);
    if (!m.hasMatch()) return 0;
    bool ok = false;
    const double v = m.captured(1).toDouble(&ok);
    return ok && v > 0 && std::isfinite(v) ? v * 25.4 / 96 : 0;
}

QSizeF viewBoxMm(const QString& value) {
    const QStringList parts =
        value.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    if (parts.size() != 4) return {};
    bool okW = false, okH = false;
    const double w = parts[2].toDouble(&okW), h = parts[3].toDouble(&okH);
    if (!okW || !okH || !(w > 0) || !(h > 0) || !std::isfinite(w) || !std::isfinite(h)) return {};
    return QSizeF(w * 25.4 / 96, h * 25.4 / 96);
}

// The drawing's own size: its width and height where they name a physical
// unit, else its view box at 96 per inch, else plain width and height.
QSizeF naturalSize(const QXmlStreamAttributes& root) {
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
    if (size.isValid() && std::max(size.width(), size.height()) > kMaxVectorArtPlacedMm)
        size.scale(kMaxVectorArtPlacedMm, kMaxVectorArtPlacedMm, Qt::KeepAspectRatio);
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

bool refuse(QString* reason, const QString& text) {
    if (reason) *reason = text;
    return false;
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
    QStringList open;
    while (!in.atEnd()) {
        switch (in.readNext()) {
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
                sizeMm = naturalSize(in.attributes());
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
                if (attr == QLatin1String("href")) {
                    const QString target = value.trimmed();
                    if (!target.startsWith(QLatin1Char('#')) &&
                        !(name == QLatin1String("image") && embeddedRaster(target)))
                        continue;
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
    if (!sizeMm.isValid())
        return refuse(reason, QStringLiteral("Die Zeichnung gibt keine Größe an (weder Breite und Höhe noch viewBox)."));
    return true;
}

std::atomic<std::uint64_t> nextArtId{1};

// Parsed drawings, a few per thread: a renderer is not to be shared between
// threads, and parsing on every pass would cost more than drawing.
QSvgRenderer* rendererOf(const VectorArt& art) {
    struct Parsed {
        std::uint64_t id;
        std::unique_ptr<QSvgRenderer> renderer;
    };
    // Never destroyed: a parsed drawing holds fonts, which must not be
    // released after the application object at the end of the program.
    thread_local std::list<Parsed>& parsed = *new std::list<Parsed>;
    for (auto it = parsed.begin(); it != parsed.end(); ++it) {
        if (it->id != art.id) continue;
        parsed.splice(parsed.begin(), parsed, it);
        return parsed.front().renderer.get();
    }
    muteSvgWarnings();
    auto renderer = std::make_unique<QSvgRenderer>(art.svg);
    if (!renderer->isValid()) return nullptr;
    parsed.push_front({art.id, std::move(renderer)});
    if (parsed.size() > 24) parsed.pop_back();
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

// Renderings kept for raster passes, by drawing, turns and pixel size: the
// editor repaints at one zoom many times, and the sheet's bands each show a
// part of the same rendering (drawing the whole drawing again for every
// band would cost its paths once per band).
constexpr qint64 kKeptBytes = 192LL * 1024 * 1024;
// Pixels: an A4 page at 600 dpi. Larger ones (a zoom far in) are drawn
// straight into the pass, clipped to what it shows.
constexpr qint64 kLargestKept = 36LL * 1000 * 1000;
// Above this many pixels a rendering is made by one thread at a time, so
// that bands drawn side by side do not each make the same one.
constexpr qint64 kLargeRendering = 4LL * 1024 * 1024;
struct Kept {
    std::uint64_t id;
    int turns;
    QSize size;
    QImage image;
};
std::mutex keptLock;
std::list<Kept> kept;
qint64 keptBytes = 0;

QImage findKept(const VectorArt& art, int turns, const QSize& size) {
    const std::lock_guard<std::mutex> lock(keptLock);
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->id != art.id || it->turns != turns || it->size != size) continue;
        kept.splice(kept.begin(), kept, it);
        return kept.front().image;
    }
    return {};
}

// Large renderings under way, by drawing, turns and size: a band that needs
// one waits for it instead of making it a second time; different drawings
// are made side by side.
struct Making {
    std::uint64_t id;
    int turns;
    QSize size;
    bool operator==(const Making& o) const { return id == o.id && turns == o.turns && size == o.size; }
};
std::vector<Making> making;
std::condition_variable made;

QImage keptRendering(const VectorArt& art, int turns, const QSize& size) {
    QImage found = findKept(art, turns, size);
    if (!found.isNull()) return found;
    const Making mine{art.id, turns, size};
    const bool large = qint64(size.width()) * size.height() > kLargeRendering;
    if (large) {
        std::unique_lock<std::mutex> lock(keptLock);
        made.wait(lock, [&] { return std::find(making.begin(), making.end(), mine) == making.end(); });
        for (auto it = kept.begin(); it != kept.end(); ++it)
            if (it->id == art.id && it->turns == turns && it->size == size) return it->image;
        making.push_back(mine);
    }
    // However this ends, others waiting for the same rendering go on.
    struct Done {
        bool active;
        Making key;
        ~Done() {
            if (!active) return;
            {
                const std::lock_guard<std::mutex> lock(keptLock);
                making.erase(std::find(making.begin(), making.end(), key));
            }
            made.notify_all();
        }
    } done{large, mine};
    QSvgRenderer* renderer = rendererOf(art);
    if (!renderer) return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    image.fill(0);
    {
        QPainter p(&image);
        renderTurned(p, QRectF(QPointF(0, 0), QSizeF(size)), *renderer, turns);
    }
    const std::lock_guard<std::mutex> lock(keptLock);
    kept.push_front({art.id, turns, size, image});
    keptBytes += image.sizeInBytes();
    while (keptBytes > kKeptBytes && kept.size() > 1) {
        keptBytes -= kept.back().image.sizeInBytes();
        kept.pop_back();
    }
    return image;
}

}  // namespace

bool isVectorArtFile(const QString& path, const QByteArray& head) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("svg") || suffix == QLatin1String("svgz")) return true;
    QByteArray start = head.left(256).trimmed();
    if (start.startsWith("\xEF\xBB\xBF")) start = start.mid(3).trimmed();
    return start.startsWith("<?xml") || start.startsWith("<svg");
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
    QSvgRenderer* renderer = rendererOf(art);
    if (!renderer) return {};
    QImage image(px, QImage::Format_ARGB32);
    if (image.isNull()) return {};
    image.fill(0);
    {
        QPainter p(&image);
        renderTurned(p, QRectF(QPointF(0, 0), QSizeF(px)), *renderer, quarterTurns);
    }
    return image;
}

void drawVectorArt(QPainter& painter, const QRectF& dest, const VectorArt& art, int quarterTurns) {
    if (!(dest.width() > 0) || !(dest.height() > 0)) return;
    const QPaintEngine* engine = painter.paintEngine();
    const QTransform t = painter.deviceTransform();
    if (engine && engine->type() == QPaintEngine::Raster && t.type() <= QTransform::TxScale && t.m11() > 0 &&
        t.m22() > 0) {
        // The device's own pixels, edges where a filled rectangle of the same
        // size would have them.
        const auto edge = [](qreal v) { return qint64(std::llround(std::clamp<qreal>(v, -1e9, 1e9))); };
        const qint64 x1 = edge(dest.left() * t.m11() + t.dx()), x2 = edge(dest.right() * t.m11() + t.dx());
        const qint64 y1 = edge(dest.top() * t.m22() + t.dy()), y2 = edge(dest.bottom() * t.m22() + t.dy());
        if (x2 <= x1 || y2 <= y1) return;
        QRect reach(-(1 << 30), -(1 << 30), std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
        if (painter.device() && painter.device()->devType() == QInternal::Image)
            reach = static_cast<const QImage*>(painter.device())->rect();
        if (painter.hasClipping()) reach &= t.mapRect(painter.clipBoundingRect()).toAlignedRect();
        if (x2 <= reach.left() || x1 > reach.right() || y2 <= reach.top() || y1 > reach.bottom()) return;
        if ((x2 - x1) * (y2 - y1) <= kLargestKept) {
            const QImage image = keptRendering(art, quarterTurns, QSize(int(x2 - x1), int(y2 - y1)));
            if (image.isNull()) return;
            painter.save();
            // What stays after the reset is the device's own scale (a
            // high-density buffer): the rendering carries the same ratio, so
            // it lands one to one on the device pixels.
            painter.resetTransform();
            const qreal dpr = painter.deviceTransform().m11();
            QImage shown = image;
            shown.setDevicePixelRatio(dpr);
            painter.drawImage(QPointF(x1 / dpr, y1 / dpr), shown);
            painter.restore();
            return;
        }
    }
    QSvgRenderer* renderer = rendererOf(art);
    if (renderer) renderTurned(painter, dest, *renderer, quarterTurns);
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
