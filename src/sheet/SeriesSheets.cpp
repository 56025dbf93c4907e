#include "sheet/SeriesSheets.h"

#include "model/SeriesRows.h"

#include <algorithm>

int seriesSheetCount(const SeriesRows& rows, const SheetPlan& plan) {
    const int perSheet = std::max(plan.copies(), 1);
    return (rows.count() + perSheet - 1) / perSheet;
}

bool fillSeriesSheet(SeriesRows& rows, int sheet, SheetPlan& plan, QString* error) {
    const int perSheet = std::max(plan.copies(), 1);
    const int first = sheet * perSheet;
    const int n = std::clamp(rows.count() - first, 0, perSheet);
    auto documents = std::make_shared<std::vector<BoxDocument>>(size_t(n));
    for (int k = 0; k < n; ++k)
        if (!rows.document(first + k, &(*documents)[size_t(k)], error)) return false;
    plan.copyDocuments = std::move(documents);
    return true;
}

SheetPlan seriesCutPlan(const SeriesRows& rows, const SheetPlan& plan) {
    SheetPlan cut = plan;
    if (rows.count() < cut.copies()) cut.itemOrigins.resize(size_t(rows.count()));
    return cut;
}
