#pragma once
// Conversion between document units (1/20000 inch) and device pixels.
//
// A Mapping is a value handed to whoever converts: the editor uses the screen
// scale Zoom / ScreenDivisor, the preview and the printer their own
// pixels-per-document-unit. There is deliberately no program-wide mode: two
// passes at different scales can never see each other's setting.
//
// Every conversion computes in long double in the order the formula is
// written and truncates toward zero; results outside the 32-bit range are
// clamped instead of overflowing.

#include <cstdint>

struct Tobs;
struct BoxDocument;

class Mapping {
public:
    // Screen mapping: Zoom / ScreenDivisor pixels per document unit.
    static Mapping screen(double zoom, double screenDivisor);
    // Output mapping: printScale pixels per document unit (dpi / 20000).
    static Mapping print(double printScale);
    // Output mapping for a device of the given pixels per inch.
    static Mapping printAtDpi(double dpi) { return print(dpi / 20000.0); }
    // The editor's screen mapping of a document (its Zoom and ScreenDivisor).
    static Mapping screenFor(const BoxDocument& doc);

    Mapping() = default;   // screen mapping at Zoom 1.0 on a 96 ppi screen

    bool isPrint() const { return m_print; }
    double Zoom() const { return m_zoom; }
    double ScreenDivisor() const { return m_divisor; }
    double PrintScale() const { return m_printScale; }
    // Device pixels per document unit.
    double Scale() const;

    // Document units -> device pixels.
    int toDevice(std::int32_t units) const;
    int DevLeft(const Tobs& o) const;
    int DevTop(const Tobs& o) const;
    int DevWidth(const Tobs& o) const;
    int DevHeight(const Tobs& o) const;

private:
    bool m_print = false;
    double m_zoom = 1.0;
    double m_divisor = 416.0;
    double m_printScale = 0.0;
};

// Device pixels -> document units, always under the screen mapping: only the
// editor changes geometry. Each stores exactly one field and returns the
// stored value.
std::int32_t screenPixelsToUnits(int pixels, double zoom, double screenDivisor);
std::int32_t SetDevLeft(Tobs& o, int pixels, double zoom, double screenDivisor);
std::int32_t SetDevTop(Tobs& o, int pixels, double zoom, double screenDivisor);
std::int32_t SetDevWidth(Tobs& o, int pixels, double zoom, double screenDivisor);
std::int32_t SetDevHeight(Tobs& o, int pixels, double zoom, double screenDivisor);

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
