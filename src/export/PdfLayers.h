#pragma once
// Layers a PDF viewer can switch off (optional content groups). Qt's PDF
// writer knows no layers, so the export lets it write each layer on a page
// of its own and stacks those pages here onto one page, each inside its own
// optional content group, with the layer's name.

#include <QByteArray>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

struct PdfPicture;

struct PdfLayerName {
    QString id;      // internal name, ASCII
    QString label;   // what the viewer's layer list shows
};

// The page boxes a print shop trims by, in points from the page's top-left
// corner, y down. Qt's writer makes pages whole points; the layer step sets
// the page to its exact size (to 0.01 pt), keeping its top edge where Qt's
// content expects it, the trim box to the cut outline's bounds and the bleed
// box to those grown by the bleed, within the page.
struct PdfPageBoxes {
    QSizeF pagePoints;
    QRectF trimPoints;
    double bleedPoints = 0;
};

// pages: a PDF with one page per layer, all of one size, in the order of
// layers (bottom first). Writes a one-page PDF to out. False with a German
// message in error when the PDF cannot be read or written.
//
// pictures: what the markers (export/PdfPictureMarker.h) the pages draw
// stand for, marker n for pictures[n]; each marker's image object gets a
// file's own bytes (a JPEG as it is, a PNG's image data with its
// predictors) or the compressed pixels, with their alpha as a soft mask.
//
// outPages: pages holds that many groups of layer pages, one after the
// other; each group becomes one page, all pages sharing the layers.
bool stackPdfPagesAsLayers(const QByteArray& pages, const std::vector<PdfLayerName>& layers, QByteArray& out,
                           QString& error, const std::vector<PdfPicture>& pictures = {},
                           const PdfPageBoxes* boxes = nullptr, int outPages = 1);
