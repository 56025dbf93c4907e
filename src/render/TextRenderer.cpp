#include "render/TextRenderer.h"

#include "base/Units.h"
#include "model/Tobs.h"
#include "render/ColorRef.h"
#include "render/DrawVCart.h"
#include "render/PassProgress.h"
#include "render/fast/OutlineMask.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QScreen>
#include <QTextLayout>
#include <QTransform>
#include <atomic>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr long double kMmPerInch = 25.39995L;

int canvasDpi(const QPainter& canvas, const RenderParams& params) {
    if (params.CanvasDpi > 0) return params.CanvasDpi;
    const QPaintDevice* dev = canvas.device();
    const int dpi = dev ? dev->logicalDpiX() : 0;
    return dpi > 0 ? dpi : 96;
}

int fontPpi(const RenderParams& params) { return params.FontPpi > 0 ? params.FontPpi : screenPpi(); }

QStringList splitLines(const QString& content) {
    QString text = content;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    text.replace(QChar('\n'), QChar('\r'));
    return text.split(QChar('\r'));
}

// The outlines of a layout's glyphs (with underline and strike-out bars),
// relative to the layout's origin: what a vector file gets instead of text.
QPainterPath glyphPath(const QTextLayout& layout, const QFont& font) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const QFontMetricsF metrics(font);
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (int i = 0; i < glyphs.size() && i < positions.size(); ++i)
            path.addPath(raw.pathForGlyph(glyphs[i]).translated(positions[i]));
        if ((run.underline() || run.strikeOut()) && !positions.isEmpty()) {
            const QRectF box = run.boundingRect();
            const qreal baseline = positions.first().y();
            const qreal bar = std::max<qreal>(metrics.lineWidth(), 1);
            if (run.underline()) path.addRect(QRectF(box.left(), baseline + metrics.underlinePos(), box.width(), bar));
            if (run.strikeOut())
                path.addRect(QRectF(box.left(), baseline - metrics.strikeOutPos(), box.width(), bar));
        }
    }
    return path;
}

