#include "app/EditorCanvas.h"

#include "app/CursorSlots.h"
#include "base/Units.h"
#include "edit/EditorController.h"
#include "model/BoxDocument.h"
#include "render/DrawVCart.h"
#include "render/EditorView.h"
#include "render/NetLabels.h"
#include "render/Mapping.h"
#include "render/SelectionMarks.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QtMath>
#include <algorithm>
#include <cmath>

EditorCanvas::EditorCanvas(BoxDocument& doc, Prompter& prompter, const CursorSlots& cursors, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_prompter(prompter), m_cursors(cursors) {
    setObjectName(QStringLiteral("PaintBox1"));
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    // Every pixel comes from the buffer: no background fill, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(m_cursors.cursor(CursorArrow));
}

int EditorCanvas::dragState() const { return m_controller ? m_controller->state().DragState : dsIdle; }

QSize EditorCanvas::visibleSize() const {
    if (m_scrollBox) return m_scrollBox->viewport()->size();
    return size();
}

QPoint EditorCanvas::scrollPosition() const {
    if (!m_scrollBox) return QPoint();
    return QPoint(m_scrollBox->horizontalScrollBar()->value(), m_scrollBox->verticalScrollBar()->value());
}

void EditorCanvas::setScrollPosition(const QPoint& position) {
    if (!m_scrollBox) return;
    m_scrollBox->horizontalScrollBar()->setValue(position.x());
    m_scrollBox->verticalScrollBar()->setValue(position.y());
}

void EditorCanvas::setCanvasSize(const QSize& newSize) {
    if (newSize == size()) return;
    resize(newSize);
    // The scroll ranges must follow at once: the zoom step clamps against them
    // right after resizing, also while the window is still hidden.
    if (m_scrollBox) {
        QResizeEvent ev(newSize, newSize);
        QCoreApplication::sendEvent(this, &ev);
    }
    m_bufferValid = false;
}

void EditorCanvas::sizeToDocument() { setCanvasSize(editingAreaSize(m_doc)); }

QSize EditorCanvas::bufferSizeFor(QSize logical, qreal ratio) {
    return QSize(qCeil(logical.width() * ratio), qCeil(logical.height() * ratio));
}

bool EditorCanvas::renderBuffer() {
    const QSize vs = visibleSize();
    if (vs.isEmpty()) {
        m_buffer = QImage();
        m_bufferValid = false;
        return false;
    }
    // On a high-density screen the buffer holds the device's pixels; the
    // picture is laid out in logical pixels as everywhere else.
    const qreal ratio = devicePixelRatioF();
    if (m_buffer.size() != bufferSizeFor(vs, ratio) || m_buffer.devicePixelRatio() != ratio) {
        m_buffer = QImage(bufferSizeFor(vs, ratio), QImage::Format_RGB32);
        m_buffer.setDevicePixelRatio(ratio);
    }
    const QPoint scroll = scrollPosition();
    const BoxDocument& shown = m_shown ? m_shown() : static_cast<const BoxDocument&>(m_doc);
    if (!m_layers.render(m_buffer, shown, m_percent, scroll.x(), scroll.y())) return false;
    ++m_renderCount;
    if (m_netLabels) {
        // Over the design, under the selection marks.
        const QSize area = editingAreaSize(m_doc);
        QPainter p(&m_buffer);
        paintNetLabels(p, FoldingModel::fromMeasure(measureNet(
                              boxAreaFor(area.width(), area.height(), scroll.x(), scroll.y(), true),
                              NetSource::of(m_doc, m_percent), Mapping::screenFor(m_doc).Scale())));
    }

    m_dragMarks = QRegion();
    paintSelectionMarks(scroll);
    m_bufferScroll = scroll;
    m_bufferValid = true;
    return true;
}

void EditorCanvas::paintSelectionMarks(const QPoint& scroll) {
    const Mapping map = Mapping::screenFor(m_doc);
    auto screenRect = [&map](const Tobs& o) {
        return QRect(clampCoord(map.DevLeft(o)), clampCoord(map.DevTop(o)), clampCoord(map.DevWidth(o)),
                     clampCoord(map.DevHeight(o)));
    };
    const QRect visible(scroll, logicalRect(m_buffer).size());
    // Locked objects show their padlock; the cost is one look per slot.
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& o = m_doc.Objects[slot];
        if (o.isFree() || !o.Locked) continue;
        const QRect r = screenRect(o);
        if (r.adjusted(-1, -1, 1, 1).intersects(visible)) lockMark(m_buffer, r.translated(-scroll));
    }
    const int current = m_doc.CurrentObject;
    const bool hasCurrent = ObjectTable::isValidSlot(current) && !m_doc.Objects[current].isFree();
    // The other selected objects: a frame each without handles, a group one
    // frame round its members. Inverted, so they show on any colour.
    const std::vector<int> selected = m_doc.selectedSlots();
    if (selected.size() > 1 || (hasCurrent && m_doc.Objects[current].Group != 0)) {
        std::vector<std::pair<std::int32_t, QRect>> groups;
        for (int slot : selected) {
            const Tobs& o = m_doc.Objects[slot];
            if (o.Group == 0) {
                if (slot != current) markrec(m_buffer, screenRect(o).translated(-scroll), MarkStyle::InvertedFrame);
                continue;
            }
            auto it = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == o.Group; });
            if (it == groups.end()) groups.emplace_back(o.Group, screenRect(o));
            else it->second = it->second.united(screenRect(o));
        }
        for (const auto& g : groups) markrec(m_buffer, g.second.translated(-scroll), MarkStyle::InvertedFrame);
    }
    if (!hasCurrent) return;
    const int state = dragState();
    if (state == dsDragObject) {
        // The drag outline: the current object, or the box of all that move.
        const QRect outline = m_controller ? m_controller->dragOutlineRect() : screenRect(m_doc.Objects[current]);
        m_dragMarks = dragMarkPixels(outline, {}, {}, QRect());
        invertPixels(m_buffer, m_dragMarks.translated(-scroll));
        return;
    }
    markrec(m_buffer, screenRect(m_doc.Objects[current]).translated(-scroll),
            state == dsIdle ? MarkStyle::FrameAndHandles : MarkStyle::FrameOnly);
}

