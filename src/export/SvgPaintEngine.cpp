#include "export/SvgPaintEngine.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFontMetricsF>
#include <QImageWriter>
#include <QPainter>
#include <QPixmap>
#include <QTextItem>
#include <cmath>

namespace {

const QString kInkscapeNs = QStringLiteral("http://www.inkscape.org/namespaces/inkscape");
const QString kXlinkNs = QStringLiteral("http://www.w3.org/1999/xlink");

// Coordinates to a hundredth of a device pixel: plenty at 600 dpi, and
// short enough that a thousand figures stay a small file.
void appendNumber(QString& s, double v) {
    if (!std::isfinite(v)) v = 0;
    long long hundredths = std::llround(v * 100);
    if (hundredths < 0) {
        s += QLatin1Char('-');
        hundredths = -hundredths;
    }
    s += QString::number(hundredths / 100);
    const int frac = static_cast<int>(hundredths % 100);
    if (frac) {
        s += QLatin1Char('.');
        s += QLatin1Char(char('0' + frac / 10));
        if (frac % 10) s += QLatin1Char(char('0' + frac % 10));
    }
}

QString number(double v) {
    QString s;
    appendNumber(s, v);
    return s;
}

// A subpath that ends where it began is written closed (Z), so a reader
// sees one closed outline rather than a line that happens to meet itself.
QString pathData(const QPainterPath& path) {
    QString d;
    const int n = path.elementCount();
    d.reserve(n * 14);
    int start = 0;
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::MoveToElement) start = i;
        const bool last = i + 1 == n || path.elementAt(i + 1).type == QPainterPath::MoveToElement;
        if (last && e.type == QPainterPath::LineToElement && i - start >= 2) {
            const QPainterPath::Element s = path.elementAt(start);
            if (s.x == e.x && s.y == e.y) {
                d += QLatin1Char('Z');
                continue;
            }
        }
        switch (e.type) {
        case QPainterPath::MoveToElement: d += QLatin1Char('M'); break;
        case QPainterPath::LineToElement: d += QLatin1Char('L'); break;
        case QPainterPath::CurveToElement: d += QLatin1Char('C'); break;
        case QPainterPath::CurveToDataElement: d += QLatin1Char(' '); break;
        }
        appendNumber(d, e.x);
        d += QLatin1Char(' ');
        appendNumber(d, e.y);
    }
    return d;
}

QString colorName(const QColor& c) { return c.name(QColor::HexRgb); }

// Paths of at least this many elements (the glyphs of a text; a figure has
// a few dozen) are kept as shapes of their own and placed by <use>.
constexpr int kSharedShapeElements = 256;

double transformScale(const QTransform& t) { return std::sqrt(std::abs(t.determinant())); }

QString matrixAttribute(const QTransform& t) {
    QString s = QStringLiteral("matrix(");
    for (double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()}) {
        // Scale and rotation need more digits than positions do.
        s += QString::number(v, 'g', 10);
        s += QLatin1Char(' ');
    }
    s[s.size() - 1] = QLatin1Char(')');
    return s;
}

// XML 1.0 has no place for most control characters, for a surrogate
// without its partner nor for U+FFFE and U+FFFF; the writer would refuse the
// whole file for one of them in a text or a font name.
QString xmlSafe(const QString& text) {
    QString s = text;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        if (c < 0x20 && c != u'\t') {
            s[i] = QLatin1Char(' ');
        } else if (QChar::isHighSurrogate(c) && i + 1 < s.size() && QChar::isLowSurrogate(s.at(i + 1).unicode())) {
            ++i;
        } else if (QChar::isSurrogate(c) || c == 0xfffe || c == 0xffff) {
            s[i] = QChar(QChar::ReplacementCharacter);
        }
    }
    return s;
}

}  // namespace

SvgPaintEngine::SvgPaintEngine(QIODevice* out, double widthMm, double heightMm, double viewWidth,
                               double viewHeight)
    : QPaintEngine(QPaintEngine::PaintEngineFeatures(QPaintEngine::AllFeatures) & ~QPaintEngine::PatternBrush &
                   ~QPaintEngine::PerspectiveTransform & ~QPaintEngine::ConicalGradientFill &
                   ~QPaintEngine::PorterDuff & ~QPaintEngine::RasterOpModes),
      m_xml(out), m_widthMm(widthMm), m_heightMm(heightMm), m_viewWidth(viewWidth), m_viewHeight(viewHeight) {}

