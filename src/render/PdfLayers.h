#pragma once
// Layers a PDF viewer can switch off (optional content groups). Qt's PDF
// writer knows no layers, so the export lets it write each layer on a page
// of its own and stacks those pages here onto one page, each inside its own
// optional content group, with the layer's name.

#include <QByteArray>
#include <QString>
#include <vector>

struct PdfLayerName {
    QString id;      // internal name, ASCII
    QString label;   // what the viewer's layer list shows
};

// pages: a PDF with one page per layer, all of one size, in the order of
// layers (bottom first). Writes a one-page PDF to out. False with a German
// message in error when the PDF cannot be read or written.
bool stackPdfPagesAsLayers(const QByteArray& pages, const std::vector<PdfLayerName>& layers, QByteArray& out,
                           QString& error);
