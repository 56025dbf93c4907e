#pragma once
// The editor's picture: the white editing area, the box area's frame and
// drop shadow, then the render pass. The canvas widget and the command-line
// tool both draw through here, so they show the same pixels.

#include <QImage>
#include <QSize>

class QPainter;
struct BoxDocument;
struct RenderParams;

// PaintBox1's full size: Trunc(Extent * Zoom / ScreenDivisor).
QSize editingAreaSize(const BoxDocument& doc);

// White area, 1-pixel black frame around the box area and the grey drop
// shadow (5 pixels, offset 5 down and right), for a canvas showing the
// editing area of size area from the scroll position (scrollX, scrollY).
void paintEditorFrame(QPainter& canvas, QSize area, int scrollX, int scrollY);

// The render pass's settings for the editor's view from the scroll position
// (scrollX, scrollY) with the box at percent of its size: the whole editing
// area, fonts at the screen's resolution (the buffer is a screen bitmap).
RenderParams editorRenderParams(const BoxDocument& doc, int percent, int scrollX, int scrollY);

// Renders the visible part of the editing area into buffer (its size is the
// visible part's size): frame, shadow, design and net; no selection marks.
// In bands on the render pool; the editor keeps its picture between repaints
// through EditorLayerCache.
// Returns false when a render pass was already under way (nothing drawn).
bool renderEditorBuffer(QImage& buffer, const BoxDocument& doc, int percent, int scrollX, int scrollY);
