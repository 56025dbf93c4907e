#pragma once
// The editor's help for relating the net to the box: on each face its name
// and an arrow to the edge that is on top when the box stands folded on its
// bottom. On the lid halves the arrow points to the end that meets Hinten,
// on the Boden to the edge that meets Vorne; a text turned so that its top
// faces the arrow reads upright on the folded box (from above with Vorne
// nearest, from below with Hinten nearest). Drawn on the editor canvas
// only, never in the print or an export.

#include "box/FoldingModel.h"

#include <QLineF>
#include <QPointF>
#include <QString>
#include <vector>

class QPainter;

struct NetLabel {
    PanelId id = PanelId::Vorne;
    QString name;        // faceName of the panel
    QPointF centre;      // where the name stands
    QLineF arrow;        // from near the centre to the tip at the top edge
};

// The labels of the faces (each lid half) on a net in any geometry.
std::vector<NetLabel> netLabels(const FoldingModel& net);

// Draws them (pixel geometry of the canvas the net was measured on).
void paintNetLabels(QPainter& painter, const FoldingModel& net);
