#include "edit/EditorController.h"

#include "base/Units.h"
#include "box/NetSource.h"
#include "edit/CanvasMenu.h"
#include "edit/ObjectCommands.h"
#include "edit/ObjectMenu.h"
#include "image/ImageLoader.h"
#include "image/VectorArt.h"
#include "model/BoxDocument.h"
#include "model/FolderMemory.h"
#include "model/Prompter.h"
#include "render/Mapping.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr int HandleReach = 3;   // a handle grabs within 3 pixels of its point

// Sums of screen values in 64 bits: a scale at the edge of what a file may
// hold puts objects at the ends of the int range.
bool onHandle(long long x, long long y, long long hx, long long hy) {
    return hx - HandleReach <= x && x <= hx + HandleReach && hy - HandleReach <= y &&
           y <= hy + HandleReach;
}

std::int32_t clampToInt32(long long v) {
    return static_cast<std::int32_t>(std::clamp<long long>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

int clampScroll(int value, int range) {
    if (value > range - 1) value = range - 1;
    if (value < 0) value = 0;
    return value;
}

}  // namespace

EditorController::EditorController(EditorEnvironment& env, ObjectCommands& commands,
                                   ObjectMenu& objectMenu, CanvasMenu& canvasMenu)
    : m_env(env), m_commands(commands), m_objectMenu(objectMenu), m_canvasMenu(canvasMenu) {}

void EditorController::resetInteraction() {
    endDrag();
    m_state.DragState = dsIdle;
    m_state.DragMode = dmNone;
    m_state.GrabOffsetX = m_state.GrabOffsetY = 0;
    m_state.SkipNextPress = false;
}

// ---------------------------------------------------------------- events

void EditorController::mousePress(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos) {
    if (button == Qt::LeftButton) {
        m_env.captureMouse();
        leftPress(pos, modifiers);
    } else if (button == Qt::RightButton) {
        rightPress(pos);
    } else {
        m_env.focusKeyEdit();
    }
}

void EditorController::mouseMove(Qt::KeyboardModifiers modifiers, const QPoint& pos) {
    switch (m_state.DragState) {
    case dsScrollView:
        Drag2Hand(pos.x(), pos.y());
        break;
    case dsDragObject:
        // The design stays as painted at the press; only the outline follows.
        dragStep(pos.x(), pos.y(), modifiers);
        m_env.showDragOutline(dragOutlineRect(), m_guides);
        break;
    case dsRubberBand:
        if (pos != m_pressPos) m_pointerMoved = true;
        m_bandEnd = pos;
        m_env.showDragOutline(dragOutlineRect());
        break;
    default:
        setdragmod(pos.x(), pos.y());
        break;
    }
}

void EditorController::mouseRelease(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos) {
    if (button != Qt::LeftButton) return;
    m_env.releaseMouse();
    leftRelease(pos, modifiers);
}

void EditorController::mouseDoubleClick(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                        const QPoint& pos) {
    if (button == Qt::LeftButton && m_env.currentTool() == EditorTool::Pointer) {
        BoxDocument& doc = m_env.document();
        const int current = doc.CurrentObject;
        if (ObjectTable::isValidSlot(current) && doc.Objects[current].Kind == Text) {
            m_state.SkipNextPress = true;
            m_commands.EditTextNow();
        }
    }
    // The second click's press follows the double click, as the toolkit
    // delivers it.
    mousePress(button, modifiers, pos);
}

void EditorController::scrollBoxMouseDown() { m_env.focusKeyEdit(); }

bool EditorController::keyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ControlModifier) {
        const int step = (modifiers & Qt::ShiftModifier) ? 10 : 1;
        switch (key) {
        case Qt::Key_Left: nudge(-step, 0); return true;
        case Qt::Key_Right: nudge(step, 0); return true;
        case Qt::Key_Up: nudge(0, -step); return true;
        case Qt::Key_Down: nudge(0, step); return true;
        default: break;
        }
    }
    switch (key) {
    case Qt::Key_Escape:
        if (m_state.DragState != dsIdle) return false;
        selectNone();
        return true;
    case Qt::Key_Delete:
        m_commands.deleteObject();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        m_commands.selectNextObject();
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- presses

void EditorController::leftPress(const QPoint& pos, Qt::KeyboardModifiers modifiers) {
    m_env.focusKeyEdit();
    const EditorTool tool = m_env.currentTool();
    if (tool == EditorTool::Hand) {
        m_state.HandStartX = pos.x();
        m_state.HandStartY = pos.y();
        m_state.DragState = dsScrollView;
        return;
    }
    if (tool == EditorTool::Zoom) {
        zoomStep(pos.x(), pos.y(), true);
        return;
    }
    if (tool != EditorTool::Pointer) return;   // new objects appear on release
    if (m_state.SkipNextPress) {
        m_state.SkipNextPress = false;
        return;
    }

    const bool shift = modifiers & Qt::ShiftModifier;
    m_pressPos = pos;
    m_pointerMoved = false;
    m_clickSlot = 0;
    m_clickToggles = false;
    BoxDocument& doc = m_env.document();

    // The current object's handles and inside win over anything on top of it.
    setdragmod(pos.x(), pos.y());
    if (m_state.DragMode > dmNone && m_state.DragMode != dmMove) {
        // Resizing stays a command on the current object alone.
        m_dragSlots.clear();
        m_state.DragState = dsDragObject;
        ++m_dragSerial;
        m_dragResizes = true;
        m_guides = DragGuides();
        if (m_snapping) m_snap.begin(doc, NetSource::of(doc, m_env.boxPercent()), {doc.CurrentObject});
        m_env.repaint();
        return;
    }

    const int hit = HitTest(pos.x(), pos.y());
    if (m_state.DragMode == dmMove || (hit > 0 && doc.isSelected(hit))) {
        // A press on the selection keeps it; the object pressed becomes
        // current, and a click without a drag selects it alone.
        if (m_state.DragMode != dmMove) {
            doc.makeCurrent(hit);
            setdragmod(pos.x(), pos.y());
        }
        m_clickSlot = doc.CurrentObject;
        m_clickToggles = shift;
        startMove();
        return;
    }
    if (hit > 0) {
        if (shift) {
            m_clickSlot = hit;
            m_clickToggles = true;
            return;
        }
        doc.selectOnly(hit);
        doc.addToSelection(hit);
        m_env.repaint();
        return;
    }
    // Empty canvas (or only locked objects): a rubber band.
    if (!shift) doc.selectOnly(0);
    m_state.DragState = dsRubberBand;
    m_bandEnd = pos;
    m_env.repaint();
}

void EditorController::startMove() {
    BoxDocument& doc = m_env.document();
    m_state.DragState = dsDragObject;
    ++m_dragSerial;
    m_dragResizes = false;
    m_guides = DragGuides();
    const std::vector<int> selected = doc.selectedSlots();
    m_dragSlots.clear();
    m_dragStarts.clear();
    if (selected.size() > 1) {
        m_dragSlots = selected;
        long long l = std::numeric_limits<long long>::max(), t = l, r = std::numeric_limits<long long>::min(), b = r;
        for (int slot : selected) {
            const Tobs& o = doc.Objects[slot];
            m_dragStarts.emplace_back(o.Left, o.Top);
            l = std::min<long long>(l, o.Left);
            t = std::min<long long>(t, o.Top);
            r = std::max<long long>(r, static_cast<long long>(o.Left) + o.Width);
            b = std::max<long long>(b, static_cast<long long>(o.Top) + o.Height);
        }
        m_boxL = l;
        m_boxT = t;
        m_boxW = r - l;
        m_boxH = b - t;
        m_currentLeft0 = doc.Objects[doc.CurrentObject].Left;
        m_currentTop0 = doc.Objects[doc.CurrentObject].Top;
    }
    if (m_snapping)
        m_snap.begin(doc, NetSource::of(doc, m_env.boxPercent()),
                     m_dragSlots.empty() ? std::vector<int>{doc.CurrentObject} : m_dragSlots);
    m_env.repaint();
}

void EditorController::rightPress(const QPoint& pos) {
    m_env.focusKeyEdit();
    if (m_env.currentTool() == EditorTool::Zoom) {
        zoomStep(pos.x(), pos.y(), false);
        return;
    }
    const std::int32_t savedMode = m_state.DragMode;
    setdragmod(pos.x(), pos.y());
    BoxDocument& doc = m_env.document();
    if (m_state.DragMode > dmNone) {
        m_objectMenu.PopItUp(pos.x(), pos.y());
    } else {
        const int hit = HitTest(pos.x(), pos.y());
        if (hit > 0) {
            // The menu acts on the selection when the object is part of it.
            if (hit != doc.CurrentObject) {
                if (doc.isSelected(hit)) {
                    doc.makeCurrent(hit);
                } else {
                    doc.selectOnly(hit);
                    doc.addToSelection(hit);
                }
                m_env.repaint();
            }
            m_objectMenu.PopItUp(pos.x(), pos.y());
        } else {
            doc.selectOnly(0);
            m_env.repaint();
            m_canvasMenu.popup(pos);
        }
    }
    m_state.DragMode = savedMode;
}

// ---------------------------------------------------------------- release

void EditorController::leftRelease(const QPoint& pos, Qt::KeyboardModifiers modifiers) {
    if (m_state.DragState == dsScrollView) {
        Drag2Hand(pos.x(), pos.y());
        m_state.DragState = dsIdle;
        // The buffer covers only the part that was visible: paint the part
        // scrolled into view, with the current object's handles.
        m_env.repaint();
        return;
    }
    if (m_state.DragState == dsDragObject) {
        dragStep(pos.x(), pos.y(), modifiers);
        m_state.DragState = dsIdle;
        endDrag();
        if (!m_pointerMoved && m_clickSlot > 0) {
            BoxDocument& doc = m_env.document();
            if (m_clickToggles) {
                toggleSelected(m_clickSlot);
            } else {
                doc.selectOnly(m_clickSlot);
                doc.addToSelection(m_clickSlot);
            }
        }
        m_clickSlot = 0;
        // The full repaint draws neither outline nor guides.
        m_env.repaint();
        return;
    }
    if (m_state.DragState == dsRubberBand) {
        m_bandEnd = pos;
        if (pos != m_pressPos) m_pointerMoved = true;
        m_state.DragState = dsIdle;
        finishBand(modifiers);
        m_env.repaint();
        // A click, not a band: the release goes on as every click's does.
        if (!m_pointerMoved) createObject(pos);
        return;
    }
    if (m_clickSlot > 0) {
        if (pos == m_pressPos) toggleSelected(m_clickSlot);
        m_clickSlot = 0;
        m_env.repaint();
    }
    createObject(pos);
}

void EditorController::toggleSelected(int slot) {
    BoxDocument& doc = m_env.document();
    const std::vector<int> members = doc.groupOf(slot);
    if (!doc.isSelected(slot)) {
        if (!ObjectTable::isValidSlot(doc.CurrentObject) || doc.Objects[doc.CurrentObject].isFree())
            doc.selectOnly(slot);
        doc.addToSelection(slot);
        return;
    }
    std::vector<int> rest;
    for (int s : doc.selectedSlots())
        if (std::find(members.begin(), members.end(), s) == members.end()) rest.push_back(s);
    // The topmost of the rest becomes current: the panel shows one of them.
    doc.selectOnly(rest.empty() ? 0 : rest.back());
    for (int s : rest)
        if (s != doc.CurrentObject) doc.Selection.push_back(s);
}

void EditorController::finishBand(Qt::KeyboardModifiers modifiers) {
    BoxDocument& doc = m_env.document();
    if (!m_pointerMoved) return;   // a click on empty canvas only deselected
    const QRect band = QRect(m_pressPos, m_bandEnd).normalized();
    const Mapping map = Mapping::screenFor(doc);
    // Objects wholly inside; a group only with all its members.
    std::vector<int> inside;
    std::vector<std::pair<std::int32_t, int>> groupsOutside;   // group, members outside
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& o = doc.Objects[slot];
        if (o.isFree() || o.Locked) continue;
        const long long l = map.DevLeft(o), t = map.DevTop(o);
        const bool in = band.left() <= l && band.top() <= t && l + map.DevWidth(o) <= band.right() + 1LL &&
                        t + map.DevHeight(o) <= band.bottom() + 1LL;
        if (in) {
            inside.push_back(slot);
        } else if (o.Group != 0) {
            auto it = std::find_if(groupsOutside.begin(), groupsOutside.end(),
                                   [&](const auto& g) { return g.first == o.Group; });
            if (it == groupsOutside.end()) groupsOutside.emplace_back(o.Group, 1);
        }
    }
    const bool shift = modifiers & Qt::ShiftModifier;
    if (!shift) doc.selectOnly(0);
    for (int slot : inside) {
        const std::int32_t group = doc.Objects[slot].Group;
        if (group != 0 && std::any_of(groupsOutside.begin(), groupsOutside.end(),
                                      [&](const auto& g) { return g.first == group; }))
            continue;
        if (!ObjectTable::isValidSlot(doc.CurrentObject) || doc.Objects[doc.CurrentObject].isFree())
            doc.CurrentObject = slot;
        else if (slot != doc.CurrentObject && !doc.isSelected(slot))
            doc.Selection.push_back(slot);
    }
}

