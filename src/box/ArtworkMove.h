#pragma once
// Moving the artwork with the faces when the form or the measures change:
// every object whose centre lies on a panel of the old net moves by the
// displacement of that panel's hinge start point (for Vorne its top-left
// corner), computed in exact millimetres and stored in document units. The
// others stay where they are.

#include "box/NetSource.h"

#include <cstdint>
#include <vector>

struct BoxDocument;

struct ArtworkMove {
    int slot = 0;
    std::int32_t fromLeft = 0, fromTop = 0;   // where it is
    std::int32_t toLeft = 0, toTop = 0;       // where it goes
};

// The moves for a change from one net to the other in doc (its layout and
// extent); objects that do not move are left out.
std::vector<ArtworkMove> artworkMoves(const BoxDocument& doc, const NetSource& from, const NetSource& to);
// Sets each object to its target (undo: applyArtworkMoves(doc, moves, true)
// puts them back). Raises the document's revision once when anything moved.
void applyArtworkMoves(BoxDocument& doc, const std::vector<ArtworkMove>& moves, bool backwards = false);