void EditorCanvas::ensureRendered() {
    if (Painting()) return;
    if (!m_bufferValid || m_bufferScroll != scrollPosition() ||
        m_buffer.size() != bufferSizeFor(visibleSize(), devicePixelRatioF()) ||
        m_buffer.devicePixelRatio() != devicePixelRatioF())
        renderBuffer();
}

void EditorCanvas::PaintBox1Paint() {
    // A repaint asked for from inside a render pass (a message box shown by
    // it) would nest: the caller repaints once the pass is over.
    if (Painting()) return;
    if (m_panelSync) m_panelSync();
    const bool suspended = m_controller && m_controller->state().SuspendPaint;
    if (!suspended) {
        renderBuffer();
        update();
    }
    emit rulersNeedRepaint();
}

void EditorCanvas::paintEvent(QPaintEvent* event) {
    if (Painting()) return;
    ensureRendered();
    ++m_paintEvents;
    QPainter p(this);
    if (!m_bufferValid) {
        p.fillRect(event->rect(), Qt::white);
        return;
    }
    // Only the part asked for: a drag step touches just the two outlines.
    const QRect target = event->rect() & QRect(m_bufferScroll, m_buffer.deviceIndependentSize().toSize());
    if (target.isEmpty()) return;
    if (m_buffer.devicePixelRatio() == 1.0) {
        p.drawImage(target, m_buffer, target.translated(-m_bufferScroll));
    } else {
        // Whole device pixels onto the screen's: clip instead of cutting a
        // source rectangle, which at fractional ratios is not whole pixels.
        p.setClipRect(target);
        p.drawImage(m_bufferScroll, m_buffer);
    }
}

void EditorCanvas::showDragOutline(const QRect& canvasRect, const DragGuides& guides) {
    ensureRendered();
    if (!m_bufferValid) return;
    // Erase what the last step showed, then show this step's set: outline
    // and guides in one, so no pixel is inverted twice.
    const QRegion previous = m_dragMarks;
    invertPixels(m_buffer, previous.translated(-m_bufferScroll));
    const QRect visible(m_bufferScroll, m_buffer.deviceIndependentSize().toSize());
    m_dragMarks = dragMarkPixels(canvasRect, guides.columns, guides.rows, visible);
    invertPixels(m_buffer, m_dragMarks.translated(-m_bufferScroll));
    update(previous + m_dragMarks);
}

void EditorCanvas::setCanvasCursor(CursorSlot slot) { setCursor(m_cursors.cursor(slot)); }

EditorTool EditorCanvas::currentTool() const { return m_getTool ? m_getTool() : m_tool; }

void EditorCanvas::setCurrentTool(EditorTool tool) {
    m_tool = tool;
    if (m_setTool) m_setTool(tool);
}

void EditorCanvas::popupMenu(QMenu& menu, const QPoint& canvasPoint) { menu.exec(mapToGlobal(canvasPoint)); }

void EditorCanvas::focusKeyEdit() {
    if (m_keyEdit) m_keyEdit->setFocus(Qt::MouseFocusReason);
}

int EditorCanvas::screenDpi() const {
    const QScreen* s = screen();
    if (!s) return 96;
    const int dpi = static_cast<int>(std::trunc(s->logicalDotsPerInchX()));
    return dpi > 0 ? dpi : 96;
}

EditorDialogs& EditorCanvas::dialogs() {
    Q_ASSERT(m_dialogs);
    return *m_dialogs;
}

void EditorCanvas::mousePressEvent(QMouseEvent* e) {
    if (m_controller) m_controller->mousePress(e->button(), e->modifiers(), e->position().toPoint());
}

void EditorCanvas::mouseMoveEvent(QMouseEvent* e) {
    if (m_controller) m_controller->mouseMove(e->modifiers(), e->position().toPoint());
}

void EditorCanvas::mouseReleaseEvent(QMouseEvent* e) {
    if (m_controller) m_controller->mouseRelease(e->button(), e->modifiers(), e->position().toPoint());
}

void EditorCanvas::mouseDoubleClickEvent(QMouseEvent* e) {
    if (m_controller) m_controller->mouseDoubleClick(e->button(), e->modifiers(), e->position().toPoint());
}