// A text's outline as a vector file holds it: the glyph outlines once,
// filled and stroked in the outline colour with a pen 2d wide and round
// joins, so they reach d beyond every glyph edge as the 4d^2 copies of the
// raster pass do. The main text's fill goes on top and hides the inner half
// of the stroke. A file thus holds the glyphs once for the outline rather
// than once per copy.
void strokeOutline(QPainter& p, const QPainterPath& glyphs, int d, const QColor& color) {
    if (glyphs.isEmpty()) return;
    QPen pen(color, 2.0 * d, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.save();
    p.setPen(pen);
    p.setBrush(color);
    p.drawPath(glyphs);
    p.restore();
}

// The boxes of a layout's glyph runs (each glyph's place and advance, the
// font's ascent and descent), relative to the layout's origin.
QRectF runBounds(const QTextLayout& layout) {
    QRectF r;
    for (const QGlyphRun& run : layout.glyphRuns()) r |= run.boundingRect();
    return r;
}

// The wrapped lines of an unturned text, laid out once and drawn for every
// copy (shadow, outline, main text) at its own place. Every copy is clipped
// to a rectangle of the text's height, so lines that start below it are
// never seen and are not laid out: a text of a megabyte shows a few hundred
// of its lines, and laying out the rest took seconds and its glyph paths
// gigabytes.
// Texts placed within kOneGridReach of 0 are drawn at kOneGridOffset more
// (see WrappedText::draw): every glyph coordinate then lies between 2^21
// and 2^22, where doubles step by 2^-31 of a pixel, and fixed-point text
// positions (2^25 at most) still hold it.
constexpr int kOneGridOffset = 3 << 20;
constexpr int kOneGridReach = 1 << 19;

class WrappedText {
public:
    WrappedText(const QString& content, const QFont& font, int width, int height, int alignment,
                PassProgress* progress = nullptr)
        : m_progress(progress) {
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setAlignment(alignment == 1 ? Qt::AlignHCenter : alignment == 2 ? Qt::AlignRight : Qt::AlignLeft);
        // Room for copies one pixel higher and glyphs reaching above their line.
        const qreal shown = qreal(std::max(height, 0)) + font.pixelSize() + 2;
        qreal y = 0;
        for (const QString& para : splitLines(content)) {
            if (y > shown) break;
            auto layout = std::make_unique<QTextLayout>(para, font);
            layout->setTextOption(option);
            layout->setCacheEnabled(true);
            layout->beginLayout();
            while (y <= shown) {
                QTextLine line = layout->createLine();
                if (!line.isValid()) break;
                line.setLineWidth(std::max(width, 0));
                line.setPosition(QPointF(0, y));
                y += line.height();
                ++m_lineCount;
                if (m_progress && !m_progress->linesDone()) break;
            }
            layout->endLayout();
            m_layouts.push_back(std::move(layout));
            if (stopped()) break;
        }
    }

    // The pass was stopped while these lines were laid out or drawn.
    bool stopped() const { return m_progress && m_progress->stopped(); }

    // Clipped to rect, like the wrapped output of the original device calls.
    void draw(QPainter& p, const QRect& rect, const QColor& color, bool asPath = false) const {
        if (rect.width() <= 0 || rect.height() <= 0 || stopped()) return;
        if (m_progress && !m_progress->linesDone(m_lineCount)) return;
        p.save();
        p.setClipRect(rect, Qt::IntersectClip);
        if (asPath) {
            p.fillPath(path().translated(rect.topLeft()), color);
        } else {
            p.setPen(color);
            // A glyph's outline points are its place plus fractions of a
            // pixel, summed in doubles: at the place's own magnitude the
            // sum rounds on a grid that changes at each power of two, and
            // the rare point next to a rasteriser's step fell on another side
            // of it when the same text was drawn a few pixels away (a shadow
            // laid from the text's mask against the shadow drawn). Placed
            // far out and moved back by the painter, every text rounds on
            // one grid whatever its place, and the move back is exact. Raster
            // only: a vector file would keep the far places.
            const QPoint far = p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster &&
                                       std::abs(rect.left()) < kOneGridReach && std::abs(rect.top()) < kOneGridReach
                                   ? QPoint(kOneGridOffset, kOneGridOffset)
                                   : QPoint();
            p.translate(-far);
            for (const auto& layout : m_layouts) layout->draw(&p, rect.topLeft() + far);
        }
        p.restore();
    }

    // Where the glyphs are placed when the text is drawn at topLeft.
    QRect glyphBounds(QPoint topLeft) const {
        QRectF r;
        for (const auto& layout : m_layouts) r |= runBounds(*layout);
        return r.translated(topLeft).toAlignedRect();
    }

    // The outline on vector output: the glyphs filled and stroked once with
    // a pen of twice the outline's thickness and round joins, in place of
    // the 4d^2 copies at rect's offsets. Each copy was clipped to its own
    // rectangle, so together they reach the rectangle grown by d.
    void drawOutline(QPainter& p, const QRect& rect, int d, const QColor& color) const {
        if (rect.width() <= 0 || rect.height() <= 0 || stopped()) return;
        const QPainterPath placed = path().translated(rect.topLeft());
        p.save();
        if (!QRectF(rect).contains(placed.boundingRect())) p.setClipRect(rect.adjusted(-d, -d, d, d), Qt::IntersectClip);
        strokeOutline(p, placed, d, color);
        p.restore();
    }

private:
    const QPainterPath& path() const {
        if (!m_pathMade) {
            m_path.setFillRule(Qt::WindingFill);
            for (const auto& layout : m_layouts) m_path.addPath(glyphPath(*layout, layout->font()));
            m_pathMade = true;
        }
        return m_path;
    }

    std::vector<std::unique_ptr<QTextLayout>> m_layouts;
    PassProgress* m_progress;
    int m_lineCount = 0;
    mutable QPainterPath m_path;
    mutable bool m_pathMade = false;
};

// One unwrapped line, laid out once and drawn with its baseline's left end
// at each anchor, turned by the escapement.
class TurnedLine {
public:
    TurnedLine(const QString& text, const QFont& font) : m_layout(text, font) {
        m_layout.setCacheEnabled(true);
        m_layout.beginLayout();
        QTextLine line = m_layout.createLine();
        if (line.isValid()) line.setPosition(QPointF(0, 0));
        m_layout.endLayout();
        // The line's metrics are known once the layout is finished.
        if (m_layout.lineCount() > 0) m_ascent = m_layout.lineAt(0).ascent();
    }

    void draw(QPainter& p, QPoint anchor, int rotation, const QColor& color, bool asPath = false) const {
        if (asPath) {
            p.fillPath(placement(anchor, rotation).map(path()), color);
            return;
        }
        p.save();
        p.translate(anchor);
        p.rotate(-(3600 - 900 * rotation) / 10.0);
        p.setPen(color);
        m_layout.draw(&p, QPointF(0, -m_ascent));
        p.restore();
    }

    // Everything the line can touch when drawn at anchor, with room for
    // glyphs that reach past their advance (italics, accents).
    QRect bounds(QPoint anchor, int rotation, int pixelSize) const {
        if (m_layout.lineCount() == 0) return QRect();
        const QTextLine line = m_layout.lineAt(0);
        const qreal grow = pixelSize / 2.0 + 2;
        const QRectF box(-grow, -m_ascent - grow, line.naturalTextWidth() + 2 * grow, line.height() + 2 * grow);
        QTransform t;
        t.translate(anchor.x(), anchor.y());
        t.rotate(-(3600 - 900 * rotation) / 10.0);
        return t.mapRect(box).toAlignedRect().adjusted(-1, -1, 1, 1);
    }

    // The line's advance by its height, drawn at anchor.
    QRectF lineBox(QPoint anchor, int rotation) const {
        if (m_layout.lineCount() == 0) return QRectF();
        const QTextLine line = m_layout.lineAt(0);
        return placement(anchor, rotation).mapRect(QRectF(0, 0, line.naturalTextWidth(), line.height()));
    }

    // Where the glyphs are placed when the line is drawn at anchor.
    QRect glyphBounds(QPoint anchor, int rotation) const {
        return placement(anchor, rotation).mapRect(runBounds(m_layout)).toAlignedRect();
    }

    // The outline on vector output (see WrappedText::drawOutline); turned
    // text is never clipped.
    void drawOutline(QPainter& p, QPoint anchor, int rotation, int d, const QColor& color) const {
        strokeOutline(p, placement(anchor, rotation).map(path()), d, color);
    }

private:
    // Baseline's left end at the anchor, turned by the escapement (3600 -
    // 900 * rotation tenths of a degree counter-clockwise).
    QTransform placement(QPoint anchor, int rotation) const {
        QTransform t;
        t.translate(anchor.x(), anchor.y());
        t.rotate(-(3600 - 900 * rotation) / 10.0);
        t.translate(0, -m_ascent);
        return t;
    }

    const QPainterPath& path() const {
        if (!m_pathMade) {
            m_path = glyphPath(m_layout, m_layout.font());
            m_pathMade = true;
        }
        return m_path;
    }

    QTextLayout m_layout;
    qreal m_ascent = 0;
    mutable QPainterPath m_path;
    mutable bool m_pathMade = false;
};

QPoint turnedAnchor(int rotation, int x, int y, int W, int H) {
    switch (rotation) {
    case 1: return {x, y};
    case 2: return {x + W, y};
    default: return {x + W, y + H};
    }
}

std::atomic<bool> g_outlineFromMask{true};
std::atomic<bool> g_shadowFromMask{true};

// The text drawn once in black on transparent (the raster engine's fast
// path; the alpha is the coverage) over the part of source that needed
// asks for, and whether ink touches one of source's edges in sides. Only
// that part is cleared and drawn: a sheet's band needs the rows it shows
// and d more on either side, and drawing every glyph of a tall text for
// each band it crosses cost several renderings of it. The part is drawn
// into an image of all of source through a clip, as the canvas clips:
// glyph edges cut by a smaller image's border round differently, and every
// band must see the pixels of one pass (only a source too large for one
// image is cut to the part). An edge of source is checked only
// where the part reaches it: ink beyond it elsewhere is out of reach of
// what this part is for.
struct TextMask {
    QImage image;   // the part, a window onto store
    QRect from;
    bool touches = false;
    QImage store;
};

template <typename Draw>
TextMask textMask(const QPainter& canvas, const QRect& source, const QRect& needed, Qt::Edges sides, Draw draw) {
    TextMask m;
    constexpr qint64 kWholeMaskPixels = 16 << 20;
    m.from = needed & source;
    // Only a source too large for one image is cut to the part.
    const QRect image = qint64(source.width()) * source.height() <= kWholeMaskPixels ? source : m.from;
    if (m.from.isEmpty() || qint64(image.width()) * image.height() > kWholeMaskPixels) return m;
    m.store = QImage(image.size(), QImage::Format_ARGB32_Premultiplied);
    if (m.store.isNull()) return m;
    const QRect part = m.from.translated(-image.topLeft());
    for (int y = part.top(); y <= part.bottom(); ++y)
        std::memset(m.store.scanLine(y) + part.left() * 4, 0, size_t(part.width()) * 4);
    {
        QPainter p(&m.store);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, canvas.testRenderHint(QPainter::TextAntialiasing));
        p.setClipRect(part);
        p.translate(-image.topLeft());
        p.setFont(canvas.font());
        draw(p);
    }
    m.image = QImage(m.store.constScanLine(part.top()) + part.left() * 4, part.width(), part.height(),
                     m.store.bytesPerLine(), QImage::Format_ARGB32_Premultiplied);
    const int w = m.from.width(), h = m.from.height();
    auto row = [&](int y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(m.image.constScanLine(y));
        return std::any_of(p, p + w, [](QRgb c) { return c != 0; });
    };
    auto column = [&](int x) {
        for (int y = 0; y < h; ++y)
            if (reinterpret_cast<const QRgb*>(m.image.constScanLine(y))[x] != 0) return true;
        return false;
    };
    m.touches = ((sides & Qt::TopEdge) && m.from.top() == source.top() && row(0)) ||
                ((sides & Qt::BottomEdge) && m.from.bottom() == source.bottom() && row(h - 1)) ||
                ((sides & Qt::LeftEdge) && m.from.left() == source.left() && column(0)) ||
                ((sides & Qt::RightEdge) && m.from.right() == source.right() && column(w - 1));
    return m;
}

