#pragma once
// The canvas's twelve pointer shapes, installed once at start-up: system
// resize arrows, the arrow, and the program's own grabbing hand, magnifier
// and arrow over pages (32 x 32 two-colour bitmaps shipped as resources).

#include "edit/EditorEnvironment.h"

#include <QCursor>
#include <array>

class CursorSlots {
public:
    CursorSlots();
    // Slot 1..12, or CursorIBeam for the text pointer.
    const QCursor& cursor(CursorSlot slot) const;
    static constexpr int Count = 12;

private:
    std::array<QCursor, Count + 1> m_slots;   // index 0: the I-beam
};
