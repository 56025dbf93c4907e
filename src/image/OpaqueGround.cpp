#include "image/OpaqueGround.h"

#include <QColor>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// More parts cost the passes more to look through than they save.
constexpr int kMostParts = 16;
// Edges farther out than this many times the view box's size are not
// trusted to be drawn.
constexpr double kFarthest = 1e6;
// A radial gradient's radius, in its units, below which it is not trusted.
constexpr double kSmallestRadius = 1e-6;

QString localName(QStringView qualified) {
    const qsizetype colon = qualified.indexOf(QLatin1Char(':'));
    return (colon < 0 ? qualified : qualified.mid(colon + 1)).toString();
}

std::optional<double> plainNumber(QStringView text) {
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?\\s*$"));
    if (!number.match(text).hasMatch()) return std::nullopt;
    bool ok = false;
    const double v = text.toString().toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

// A colour the renderer takes as fully opaque: #rgb, #rrggbb or a colour
// name (eight hex digits would carry an alpha).
bool opaqueColour(QStringView text) {
    static const QRegularExpression hex(QStringLiteral("^#([0-9a-fA-F]{3}|[0-9a-fA-F]{6})$"));
    const QString value = text.trimmed().toString();
    if (hex.match(value).hasMatch()) return true;
    static const QRegularExpression name(QStringLiteral("^[a-zA-Z]+$"));
    if (!name.match(value).hasMatch()) return false;
    const QString lower = value.toLower();
    if (lower == QLatin1String("transparent") || lower == QLatin1String("none") ||
        lower == QLatin1String("currentcolor") || lower == QLatin1String("inherit"))
        return false;
    return QColor::isValidColorName(value) && QColor::fromString(value).alpha() == 255;
}

bool onlyThese(const QXmlStreamAttributes& attributes, const QStringList& allowed) {
    for (const QXmlStreamAttribute& a : attributes)
        if (!allowed.contains(localName(a.qualifiedName()))) return false;
    return true;
}

// The root's view box; none where the root could change how its content
// shows (opacity, transform, styling) or asks for its proportions kept.
std::optional<QRectF> rootViewBox(const QXmlStreamAttributes& root) {
    static const QStringList denied = {QStringLiteral("opacity"),    QStringLiteral("fill-opacity"),
                                       QStringLiteral("transform"),  QStringLiteral("visibility"),
                                       QStringLiteral("display"),    QStringLiteral("style"),
                                       QStringLiteral("class"),      QStringLiteral("clip-path"),
                                       QStringLiteral("mask"),       QStringLiteral("filter")};
    for (const QXmlStreamAttribute& a : root) {
        const QString name = localName(a.qualifiedName());
        if (denied.contains(name)) return std::nullopt;
        if (name == QLatin1String("preserveAspectRatio") && a.value().trimmed() != QLatin1String("none"))
            return std::nullopt;
    }
    const QStringList parts = root.value(QLatin1String("viewBox"))
                                  .toString()
                                  .split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    if (parts.size() != 4) return std::nullopt;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        const auto n = plainNumber(parts[i]);
        if (!n) return std::nullopt;
        v[i] = *n;
    }
    if (!(v[2] > 0) || !(v[3] > 0)) return std::nullopt;
    return QRectF(v[0], v[1], v[2], v[3]);
}

// A rectangle straight under the root that covers what it fills: its
// opaque parts in view box units, or none.
std::vector<QRectF> groundOf(const QXmlStreamAttributes& rect, const QHash<QString, bool>& opaqueGradients) {
    static const QStringList allowed = {
        QStringLiteral("id"),           QStringLiteral("x"),
        QStringLiteral("y"),            QStringLiteral("width"),
        QStringLiteral("height"),       QStringLiteral("rx"),
        QStringLiteral("ry"),           QStringLiteral("fill"),
        QStringLiteral("stroke"),       QStringLiteral("stroke-width"),
        QStringLiteral("stroke-linejoin"), QStringLiteral("stroke-linecap"),
        QStringLiteral("stroke-miterlimit"), QStringLiteral("stroke-dasharray"),
        QStringLiteral("stroke-dashoffset"), QStringLiteral("stroke-opacity")};
    if (!onlyThese(rect, allowed)) return {};
    const QString fill = rect.value(QLatin1String("fill")).trimmed().toString();
    static const QRegularExpression url(QStringLiteral("^url\\(\\s*#([^)\\s]+)\\s*\\)$"));
    const QRegularExpressionMatch m = url.match(fill);
    if (m.hasMatch() ? !opaqueGradients.value(m.captured(1), false) : !opaqueColour(fill)) return {};
    const auto number = [&](const char* name, double fallback) -> std::optional<double> {
        if (!rect.hasAttribute(QLatin1String(name))) return fallback;
        return plainNumber(rect.value(QLatin1String(name)));
    };
    const auto x = number("x", 0), y = number("y", 0), w = number("width", -1), h = number("height", -1);
    const auto rx = number("rx", 0), ry = number("ry", 0);
    if (!x || !y || !w || !h || !rx || !ry || !(*w > 0) || !(*h > 0) || *rx < 0 || *ry < 0) return {};
    // Whichever radius the renderer takes from a lone rx or ry, the corners
    // lie within the larger one of the rectangle's corners.
    const double r = std::max(*rx, *ry);
    const double inX = std::min(r, *w / 2), inY = std::min(r, *h / 2);
    std::vector<QRectF> parts;
    if (r == 0) {
        parts.push_back(QRectF(*x, *y, *w, *h));
    } else {
        if (*w - 2 * inX > 0) parts.push_back(QRectF(*x + inX, *y, *w - 2 * inX, *h));
        if (*h - 2 * inY > 0) parts.push_back(QRectF(*x, *y + inY, *w, *h - 2 * inY));
    }
    return parts;
}

