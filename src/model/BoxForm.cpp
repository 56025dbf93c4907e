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
        if (form.kind != FormKind::Quader || !thicknessValid(form.thickness)) return false;
        break;
    default: return false;
    }
    if (form.kind != FormKind::Quader) return false;
    return measureInRange(form.L) && measureInRange(form.B) && measureInRange(form.H);
}

QString styleId(BoxStyle style) {
    return style == BoxStyle::Huelse ? QStringLiteral("huelse") : QStringLiteral("verschlussdeckel");
}

QString styleName(BoxStyle style) {
    return style == BoxStyle::Huelse ? QStringLiteral("Hülse") : QStringLiteral("Verschlussdeckel");
}

bool styleFromId(const QString& id, BoxStyle& out) {
    for (BoxStyle s : {BoxStyle::Verschlussdeckel, BoxStyle::Huelse})
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
