#pragma once
// How the program writes the sizes of a sheet that does not fit, in the
// print dialog's question and in the command line's warning alike: one
// decimal with a decimal comma, "264,4 × 200,3 mm".

#include <QSizeF>
#include <QString>

struct SheetPlan;

QString sizeMmText(QSizeF mm);

// "(Box: A, bedruckbarer Bereich: B)" of a plan: a copy's placed box and the
// usable area.
QString fitSizesText(const SheetPlan& plan);
