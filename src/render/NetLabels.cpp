#include "render/NetLabels.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

std::vector<NetLabel> netLabels(const FoldingModel& net) {
    std::vector<NetLabel> labels;
    for (const FoldPanel& p : net.panels())
        if (p.isFace()) labels.push_back({p.id, p.faceName(), p.labelCentre, p.labelArrow});
    return labels;
}

void paintNetLabels(QPainter& painter, const FoldingModel& net) {
    const double e = net.smallestMeasure();
    if (e < 8) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Both translucent: the labels help to place the artwork, so what lies
    // under a name or an arrow must stay visible through it.
    const QColor ink(0, 84, 190, 150);
    const QColor halo(255, 255, 255, 90);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(std::max(8, static_cast<int>(e / 8)));
    const QFontMetricsF metrics(font);
    const double width = std::max(1.5, e / 60);
    for (const NetLabel& l : netLabels(net)) {
        // The arrow: a shaft and a filled head at its tip.
        const QLineF a = l.arrow;
        const QPointF d = (a.p2() - a.p1()) / std::max(1e-9, a.length());
        const QPointF n(-d.y(), d.x());
        const double head = std::max(4.0, e / 14);
        QPainterPath arrow;
        arrow.moveTo(a.p1());
        arrow.lineTo(a.p2() - d * head * 0.8);
        QPolygonF tip({a.p2(), a.p2() - d * head + n * head * 0.55, a.p2() - d * head - n * head * 0.55});
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(halo, width + 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(arrow);
        painter.setPen(QPen(halo, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolygon(tip);
        painter.setPen(QPen(ink, width, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(arrow);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawPolygon(tip);

        QPainterPath text;
        const double w = metrics.horizontalAdvance(l.name);
        text.addText(l.centre + QPointF(-w / 2, (metrics.ascent() - metrics.descent()) / 2), font, l.name);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(halo, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(text);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawPath(text);
    }
    painter.restore();
}