void EditorController::selectAll() {
    if (m_state.DragState != dsIdle) return;
    BoxDocument& doc = m_env.document();
    std::vector<int> all;
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot)
        if (!doc.Objects[slot].isFree() && !doc.Objects[slot].Locked) all.push_back(slot);
    const int keep = doc.isSelected(doc.CurrentObject) && !doc.Objects[doc.CurrentObject].Locked ? doc.CurrentObject
                     : all.empty() ? 0 : all.back();
    doc.selectOnly(keep);
    for (int slot : all)
        if (slot != keep) doc.Selection.push_back(slot);
    m_env.repaint();
}

void EditorController::selectNone() {
    BoxDocument& doc = m_env.document();
    if (doc.CurrentObject == 0 && doc.Selection.empty()) return;
    doc.selectOnly(0);
    m_env.repaint();
}

void EditorController::createObject(const QPoint& pos) {
    BoxDocument& doc = m_env.document();
    const int slot = doc.Objects.findFreeSlot();
    if (slot == 0) {
        m_env.prompter().inform(QStringLiteral("Fehler: Kein freies Objekt mehr"),
                                QStringLiteral("Es wurden zuviele Objekte erstellt!"),
                                PromptIcon::Information);
        return;
    }

    std::int32_t kind = KindFree;
    DibHandle picture;
    QString chosenFile;
    switch (m_env.currentTool()) {
    case EditorTool::Figure:
        kind = Figure;
        break;
    case EditorTool::Text:
        kind = Text;
        break;
    case EditorTool::Image: {
        if (!m_env.dialogs().chooseImage(defaultStartFolder(doc.FileName), GetDIBOpenFilter(), chosenFile)) return;
        // A name with fields ("bilder/{Foto}") gives each row of the linked
        // data its own picture; the first row's sizes the object.
        const QString file = m_env.firstRowPicture(chosenFile);
        if (!LoadDIBit(picture, file, doc.ProgramFolder)) {
            // A refused drawing says why; a picture keeps its usual message.
            const QString why = VectorArtFault(ResolveImagePath(file, doc.ProgramFolder));
            m_env.prompter().inform(QString(),
                                    QStringLiteral("Konnte Bild (") + file +
                                        QStringLiteral(") nicht Laden.") +
                                        (why.isEmpty() ? QString() : QLatin1Char('\n') + why),
                                    PromptIcon::Error);
            return;
        }
        kind = Image;
        break;
    }
    default:
        return;
    }

    auto step = m_commands.history().begin(kind == Figure ? QStringLiteral("Figur einfügen")
                                           : kind == Text ? QStringLiteral("Text einfügen")
                                                          : QStringLiteral("Bild einfügen"),
                                           {slot});
    Tobs& o = doc.Objects[slot];
    o.resetToDefaults();
    o.Kind = kind;
    if (kind == Image) o.Picture = picture;
    doc.selectOnly(slot);
    o.KeepAspect = 1;
    o.Shape = shRectangle;
    const double zoom = doc.Zoom;
    const double divisor = doc.ScreenDivisor;
    SetDevLeft(o, pos.x(), zoom, divisor);
    SetDevTop(o, pos.y(), zoom, divisor);
    SetDevWidth(o, 50, zoom, divisor);
    SetDevHeight(o, 50, zoom, divisor);
    if (kind == Image) {
        const long double perPixel = 10000.0L / (m_env.screenDpi() > 0 ? m_env.screenDpi() : 96);
        SetDevWidth(o, truncToInt(perPixel * picture.DibWidth() * zoom / divisor), zoom, divisor);
        SetDevHeight(o, truncToInt(perPixel * picture.DibHeight() * zoom / divisor), zoom, divisor);
        if (const VectorArt* art = picture.vectorArt()) {
            // A drawing comes at its own size, not that of its stand-in pixels.
            const QSizeF mm = vectorArtSizeMm(*art, picture.vectorTurns());
            o.Width = mmToUnits(mm.width());
            o.Height = mmToUnits(mm.height());
        }
        o.Content = chosenFile;
    } else {
        o.Content.clear();
    }
    o.Color = 0;
    const DialogFont& font = m_commands.dialogFont();
    o.FontColor = font.Color;
    font.applyTypefaceTo(o);
    m_commands.history().commit(std::move(step));
    m_env.repaint();
    m_env.setCurrentTool(EditorTool::Pointer);
}

