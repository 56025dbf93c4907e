#include "model/BoxForm.h"

#include <cmath>

namespace boxform {

double roundToStep(double mm) {
    if (!std::isfinite(mm)) return mm;
    return std::round(mm * 10.0) / 10.0;
}

bool measureInRange(double mm) { return std::isfinite(mm) && mm >= kMinMm && mm <= kMaxMm; }

double roundThickness(double mm) {
    if (!std::isfinite(mm)) return mm;
    return std::round(mm * 20.0) / 20.0;
}

bool thicknessValid(double mm) {
    if (!std::isfinite(mm) || mm < 0 || mm > kMaxThicknessMm + 1e-9) return false;
    return std::abs(mm * 20.0 - std::round(mm * 20.0)) < 1e-6;
}

bool isValid(const BoxForm& form) {
    switch (form.style) {
    case BoxStyle::Verschlussdeckel:
        if (form.thickness != 0) return false;
        if (form.kind == FormKind::Wuerfel) return true;
        break;
    case BoxStyle::Huelse:
    case BoxStyle::SteckGegenlaeufig:
    case BoxStyle::SteckGleichlaeufig:
    case BoxStyle::Schnappboden:
    case BoxStyle::Automatikboden:
        if (form.kind != FormKind::Quader || !thicknessValid(form.thickness)) return false;
        break;
    default: return false;
    }
    if (form.kind != FormKind::Quader) return false;
    return measureInRange(form.L) && measureInRange(form.B) && measureInRange(form.H) && measuresProblem(form).isEmpty();
}

QString measuresProblem(const BoxForm& form) {
    // Its side flaps fold in along the Länge; narrower than deep, the
    // bottom's main flaps could not lock.
    if (form.style == BoxStyle::Automatikboden && form.L < form.B)
        return QStringLiteral("Der Automatikboden braucht eine Länge von mindestens der Breite (hier %1 mm kürzer).")
            .arg(QLocale(QLocale::German).toString(roundToStep(form.B - form.L), 'f', 1));
    return QString();
}

const std::vector<BoxStyle>& styles() {
    static const std::vector<BoxStyle> all{BoxStyle::Verschlussdeckel, BoxStyle::Huelse, BoxStyle::SteckGegenlaeufig,
                                           BoxStyle::SteckGleichlaeufig, BoxStyle::Schnappboden,
                                           BoxStyle::Automatikboden};
    return all;
}

bool styleHasNotch(BoxStyle style) {
    return style == BoxStyle::SteckGegenlaeufig || style == BoxStyle::SteckGleichlaeufig ||
           style == BoxStyle::Schnappboden || style == BoxStyle::Automatikboden;
}

QString styleId(BoxStyle style) {
    switch (style) {
    case BoxStyle::Verschlussdeckel: break;
    case BoxStyle::Huelse: return QStringLiteral("huelse");
    case BoxStyle::SteckGegenlaeufig: return QStringLiteral("gegenlaeufig");
    case BoxStyle::SteckGleichlaeufig: return QStringLiteral("gleichlaeufig");
    case BoxStyle::Schnappboden: return QStringLiteral("schnappboden");
    case BoxStyle::Automatikboden: return QStringLiteral("automatikboden");
    }
    return QStringLiteral("verschlussdeckel");
}

QString styleName(BoxStyle style) {
    switch (style) {
    case BoxStyle::Verschlussdeckel: break;
    case BoxStyle::Huelse: return QStringLiteral("Hülse");
    case BoxStyle::SteckGegenlaeufig: return QStringLiteral("Steckschachtel gegenläufig");
    case BoxStyle::SteckGleichlaeufig: return QStringLiteral("Steckschachtel gleichläufig");
    case BoxStyle::Schnappboden: return QStringLiteral("Schnappboden");
    case BoxStyle::Automatikboden: return QStringLiteral("Automatikboden");
    }
    return QStringLiteral("Verschlussdeckel");
}

bool styleFromId(const QString& id, BoxStyle& out) {
    for (BoxStyle s : styles())
        if (id == styleId(s)) {
            out = s;
            return true;
        }
    return false;
}

QString formName(FormKind kind) {
    return kind == FormKind::Quader ? QStringLiteral("Quader") : QStringLiteral("Würfel");
}

QString measuresText(const BoxForm& form, const QLocale& locale) {
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    const QString times = QStringLiteral(" × ");
    return l.toString(form.L, 'f', 1) + times + l.toString(form.B, 'f', 1) + times + l.toString(form.H, 'f', 1) +
           QStringLiteral(" mm");
}

}  // namespace boxform

bool BoxForm::hasNotch() const { return boxform::styleHasNotch(style); }

void KeptChunks::clear() {
    m_bytes.clear();
    m_ends.clear();
}

bool KeptChunks::roomFor(qsizetype length) const {
    return size() < MaxCount && length >= 0 && length <= MaxBytes - dataBytes();
}

bool KeptChunks::append(const QByteArray& tag, const char* data, qsizetype length) {
    if (!roomFor(length)) return false;
    m_bytes.append(tag.left(4).leftJustified(4, ' '));
    m_bytes.append(data, length);
    m_ends.push_back(m_bytes.size());
    return true;
}

KeptChunk KeptChunks::operator[](std::size_t i) const {
    const qsizetype begin = i == 0 ? 0 : m_ends[i - 1];
    return KeptChunk{m_bytes.mid(begin, 4), m_bytes.mid(begin + 4, m_ends[i] - begin - 4)};
}
