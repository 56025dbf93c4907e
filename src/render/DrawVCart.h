#pragma once
// The one render pass of a design: background, slots 1..10000 in ascending
// order, then the dotted net on top. The editor buffer, the print preview and
// the printed sheet all come from here; only the parameters differ.

#include "render/Mapping.h"

class QPainter;
struct BoxDocument;
struct Tobs;

struct RenderParams {
    // Editor: the whole editing area (PaintBox1's size). Output: the item
    // size at the output resolution.
    int AreaWidth = 0;
    int AreaHeight = 0;
    // Subtracted from every drawn x and y: the scroll position in the
    // editor, item size (+ sheet position) on output.
    int OffsetX = 0;
    int OffsetY = 0;
    // Document units -> device pixels; its Scale() also scales pen widths,
    // shadow and outline distances and font heights.
    Mapping mapping;
    // Extra factor on font heights: (printer dpi / screen dpi)^2 on paper.
    double FontFactor = 1.0;
    // true: the canvas shows the editing area (box area = middle third).
    bool EditorView = false;
    // Box size in percent (10..100).
    int Percent = 100;
    // Horizontal pixels per inch of the canvas for font heights; 0 = ask the
    // painter's device. A raster band standing in for a printer passes the
    // printer's resolution here.
    int CanvasDpi = 0;
    // Pixels per inch of the screen fonts; 0 = the primary screen's (96).
    int FontPpi = 0;
    // Text without antialiasing: only for checks that need exact text pixels.
    bool AliasedText = false;
    // false: the pass leaves the dotted net out (a vector export draws the
    // net as a layer of its own, since its XOR has no vector form).
    bool DrawNet = true;
    // Vector output: a text's shadow and outline copies are filled glyph
    // paths, so each word is in the file once as text; TextAsPaths turns
    // the main text into a path as well.
    bool TextCopiesAsPaths = false;
    bool TextAsPaths = false;
};

// An object's rectangle on the canvas: X, Y with the offsets subtracted,
// W, H; each within +-kCoordLimit.
struct DeviceRect {
    int X, Y, W, H;
};
DeviceRect deviceRect(const Tobs& o, const RenderParams& params);

// Draws one pass. Returns true once the pass has finished. The canvas is left
// with a 1-pixel solid black pen in copy mode and a solid white brush.
// A nested call while a pass is running draws nothing and returns false.
bool DrawVCart(QPainter& canvas, const BoxDocument& doc, const RenderParams& params);

// true while a pass is under way: paint handlers return at once then, so a
// repaint requested from inside a pass (a message box) does not nest.
bool Painting();

// Sets the Painting flag for its lifetime and clears it however the scope is
// left. active() is false when a pass was already running.
class PaintingGuard {
public:
    PaintingGuard();
    ~PaintingGuard();
    PaintingGuard(const PaintingGuard&) = delete;
    PaintingGuard& operator=(const PaintingGuard&) = delete;
    bool active() const { return m_active; }

private:
    bool m_active;
};