// ---------------------------------------------------------------- geometry

int EditorController::HitTest(int x, int y) const {
    const BoxDocument& doc = m_env.document();
    const Mapping map = Mapping::screenFor(doc);
    for (int slot = ObjectTable::Capacity; slot >= 1; --slot) {
        const Tobs& o = doc.Objects[slot];
        if (o.Kind <= 0 || o.Locked) continue;
        const long long sl = map.DevLeft(o);
        const long long st = map.DevTop(o);
        if (sl <= x && x <= sl + map.DevWidth(o) && st <= y && y <= st + map.DevHeight(o)) return slot;
    }
    return 0;
}

QRect EditorController::dragOutlineRect() const {
    if (m_state.DragState == dsRubberBand) return QRect(m_pressPos, m_bandEnd).normalized();
    if (m_dragSlots.empty()) return currentScreenRect();
    const BoxDocument& doc = m_env.document();
    const Mapping map = Mapping::screenFor(doc);
    // The box as it stands now: where the first object went, the box went.
    Tobs box;
    box.Left = clampToInt32(m_boxL + (doc.Objects[m_dragSlots.front()].Left - m_dragStarts.front().x()));
    box.Top = clampToInt32(m_boxT + (doc.Objects[m_dragSlots.front()].Top - m_dragStarts.front().y()));
    box.Width = clampToInt32(m_boxW);
    box.Height = clampToInt32(m_boxH);
    return QRect(clampCoord(map.DevLeft(box)), clampCoord(map.DevTop(box)), clampCoord(map.DevWidth(box)),
                 clampCoord(map.DevHeight(box)));
}

