#include "app/RulerWidget.h"

#include "render/RulerPainter.h"

#include <QPainter>

RulerWidget::RulerWidget(Direction direction, QWidget* parent) : QWidget(parent), m_direction(direction) {
    setObjectName(direction == Horizontal ? QStringLiteral("TRuler") : QStringLiteral("LRuler"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (direction == Horizontal) setFixedHeight(20);
    else setFixedWidth(20);
}

QImage RulerWidget::render() const {
    const RulerInput in = m_source ? m_source() : RulerInput();
    if (m_direction == Horizontal)
        return paintHorizontalRuler(width(), height(), in.scroll, in.surfaceLength, in.itemMm, devicePixelRatioF());
    return paintVerticalRuler(width(), height(), in.scroll, in.surfaceLength, in.itemMm, devicePixelRatioF());
}

void RulerWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, render());
}
