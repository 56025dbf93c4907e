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
