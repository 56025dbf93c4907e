#include "model/BoxSize.h"

#include <cmath>
#include <limits>

namespace {

// Rounds a decimal digit string (no sign, no point) with the point after
// `intDigits` digits to `decimals` decimals, half away from zero.
double roundDecimal(const QString& digits, int exponent, int decimals) {
    // digits d0 d1 ... stand for d0.d1d2... x 10^exponent
    const int keep = exponent + 1 + decimals;   // digits that survive
    if (keep < 0) return 0;
    QString kept = digits.left(keep);
    while (kept.size() < keep) kept.append(QLatin1Char('0'));
    bool roundUp = keep < digits.size() && digits.at(keep) >= QLatin1Char('5');
    QString number = kept.isEmpty() ? QStringLiteral("0") : kept;
    if (roundUp) {
        int i = number.size() - 1;
        for (; i >= 0; --i) {
            if (number.at(i) == QLatin1Char('9')) {
                number[i] = QLatin1Char('0');
            } else {
                number[i] = QChar(number.at(i).unicode() + 1);
                break;
            }
        }
        if (i < 0) number.prepend(QLatin1Char('1'));
    }
    // number holds the value times 10^decimals.
    return number.toDouble() / std::pow(10.0, decimals);
}

}  // namespace

QString formatFixed(double value, int precision, int decimals, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    if (!std::isfinite(value)) return plain.toString(value, 'f', decimals);
    const bool negative = value < 0;
    // The value to `precision` significant digits, as digits and exponent.
    const QString sci = QString::number(std::fabs(value), 'e', precision - 1);
    const int e = sci.indexOf(QLatin1Char('e'));
    QString digits = sci.left(e);
    digits.remove(QLatin1Char('.'));
    const int exponent = sci.mid(e + 1).toInt();
    double rounded = roundDecimal(digits, exponent, decimals);
    if (negative && rounded != 0) rounded = -rounded;
    return plain.toString(rounded, 'f', decimals);
}

double cubeEdgeCm(int percent, double itemHeightMm) {
    double a = percent * itemHeightMm / 100;
    a = a - a / 3 / 5;
    a = a / 3 / 10;
    return a;
}

QString cubeEdgeText(int percent, double itemHeightMm, const QLocale& locale) {
    return formatFixed(cubeEdgeCm(percent, itemHeightMm), 15, 2, locale) + QStringLiteral(" cm");
}

QString sheetLayoutLine(const SheetLayout& l, const QLocale& locale) {
    auto mm = [&](double v) { return formatFixed(v, 7, 2, locale); };
    return QString::number(l.Columns) + QStringLiteral(" x ") + QString::number(l.Rows) +
           QStringLiteral(" Faltarillonen á ") + mm(l.ItemWidth) + QStringLiteral("mm x ") + mm(l.ItemHeight) +
           QStringLiteral("mm pro Blatt [Abstände ") + mm(l.PitchX) + QStringLiteral("mm ; ") + mm(l.PitchY) +
           QStringLiteral("mm] [Ränder ") + mm(l.MarginX) + QStringLiteral("mm ; ") + mm(l.MarginY) +
           QStringLiteral("mm]");
}

QRectF sheetItemRectMm(const SheetLayout& l, int k) {
    const int columns = l.Columns >= 1 ? l.Columns : 1;
    const int rows = l.Rows >= 1 ? l.Rows : 1;
    const int n = k >= 0 ? k : 0;
    const double left = l.MarginX + l.PitchX * (n % columns);
    const double top = l.MarginY + l.PitchY * ((n / columns) % rows);
    return QRectF(left, top, l.ItemWidth, l.ItemHeight);
}

QSize drawingSurfaceSize(const BoxDocument& doc) {
    if (!(doc.Zoom > 0) || !(doc.ScreenDivisor > 0)) return QSize();
    auto pixels = [&](std::int32_t extent) {
        const long double v = static_cast<long double>(extent) * doc.Zoom / doc.ScreenDivisor;
        const long double limit = std::numeric_limits<int>::max();
        return static_cast<int>(v > limit ? limit : (v < -limit ? -limit : v));
    };
    return QSize(pixels(doc.ExtentWidth), pixels(doc.ExtentHeight));
}