// The mask coloured and laid over the canvas at its place moved by at,
// within clip (canvas coordinates): source-in keeps the coverage as alpha,
// each pixel the colour times it, as the canvas blends a glyph's coverage.
void layMask(QPainter& canvas, const QImage& mask, QPoint maskOrigin, const QRect& part, const QColor& colour,
             QPoint at, const QRect& clip) {
    const QRect inMask = part & QRect(maskOrigin, mask.size());
    if (inMask.isEmpty()) return;
    QImage c = mask.copy(inMask.translated(-maskOrigin));
    {
        QPainter p(&c);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(c.rect(), colour);
    }
    canvas.save();
    canvas.setClipRect(clip, Qt::IntersectClip);
    canvas.drawImage(inMask.topLeft() + at, c);
    canvas.restore();
}

// A shadow drawn from the outline's mask: moved by shift and in its colour.
struct MaskShadow {
    bool on = false;
    QPoint shift;
    QColor colour;
};

// The outline and the text from one rendering of it (see OutlineMask.h),
// and with shadow.on the shadow beneath them from the same rendering.
// reach: all the text can touch when drawn once at the main place; glyphs:
// where its glyphs are placed; draw(p) draws it there in black. Only the
// part that can reach visible is made. false: no memory for the mask.
template <typename Draw>
bool outlinedTextFromMask(QPainter& canvas, const QRect& reach, const QRect& glyphs, int d, const QRect& visible,
                          const QColor& outlineColour, const QColor& textColour, const MaskShadow& shadow,
                          Draw draw) {
    // The mask spans the glyphs' places with room for what reaches past
    // them (slant, accents, antialiasing). Ink at an edge of that room means
    // it was too little: then the mask spans all of reach.
    const int room = 2 + canvas.font().pixelSize() / 8;
    const QRect grown = glyphs.adjusted(-room, -room, room, room);
    const QRect source = grown & reach;
    Qt::Edges tight;
    if (source.top() > reach.top()) tight |= Qt::TopEdge;
    if (source.bottom() < reach.bottom()) tight |= Qt::BottomEdge;
    if (source.left() > reach.left()) tight |= Qt::LeftEdge;
    if (source.right() < reach.right()) tight |= Qt::RightEdge;
    const QRect reachDest = reach.adjusted(-d, -d, d, d) & visible;
    // The shadow is the text clipped to reach, moved; the part of the mask
    // it needs is what lands on visible.
    const QRect shadowClip = shadow.on ? reach.translated(shadow.shift) & visible : QRect();
    const QRect shadowPart = shadowClip.translated(-shadow.shift);
    if (reachDest.isEmpty() && shadowPart.isEmpty()) return true;
    // The dilation at a pixel reads the mask up to d away.
    auto needed = [&](const QRect& dest) { return dest.adjusted(-d, -d, d, d) | shadowPart; };
    QRect dest = source.adjusted(-d, -d, d, d) & visible;
    TextMask mask;
    if (!glyphs.isEmpty() && !source.isEmpty()) mask = textMask(canvas, source, needed(dest), tight, draw);
    if (glyphs.isEmpty() || source.isEmpty() || mask.touches) {
        dest = reachDest;
        mask = textMask(canvas, reach, needed(dest), Qt::Edges(), draw);
    }
    if (mask.from.isEmpty()) return true;
    if (mask.image.isNull()) return false;
    if (!shadowPart.isEmpty()) layMask(canvas, mask.image, mask.from.topLeft(), shadowPart, shadow.colour, shadow.shift,
                                       shadowClip);
    if (dest.isEmpty()) return true;
    drawOutlinedText(canvas, dilatedCoverage(mask.image, mask.from.topLeft(), d, dest), outlineColour, mask.image,
                     mask.from.topLeft(), textColour);
    return true;
}

