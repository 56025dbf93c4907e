#pragma once
// The sheets of a series: one box per row, as many per sheet as the plan
// places, the rows in order, the last sheet filled as far as rows are left.

#include "model/SeriesRows.h"
#include "sheet/SheetPlan.h"

#include <QString>

// What the print page prints of a design with linked data: the design as
// the editor shows it (one row), every row, or the rows from..to. Held for
// the run only, like the sheet options.
struct SeriesChoice {
    enum Mode { Shown, All, Range };
    Mode mode = Shown;
    int from = 1;
    int to = 1;
    RowRange range() const { return mode == Range ? RowRange{from, to} : RowRange(); }
};

// Sheets needed for the rows (at least one copy per sheet counted).
int seriesSheetCount(const SeriesRows& rows, const SheetPlan& plan);

// Puts the documents of sheet `sheet` (from 0) into plan.copyDocuments.
// False with the reason when a row cannot be read.
bool fillSeriesSheet(SeriesRows& rows, int sheet, SheetPlan& plan, QString* error);

// The plan for the cut file of a series: the full sheet's copies, or only as
// many as there are rows when they do not fill one sheet.
SheetPlan seriesCutPlan(const SeriesRows& rows, const SheetPlan& plan);
