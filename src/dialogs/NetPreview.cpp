#include "dialogs/NetPreview.h"

#include <QPainter>
#include <QPen>
#include <algorithm>

NetPreview::NetPreview(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("NetPreview"));
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void NetPreview::setNet(const NetDrawingMm& net, const QSizeF& room, bool fits) {
    m_net = net;
    m_room = room;
    m_fits = fits;
    update();
}

QImage netPicture(const NetDrawingMm& net, const QSize& size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QRectF area = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(3, 3, -3, -3);
    const QRectF shown = net.outline.boundingRect();
    if (area.isEmpty() || shown.width() <= 0 || shown.height() <= 0) return image;
    const double scale = std::min(area.width() / shown.width(), area.height() / shown.height());
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(area.left() + (area.width() - shown.width() * scale) / 2 - shown.left() * scale,
                area.top() + (area.height() - shown.height() * scale) / 2 - shown.top() * scale);
    p.scale(scale, scale);
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::black, 0));
    p.drawPolygon(net.outline);
    for (const QLineF& slit : net.slits) p.drawLine(slit);
    p.setPen(QPen(QColor(90, 90, 90), 0, Qt::DashLine));
    for (const QLineF& fold : net.folds) p.drawLine(fold);
    return image;
}

void NetPreview::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    const QRectF area = QRectF(contentsRect()).adjusted(6, 6, -6, -6);
    // The room and the net together, so that a net too large shows by how much.
    const QRectF shown = QRectF(QPointF(0, 0), m_room).united(m_net.outline.boundingRect());
    if (area.isEmpty() || shown.width() <= 0 || shown.height() <= 0) return;
    const double scale = std::min(area.width() / shown.width(), area.height() / shown.height());
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(area.left() + (area.width() - shown.width() * scale) / 2 - shown.left() * scale,
                area.top() + (area.height() - shown.height() * scale) / 2 - shown.top() * scale);
    p.scale(scale, scale);

    p.setPen(QPen(QColor(190, 190, 190), 0));
    p.setBrush(QColor(246, 246, 246));
    p.drawRect(QRectF(QPointF(0, 0), m_room));

    const QColor ink = m_fits ? QColor(0, 0, 0) : QColor(200, 0, 0);
    p.setBrush(m_fits ? QColor(255, 255, 255) : QColor(255, 235, 235));
    p.setPen(QPen(ink, 0));
    p.drawPolygon(m_net.outline);
    for (const QLineF& slit : m_net.slits) p.drawLine(slit);
    QPen dashed(ink, 0, Qt::DashLine);
    p.setPen(dashed);
    for (const QLineF& fold : m_net.folds) p.drawLine(fold);
}
