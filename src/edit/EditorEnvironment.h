#pragma once
// What the editing code (tools, drags, object commands, menus, property panel)
// needs from the window around it. The main window's canvas implements this;
// tests implement it with a small widget and scripted dialogs, so nothing in
// src/edit needs the main window.
//
// Wiring in the main window (see also edit/Editor.h):
//   - The canvas (PaintBox1) implements EditorEnvironment and forwards its
//     mouse events to EditorController: mousePressEvent -> mousePress,
//     mouseMoveEvent -> mouseMove, mouseReleaseEvent -> mouseRelease,
//     mouseDoubleClickEvent -> mouseDoubleClick (the controller runs the
//     press of the second click itself; do not call mousePress as well).
//     A press on the scroll box outside the canvas -> scrollBoxMouseDown().
//   - The canvas needs mouse tracking on (moves without a button update the
//     pointer shape).
//   - The full repaint (PaintBox1Paint) first calls
//     PropertyPanel::CheckAllPanelOptions(), skips the picture while
//     EditorController::state().SuspendPaint is set, and draws the selection
//     marks with EditorController::state().DragState (NOT-XOR frame without
//     handles while dsDragObject, no handles unless dsIdle).
//   - The tool bar is edit/EditorToolBar.h (the seven buttons in one
//     exclusive group, toolContent hidden); currentTool()/setCurrentTool()
//     simply forward to it.
//   - The hidden focus field is edit/KeyEdit.h; its key presses reach
//     EditorController::keyDown. focusKeyEdit() gives it the focus.
//   - dialogs() returns an edit/WidgetEditorDialogs.h for the real program.
//   - New/Open call EditorController::resetInteraction() after clearall.
//   - The object menu (ObjectMenu), the canvas menu (CanvasMenu), the
//     commands (ObjectCommands) and the controller may be built one by one
//     or together through edit/Editor.h.
//   - Image paths are shortened with model/SubProgPath.h.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

struct BoxDocument;
struct Tobs;
class Prompter;
class QMenu;

// The seven tools, top to bottom on the tool bar.
enum class EditorTool { Pointer, Zoom, Hand, Figure, Text, Image, Content };

// Pointer shapes of the canvas: the twelve cursor slots installed at start-up
// plus the toolkit's I-beam for the content tool.
//  1 diag NW-SE (top left)   2 diag NE-SW (top right)  3 diag NE-SW (bottom left)
//  4 diag NW-SE (bottom right) 5, 6 vertical  7, 8 horizontal
//  9 grabbing hand (MYSB_DRAGC)  10 arrow  11 magnifier (MYSB_LUPE)
// 12 arrow over pages (multi-drag)
enum CursorSlot : int {
    CursorIBeam = 0,
    CursorTopLeft = 1, CursorTopRight = 2, CursorBottomLeft = 3, CursorBottomRight = 4,
    CursorTop = 5, CursorBottom = 6, CursorLeft = 7, CursorRight = 8,
    CursorDragHand = 9, CursorArrow = 10, CursorMagnifier = 11, CursorMultiDrag = 12
};

// The font held by the font dialog (FontDialog1). Height follows the
// toolkit's convention (negative = character height in pixels); size in
// points. Setting one of the two recomputes the other at the screen dpi.
struct DialogFont {
    QString Name = QStringLiteral("Times New Roman");
    std::int32_t Height = -16;
    std::int32_t Size = 12;
    std::int32_t Color = 0;           // 0x00BBGGRR
    std::uint8_t Pitch = 0;           // 0 default, 1 variable, 2 fixed
    std::uint8_t Style = 0;           // bit 0 bold, 1 italic, 2 underline, 3 strike-out

    void setHeight(std::int32_t height, int dpi);
    void setSize(std::int32_t points, int dpi);
    // Gives a text object this typeface, height, pitch, style and size; the
    // colour is the caller's: a new object takes it as its font colour, the
    // font command as the object's colour.
    void applyTypefaceTo(Tobs& o) const;
};

// Values of the text effects dialog (TEffektForm).
struct TextEffectValues {
    bool Outline = false;
    bool Shadow = false;
    std::int32_t OutlineColor = 0;    // UmrColor
    std::int32_t ShadowColor = 0;     // SchattColor
    std::int32_t ShadowDx = 5;        // SchattED1
    std::int32_t ShadowDy = 5;        // SchattEd2
};

// Values of the transparency dialog (TTransForm).
struct TransparencyValues {
    bool Transparent = false;         // TransCheck
    bool AutoColor = false;           // AutoCheck
    std::int32_t Color = 0;           // its ColorDialog1's colour
};