QRect EditorController::currentScreenRect() const {
    const BoxDocument& doc = m_env.document();
    if (!ObjectTable::isValidSlot(doc.CurrentObject)) return QRect();
    const Mapping map = Mapping::screenFor(doc);
    const Tobs& o = doc.Objects[doc.CurrentObject];
    return QRect(clampCoord(map.DevLeft(o)), clampCoord(map.DevTop(o)), clampCoord(map.DevWidth(o)),
                 clampCoord(map.DevHeight(o)));
}

void EditorController::showCursor(CursorSlot slot) {
    if (m_shownCursor == slot) return;
    m_shownCursor = slot;
    m_env.setCanvasCursor(slot);
}

void EditorController::setdragmod(int x, int y) {
    m_state.DragMode = dmNone;
    m_state.GrabOffsetX = 0;
    m_state.GrabOffsetY = 0;

    switch (m_env.currentTool()) {
    case EditorTool::Pointer:
        break;
    case EditorTool::Content:
        showCursor(CursorIBeam);
        return;
    case EditorTool::Zoom:
        showCursor(CursorMagnifier);
        return;
    case EditorTool::Hand:
        showCursor(CursorDragHand);
        return;
    default:
        showCursor(CursorMultiDrag);
        return;
    }

    const BoxDocument& doc = m_env.document();
    if (!ObjectTable::isValidSlot(doc.CurrentObject) || doc.Objects[doc.CurrentObject].Locked) {
        showCursor(CursorArrow);
        return;
    }
    const Mapping map = Mapping::screenFor(doc);
    const Tobs& o = doc.Objects[doc.CurrentObject];
    const long long l = map.DevLeft(o);
    const long long t = map.DevTop(o);
    const long long w = map.DevWidth(o);
    const long long h = map.DevHeight(o);

    struct Test {
        long long hx, hy;
        DragModeCode mode;
        CursorSlot cursor;
        bool grabX, grabY;
    };
    // Order matters: on small objects the squares overlap and the first wins.
    const Test tests[8] = {
        {l, t, dmTopLeft, CursorTopLeft, true, true},
        {l + w, t, dmTopRight, CursorTopRight, true, true},
        {l, t + h, dmBottomLeft, CursorBottomLeft, true, true},
        {l + w, t + h, dmBottomRight, CursorBottomRight, true, true},
        {l + w / 2, t, dmTop, CursorTop, false, true},
        {l + w / 2, t + h, dmBottom, CursorBottom, false, true},
        {l, t + h / 2, dmLeft, CursorLeft, true, false},
        {l + w, t + h / 2, dmRight, CursorRight, true, false},
    };
    for (const Test& test : tests) {
        if (!onHandle(x, y, test.hx, test.hy)) continue;
        m_state.DragMode = test.mode;
        m_state.GrabOffsetX = test.grabX ? clampToInt32(x - test.hx) : 0;
        m_state.GrabOffsetY = test.grabY ? clampToInt32(y - test.hy) : 0;
        showCursor(test.cursor);
        return;
    }
    if (l <= x && x <= l + w && t <= y && y <= t + h) {
        m_state.DragMode = dmMove;
        m_state.GrabOffsetX = clampToInt32(x - l);
        m_state.GrabOffsetY = clampToInt32(y - t);
        showCursor(CursorDragHand);
        return;
    }
    showCursor(CursorArrow);
}

