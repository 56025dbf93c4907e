#pragma once
// The canvas's mouse and keyboard handling: the seven tools, selection,
// object creation, zoom steps, moving and resizing the current object by its
// handles, and hand scrolling. All window access goes through
// EditorEnvironment.

#include "edit/DragSnap.h"
#include "edit/EditorEnvironment.h"

#include <Qt>
#include <QPoint>

#include <cstdint>
#include <vector>

class ObjectCommands;
class ObjectMenu;
class CanvasMenu;

enum DragStateCode : std::int32_t { dsIdle = 0, dsDragObject = 1, dsScrollView = 2, dsRubberBand = 3 };

enum DragModeCode : std::int32_t {
    dmNone = 0, dmTopLeft = 1, dmTopRight = 2, dmBottomLeft = 3, dmBottomRight = 4,
    dmTop = 5, dmBottom = 6, dmLeft = 7, dmRight = 8, dmMove = 9
};

// Interaction state of the editor (read by the canvas's repaint).
struct EditorState {
    std::int32_t DragState = dsIdle;
    std::int32_t DragMode = dmNone;
    std::int32_t GrabOffsetX = 0;
    std::int32_t GrabOffsetY = 0;
    std::int32_t HandStartX = 0;
    std::int32_t HandStartY = 0;
    bool SkipNextPress = false;
    bool SuspendPaint = false;
};

class EditorController {
public:
    EditorController(EditorEnvironment& env, ObjectCommands& commands, ObjectMenu& objectMenu,
                     CanvasMenu& canvasMenu);

    const EditorState& state() const { return m_state; }
    // After New / Open: no drag under way.
    void resetInteraction();

    // Canvas events (canvas coordinates).
    void mousePress(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);
    void mouseMove(Qt::KeyboardModifiers modifiers, const QPoint& pos);
    void mouseRelease(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);
    // The double click and the press of its second click.
    void mouseDoubleClick(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);
    // A press on the scroll box outside the canvas.
    void scrollBoxMouseDown();
    // Keys of the hidden focus field (Qt::Key values). Returns true when handled.
    bool keyDown(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Moves the current object by whole screen pixels; consecutive nudges of
    // one object are one step.
    void nudge(int dx, int dy);

    // "Am Netz einrasten": drags pull edges onto folds, face centres and
    // other objects. Off, every drag is the plain one.
    void setSnapping(bool on) { m_snapping = on; }
    bool snapping() const { return m_snapping; }
    // Screen pixels within which an edge snaps.
    static constexpr int SnapReach = 6;
    // The guides shown with the last drag step (empty when none is in force).
    const DragGuides& dragGuides() const { return m_guides; }

    // The topmost unlocked object whose screen rectangle contains the point,
    // 0 for none: a locked object lets the pointer through.
    int HitTest(int x, int y) const;
    // The rectangle the drag outline shows (canvas pixels): the current
    // object, or the selection's bounding box while several move; the rubber
    // band while one is drawn.
    QRect dragOutlineRect() const;
    // Every unlocked object becomes selected; Esc's counterpart.
    void selectAll();
    void selectNone();
    // Which part of the current object lies under the point; sets the
    // pointer shape.
    void setdragmod(int x, int y);
    // Applies the pointer position to the current object's rectangle.
    void dragit(int x, int y);
    // Scrolls by the pointer's travel since the hand press.
    void Drag2Hand(int x, int y);
    // One zoom step about a canvas point.
    void zoomStep(int x, int y, bool inwards);

    // Undo and redo of the menu; not while a drag is under way.
    void undo();
    void redo();

private:
    void leftPress(const QPoint& pos, Qt::KeyboardModifiers modifiers);
    void rightPress(const QPoint& pos);
    void leftRelease(const QPoint& pos, Qt::KeyboardModifiers modifiers);
    void createObject(const QPoint& pos);
    void showCursor(CursorSlot slot);
    // dragit as part of the drag's one step; snaps when the setting is on,
    // the pointer has moved since the press and Shift is not held.
    void dragStep(int x, int y, Qt::KeyboardModifiers modifiers);
    // Snaps the rectangle dragit computed and keeps the guides to show.
    void snapRect(long long& L, long long& T, long long& W, long long& H);
    void endDrag();
    QRect currentScreenRect() const;
    // A press on the selection: every selected object moves with the pointer.
    void startMove();
    // The move of several objects: the bounding box follows the pointer (and
    // snaps), every object keeps its place within it.
    // A dragged rectangle keeps some of itself on the canvas: its left and
    // top edges stay between -W/-H and the canvas's far edges.
    void keepOnCanvas(long long& L, long long& T, long long W, long long H, double zoom, double divisor) const;
    void dragSelection(int x, int y);
    void finishBand(Qt::KeyboardModifiers modifiers);
    // Shift+click: the object (with its group) in or out of the selection.
    void toggleSelected(int slot);

    EditorEnvironment& m_env;
    ObjectCommands& m_commands;
    ObjectMenu& m_objectMenu;
    CanvasMenu& m_canvasMenu;
    EditorState m_state;
    int m_shownCursor = -1;
    long long m_dragSerial = 0;     // tells one drag's steps from the next drag's
    bool m_dragResizes = false;

    bool m_snapping = false;
    DragSnap m_snap;
    bool m_snapThisStep = false;    // set by dragStep around its dragit
    QPoint m_pressPos;
    bool m_pointerMoved = false;
    DragGuides m_guides;

    // The objects a move drags along with the current one (empty: it alone),
    // where each started and their bounding box at the press.
    std::vector<int> m_dragSlots;
    std::vector<QPoint> m_dragStarts;
    long long m_boxL = 0, m_boxT = 0, m_boxW = 0, m_boxH = 0;
    std::int32_t m_currentLeft0 = 0, m_currentTop0 = 0;
    // The click the release completes when the pointer did not move: the
    // object it selects alone, or (Shift) takes in or out.
    int m_clickSlot = 0;
    bool m_clickToggles = false;
    QPoint m_bandEnd;

    // The run of nudges the next one may join: same object, no change to
    // the document since (any other step, undo or redo raises its revision).
    int m_nudgeSlot = 0;
    std::uint64_t m_nudgeRevision = 0;
    long long m_nudgeSerial = 0;
};