SvgPaintEngine::~SvgPaintEngine() = default;

bool SvgPaintEngine::begin(QPaintDevice*) {
    m_xml.setAutoFormatting(false);
    m_xml.writeStartDocument();
    m_xml.writeCharacters(QStringLiteral("\n"));
    m_xml.writeStartElement(QStringLiteral("svg"));
    m_xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    m_xml.writeNamespace(kXlinkNs, QStringLiteral("xlink"));
    m_xml.writeNamespace(kInkscapeNs, QStringLiteral("inkscape"));
    m_xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    m_xml.writeAttribute(QStringLiteral("width"), QString::number(m_widthMm, 'g', 10) + QStringLiteral("mm"));
    m_xml.writeAttribute(QStringLiteral("height"), QString::number(m_heightMm, 'g', 10) + QStringLiteral("mm"));
    m_xml.writeAttribute(QStringLiteral("viewBox"), QStringLiteral("0 0 %1 %2")
                                                        .arg(QString::number(m_viewWidth, 'g', 10),
                                                             QString::number(m_viewHeight, 'g', 10)));
    m_xml.writeCharacters(QStringLiteral("\n"));
    if (!m_title.isEmpty()) m_xml.writeTextElement(QStringLiteral("title"), xmlSafe(m_title));
    return true;
}

bool SvgPaintEngine::end() {
    closeClipGroup();
    while (m_layerDepth > 0) endLayer();
    m_xml.writeEndElement();
    m_xml.writeEndDocument();
    return !m_xml.hasError();
}

void SvgPaintEngine::updateState(const QPaintEngineState& state) {
    const DirtyFlags flags = state.state();
    if (flags & DirtyPen) m_pen = state.pen();
    if (flags & DirtyBrush) m_brush = state.brush();
    if (flags & DirtyTransform) m_matrix = state.transform();
    if (flags & DirtyOpacity) m_opacity = state.opacity();
    if (flags & (DirtyClipPath | DirtyClipRegion | DirtyClipEnabled)) {
        QPainter* p = state.painter();
        m_clipOn = p && p->hasClipping();
        // The painter keeps the clip in device space; asking for it in
        // logical coordinates and mapping back gives the combined clip
        // whatever operations built it.
        m_clip = m_clipOn ? p->deviceTransform().map(p->clipPath()) : QPainterPath();
    }
}

void SvgPaintEngine::closeClipGroup() {
    if (!m_clipGroupOpen) return;
    m_xml.writeEndElement();
    m_clipGroupOpen = false;
}

void SvgPaintEngine::prepareClip() {
    if (m_clipGroupOpen && m_clipOn && m_clip == m_openClip) return;
    closeClipGroup();
    if (!m_clipOn) return;
    const QString id = QStringLiteral("clip%1").arg(++m_clipCount);
    m_xml.writeStartElement(QStringLiteral("clipPath"));
    m_xml.writeAttribute(QStringLiteral("id"), id);
    m_xml.writeStartElement(QStringLiteral("path"));
    m_xml.writeAttribute(QStringLiteral("d"), pathData(m_clip));
    if (m_clip.fillRule() == Qt::OddEvenFill) m_xml.writeAttribute(QStringLiteral("clip-rule"), QStringLiteral("evenodd"));
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeStartElement(QStringLiteral("g"));
    m_xml.writeAttribute(QStringLiteral("clip-path"), QStringLiteral("url(#%1)").arg(id));
    m_clipGroupOpen = true;
    m_openClip = m_clip;
}

