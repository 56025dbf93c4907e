#pragma once
// Laying out a text costs time with its length: a text longer than this
// froze the editor for minutes. Texts that come from outside a box file
// (pasted, or values of linked data) are clipped to it; a text loaded from a
// box file keeps what it has.

#include <QString>

inline constexpr int LongTextLimit = 65536;

// The first LongTextLimit characters, a surrogate pair kept whole.
inline QString clipLongText(const QString& text) {
    if (text.size() <= LongTextLimit) return text;
    int n = LongTextLimit;
    if (text.at(n - 1).isHighSurrogate()) --n;
    return text.left(n);
}
