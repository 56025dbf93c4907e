#pragma once
// Text objects of the render pass: a font made for the canvas, shadow,
// outline and main text, wrapped inside the rectangle or as one turned line.

#include <QFont>
#include <QRect>
#include <QRectF>
#include <QString>

class PassProgress;
class QPainter;
struct Tobs;
struct RenderParams;

// Logical pixels per inch of the screen (96 when there is no screen): the
// resolution of screen fonts and of every canvas shown on the screen.
int screenPpi();

// Character height in pixels:
// Trunc(20000 / dpi * FontSize * Scale * FontFactor * ppi / dpi).
int textPixelHeight(int fontSize, double scale, double fontFactor, int dpi, int ppi);

// The font of a text object at a pixel height (at least 1): face, bold,
// italic, underline and strike-out from FontStyle. Glyphs are antialiased and
// placed by the font's design metrics (no hinting), so letter spacing stays
// even at small editor sizes; aliased text is for checks of exact pixels.
QFont textFont(const Tobs& o, int pixelHeight, bool aliased = false);

// Shadow distance in pixels of a distance in steps of 0.1 mm.
int shadowPixels(int distance, double scale);
// Outline thickness d in pixels (0.2 mm, at least 1).
int outlinePixels(double scale);

// The single line a turned text shows: every line break becomes one space.
QString turnedTextLine(const QString& content);

// The box of a turned text's line as drawn on a canvas of params
// (params.CanvasDpi, 96 when 0): its advance by its line height, turned about
// its anchor corner, in device pixels. Null for a text that is not turned or
// has no line. What a turned text looks like is this box, not its rectangle.
QRectF turnedLineBox(const Tobs& o, const RenderParams& params);

// Everything a text object can touch on a canvas of params.CanvasDpi
// (96 when 0): its rectangle with shadow and outline, and for a turned text
// the length its line may run. Empty texts included.
QRect textReach(const Tobs& o, const RenderParams& params);
QRect textReach(const Tobs& o, const RenderParams& params, int height, int d, int shiftX, int shiftY);

// visible, when not null, is the part of the canvas (painter coordinates)
// that can change: a text that cannot reach it is not laid out. progress,
// when given, hears of every line laid out and drawn; when it says stop the
// text is left half-drawn and the canvas as it was given.
void drawText(QPainter& canvas, const Tobs& o, const RenderParams& params, const QRect& visible = QRect(),
              PassProgress* progress = nullptr);

// Outlines from one rendering of the text dilated by the copy offsets (on,
// the default) or from the 4d^2 copies (off; the plain way, for comparison).
void setOutlineFromMask(bool on);
bool outlineFromMaskEnabled();

// A shadow and its text from one rendering of the text's coverage laid on
// twice (on, the default) or from two renderings (off; for comparison).
void setShadowFromMask(bool on);
bool shadowFromMaskEnabled();