void SvgPaintEngine::writePathElement(const QPainterPath& devicePath, bool fill, bool stroke) {
    fill = fill && m_brush.style() != Qt::NoBrush && m_brush.color().alpha() > 0;
    stroke = stroke && m_pen.style() != Qt::NoPen && m_pen.color().alpha() > 0;
    if ((!fill && !stroke) || devicePath.isEmpty()) return;
    prepareClip();
    const QString gradient = fill && m_brush.gradient() ? writeGradient(devicePath) : QString();
    if (gradient.isEmpty() && devicePath.elementCount() >= kSharedShapeElements) {
        // A text's shadow and outline are the same glyphs at two places:
        // relative to a whole pixel near their start their data is the same,
        // so the file holds it once. The paint set on the <use> is inherited
        // by the shape, which sets none of its own. A gradient lies in the
        // page's coordinates, so a shape filled with one is written whole.
        const QPointF origin(std::round(devicePath.elementAt(0).x), std::round(devicePath.elementAt(0).y));
        const QString id = shapeId(pathData(devicePath.translated(-origin)));
        m_xml.writeStartElement(QStringLiteral("use"));
        m_xml.writeAttribute(kXlinkNs, QStringLiteral("href"), QLatin1Char('#') + id);
        m_xml.writeAttribute(QStringLiteral("transform"),
                             QStringLiteral("translate(%1 %2)").arg(number(origin.x()), number(origin.y())));
    } else {
        m_xml.writeStartElement(QStringLiteral("path"));
        m_xml.writeAttribute(QStringLiteral("d"), pathData(devicePath));
    }
    if (fill && !gradient.isEmpty()) {
        m_xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("url(#%1)").arg(gradient));
        if (m_opacity < 1.0) m_xml.writeAttribute(QStringLiteral("fill-opacity"), number(m_opacity));
        if (devicePath.fillRule() == Qt::OddEvenFill)
            m_xml.writeAttribute(QStringLiteral("fill-rule"), QStringLiteral("evenodd"));
    } else if (fill) {
        const QColor c = m_brush.gradient() && !m_brush.gradient()->stops().isEmpty()
                             ? m_brush.gradient()->stops().first().second
                             : m_brush.color();
        m_xml.writeAttribute(QStringLiteral("fill"), colorName(c));
        if (c.alpha() < 255 || m_opacity < 1.0)
            m_xml.writeAttribute(QStringLiteral("fill-opacity"), number(c.alphaF() * m_opacity));
        if (devicePath.fillRule() == Qt::OddEvenFill)
            m_xml.writeAttribute(QStringLiteral("fill-rule"), QStringLiteral("evenodd"));
    } else {
        m_xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
    }
    if (stroke) {
        const QColor c = m_pen.color();
        const double width =
            m_pen.isCosmetic() ? std::max(m_pen.widthF(), 1.0) : m_pen.widthF() * transformScale(m_matrix);
        m_xml.writeAttribute(QStringLiteral("stroke"), colorName(c));
        if (c.alpha() < 255 || m_opacity < 1.0)
            m_xml.writeAttribute(QStringLiteral("stroke-opacity"), number(c.alphaF() * m_opacity));
        m_xml.writeAttribute(QStringLiteral("stroke-width"), number(std::max(width, 0.01)));
        switch (m_pen.capStyle()) {
        case Qt::SquareCap: m_xml.writeAttribute(QStringLiteral("stroke-linecap"), QStringLiteral("square")); break;
        case Qt::RoundCap: m_xml.writeAttribute(QStringLiteral("stroke-linecap"), QStringLiteral("round")); break;
        default: break;
        }
        switch (m_pen.joinStyle()) {
        case Qt::BevelJoin: m_xml.writeAttribute(QStringLiteral("stroke-linejoin"), QStringLiteral("bevel")); break;
        case Qt::RoundJoin: m_xml.writeAttribute(QStringLiteral("stroke-linejoin"), QStringLiteral("round")); break;
        default:
            m_xml.writeAttribute(QStringLiteral("stroke-miterlimit"), number(std::max(m_pen.miterLimit(), 1.0)));
            break;
        }
        if (m_pen.style() != Qt::SolidLine) {
            // Qt counts dashes in pen widths (a cosmetic or zero-width pen as 1).
            const double unit = std::max(width, 1.0);
            QString dashes;
            for (qreal v : m_pen.dashPattern()) {
                if (!dashes.isEmpty()) dashes += QLatin1Char(' ');
                appendNumber(dashes, v * unit);
            }
            if (!dashes.isEmpty()) {
                m_xml.writeAttribute(QStringLiteral("stroke-dasharray"), dashes);
                if (m_pen.dashOffset() != 0)
                    m_xml.writeAttribute(QStringLiteral("stroke-dashoffset"), number(m_pen.dashOffset() * unit));
            }
        }
    }
    m_xml.writeEndElement();
}

