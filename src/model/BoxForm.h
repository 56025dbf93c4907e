#pragma once
// The form of the box a document makes: the cube whose edge follows from the
// paper and the box percentage, or a cuboid of its own length, width and
// height in millimetres between the fold lines.

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <vector>

enum class FormKind : std::int32_t { Wuerfel = 0, Quader = 1 };

struct BoxForm {
    FormKind kind = FormKind::Wuerfel;
    // Länge: the width of Vorne and Hinten; Breite: the width of Rechts and
    // Links; Höhe. Only a cuboid uses them; a cube keeps whatever they hold.
    double L = 64.0;
    double B = 21.0;
    double H = 89.0;

    bool isCuboid() const { return kind == FormKind::Quader; }
    static BoxForm cube() { return BoxForm{}; }
    static BoxForm cuboid(double L, double B, double H) { return BoxForm{FormKind::Quader, L, B, H}; }
    // Two cubes are the same form whatever their unused measures hold.
    bool operator==(const BoxForm& o) const {
        return kind == o.kind && (kind == FormKind::Wuerfel || (L == o.L && B == o.B && H == o.H));
    }
    bool operator!=(const BoxForm& o) const { return !(*this == o); }
};

namespace boxform {
inline constexpr double kMinMm = 10.0;
inline constexpr double kMaxMm = 400.0;
inline constexpr double kStepMm = 0.1;

// A measure rounded to the 0,1 mm step (half away from zero).
double roundToStep(double mm);
// Finite and within 10..400 mm.
bool measureInRange(double mm);
// A cuboid with all three measures in range (a cube always is).
bool isValid(const BoxForm& form);

// "Würfel" or "Quader".
QString formName(FormKind kind);
// "64,0 × 21,0 × 89,0 mm" in the given locale (German by default).
QString measuresText(const BoxForm& form, const QLocale& locale = QLocale(QLocale::German));
}  // namespace boxform

// A chunk of the box file's extension this version does not know and keeps
// byte for byte (its tag starts with a lowercase letter).
struct KeptChunk {
    QByteArray tag;    // 4 bytes
    QByteArray data;
    bool operator==(const KeptChunk& o) const { return tag == o.tag && data == o.data; }
};
using KeptChunks = std::vector<KeptChunk>;
