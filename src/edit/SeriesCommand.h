#pragma once
// Linking the design to its data or unlinking it, as one step of the history
// ("Seriendaten"). The row shown is the window's and no part of the step.

#include "model/SeriesData.h"

class DocumentHistory;
struct BoxDocument;

inline const QString SeriesStepName = QStringLiteral("Seriendaten");

// False when the link stays as it was (no step then).
bool changeSeriesLink(DocumentHistory& history, BoxDocument& doc, const SeriesLink& to);