// A gradient whose every colour is opaque; its stops follow.
struct GradientRead {
    QString id;
    bool opaque = true;
    int stops = 0;
};

}  // namespace

std::vector<QRectF> opaqueGround(const QByteArray& screenedSvg) {
    // Another compositing mode could clear what the ground painted.
    if (screenedSvg.contains("comp-op")) return {};
    QXmlStreamReader in(screenedSvg);
    in.setNamespaceProcessing(false);
    std::optional<QRectF> viewBox;
    QHash<QString, bool> opaqueGradients;   // by id; false where an id is taken twice
    std::optional<GradientRead> gradient;
    std::vector<QRectF> found;
    int depth = 0;
    static const QStringList linearAttributes = {
        QStringLiteral("id"), QStringLiteral("x1"), QStringLiteral("y1"), QStringLiteral("x2"), QStringLiteral("y2"),
        QStringLiteral("gradientUnits"), QStringLiteral("gradientTransform"), QStringLiteral("spreadMethod")};
    // A radial gradient only with its focus in its centre and a radius of
    // its own: the renderer leaves a shape unfilled for a radius of nothing
    // and see-through beside a focus outside the circle.
    static const QStringList radialAttributes = {QStringLiteral("id"), QStringLiteral("cx"), QStringLiteral("cy"),
                                                 QStringLiteral("r"), QStringLiteral("gradientUnits"),
                                                 QStringLiteral("gradientTransform"), QStringLiteral("spreadMethod")};
    static const QStringList stopAttributes = {QStringLiteral("id"), QStringLiteral("offset"),
                                               QStringLiteral("stop-color"), QStringLiteral("stop-opacity")};
    while (!in.atEnd()) {
        const QXmlStreamReader::TokenType token = in.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            const QString name = localName(in.qualifiedName());
            if (gradient && (name == QLatin1String("linearGradient") || name == QLatin1String("radialGradient"))) {
                if (!gradient->id.isEmpty()) {
                    const bool opaque = gradient->opaque && gradient->stops > 0;
                    opaqueGradients.insert(gradient->id, !opaqueGradients.contains(gradient->id) && opaque);
                }
                gradient.reset();
            }
            continue;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        ++depth;
        const QString name = localName(in.qualifiedName());
        const QXmlStreamAttributes attributes = in.attributes();
        if (depth == 1) {
            viewBox = rootViewBox(attributes);
            if (!viewBox) return {};
            continue;
        }
        // A style sheet may give any element an opacity or another fill;
        // after a drawing inside the drawing, the renderer draws nothing
        // more of it.
        if (name == QLatin1String("style") || name == QLatin1String("svg")) return {};
        if (name == QLatin1String("linearGradient") || name == QLatin1String("radialGradient")) {
            // One inside another: which of them an id names is the
            // renderer's guess.
            if (gradient) return {};
            const bool radial = name == QLatin1String("radialGradient");
            bool plain = onlyThese(attributes, radial ? radialAttributes : linearAttributes);
            if (radial) {
                const auto r = plainNumber(attributes.value(QLatin1String("r")));
                plain = plain && r && *r >= kSmallestRadius;
            }
            gradient = GradientRead{attributes.value(QLatin1String("id")).toString(), plain, 0};
        } else if (gradient) {
            // Only stops inside; a stop's colour and opacity said as attributes.
            ++gradient->stops;
            if (name != QLatin1String("stop") || !onlyThese(attributes, stopAttributes)) {
                gradient->opaque = false;
            } else {
                const QStringView colour = attributes.value(QLatin1String("stop-color"));
                if (attributes.hasAttribute(QLatin1String("stop-color")) && !opaqueColour(colour))
                    gradient->opaque = false;
                if (attributes.hasAttribute(QLatin1String("stop-opacity"))) {
                    const auto opacity = plainNumber(attributes.value(QLatin1String("stop-opacity")));
                    if (!opacity || *opacity < 1) gradient->opaque = false;
                }
            }
        } else if (depth == 2 && name == QLatin1String("rect")) {
            for (const QRectF& part : groundOf(attributes, opaqueGradients)) found.push_back(part);
        }
    }
    if (in.hasError() || !viewBox) return {};
    std::vector<QRectF> parts;
    for (const QRectF& part : found) {
        const QRectF f((part.x() - viewBox->x()) / viewBox->width(), (part.y() - viewBox->y()) / viewBox->height(),
                       part.width() / viewBox->width(), part.height() / viewBox->height());
        // Far beyond the drawing, the renderer's single-precision
        // coordinates overflow and it draws nothing at all.
        if (!(std::max({std::abs(f.left()), std::abs(f.right()), std::abs(f.top()), std::abs(f.bottom())}) <= kFarthest))
            continue;
        const QRectF inside = f & QRectF(0, 0, 1, 1);
        if (inside.width() > 0 && inside.height() > 0) parts.push_back(inside);
    }
    std::stable_sort(parts.begin(), parts.end(), [](const QRectF& a, const QRectF& b) {
        return a.width() * a.height() > b.width() * b.height();
    });
    if (parts.size() > size_t(kMostParts)) parts.resize(kMostParts);
    return parts;
}
