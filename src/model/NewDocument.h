#pragma once
// What start-up and New do to the document, and the window captions.

#include "model/BoxDocument.h"
#include "model/PaperFormat.h"

#include <QString>

namespace appinfo {
inline const QString ApplicationTitle = QStringLiteral("Faltarillon-Designer 1.0");
inline const QString CaptionPrefix = QStringLiteral("ORB-LUX Faltarillon-Designer 1.0 - ");
inline const QString UnnamedFile = QStringLiteral("NONAME01");
}  // namespace appinfo

// The document as the main window creates it: start-up layout (2 x 5
// "Kein Faltarillonentyp"), Zoom 1.0, the divisor for screenDpi, every slot
// free, extent from that layout.
void initStartupDocument(BoxDocument& doc, int screenDpi);

// New: the 290 x 205 mm single-net layout (type name emptied, its
// characters kept), clearall, extent from the layout. Zoom and divisor stay.
void newDocument(BoxDocument& doc);
// New for another paper: the same, with the item of that paper.
void newDocument(BoxDocument& doc, PaperFormat paper);

// "ORB-LUX Faltarillon-Designer 1.0 - NONAME01" for an unnamed document,
// otherwise the prefix followed by the file name without its folder.
QString captionFor(const QString& fileName);
