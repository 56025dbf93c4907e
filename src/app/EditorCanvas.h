#pragma once
// The editor canvas (PaintBox1): the whole editing area as a widget inside
// the scroll box ScrollBox1. It paints only the visible part, through the
// off-screen buffer PaintBuffer, and is the window side of the editing code
// (EditorEnvironment): tools and commands reach the document, the scroll
// box, the pointer shapes, menus and dialogs through it.

#include "edit/EditorEnvironment.h"
#include "render/fast/EditorLayerCache.h"

#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <optional>

struct BoxDocument;
class CursorSlots;
class EditorController;
class QScrollArea;

class EditorCanvas : public QWidget, public EditorEnvironment {
    Q_OBJECT
public:
    EditorCanvas(BoxDocument& doc, Prompter& prompter, const CursorSlots& cursors, QWidget* parent = nullptr);

    // Wiring, done once by the window.
    void setScrollBox(QScrollArea* scrollBox) { m_scrollBox = scrollBox; }
    void setController(EditorController* controller) { m_controller = controller; }
    void setDialogs(EditorDialogs* dialogs) { m_dialogs = dialogs; }
    void setKeyEdit(QWidget* keyEdit) { m_keyEdit = keyEdit; }
    // CheckAllPanelOptions of the property panel, run first in every repaint.
    void setPanelSync(std::function<void()> sync) { m_panelSync = std::move(sync); }
    // The tool bar's current tool and the way to put a tool's button down.
    void setToolAccess(std::function<EditorTool()> get, std::function<void(EditorTool)> set) {
        m_getTool = std::move(get);
        m_setTool = std::move(set);
    }
    void setBoxPercent(int percent) { m_percent = percent; }
    // The document the canvas draws: the design as a row of linked data
    // fills it. Editing still works on the design itself (same geometry).
    void setShownDocument(std::function<const BoxDocument&()> shown) { m_shown = std::move(shown); }
    // Face names and arrows on the net ("Seiten im Netz beschriften").
    void setNetLabels(bool on) { m_netLabels = on; }
    bool netLabels() const { return m_netLabels; }

    // The full repaint: panel, buffer (design and marks), screen, rulers.
    void PaintBox1Paint();
    // Sizes the canvas to the document's editing area at its scale.
    void sizeToDocument();

    const QImage& paintBuffer() const { return m_buffer; }
    // Renders the buffer now when it does not show the current scroll
    // position and viewport (tests, benchmarks, outline drawing).
    void ensureRendered();
    int renderCount() const { return m_renderCount; }
    const EditorLayerCache& layers() const { return m_layers; }
    int paintEventCount() const { return m_paintEvents; }

    // EditorEnvironment
    BoxDocument& document() override { return m_doc; }
    int boxPercent() const override { return m_percent; }
    QSize canvasSize() const override { return size(); }
    void setCanvasSize(const QSize& size) override;
    QSize visibleSize() const override;
    QPoint scrollPosition() const override;
    void setScrollPosition(const QPoint& position) override;
    void repaint() override { PaintBox1Paint(); }
    void showDragOutline(const QRect& canvasRect, const DragGuides& guides = {}) override;
    void setCanvasCursor(CursorSlot slot) override;
    void captureMouse() override {}
    void releaseMouse() override {}
    EditorTool currentTool() const override;
    void setCurrentTool(EditorTool tool) override;
    Prompter& prompter() override { return m_prompter; }
    void popupMenu(QMenu& menu, const QPoint& canvasPoint) override;
    void focusKeyEdit() override;
    int screenDpi() const override;
    EditorDialogs& dialogs() override;

    // Progress of a long image operation run by an editing command (a quarter
    // turn of a large picture); the window puts it on its progress bar.
    void reportProgress(int percent) override { emit progressReported(percent); }
    void showStatus(const QString& text) override { emit statusReported(text); }
    QString firstRowPicture(const QString& name) override { return m_firstRowPicture ? m_firstRowPicture(name) : name; }
    void setFirstRowPicture(std::function<QString(const QString&)> fill) { m_firstRowPicture = std::move(fill); }

signals:
    // The rulers follow every repaint and every scroll.
    void rulersNeedRepaint();
    void progressReported(int percent);
    void statusReported(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Device pixels of a buffer showing `logical` pixels at the screen's ratio.
    static QSize bufferSizeFor(QSize logical, qreal ratio);
    bool renderBuffer();
    // Marks of the selection and of locked objects on the buffer.
    void paintSelectionMarks(const QPoint& scroll);
    int dragState() const;

    BoxDocument& m_doc;
    Prompter& m_prompter;
    const CursorSlots& m_cursors;
    QScrollArea* m_scrollBox = nullptr;   // the parent scroll box, lives as long as the canvas
    EditorController* m_controller = nullptr;
    EditorDialogs* m_dialogs = nullptr;
    QPointer<QWidget> m_keyEdit;
    std::function<void()> m_panelSync;
    std::function<const BoxDocument&()> m_shown;
    std::function<QString(const QString&)> m_firstRowPicture;
    std::function<EditorTool()> m_getTool;
    std::function<void(EditorTool)> m_setTool;
    EditorTool m_tool = EditorTool::Pointer;   // used until a tool bar is wired
    int m_percent = 100;

    QImage m_buffer;                   // PaintBuffer: the visible part only, in device pixels
    EditorLayerCache m_layers;         // the picture without marks, between repaints
    QPoint m_bufferScroll;             // scroll position the buffer was rendered at
    bool m_bufferValid = false;
    bool m_netLabels = false;
    QRegion m_dragMarks;               // inverted drag frame and guides in the buffer (canvas coordinates)
    int m_renderCount = 0;
    int m_paintEvents = 0;
};