// The shadow and the text from one rendering of the text's coverage: at
// print resolution a glyph is filled as a path, and each copy cost a whole
// new fill. reach: where the text drawn at home can touch (its drawing is
// clipped to it); draw(p) draws it there in black. Each copy is the mask
// coloured and laid over the canvas inside reach at its place, the blend
// the canvas does for a glyph's coverage, so the pixels are those of the
// two fills. false: no memory for the mask.
template <typename Draw>
bool shadowAndTextFromMask(QPainter& canvas, const QRect& reach, const QRect& glyphs, QPoint shift,
                           const QRect& visible, const QColor& shadowColour, const QColor& textColour, Draw draw) {
    // Ink lies near the glyphs' places (room for slant, accents and
    // antialiasing, as for the outline's mask); nothing beyond is laid on.
    const int room = 2 + canvas.font().pixelSize() / 4;
    const QRect inked = glyphs.adjusted(-room, -room, room, room) & reach;
    const QRect home = inked & visible, moved = (inked.translated(shift) & visible).translated(-shift);
    if (home.isEmpty() && moved.isEmpty()) return true;
    // The mask spans all of reach whatever part the canvas shows, and is
    // drawn clipped to the part needed, as the canvas clips: glyph edges cut
    // by a smaller mask's border round differently, and every band of a
    // sheet must lay on the pixels of one pass. Only the needed rows are
    // cleared and written.
    constexpr qint64 kWholeMaskPixels = 16 << 20;
    if (qint64(reach.width()) * reach.height() > kWholeMaskPixels) return false;
    QImage mask(reach.size(), QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull()) return false;
    const QRect needed = (home | moved).translated(-reach.topLeft());
    for (int y = needed.top(); y <= needed.bottom(); ++y)
        std::memset(mask.scanLine(y) + needed.left() * 4, 0, size_t(needed.width()) * 4);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, canvas.testRenderHint(QPainter::TextAntialiasing));
        p.setClipRect(needed);
        p.translate(-reach.topLeft());
        p.setFont(canvas.font());
        draw(p);
    }
    layMask(canvas, mask, reach.topLeft(), moved, shadowColour, shift, reach.translated(shift));
    layMask(canvas, mask, reach.topLeft(), home, textColour, QPoint(), reach);
    return true;
}

