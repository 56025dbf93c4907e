#include "sheet/SheetFitText.h"

#include "sheet/SheetPlan.h"

#include <QLocale>

QString sizeMmText(QSizeF mm) {
    // German whatever the environment's locale: the program speaks German.
    const QLocale german(QLocale::German, QLocale::Germany);
    return QStringLiteral("%1 × %2 mm").arg(german.toString(mm.width(), 'f', 1), german.toString(mm.height(), 'f', 1));
}

QString fitSizesText(const SheetPlan& plan) {
    return QStringLiteral("(Box: %1, bedruckbarer Bereich: %2)")
        .arg(sizeMmText(plan.placedSizeMm()), sizeMmText(plan.usableSizeMm()));
}