// The modal dialogs the commands open. Each returns true when the user
// confirmed (modal result OK) and only then has written its results back.
class EditorDialogs {
public:
    virtual ~EditorDialogs() = default;

    // Image chooser (TBMPOpenForm): shows the folder pictures were chosen
    // from last, else `folder`, file types from `filter`, an empty file
    // name. On OK `chosenFile` is its ChosenFile.
    virtual bool chooseImage(const QString& folder, const QString& filter, QString& chosenFile) = 0;
    // The main window's colour dialog (ColorDialog1), 0x00BBGGRR in and out.
    virtual bool chooseColor(std::int32_t& color) = 0;
    // The font dialog (FontDialog1) started with `font`; on OK `font` holds
    // the user's choice.
    virtual bool chooseFont(DialogFont& font) = 0;
    // Text entry (TTxtForm): the memo lines in and out.
    virtual bool editText(QStringList& lines) = 0;
    virtual bool editTextEffects(TextEffectValues& values) = 0;     // TEffektForm
    virtual bool editTransparency(TransparencyValues& values) = 0;  // TTransForm
    // Background dialog (Tbkgndform); it changes the document itself and
    // asks for the repaint when it closes.
    virtual void showBackgroundDialog() = 0;
};

// Snap guides of a drag step: whole canvas columns and rows, drawn across
// the visible canvas with the drag outline's pen.
struct DragGuides {
    std::vector<int> columns;
    std::vector<int> rows;
    bool empty() const { return columns.empty() && rows.empty(); }
};

class EditorEnvironment {
public:
    virtual ~EditorEnvironment() = default;

    virtual BoxDocument& document() = 0;
    // The box size percentage (ProzED), 10..100.
    virtual int boxPercent() const = 0;

    // Size of the canvas (PaintBox1) in pixels; the zoom step resizes it.
    virtual QSize canvasSize() const = 0;
    virtual void setCanvasSize(const QSize& size) = 0;
    // Size of the part of the canvas the scroll box (ScrollBox1) shows, between
    // its scroll bars: what the user sees, and so what a zoom step or a paste
    // centres on.
    virtual QSize visibleSize() const = 0;
    // Horizontal and vertical scroll positions of the scroll box. The setter
    // sets the horizontal one first and keeps each within what can be
    // scrolled.
    virtual QPoint scrollPosition() const = 0;
    virtual void setScrollPosition(const QPoint& position) = 0;

    // The full repaint (PaintBox1Paint), done before returning.
    virtual void repaint() = 0;
    // During an object drag: show the last painted picture with the drag
    // outline (1-pixel frame, NOT-XOR, no fill, no handles) at this canvas
    // rectangle instead of the previous outline. Must not render the design
    // again. The rectangle is (left, top, width, height) in canvas pixels as
    // DevLeft/DevTop/DevWidth/DevHeight give them; the frame covers columns
    // left .. left + width - 1 and rows top .. top + height - 1. The guides
    // belong to the outline: frame and guides are one set of pixels, each
    // inverted once, and both go with the next call or the next repaint.
    virtual void showDragOutline(const QRect& canvasRect, const DragGuides& guides = {}) = 0;

    // Pointer shape of the canvas (called only when the slot changes).
    virtual void setCanvasCursor(CursorSlot slot) = 0;
    // Mouse capture while a button is held, so that moves and the release
    // outside the canvas still arrive (Qt's implicit grab already does this
    // for a press on the widget; implementations may leave these empty).
    virtual void captureMouse() = 0;
    virtual void releaseMouse() = 0;

    // The tool whose button is down, and putting a tool's button down.
    virtual EditorTool currentTool() const = 0;
    virtual void setCurrentTool(EditorTool tool) = 0;

    virtual Prompter& prompter() = 0;

    // Opens a context menu at a canvas point (converted to screen
    // coordinates by the canvas). May block until the menu closes.
    virtual void popupMenu(QMenu& menu, const QPoint& canvasPoint) = 0;

    // Keyboard focus to the hidden focus field (KeyEdit).
    virtual void focusKeyEdit() = 0;

    // Horizontal pixels per inch of the main window's screen.
    virtual int screenDpi() const = 0;

    virtual EditorDialogs& dialogs() = 0;

    // Progress of a long operation (turning a large picture) in percent; the
    // window shows it on its progress bar.
    virtual void reportProgress(int percent) { (void)percent; }

    // A line for the status bar (where a pasted picture was saved).
    virtual void showStatus(const QString& text) { (void)text; }

    // The file a picture name with fields stands for while data is linked:
    // the name as the first row fills it. Without data, the name itself.
    virtual QString firstRowPicture(const QString& name) { return name; }
};