// Glyphs up to this many pixels high come from the raster engine's glyph
// cache and are blended with its text gamma; larger ones are filled as
// paths, whose coverage is blended plainly, as a mask laid on is.
bool glyphsFilledAsPaths(const QFont& font) {
    static const int cachedUpTo = [] {
        const int env = qEnvironmentVariableIntValue("QT_MAX_CACHED_GLYPH_SIZE");
        return env > 0 ? env : 64;
    }();
    return font.pixelSize() > cachedUpTo;
}

// The mask is laid on the canvas pixel for pixel only when the painter
// merely shifts by whole pixels, and blended once only where the clip
// covers whole pixels: at a smooth clip edge (the bleed's outline) each of
// the 4d^2 copies is blended with the edge's partial coverage, and so the
// outline there is the copies'.
bool maskFitsCanvas(const QPainter& canvas, const QRect& area) {
    const QTransform t = canvas.deviceTransform();
    if (t.type() > QTransform::TxTranslate || t.dx() != std::floor(t.dx()) || t.dy() != std::floor(t.dy()))
        return false;
    if (!canvas.hasClipping()) return true;
    QPainterPath box;
    box.addRect(QRectF(area));
    const QPainterPath cut = canvas.clipPath().intersected(box);
    // Whole-pixel rectangles: straight lines between whole coordinates,
    // each along a row or a column.
    QPointF last;
    for (int i = 0; i < cut.elementCount(); ++i) {
        const QPainterPath::Element e = cut.elementAt(i);
        if (e.isCurveTo() || e.x != std::floor(e.x) || e.y != std::floor(e.y)) return false;
        if (e.isLineTo() && e.x != last.x() && e.y != last.y()) return false;
        last = QPointF(e.x, e.y);
    }
    return true;
}

