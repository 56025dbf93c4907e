#pragma once
// Conversion between document units (1/20000 inch) and device pixels.
//
// A Mapping is a value handed to whoever converts: the editor uses the screen
// scale Zoom / ScreenDivisor, the preview and the printer their own
// pixels-per-document-unit. There is deliberately no program-wide mode: two
// passes at different scales can never see each other's setting.
//
// Every conversion computes in long double in the order the formula is
// written and truncates toward zero (base/Units.h); results outside the
// 32-bit range are clamped instead of overflowing.

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

// The document value nearest zero that shows at exactly this screen pixel
// (for a positive pixel the smallest such value). Converting the pixel back
// (screenPixelsToUnits) can land one pixel short once the divisor is no
// longer whole, as after a zoom step; this never does. When no value shows
// there (a scale above one pixel per unit) it is the first value beyond.
std::int32_t unitsAtScreenPixel(int pixel, double zoom, double screenDivisor);
