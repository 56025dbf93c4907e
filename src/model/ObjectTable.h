#pragma once
// The 10000 object slots of a design. Slot numbers run from 1 to 10000;
// slot order is drawing order (10000 on top). A slot is free when Kind is 0.

#include "model/Tobs.h"

#include <vector>

class ObjectTable {
public:
    static constexpr int Capacity = 10000;

    ObjectTable();

    Tobs& operator[](int slot) { return m_slots[static_cast<size_t>(slot)]; }
    const Tobs& operator[](int slot) const { return m_slots[static_cast<size_t>(slot)]; }
    static bool isValidSlot(int slot) { return slot >= 1 && slot <= Capacity; }

    int findFreeSlot() const;     // lowest free slot, 0 when all are taken
    bool anyObjects() const;
    // Takes the lowest free slot, resets it to the slot defaults and returns
    // its number; 0 when the table is full.
    int takeFreeSlot();
    void exchange(int a, int b);  // swaps two whole slots
    void deleteObject(int slot);  // Kind 0, picture freed
    void clearAll();              // every slot free, pictures freed, shadow distances 5

private:
    std::vector<Tobs> m_slots;    // index 0 unused
};
