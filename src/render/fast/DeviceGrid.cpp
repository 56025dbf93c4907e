#include "render/fast/DeviceGrid.h"

#include <QPainter>
#include <QTransform>

qreal painterPixelRatio(const QPainter& painter) {
    const QTransform t = painter.deviceTransform();
    if (t.type() != QTransform::TxScale || t.m11() != t.m22() || t.m11() <= 0) return 1.0;
    return t.m11();
}
