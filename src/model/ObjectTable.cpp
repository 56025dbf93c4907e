#include "model/ObjectTable.h"

#include <utility>

ObjectTable::ObjectTable() : m_slots(Capacity + 1) {}

int ObjectTable::findFreeSlot() const {
    for (int slot = 1; slot <= Capacity; ++slot)
        if (m_slots[slot].Kind == KindFree) return slot;
    return 0;
}

bool ObjectTable::anyObjects() const {
    for (int slot = 1; slot <= Capacity; ++slot)
        if (m_slots[slot].Kind > 0) return true;
    return false;
}

int ObjectTable::takeFreeSlot() {
    const int slot = findFreeSlot();
    if (slot != 0) m_slots[slot].resetToDefaults();
    return slot;
}

void ObjectTable::exchange(int a, int b) {
    if (!isValidSlot(a) || !isValidSlot(b) || a == b) return;
    std::swap(m_slots[a], m_slots[b]);
}

void ObjectTable::deleteObject(int slot) {
    if (!isValidSlot(slot)) return;
    m_slots[slot].Kind = KindFree;
    m_slots[slot].Group = 0;
    m_slots[slot].Locked = 0;
    deldib(m_slots[slot].Picture);
}

void ObjectTable::clearAll() {
    for (int slot = 1; slot <= Capacity; ++slot) {
        Tobs& o = m_slots[slot];
        o.Kind = KindFree;
        o.Group = 0;
        o.Locked = 0;
        deldib(o.Picture);
        o.ShadowDx = 5;
        o.ShadowDy = 5;
    }
}
