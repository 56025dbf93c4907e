#pragma once
// Whether a box's net fits its item on the paper, in exact millimetres, and
// the largest box of the same proportions that would.

#include "box/NetSource.h"

#include <QSizeF>
#include <QString>
#include <optional>

struct SheetLayout;

// Half a millimetre of the item's width stays free beside the net.
inline constexpr double kFitSpareWidthMm = 0.5;

// The room the net takes in exact millimetres: 2L + 2B + g across,
// t + H + B + f down (the cube: 4e + e/7 by 3e + e/7).
QSizeF netSizeMm(const NetSource& source, const SheetLayout& layout);
// The room the item offers the net: ItemWidth - 0,5 mm by ItemHeight.
QSizeF roomMm(const SheetLayout& layout);
// 2L + 2B + g <= ItemWidth - 0,5 mm and t + H + B + f <= ItemHeight.
bool netFits(const NetSource& source, const SheetLayout& layout);

// The largest cuboid in the proportions of form whose net fits, each
// measure rounded down to 0,1 mm; none when one of them would fall under
// 10 mm (or form is no cuboid).
std::optional<BoxForm> largestFittingForm(const BoxForm& form, const SheetLayout& layout);

// "Das Netz braucht 176,0 × 180,0 mm; die Box bietet 289,5 × 205,0 mm"
QString netRoomText(const NetSource& source, const SheetLayout& layout);
// The refusal when the net does not fit: the room text, then the offer of
// the largest measures in the same proportions, or "Auf diesem Papier passt
// keine Box dieser Proportionen."
QString netDoesNotFitText(const NetSource& source, const SheetLayout& layout);
inline const QString NoProportionalFitText = QStringLiteral("Auf diesem Papier passt keine Box dieser Proportionen.");
