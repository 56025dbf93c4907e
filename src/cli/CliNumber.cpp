#include "cli/CliNumber.h"

#include <QRegularExpression>
#include <cmath>

std::optional<double> readCliNumber(const QString& text, double low, double high, bool whole) {
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
    static const QRegularExpression decimal(QStringLiteral("^[+-]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)$"));
    if (!(whole ? wholeNumber : decimal).match(text).hasMatch()) return std::nullopt;
    bool ok = false;
    const double v = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < low || v > high) return std::nullopt;
    return v;
}
