#include "app/CursorSlots.h"

#include "widgets/AppResources.h"

#include <QBitmap>

namespace {

QCursor ownCursor(const QString& name, int hotX, int hotY, Qt::CursorShape fallback) {
    const QBitmap shape(QStringLiteral(":/cursors/%1.xbm").arg(name));
    const QBitmap mask(QStringLiteral(":/cursors/%1_mask.xbm").arg(name));
    if (shape.isNull() || mask.isNull()) return QCursor(fallback);
    return QCursor(shape, mask, hotX, hotY);
}

}  // namespace

CursorSlots::CursorSlots() {
    ensureAppResources();
    m_slots[CursorIBeam] = QCursor(Qt::IBeamCursor);
    m_slots[CursorTopLeft] = QCursor(Qt::SizeFDiagCursor);
    m_slots[CursorTopRight] = QCursor(Qt::SizeBDiagCursor);
    m_slots[CursorBottomLeft] = QCursor(Qt::SizeBDiagCursor);
    m_slots[CursorBottomRight] = QCursor(Qt::SizeFDiagCursor);
    m_slots[CursorTop] = QCursor(Qt::SizeVerCursor);
    m_slots[CursorBottom] = QCursor(Qt::SizeVerCursor);
    m_slots[CursorLeft] = QCursor(Qt::SizeHorCursor);
    m_slots[CursorRight] = QCursor(Qt::SizeHorCursor);
    m_slots[CursorDragHand] = ownCursor(QStringLiteral("MYSB_DRAGC"), 15, 16, Qt::ClosedHandCursor);
    m_slots[CursorArrow] = QCursor(Qt::ArrowCursor);
    m_slots[CursorMagnifier] = ownCursor(QStringLiteral("MYSB_LUPE"), 0, 0, Qt::CrossCursor);
    m_slots[CursorMultiDrag] = ownCursor(QStringLiteral("MULTIDRAG"), 0, 0, Qt::DragCopyCursor);
}

const QCursor& CursorSlots::cursor(CursorSlot slot) const {
    const int i = static_cast<int>(slot);
    if (i < 0 || i > Count) return m_slots[CursorArrow];
    return m_slots[static_cast<size_t>(i)];
}
