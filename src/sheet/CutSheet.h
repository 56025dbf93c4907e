#pragma once
// The cut file of a printed sheet: every copy's cut outline, its fold lines
// and the registration marks, in millimetres on the paper (origin at its
// top-left corner, y down), taken from the same integer sheet plan as the
// print. Written as SVG with layer groups or as DXF (AutoCAD 2000, mm, y up)
// for the software of a cutting machine.

#include "base/Progress.h"
#include "sheet/SheetPlan.h"

#include <QLineF>
#include <functional>
#include <QPolygon>
#include <QPolygonF>
#include <QSizeF>
#include <QString>
#include <vector>

class FoldingModel;

struct CutSheet {
    QSizeF paperMm;
    std::vector<QPolygonF> cuts;    // closed outlines, first point not repeated
    std::vector<QLineF> slits;      // open cuts inside an outline
    std::vector<QLineF> folds;
    std::vector<QPolygonF> marks;   // filled shapes, closed, first point not repeated
    // Asked while the shapes are written; false stops the file, which is then
    // not written at all (the error says stoppedText()).
    ProgressCallback progress;
};

// Asks sheet.progress once the n-th shape (1-based, marks, folds and cuts
// counted together, slits with the cuts) is written: every 64th and the last. false: stop.
bool cutShapeWritten(const CutSheet& sheet, int n);

// The cut sheet of a plan: each copy's cut outline and folds from the
// folding model at the plan's print pixels, each point the middle of its
// pixel, where the printed line lies.
CutSheet cutSheetFor(const SheetPlan& plan);
// One net's outline, folds and slits, each point taken to the paper by toPaperMm.
void addCutNet(CutSheet& sheet, const FoldingModel& net, const std::function<QPointF(const QPointF&)>& toPaperMm);

// Layer names as the cutter software shows them.
namespace cutlayer {
inline const QString SvgCut = QStringLiteral("Schnittlinien");
inline const QString SvgFold = QStringLiteral("Falzlinien");
inline const QString SvgMarks = QStringLiteral("Passermarken");
inline const char* const DxfCut = "CUT";
inline const char* const DxfFold = "FOLD";
inline const char* const DxfMarks = "REGMARKS";
}  // namespace cutlayer

// Both write through saveFile: the target is replaced only by a complete
// file. On failure they return false and say why in error (German; a target
// that cannot be written or a failed write as "PATH: Grund"; stoppedText()
// when sheet.progress stopped it).
bool writeCutSvg(const CutSheet& sheet, const QString& path, QString* error = nullptr);
bool writeCutDxf(const CutSheet& sheet, const QString& path, QString* error = nullptr);
// By the file's extension (.svg or .dxf); anything else is refused.
bool writeCutFile(const CutSheet& sheet, const QString& path, QString* error = nullptr);