void EditorController::dragit(int x, int y) {
    BoxDocument& doc = m_env.document();
    if (!ObjectTable::isValidSlot(doc.CurrentObject)) return;
    Tobs& o = doc.Objects[doc.CurrentObject];
    const double zoom = doc.Zoom;
    const double divisor = doc.ScreenDivisor;

    // 64-bit arithmetic: a pointer far outside the canvas must not overflow.
    long long L = o.Left, T = o.Top, W = o.Width, H = o.Height;
    const long long px = screenPixelsToUnits(clampToInt32(static_cast<long long>(x) - m_state.GrabOffsetX), zoom, divisor);
    const long long py = screenPixelsToUnits(clampToInt32(static_cast<long long>(y) - m_state.GrabOffsetY), zoom, divisor);

    switch (m_state.DragMode) {
    case dmTopLeft: W = W + L - px; H = H + T - py; L = px; T = py; break;
    case dmTopRight: W = px - L; H = H + T - py; T = py; break;
    case dmBottomLeft: W = W + L - px; H = py - T; L = px; break;
    case dmBottomRight: W = px - L; H = py - T; break;
    case dmTop: H = H + T - py; T = py; break;
    case dmBottom: H = py - T; break;
    case dmLeft: W = W + L - px; L = px; break;
    case dmRight: W = px - L; break;
    case dmMove: L = px; T = py; break;
    default: break;
    }

    // An edge dragged across the opposite one: the drag goes on with the
    // handle that is now under the pointer.
    if (W < 0) {
        L = L + W;
        W = -W;
        switch (m_state.DragMode) {
        case dmTopLeft: m_state.DragMode = dmTopRight; break;
        case dmTopRight: m_state.DragMode = dmTopLeft; break;
        case dmBottomLeft: m_state.DragMode = dmBottomRight; break;
        case dmBottomRight: m_state.DragMode = dmBottomLeft; break;
        case dmLeft: m_state.DragMode = dmRight; break;
        case dmRight: m_state.DragMode = dmLeft; break;
        default: break;
        }
    }
    if (H < 0) {
        T = T + H;
        H = -H;
        switch (m_state.DragMode) {
        case dmTopLeft: m_state.DragMode = dmBottomLeft; break;
        case dmBottomLeft: m_state.DragMode = dmTopLeft; break;
        case dmTopRight: m_state.DragMode = dmBottomRight; break;
        case dmBottomRight: m_state.DragMode = dmTopRight; break;
        case dmTop: m_state.DragMode = dmBottom; break;
        case dmBottom: m_state.DragMode = dmTop; break;
        default: break;
        }
    }

    if (m_snapThisStep) snapRect(L, T, W, H);

    keepOnCanvas(L, T, W, H, zoom, divisor);

    o.Left = clampToInt32(L);
    o.Top = clampToInt32(T);
    o.Width = clampToInt32(W);
    o.Height = clampToInt32(H);
}

