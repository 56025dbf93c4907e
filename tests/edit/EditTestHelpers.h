#pragma once
// Mouse gestures on a widget as a user makes them.

#include <QApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTest>

// A pointer move with no button held (QTest only moves the cursor then).
inline void hover(QWidget* w, QPoint pos) {
    QMouseEvent me(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier,
                   QPointingDevice::primaryPointingDevice());
    QApplication::sendEvent(w, &me);
}

// Press at `from`, move through `via` with the button held, release at `to`.
inline void dragMouse(QWidget* w, QPoint from, std::initializer_list<QPoint> via, QPoint to,
                      Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(w, button, Qt::NoModifier, from);
    for (const QPoint& p : via) QTest::mouseMove(w, p);
    QTest::mouseRelease(w, button, Qt::NoModifier, to);
}
