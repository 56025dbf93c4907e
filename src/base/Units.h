#pragma once
// Millimetres, document units (1/20000 inch) and device pixels as integers.
//
// Every conversion computes in long double in the order the formula is
// written and truncates toward zero; results outside the 32-bit range are
// clamped instead of overflowing.

#include <cstdint>

// Millimetres at a resolution: Trunc(mm / 25.39995 * dpi).
int mmToPixels(double mm, double dpi);
// Millimetres in document units: Trunc(mm * 20000 / 25.39995).
std::int32_t mmToUnits(double mm);

// Truncation toward zero of an extended-precision value, clamped to int32.
int truncToInt(long double value);

// Drawing coordinates are kept within +-2^28 pixels: far beyond any canvas,
// and sums of a few of them still fit in 32 bits. Only absurd documents
// ever reach the limit.
constexpr int kCoordLimit = 1 << 28;
int clampCoord(long long v);