void EditorController::keepOnCanvas(long long& L, long long& T, long long W, long long H, double zoom,
                                    double divisor) const {
    if (L + W < 0) L = -W;
    if (T + H < 0) T = -H;
    const QSize canvas = m_env.canvasSize();
    const long long maxL = truncToInt(static_cast<long double>(canvas.width()) / zoom * divisor - 1);
    const long long maxT = truncToInt(static_cast<long double>(canvas.height()) / zoom * divisor - 1);
    if (L > maxL) L = maxL;
    if (T > maxT) T = maxT;
}

void EditorController::dragStep(int x, int y, Qt::KeyboardModifiers modifiers) {
    if (QPoint(x, y) != m_pressPos) m_pointerMoved = true;
    // Shift rather than Alt: many desktops take Alt+drag for moving windows.
    m_snapThisStep = m_snapping && m_snap.started() && m_pointerMoved && !(modifiers & Qt::ShiftModifier);
    m_guides = DragGuides();
    // Every move of one drag joins the same step: the whole drag is undone
    // at once, however many moves it took.
    DocumentHistory& history = m_commands.history();
    if (!m_dragSlots.empty()) {
        auto step = history.begin(QStringLiteral("Verschieben"), m_dragSlots, StepMerge::Drag, m_dragSerial);
        dragSelection(x, y);
        m_snapThisStep = false;
        history.commit(std::move(step));
        return;
    }
    auto step = history.begin(m_dragResizes ? QStringLiteral("Größe ändern") : QStringLiteral("Verschieben"),
                              {m_env.document().CurrentObject}, StepMerge::Drag, m_dragSerial);
    dragit(x, y);
    m_snapThisStep = false;
    history.commit(std::move(step));
}