// Whether a turned line's shadow laid from its mask has the pixels of the
// shadow drawn as a line of its own. The painter's turn adds the line's
// place to each outline point, and that sum rounds to the precision of a
// double at its own magnitude: the line and its shadow round alike only
// where every coordinate of their glyphs (grown by room), on the painter and
// on the device, lies in one binary order of magnitude of one sign, per
// axis. Elsewhere (a shadow across 1024, 2048 or 4096, or glyphs near 0)
// the rare point next to a rasteriser's step lands on another side of it,
// and the shadow is drawn directly. (Wrapped lines are placed so that they
// round alike anywhere: see WrappedText::draw.)
bool shadowRoundsAsText(const QPainter& canvas, const QRect& glyphs, int room, QPoint shift) {
    if (glyphs.isEmpty()) return false;
    const QTransform t = canvas.deviceTransform();
    const QRectF grown = QRectF(glyphs).adjusted(-room, -room, room, room);
    const QRectF all = grown | grown.translated(shift);
    const QRectF placed = all | all.translated(t.dx(), t.dy());
    auto oneOrder = [](double lo, double hi) {
        if (lo >= 1) return std::ilogb(lo) == std::ilogb(hi);
        if (hi <= -1) return std::ilogb(-lo) == std::ilogb(-hi);
        return false;
    };
    return oneOrder(placed.left(), placed.right() + 1) && oneOrder(placed.top(), placed.bottom() + 1);
}

}  // namespace

namespace {
constexpr int kMaxFontPixels = 16384;
}

void setOutlineFromMask(bool on) { g_outlineFromMask.store(on); }
bool outlineFromMaskEnabled() { return g_outlineFromMask.load(); }
void setShadowFromMask(bool on) { g_shadowFromMask.store(on); }
bool shadowFromMaskEnabled() { return g_shadowFromMask.load(); }

int screenPpi() {
    const QScreen* s = QGuiApplication::primaryScreen();
    const int ppi = s ? static_cast<int>(s->logicalDotsPerInchX()) : 0;
    return ppi > 0 ? ppi : 96;
}

int textPixelHeight(int fontSize, double scale, double fontFactor, int dpi, int ppi) {
    if (dpi <= 0) dpi = 96;
    return truncToInt(20000.0L / dpi * fontSize * scale * fontFactor * ppi / dpi);
}

QFont textFont(const Tobs& o, int pixelHeight, bool aliased) {
    QFont font(o.FontName.isEmpty() ? QStringLiteral("Arial") : o.FontName);
    // A negative height asks for the cell height; either way the size stays
    // within what a canvas can show.
    font.setPixelSize(std::clamp(std::abs(pixelHeight == INT_MIN ? INT_MAX : pixelHeight), 1, kMaxFontPixels));
    font.setWeight((o.FontStyle & fsBold) ? QFont::Bold : QFont::Normal);
    font.setItalic(o.FontStyle & fsItalic);
    font.setUnderline(o.FontStyle & fsUnderline);
    font.setStrikeOut(o.FontStyle & fsStrikeOut);
    // Hinting snaps each glyph's advance to whole pixels, which at editor
    // sizes leaves gaps inside words; design metrics keep spacing even.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(aliased ? QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias)
                                  : QFont::NoSubpixelAntialias);
    font.setKerning(false);
    return font;
}

int shadowPixels(int distance, double scale) {
    return truncToInt(scale * (static_cast<long double>(distance) * 2000 / kMmPerInch));
}

// The outline costs 4d^2 text outputs; beyond 2400 dpi (d = 18) it would only
// cost time, so d stops at 32.
int outlinePixels(double scale) { return std::clamp(truncToInt(scale * (4000 / kMmPerInch)), 1, 32); }

QString turnedTextLine(const QString& content) {
    QString line = content;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QChar('\r'), QChar(' '));
    line.replace(QChar('\n'), QChar(' '));
    return line;
}

QRect textReach(const Tobs& o, const RenderParams& params, int height, int d, int shiftX, int shiftY) {
    const auto [X, Y, W, H] = deviceRect(o, params);
    // Everything the copies can touch: the rectangle grown by the outline
    // and moved by the shadow; a turned line may run its full length (at
    // most two ems per character) from its anchor in any direction.
    const bool turned = o.Rotation >= 1 && o.Rotation <= 3;
    const long long reach = turned ? 2LL * std::max(height, 1) * (o.Content.size() + 1) : 0;
    const int r = static_cast<int>(std::min<long long>(reach, 1 << 28)) + d + 2;
    QRect area(X, Y, std::max(W, 0) + 1, std::max(H, 0) + 1);
    return area.united(area.translated(shiftX, shiftY)).adjusted(-r, -r, r, r);
}

QRectF turnedLineBox(const Tobs& o, const RenderParams& params) {
    if (o.Rotation < 1 || o.Rotation > 3 || o.Content.isEmpty()) return QRectF();
    const double scale = params.mapping.Scale();
    const int dpi = params.CanvasDpi > 0 ? params.CanvasDpi : 96;
    const int height = textPixelHeight(o.FontSize, scale, params.FontFactor, dpi, fontPpi(params));
    const auto [X, Y, W, H] = deviceRect(o, params);
    const TurnedLine line(turnedTextLine(o.Content), textFont(o, height, params.AliasedText));
    return line.lineBox(turnedAnchor(o.Rotation, X, Y, W, H), o.Rotation);
}