QString SvgPaintEngine::shapeId(const QString& data) {
    // Keyed by a digest: the data of a long text's glyphs runs to megabytes.
    const QByteArray key = QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char*>(data.constData()), data.size() * qsizetype(sizeof(QChar))),
        QCryptographicHash::Sha1);
    const auto it = m_shapes.constFind(key);
    if (it != m_shapes.constEnd()) return *it;
    const QString id = QStringLiteral("shape%1").arg(m_shapes.size() + 1);
    m_xml.writeStartElement(QStringLiteral("defs"));
    m_xml.writeStartElement(QStringLiteral("path"));
    m_xml.writeAttribute(QStringLiteral("id"), id);
    m_xml.writeAttribute(QStringLiteral("d"), data);
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_shapes.insert(key, id);
    return id;
}

void SvgPaintEngine::drawPath(const QPainterPath& path) {
    writePathElement(m_matrix.map(path), true, true);
}

void SvgPaintEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) {
    if (count < 2) return;
    QPainterPath path;
    path.moveTo(points[0]);
    for (int i = 1; i < count; ++i) path.lineTo(points[i]);
    if (mode != PolylineMode) path.closeSubpath();
    path.setFillRule(mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
    writePathElement(m_matrix.map(path), mode != PolylineMode, true);
}

void SvgPaintEngine::drawRects(const QRectF* rects, int count) {
    QPainterPath path;
    for (int i = 0; i < count; ++i) path.addRect(rects[i]);
    path.setFillRule(Qt::WindingFill);
    writePathElement(m_matrix.map(path), true, true);
}

void SvgPaintEngine::drawLines(const QLineF* lines, int count) {
    QPainterPath path;
    for (int i = 0; i < count; ++i) {
        path.moveTo(lines[i].p1());
        path.lineTo(lines[i].p2());
    }
    writePathElement(m_matrix.map(path), false, true);
}

void SvgPaintEngine::drawPoints(const QPointF* points, int count) {
    if (m_pen.style() == Qt::NoPen || count <= 0) return;
    // An aliased point covers the pen's square to the right of and below
    // the point (the spare pixel of an odd width goes right and down).
    const double w = m_pen.isCosmetic() ? std::max(m_pen.widthF(), 1.0)
                                        : std::max(m_pen.widthF(), 1.0) * transformScale(m_matrix);
    const double lead = std::floor((w - 1) / 2);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (int i = 0; i < count; ++i) {
        const QPointF p = m_matrix.map(points[i]);
        path.addRect(QRectF(p.x() - lead, p.y() - lead, w, w));
    }
    const QBrush brush = m_brush;
    const QPen pen = m_pen;
    m_brush = QBrush(m_pen.color());
    m_pen = QPen(Qt::NoPen);
    writePathElement(path, true, false);
    m_brush = brush;
    m_pen = pen;
}

void SvgPaintEngine::drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) {
    drawImage(r, pm.toImage(), sr);
}

