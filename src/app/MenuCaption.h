#pragma once
// Menu captions made from names the user chose (file names, sample titles):
// an '&' in them is a character, not a mnemonic.

#include <QString>

inline QString menuCaptionText(QString name) { return name.replace(QLatin1Char('&'), QStringLiteral("&&")); }
