#pragma once
// The one render pass of a design: background, slots 1..10000 in ascending
// order, then the dotted net on top. The editor buffer, the print preview and
// the printed sheet all come from here; only the parameters differ.

#include "base/Progress.h"
#include "model/BoxForm.h"
#include "render/Mapping.h"

#include <QRect>

class FigurePlan;
struct PictureStandIns;
class QPaintDevice;
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
    // Box size in percent (10..100); only a cube follows it.
    int Percent = 100;
    // The form of the box whose net the pass draws (the document's).
    BoxForm Form;
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
    // Width of the printed net's dotted lines in millimetres, dots and gaps
    // scaled with it; 0: one device pixel ("fein", as the editor draws it).
    double NetLineMm = 0;
    // Vector output: a text's shadow is one copy of its glyph paths and its
    // outline those paths stroked once beneath the text, so each word is in
    // the file once as text; TextAsPaths turns the main text into a path as
    // well.
    bool TextCopiesAsPaths = false;
    bool TextAsPaths = false;
    // The figures worked out ahead for this pass (places, the hidden ones,
    // kept pixels); null: each band works them out itself.
    const FigurePlan* Figures = nullptr;
    // Vector output: pictures drawn as another picture in their place.
    const PictureStandIns* StandIns = nullptr;
    // Asked with the pass's percent every hundred objects and every few
    // lines of a text; false stops the pass, which then returns false.
    // Empty: the pass runs to its end.
    ProgressCallback Progress;
    // Output with a bleed: the rectangle the background covers, in the box
    // area's pixels (beyond it where the bleed reaches past the box area),
    // its placement still the one worked out for the box area. Empty: the
    // background as the box area alone places it.
    QRect CoverArea;
};

// An object's rectangle on the canvas: X, Y with the offsets subtracted,
// W, H; each within +-kCoordLimit.
struct DeviceRect {
    int X, Y, W, H;
};
DeviceRect deviceRect(const Tobs& o, const RenderParams& params);

// Draws one pass. Returns true once the pass has finished; false when its
// progress callback stopped it. Either way the canvas is left with a 1-pixel
// solid black pen in copy mode and a solid white brush.
// A nested call on a canvas that a pass is drawing on draws nothing and
// returns false. The pass only reads the document, so passes on different
// canvases may run on different threads at the same time.
bool DrawVCart(QPainter& canvas, const BoxDocument& doc, const RenderParams& params);

// true while this thread is inside a pass, or inside a job (a print, the
// sheet) that waits for passes on the render pool: paint handlers return at
// once then, so a repaint requested from inside a pass (a message box) does
// not nest. Passes on other threads do not count.
bool Painting();
// true while a pass draws on this canvas, on whichever thread.
bool Painting(const QPaintDevice* canvas);

// Marks a pass (or a job of passes) for its lifetime and clears the mark
// however the scope is left. With a canvas, the mark belongs to the pass on
// that canvas: active() is false when a pass already draws there. Without
// one it marks a job of this thread: active() is false when this thread is
// already inside a pass or job.
class PaintingGuard {
public:
    explicit PaintingGuard(const QPaintDevice* canvas = nullptr);
    ~PaintingGuard();
    PaintingGuard(const PaintingGuard&) = delete;
    PaintingGuard& operator=(const PaintingGuard&) = delete;
    bool active() const { return m_active; }

private:
    const QPaintDevice* m_canvas;
    bool m_active;
};