QString SvgPaintEngine::writeGradient(const QPainterPath& devicePath) {
    const QGradient* g = m_brush.gradient();
    if (!g || g->stops().isEmpty() || !m_matrix.isInvertible()) return QString();
    if (g->type() != QGradient::LinearGradient && g->type() != QGradient::RadialGradient) return QString();
    // Where the gradient's own coordinates lie on the page: through the
    // object's bounds in the object modes, the brush's transform (in object
    // space for ObjectMode, in logical space otherwise) and the painter's.
    QTransform place = m_brush.transform();
    if (g->coordinateMode() == QGradient::ObjectMode || g->coordinateMode() == QGradient::ObjectBoundingMode) {
        const QRectF r = m_matrix.inverted().map(devicePath).boundingRect();
        const QTransform box(r.width(), 0, 0, r.height(), r.x(), r.y());
        place = g->coordinateMode() == QGradient::ObjectMode ? m_brush.transform() * box : box * m_brush.transform();
    }
    place *= m_matrix;
    const QString id = QStringLiteral("grad%1").arg(++m_gradientCount);
    const auto exact = [](double v) { return QString::number(v, 'g', 8); };
    if (g->type() == QGradient::LinearGradient) {
        const auto* l = static_cast<const QLinearGradient*>(g);
        m_xml.writeStartElement(QStringLiteral("linearGradient"));
        m_xml.writeAttribute(QStringLiteral("id"), id);
        m_xml.writeAttribute(QStringLiteral("x1"), exact(l->start().x()));
        m_xml.writeAttribute(QStringLiteral("y1"), exact(l->start().y()));
        m_xml.writeAttribute(QStringLiteral("x2"), exact(l->finalStop().x()));
        m_xml.writeAttribute(QStringLiteral("y2"), exact(l->finalStop().y()));
    } else {
        const auto* r = static_cast<const QRadialGradient*>(g);
        m_xml.writeStartElement(QStringLiteral("radialGradient"));
        m_xml.writeAttribute(QStringLiteral("id"), id);
        m_xml.writeAttribute(QStringLiteral("cx"), exact(r->center().x()));
        m_xml.writeAttribute(QStringLiteral("cy"), exact(r->center().y()));
        m_xml.writeAttribute(QStringLiteral("r"), exact(r->centerRadius()));
        m_xml.writeAttribute(QStringLiteral("fx"), exact(r->focalPoint().x()));
        m_xml.writeAttribute(QStringLiteral("fy"), exact(r->focalPoint().y()));
    }
    m_xml.writeAttribute(QStringLiteral("gradientUnits"), QStringLiteral("userSpaceOnUse"));
    m_xml.writeAttribute(QStringLiteral("gradientTransform"), matrixAttribute(place));
    if (g->spread() == QGradient::ReflectSpread)
        m_xml.writeAttribute(QStringLiteral("spreadMethod"), QStringLiteral("reflect"));
    else if (g->spread() == QGradient::RepeatSpread)
        m_xml.writeAttribute(QStringLiteral("spreadMethod"), QStringLiteral("repeat"));
    for (const QGradientStop& stop : g->stops()) {
        m_xml.writeEmptyElement(QStringLiteral("stop"));
        m_xml.writeAttribute(QStringLiteral("offset"), exact(stop.first));
        m_xml.writeAttribute(QStringLiteral("stop-color"), colorName(stop.second));
        if (stop.second.alpha() < 255) m_xml.writeAttribute(QStringLiteral("stop-opacity"), exact(stop.second.alphaF()));
    }
    m_xml.writeEndElement();
    return id;
}

QString SvgPaintEngine::imageId(const QImage& image) {
    const auto it = m_images.constFind(image.cacheKey());
    if (it != m_images.constEnd()) return *it;
    const PictureFile* file = nullptr;
    if (m_files) {
        const auto found = m_files->constFind(image.cacheKey());
        if (found != m_files->constEnd()) file = &*found;
    }
    QByteArray png;
    if (!file) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        // Lossless whatever the level. Quality 80 is zlib's fastest level,
        // which keeps big photos quick; 90 and above would store the pixels
        // uncompressed.
        writer.setQuality(80);
        writer.write(image);
    }
    const QByteArray& bytes = file ? file->bytes : png;
    QString href;
    // libxml2 counts its limit over all it has read since it last let go of
    // its input, which between pictures in a row it rarely does: the
    // pictures together must stay within it, not just each one.
    if (m_embeddedBytes + bytes.size() > kMaxEmbeddedPictureBytes && m_sideSink)
        href = m_sideSink(bytes, file ? file->suffix() : QStringLiteral("png"));
    if (href.isEmpty()) {
        m_embeddedBytes += bytes.size();
        href = QStringLiteral("data:%1;base64,").arg(file ? file->mimeType() : QStringLiteral("image/png")) +
               QString::fromLatin1(bytes.toBase64());
    }
    const QString id = QStringLiteral("image%1").arg(m_images.size() + 1);
    m_xml.writeStartElement(QStringLiteral("defs"));
    m_xml.writeStartElement(QStringLiteral("image"));
    m_xml.writeAttribute(QStringLiteral("id"), id);
    m_xml.writeAttribute(QStringLiteral("width"), QString::number(image.width()));
    m_xml.writeAttribute(QStringLiteral("height"), QString::number(image.height()));
    m_xml.writeAttribute(QStringLiteral("preserveAspectRatio"), QStringLiteral("none"));
    // Pixels stay sharp squares when scaled, as on the print.
    m_xml.writeAttribute(QStringLiteral("image-rendering"), QStringLiteral("optimizeSpeed"));
    m_xml.writeAttribute(QStringLiteral("style"), QStringLiteral("image-rendering:pixelated"));
    m_xml.writeAttribute(kXlinkNs, QStringLiteral("href"), href);
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_images.insert(image.cacheKey(), id);
    return id;
}