QRect textReach(const Tobs& o, const RenderParams& params) {
    const double scale = params.mapping.Scale();
    const int dpi = params.CanvasDpi > 0 ? params.CanvasDpi : 96;
    const int height = textPixelHeight(o.FontSize, scale, params.FontFactor, dpi, fontPpi(params));
    const long double sx = static_cast<long double>(o.ShadowDx) * 2000 / kMmPerInch;
    const long double sy = static_cast<long double>(o.ShadowDy) * 2000 / kMmPerInch;
    return textReach(o, params, std::abs(height == INT_MIN ? INT_MAX : height), outlinePixels(scale),
                     clampCoord(truncToInt(scale * sx)), clampCoord(truncToInt(scale * sy)));
}

void drawText(QPainter& canvas, const Tobs& o, const RenderParams& params, const QRect& visible,
              PassProgress* progress) {
    if (o.Content.isEmpty()) return;
    const Mapping& m = params.mapping;
    const auto [X, Y, W, H] = deviceRect(o, params);
    const double scale = m.Scale();

    const int height = textPixelHeight(o.FontSize, scale, params.FontFactor, canvasDpi(canvas, params),
                                       fontPpi(params));
    const QFont font = textFont(o, height, params.AliasedText);
    const QColor textColor = colorFromRef(o.Color);
    const QColor shadowColor = colorFromRef(o.FillModeOrShadowColor);
    const QColor outlineColor = colorFromRef(o.BorderOrOutlineColor);
    const long double sx = static_cast<long double>(o.ShadowDx) * 2000 / kMmPerInch;
    const long double sy = static_cast<long double>(o.ShadowDy) * 2000 / kMmPerInch;
    const int d = outlinePixels(scale);
    const int shiftX = clampCoord(truncToInt(scale * sx)), shiftY = clampCoord(truncToInt(scale * sy));

    // The font is as high as the height's magnitude, whatever its sign.
    const int reachHeight = std::abs(height == INT_MIN ? INT_MAX : height);
    if (!visible.isNull() && !textReach(o, params, reachHeight, d, shiftX, shiftY).intersects(visible)) return;

    canvas.save();
    canvas.setRenderHint(QPainter::TextAntialiasing, !params.AliasedText);
    canvas.setFont(font);
    canvas.setBrush(Qt::NoBrush);
    canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);

    // On vector output the copies are glyph paths: a file that held the
    // words 4d^2 + 2 times would find each of them many times over.
    const bool copiesAsPaths = params.TextCopiesAsPaths || params.TextAsPaths;
    // On raster output the outline and the text come from one rendering of
    // the text where the canvas is known and plainly shifted; otherwise the
    // outline is the 4d^2 copies themselves.
    const bool fromMask = outlineFromMaskEnabled() && o.Outline == 1 && !copiesAsPaths && !visible.isNull() &&
                          maskFitsCanvas(canvas, textReach(o, params, reachHeight, d, shiftX, shiftY) & visible);
    // A shadowed text: the shadow and the text (and the outline) from one
    // rendering of it, on the same terms as the outline's mask, where the
    // canvas blends glyph coverage plainly (aliased, or filled as paths).
    const bool shadowFits = shadowFromMaskEnabled() && o.Shadow == 1 && !copiesAsPaths && !visible.isNull() &&
                            (params.AliasedText || glyphsFilledAsPaths(font)) &&
                            (fromMask || maskFitsCanvas(canvas, textReach(o, params, reachHeight, d, shiftX, shiftY) &
                                                                    visible));
    const bool shadowMask = shadowFits && o.Outline != 1;
    // Room around the glyphs' places for what their outlines reach past them.
    const int kShadowRoom = 2 + font.pixelSize() / 4;
    if (o.Rotation < 1 || o.Rotation > 3) {
        const WrappedText text(o.Content, font, W, H, o.Alignment, progress);
        if (text.stopped()) {
            canvas.restore();
            return;
        }
        // The shadow's rectangle is the text's moved by the shift only when
        // the shift's rounding agrees on both corners.
        const int sl = clampCoord(truncToInt(X + scale * sx)), st = clampCoord(truncToInt(Y + scale * sy));
        const int sr = clampCoord(truncToInt(W + X + scale * sx)), sb = clampCoord(truncToInt(H + Y + scale * sy));
        const QRect textRect(X, Y, W, H), shadowRect(sl, st, sr - sl, sb - st);
        // Wrapped lines round alike wherever they are drawn (WrappedText::draw).
        const bool shadowAlike = shadowFits && shadowRect == textRect.translated(sl - X, st - Y) &&
                                 std::abs(X) < kOneGridReach / 2 && std::abs(Y) < kOneGridReach / 2;
        if (shadowMask && W > 0 && H > 0 && shadowAlike &&
            shadowAndTextFromMask(canvas, textRect, text.glyphBounds(textRect.topLeft()), QPoint(sl - X, st - Y),
                                  visible, shadowColor, textColor,
                                  [&](QPainter& p) { text.draw(p, textRect, QColor(0, 0, 0)); })) {
            canvas.restore();
            return;
        }
        // With the outline from a mask the shadow comes from the same mask
        // where its rectangle is the text's moved.
        const MaskShadow maskShadow{shadowAlike && fromMask, QPoint(sl - X, st - Y), shadowColor};
        if (o.Shadow == 1 && !maskShadow.on) text.draw(canvas, shadowRect, shadowColor, copiesAsPaths);
        bool fromMaskDone = false;
        if (fromMask) {
            fromMaskDone = outlinedTextFromMask(canvas, textRect, text.glyphBounds(textRect.topLeft()), d, visible,
                                                outlineColor, textColor, maskShadow,
                                                [&](QPainter& p) { text.draw(p, textRect, QColor(0, 0, 0)); });
        }
        // Without memory for the mask nothing was drawn yet.
        if (o.Shadow == 1 && maskShadow.on && !fromMaskDone) text.draw(canvas, shadowRect, shadowColor, copiesAsPaths);
        if (o.Outline == 1 && !fromMaskDone) {
            if (copiesAsPaths)
                text.drawOutline(canvas, QRect(X, Y, W, H), d, outlineColor);
            else
                for (int x = X - d; x <= X + d; ++x)
                    for (int y = Y - d; y <= Y + d; ++y)
                        if (x != X && y != Y) text.draw(canvas, QRect(x, y, W, H), outlineColor);
        }
        if (!fromMaskDone) text.draw(canvas, QRect(X, Y, W, H), textColor, params.TextAsPaths);
    } else {
        const TurnedLine line(turnedTextLine(o.Content), font);
        const int rot = o.Rotation;
        const QPoint anchor = turnedAnchor(rot, X, Y, W, H);
        const bool shadowAlike =
            shadowFits && shadowRoundsAsText(canvas, line.glyphBounds(anchor, rot), kShadowRoom, QPoint(shiftX, shiftY));
        if (shadowMask && shadowAlike &&
            shadowAndTextFromMask(canvas, line.bounds(anchor, rot, font.pixelSize()), line.glyphBounds(anchor, rot),
                                  QPoint(shiftX, shiftY), visible, shadowColor, textColor,
                                  [&](QPainter& p) { line.draw(p, anchor, rot, QColor(0, 0, 0)); })) {
            canvas.restore();
            return;
        }
        const MaskShadow maskShadow{shadowAlike && fromMask, QPoint(shiftX, shiftY), shadowColor};
        if (o.Shadow == 1 && !maskShadow.on)
            line.draw(canvas, anchor + QPoint(shiftX, shiftY), rot, shadowColor, copiesAsPaths);
        bool fromMaskDone = false;
        if (fromMask) {
            // Every copy's anchor is the main anchor moved by (dx, dy).
            fromMaskDone = outlinedTextFromMask(canvas, line.bounds(anchor, rot, font.pixelSize()),
                                                line.glyphBounds(anchor, rot), d, visible, outlineColor, textColor,
                                                maskShadow,
                                                [&](QPainter& p) { line.draw(p, anchor, rot, QColor(0, 0, 0)); });
        }
        if (o.Shadow == 1 && maskShadow.on && !fromMaskDone)
            line.draw(canvas, anchor + QPoint(shiftX, shiftY), rot, shadowColor, copiesAsPaths);
        if (o.Outline == 1 && !fromMaskDone) {
            if (copiesAsPaths)
                line.drawOutline(canvas, anchor, rot, d, outlineColor);
            else
                for (int x = X - d; x <= X + d; ++x)
                    for (int y = Y - d; y <= Y + d; ++y)
                        if (x != X && y != Y) line.draw(canvas, turnedAnchor(rot, x, y, W, H), rot, outlineColor);
        }
        if (!fromMaskDone) line.draw(canvas, anchor, rot, textColor, params.TextAsPaths);
    }
    canvas.restore();
}
