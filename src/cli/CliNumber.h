#pragma once
// Every number a verb takes from its command line is read here: plain
// decimal digits (with a point or a comma before the fraction where one is
// allowed), finite and within the option's range. QString::toDouble alone
// takes "nan", "inf" and "1e999": NaN compares false with every limit and
// would slip through a range check.

#include <QString>
#include <optional>

// The value of text, or nothing when it is no such number or lies outside [low, high].
std::optional<double> readCliNumber(const QString& text, double low, double high, bool whole);