void EditorController::dragSelection(int x, int y) {
    BoxDocument& doc = m_env.document();
    const double zoom = doc.Zoom;
    const double divisor = doc.ScreenDivisor;
    // Where the current object's left and top edges would go, as a single
    // move takes them; the box goes the same way.
    const long long px = screenPixelsToUnits(clampToInt32(static_cast<long long>(x) - m_state.GrabOffsetX), zoom, divisor);
    const long long py = screenPixelsToUnits(clampToInt32(static_cast<long long>(y) - m_state.GrabOffsetY), zoom, divisor);
    long long L = m_boxL + (px - m_currentLeft0), T = m_boxT + (py - m_currentTop0), W = m_boxW, H = m_boxH;
    if (m_snapThisStep) snapRect(L, T, W, H);
    keepOnCanvas(L, T, W, H, zoom, divisor);
    const long long dx = L - m_boxL, dy = T - m_boxT;
    for (size_t i = 0; i < m_dragSlots.size(); ++i) {
        Tobs& o = doc.Objects[m_dragSlots[i]];
        o.Left = clampToInt32(m_dragStarts[i].x() + dx);
        o.Top = clampToInt32(m_dragStarts[i].y() + dy);
    }
}

void EditorController::snapRect(long long& L, long long& T, long long& W, long long& H) {
    const BoxDocument& doc = m_env.document();
    DragEdges edges;
    switch (m_state.DragMode) {
    case dmMove: edges = DragEdges::move(); break;
    case dmTopLeft: edges.left = edges.top = true; break;
    case dmTopRight: edges.right = edges.top = true; break;
    case dmBottomLeft: edges.left = edges.bottom = true; break;
    case dmBottomRight: edges.right = edges.bottom = true; break;
    case dmTop: edges.top = true; break;
    case dmBottom: edges.bottom = true; break;
    case dmLeft: edges.left = true; break;
    case dmRight: edges.right = true; break;
    default: return;
    }
    if (doc.Zoom == 0) return;
    const double reach = SnapReach * doc.ScreenDivisor / doc.Zoom;
    const SnapLines lines = m_snap.apply(L, T, W, H, edges, reach);
    const Mapping map = Mapping::screenFor(doc);
    if (lines.x) m_guides.columns.push_back(map.toDevice(*lines.x));
    if (lines.y) m_guides.rows.push_back(map.toDevice(*lines.y));
}

void EditorController::endDrag() {
    m_snap.end();
    m_guides = DragGuides();
    m_snapThisStep = false;
    m_dragSlots.clear();
    m_dragStarts.clear();
}

