#include "edit/SeriesCommand.h"

#include "edit/DocumentHistory.h"

bool changeSeriesLink(DocumentHistory& history, BoxDocument& doc, const SeriesLink& to) {
    if (doc.Series == to) return false;
    auto step = history.beginSeries(SeriesStepName);
    doc.Series = to;
    return history.commit(std::move(step));
}