void SvgPaintEngine::drawImage(const QRectF& r, const QImage& image, const QRectF& sr, Qt::ImageConversionFlags) {
    if (image.isNull() || r.isEmpty() || sr.isEmpty()) return;
    QImage source = image;
    QRectF src = sr;
    if (sr != QRectF(image.rect())) {
        source = image.copy(sr.toAlignedRect());
        src = QRectF(QPointF(0, 0), source.size());
    }
    prepareClip();
    const QString id = imageId(source);
    const QTransform place = QTransform::fromScale(r.width() / src.width(), r.height() / src.height()) *
                             QTransform::fromTranslate(r.x(), r.y()) * m_matrix;
    m_xml.writeStartElement(QStringLiteral("use"));
    m_xml.writeAttribute(kXlinkNs, QStringLiteral("href"), QLatin1Char('#') + id);
    m_xml.writeAttribute(QStringLiteral("transform"), matrixAttribute(place));
    if (m_opacity < 1.0) m_xml.writeAttribute(QStringLiteral("opacity"), number(m_opacity));
    m_xml.writeEndElement();
}

void SvgPaintEngine::drawTextItem(const QPointF& p, const QTextItem& textItem) {
    const QString text = xmlSafe(textItem.text());
    if (text.trimmed().isEmpty() || m_pen.style() == Qt::NoPen) return;
    prepareClip();
    const QFont font = textItem.font();
    // Each glyph at the place Qt's layout gave it: the reader then needs
    // the same family, not the same metrics engine.
    const QFontMetricsF metrics(font);
    QString xs;
    double x = p.x();
    for (int i = 0; i < text.size(); ++i) {
        if (i) xs += QLatin1Char(' ');
        appendNumber(xs, x);
        x += metrics.horizontalAdvance(text.at(i));
    }
    m_xml.writeStartElement(QStringLiteral("text"));
    m_xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    m_xml.writeAttribute(QStringLiteral("x"), xs);
    m_xml.writeAttribute(QStringLiteral("y"), number(p.y()));
    if (!m_matrix.isIdentity()) m_xml.writeAttribute(QStringLiteral("transform"), matrixAttribute(m_matrix));
    m_xml.writeAttribute(QStringLiteral("font-family"), xmlSafe(font.family()));
    const double size = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 600.0 / 72.0;
    m_xml.writeAttribute(QStringLiteral("font-size"), number(size));
    if (font.weight() != QFont::Normal) m_xml.writeAttribute(QStringLiteral("font-weight"), QString::number(font.weight()));
    if (font.italic()) m_xml.writeAttribute(QStringLiteral("font-style"), QStringLiteral("italic"));
    QStringList decoration;
    if (font.underline()) decoration << QStringLiteral("underline");
    if (font.strikeOut()) decoration << QStringLiteral("line-through");
    if (!decoration.isEmpty()) m_xml.writeAttribute(QStringLiteral("text-decoration"), decoration.join(' '));
    m_xml.writeAttribute(QStringLiteral("fill"), colorName(m_pen.color()));
    if (m_pen.color().alpha() < 255 || m_opacity < 1.0)
        m_xml.writeAttribute(QStringLiteral("fill-opacity"), number(m_pen.color().alphaF() * m_opacity));
    m_xml.writeCharacters(text);
    m_xml.writeEndElement();
}

void SvgPaintEngine::beginLayer(const QString& id, const QString& label) {
    closeClipGroup();
    m_xml.writeCharacters(QStringLiteral("\n"));
    m_xml.writeStartElement(QStringLiteral("g"));
    m_xml.writeAttribute(QStringLiteral("id"), xmlSafe(id));
    m_xml.writeAttribute(kInkscapeNs, QStringLiteral("groupmode"), QStringLiteral("layer"));
    m_xml.writeAttribute(kInkscapeNs, QStringLiteral("label"), xmlSafe(label));
    ++m_layerDepth;
}

void SvgPaintEngine::endLayer() {
    if (m_layerDepth <= 0) return;
    closeClipGroup();
    m_xml.writeEndElement();
    m_xml.writeCharacters(QStringLiteral("\n"));
    --m_layerDepth;
}
