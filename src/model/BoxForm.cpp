#include "model/BoxForm.h"

#include <cmath>

namespace boxform {

double roundToStep(double mm) {
    if (!std::isfinite(mm)) return mm;
    return std::round(mm * 10.0) / 10.0;
}

bool measureInRange(double mm) { return std::isfinite(mm) && mm >= kMinMm && mm <= kMaxMm; }

bool isValid(const BoxForm& form) {
    if (form.kind == FormKind::Wuerfel) return true;
    if (form.kind != FormKind::Quader) return false;
    return measureInRange(form.L) && measureInRange(form.B) && measureInRange(form.H);
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
