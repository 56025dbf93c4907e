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

// How the net closes the box. The lock-lid box is the cube or the cuboid
// whose lid is two locking halves; every other style is a cuboid of its own
// measures (kind Quader) and may have the board's thickness. The tuck-end
// boxes close with a lid whose tuck slides in behind a side face: the
// reverse one has its lid on Hinten and its bottom on Vorne, the straight
// one both on Hinten.
enum class BoxStyle : std::int32_t {
    Verschlussdeckel = 0,
    Huelse = 1,
    SteckGegenlaeufig = 2,
    SteckGleichlaeufig = 3,
    // The reverse tuck-end box's top on a bottom of four locking flaps: the
    // snap-lock folded by hand, the automatic one glued in the flat box.
    Schnappboden = 4,
    Automatikboden = 5,
};

struct BoxForm {
    FormKind kind = FormKind::Wuerfel;
    // Länge: the width of Vorne and Hinten; Breite: the width of Rechts and
    // Links; Höhe. Only a cuboid uses them; a cube keeps whatever they hold.
    double L = 64.0;
    double B = 21.0;
    double H = 89.0;
    BoxStyle style = BoxStyle::Verschlussdeckel;
    // The board's thickness in mm (0..1 in steps of 0,05); with more than 0
    // the measures are the box's inside. The lock-lid box has none.
    double thickness = 0.0;
    // The finger notch ("Griffmulde") in Vorne's top edge, for the styles
    // that have one; the others ignore it.
    bool notch = true;

    bool isCuboid() const { return kind == FormKind::Quader; }
    bool isLockLid() const { return style == BoxStyle::Verschlussdeckel; }
    static BoxForm cube() { return BoxForm{}; }
    static BoxForm cuboid(double L, double B, double H) { return BoxForm{FormKind::Quader, L, B, H}; }
    static BoxForm ofStyle(BoxStyle style, double L, double B, double H, double thickness, bool notch = true) {
        return BoxForm{FormKind::Quader, L, B, H, style, thickness, notch};
    }
    bool hasNotch() const;
    // The same measures and style with other measures (a scaled offer).
    BoxForm withMeasures(double l, double b, double h) const {
        BoxForm f = *this;
        f.kind = FormKind::Quader;
        f.L = l, f.B = b, f.H = h;
        return f;
    }
    // Two cubes are the same form whatever their unused measures hold, and
    // the notch counts only where the style has one.
    bool operator==(const BoxForm& o) const {
        return kind == o.kind && style == o.style && thickness == o.thickness &&
               (kind == FormKind::Wuerfel || (L == o.L && B == o.B && H == o.H)) &&
               (!hasNotch() || notch == o.notch);
    }
    bool operator!=(const BoxForm& o) const { return !(*this == o); }
};

namespace boxform {
inline constexpr double kMinMm = 10.0;
inline constexpr double kMaxMm = 400.0;
inline constexpr double kStepMm = 0.1;
inline constexpr double kMaxThicknessMm = 1.0;
inline constexpr double kThicknessStepMm = 0.05;
// A board thickness new boxes of the styles that know one start with.
inline constexpr double kDefaultThicknessMm = 0.3;

// A measure rounded to the 0,1 mm step (half away from zero).
double roundToStep(double mm);
// Finite and within 10..400 mm.
bool measureInRange(double mm);
// 0..1 mm on the 0,05 mm step.
bool thicknessValid(double mm);
// A thickness snapped to the 0,05 mm step (so 0.3 read back from text is the stored 0.3).
double roundThickness(double mm);
// A cuboid with all three measures in range (a cube always is); a lock-lid
// box without thickness, another style a cuboid with a valid thickness.
bool isValid(const BoxForm& form);

// Every style, in the order the Boxform dialog and the command line offer them.
const std::vector<BoxStyle>& styles();
// Why the measures do not suit the style (German, for a message), or empty:
// the automatic bottom needs Länge at least Breite.
QString measuresProblem(const BoxForm& form);
// Whether the style can have a finger notch.
bool styleHasNotch(BoxStyle style);
// "verschlussdeckel", "huelse", "gegenlaeufig", "gleichlaeufig": the style's
// name on the command line and in info.
QString styleId(BoxStyle style);
// "Verschlussdeckel", "Hülse", "Steckschachtel gegenläufig", "Steckschachtel gleichläufig".
QString styleName(BoxStyle style);
// The style of an id; false for an unknown one.
bool styleFromId(const QString& id, BoxStyle& out);

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

// The kept chunks in the order read. They lie in one block (each chunk's tag
// and data, its end offset beside), so a file of many small chunks costs no
// allocation per chunk; and there are at most MaxCount of them with at most
// MaxBytes of data, what no version writes more of: a file beyond is damage.
class KeptChunks {
public:
    static constexpr std::size_t MaxCount = 1000;
    static constexpr qsizetype MaxBytes = 16 * 1024 * 1024;

    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    void clear();
    // Whether one more chunk of length data bytes stays within the limits.
    bool roomFor(qsizetype length) const;
    // Adds the chunk (tag: its first 4 bytes, padded with spaces); false,
    // and nothing added, beyond the limits.
    bool append(const QByteArray& tag, const char* data, qsizetype length);
    bool push_back(const KeptChunk& c) { return append(c.tag, c.data.constData(), c.data.size()); }
    KeptChunk operator[](std::size_t i) const;
    // All chunks' data bytes together.
    qsizetype dataBytes() const { return m_bytes.size() - qsizetype(4 * m_ends.size()); }
    bool operator==(const KeptChunks& o) const { return m_bytes == o.m_bytes && m_ends == o.m_ends; }
    bool operator!=(const KeptChunks& o) const { return !(*this == o); }

    class const_iterator {
    public:
        const_iterator(const KeptChunks* owner, std::size_t i) : m_owner(owner), m_i(i) {}
        KeptChunk operator*() const { return (*m_owner)[m_i]; }
        const_iterator& operator++() {
            ++m_i;
            return *this;
        }
        bool operator!=(const const_iterator& o) const { return m_i != o.m_i; }
        bool operator==(const const_iterator& o) const { return m_i == o.m_i; }

    private:
        const KeptChunks* m_owner;
        std::size_t m_i;
    };
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }

private:
    QByteArray m_bytes;                // tag and data of each chunk, one after the other
    std::vector<qsizetype> m_ends;     // where each chunk ends in m_bytes
};
