#pragma once
// The transparent value of an image object. A transparent image keeps in
// LineWidthOrTransColor the value its pixels are compared with: the colour of
// the lower-left pixel when that is chosen automatically, and for pictures
// of up to 8 bits the palette index of the chosen colour. The value depends
// on the picture, so the commands that load, turn or re-colour a picture
// settle it; drawing only reads it.

#include <cstdint>

struct Tobs;

// The value the object's transparency resolves to for its current picture:
// the lower-left pixel when automatic, otherwise the stored colour turned
// into the first palette index holding it (pictures of up to 8 bits; the
// value stays when no entry holds it). An empty picture keeps the stored value.
std::int64_t resolveTransparentValue(const Tobs& o);

// Stores the resolved value into a transparent image object; anything else
// is left alone.
void settleTransparentValue(Tobs& o);

// The value a drawn transparent image compares its pixels with. Reads the
// object only: a settled object gives its stored value.
std::int64_t drawnTransparentValue(const Tobs& o);
