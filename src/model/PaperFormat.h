#pragma once
// The papers a new box can be made for, always in landscape. A box's item
// is the paper less 7 mm across and 5 mm down, the room a usual printer
// keeps free (290 x 205 mm on A4).

#include <QSizeF>
#include <QString>

struct SheetLayout;

enum class PaperFormat { A4, A3, Letter };

// Landscape paper size in millimetres (A4: 297 x 210).
QSizeF paperSizeMm(PaperFormat paper);
// "A4", "A3", "Letter": the names the dialog, the CLI and QPageSize agree on.
QString paperName(PaperFormat paper);
// Case-insensitive; false for an unknown name (paper is left alone).
bool paperFromName(const QString& name, PaperFormat& paper);

// The item a new box gets on this paper: paper less 7 x 5 mm.
QSizeF itemSizeForPaper(PaperFormat paper);

// New's single-net layout with the item for this paper.
void applyPaperLayout(SheetLayout& layout, PaperFormat paper);