void EditorController::nudge(int dx, int dy) {
    BoxDocument& doc = m_env.document();
    const int slot = doc.CurrentObject;
    if (!ObjectTable::isValidSlot(slot) || m_state.DragState != dsIdle) return;
    Tobs& o = doc.Objects[slot];
    if (o.Kind <= 0 || o.Locked) return;
    const Mapping map = Mapping::screenFor(doc);
    const double zoom = doc.Zoom, divisor = doc.ScreenDivisor;
    // The target is a screen pixel; the stored value is the first one that
    // shows there, so the object sits on the pixel's edge at this zoom.
    long long L = o.Left, T = o.Top;
    if (dx != 0) L = unitsAtScreenPixel(clampToInt32(static_cast<long long>(map.DevLeft(o)) + dx), zoom, divisor);
    if (dy != 0) T = unitsAtScreenPixel(clampToInt32(static_cast<long long>(map.DevTop(o)) + dy), zoom, divisor);
    // The rest of the selection goes the same distance in document units.
    long long moveX = L - o.Left, moveY = T - o.Top;
    // The limits of a drag: some of every object stays on the canvas.
    const QSize canvas = m_env.canvasSize();
    const long long maxL = truncToInt(static_cast<long double>(canvas.width()) / zoom * divisor - 1);
    const long long maxT = truncToInt(static_cast<long double>(canvas.height()) / zoom * divisor - 1);
    const std::vector<int> moving = doc.selectedSlots();
    for (int s : moving) {
        const Tobs& m = doc.Objects[s];
        const long long l = m.Left + moveX, t = m.Top + moveY;
        if (l + m.Width < 0 || l > maxL) moveX = 0;
        if (t + m.Height < 0 || t > maxT) moveY = 0;
    }
    if (moveX == 0 && moveY == 0) return;

    if (slot != m_nudgeSlot || doc.Revision != m_nudgeRevision) ++m_nudgeSerial;
    DocumentHistory& history = m_commands.history();
    auto step = history.begin(QStringLiteral("Verschieben"), moving, StepMerge::Nudge, m_nudgeSerial);
    for (int s : moving) {
        Tobs& m = doc.Objects[s];
        m.Left = clampToInt32(m.Left + moveX);
        m.Top = clampToInt32(m.Top + moveY);
    }
    history.commit(std::move(step));
    m_nudgeSlot = slot;
    m_nudgeRevision = doc.Revision;
    m_env.repaint();
}

void EditorController::undo() {
    if (m_state.DragState != dsIdle) return;
    m_commands.undo();
}

void EditorController::redo() {
    if (m_state.DragState != dsIdle) return;
    m_commands.redo();
}

void EditorController::Drag2Hand(int x, int y) {
    const QPoint scroll = m_env.scrollPosition();
    const QSize range = m_env.canvasSize();
    const long long hx = static_cast<long long>(scroll.x()) + m_state.HandStartX - x;
    const long long vy = static_cast<long long>(scroll.y()) + m_state.HandStartY - y;
    m_env.setScrollPosition(QPoint(clampScroll(clampToInt32(hx), range.width()),
                                   clampScroll(clampToInt32(vy), range.height())));
}

void EditorController::zoomStep(int x, int y, bool inwards) {
    BoxDocument& doc = m_env.document();
    const long double zoom = doc.Zoom;
    const int dx = truncToInt(static_cast<long double>(x) * doc.ScreenDivisor / zoom);
    const int dy = truncToInt(static_cast<long double>(y) * doc.ScreenDivisor / zoom);

    if (inwards) {
        if (doc.ScreenDivisor > 50) doc.ScreenDivisor = doc.ScreenDivisor / 1.5;
    } else {
        if (doc.ScreenDivisor < 1000) doc.ScreenDivisor = doc.ScreenDivisor * 1.5;
    }
    const long double divisor = doc.ScreenDivisor;

    m_state.SuspendPaint = true;
    // A scale read from a damaged file must not give the window a negative size.
    const QSize canvas(std::max(0, truncToInt(doc.ExtentWidth * zoom / divisor)),
                       std::max(0, truncToInt(doc.ExtentHeight * zoom / divisor)));
    m_env.setCanvasSize(canvas);
    // Half of what shows between the scroll bars: half the whole box would
    // leave the point half a bar's width off the middle of the view.
    const QSize visible = m_env.visibleSize();
    const int sx = clampToInt32(static_cast<long long>(truncToInt(dx * zoom / divisor)) - visible.width() / 2);
    const int sy = clampToInt32(static_cast<long long>(truncToInt(dy * zoom / divisor)) - visible.height() / 2);
    m_env.setScrollPosition(QPoint(clampScroll(sx, canvas.width()), clampScroll(sy, canvas.height())));
    m_state.SuspendPaint = false;
    m_env.repaint();
}
