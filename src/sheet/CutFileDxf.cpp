// The cut file as DXF through dxflib: AutoCAD 2000, millimetres, layers CUT,
// FOLD and REGMARKS, outlines as closed polylines, y up from the paper's
// bottom-left corner.

#include "sheet/CutSheet.h"

#include "base/ErrnoText.h"
#include "base/SaveFile.h"
#include "base/WriteTarget.h"
#include "sheet/DxfObjects.h"

#include <QFile>
#include <QTemporaryDir>

#include <dl_dxf.h>
#include <dl_writer_ascii.h>
#include <memory>

namespace {

// AutoCAD colour numbers of the layers.
constexpr int ColourMagenta = 6;
constexpr int ColourCyan = 4;
constexpr int ColourBlackWhite = 7;

struct DxfOut {
    DL_Dxf& dxf;
    DL_WriterA& dw;
    double paperHeight;

    double y(double yDown) const { return paperHeight - yDown; }

    void closedPolyline(const QPolygonF& poly, const char* layer, int colour) {
        if (poly.size() < 2) return;
        const DL_Attributes attr(layer, colour, -1, "CONTINUOUS", 1.0);
        dxf.writePolyline(dw, DL_PolylineData(poly.size(), 0, 0, 1), attr);
        for (const QPointF& p : poly) dxf.writeVertex(dw, DL_VertexData(p.x(), y(p.y()), 0, 0));
        dxf.writePolylineEnd(dw);
    }

    void line(const QLineF& l, const char* layer, int colour) {
        const DL_Attributes attr(layer, colour, -1, "CONTINUOUS", 1.0);
        dxf.writeLine(dw, DL_LineData(l.x1(), y(l.y1()), 0, l.x2(), y(l.y2()), 0), attr);
    }
};

void writeTables(DL_Dxf& dxf, DL_WriterA& dw) {
    dw.sectionTables();
    dxf.writeVPort(dw);
    dw.tableLinetypes(3);
    dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "BYBLOCK", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "BYLAYER", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Continuous", 0, 0, 0.0));
    dw.tableEnd();
    dw.tableLayers(4);
    dxf.writeLayer(dw, DL_LayerData("0", 0), DL_Attributes("", ColourBlackWhite, 100, "CONTINUOUS", 1.0));
    dxf.writeLayer(dw, DL_LayerData(cutlayer::DxfCut, 0),
                   DL_Attributes("", ColourMagenta, 100, "CONTINUOUS", 1.0));
    dxf.writeLayer(dw, DL_LayerData(cutlayer::DxfFold, 0), DL_Attributes("", ColourCyan, 100, "CONTINUOUS", 1.0));
    dxf.writeLayer(dw, DL_LayerData(cutlayer::DxfMarks, 0),
                   DL_Attributes("", ColourBlackWhite, 100, "CONTINUOUS", 1.0));
    dw.tableEnd();
    dw.tableStyle(1);
    dxf.writeStyle(dw, DL_StyleData("standard", 0, 2.5, 1.0, 0.0, 0, 2.5, "txt", ""));
    dw.tableEnd();
    dxf.writeView(dw);
    dxf.writeUcs(dw);
    dw.tableAppid(1);
    dxf.writeAppid(dw, "ACAD");
    dw.tableEnd();
    dxf.writeDimStyle(dw, 1, 1, 1, 1, 1);
    dxf.writeBlockRecord(dw);
    dw.tableEnd();
    dw.sectionEnd();
    dw.sectionBlocks();
    for (const char* space : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
        dxf.writeBlock(dw, DL_BlockData(space, 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(dw, space);
    }
    dw.sectionEnd();
}

}  // namespace

bool writeCutDxf(const CutSheet& sheet, const QString& path, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    // Refused before dxflib does the work.
    const QString problem = writeTargetProblem(path);
    if (!problem.isEmpty()) return fail(fileReasonLine(path, problem));
    // dxflib writes to a file name of its own; it goes to a scratch file
    // that then replaces the target in one step.
    QTemporaryDir scratch;
    if (!scratch.isValid()) return fail(QStringLiteral("Es kann keine temporäre Datei angelegt werden."));
    const QString scratchPath = scratch.filePath(QStringLiteral("cut.dxf"));
    {
        DL_Dxf dxf;
        std::unique_ptr<DL_WriterA> dw(dxf.out(QFile::encodeName(scratchPath).constData(), DL_Codes::AC1015));
        if (!dw) return fail(QStringLiteral("Es kann keine temporäre Datei angelegt werden."));
        dxf.writeHeader(*dw);
        dw->dxfString(9, "$INSUNITS");
        dw->dxfInt(70, 4);
        dw->dxfString(9, "$MEASUREMENT");
        dw->dxfInt(70, 1);
        dw->dxfString(9, "$EXTMIN");
        dw->dxfReal(10, 0.0);
        dw->dxfReal(20, 0.0);
        dw->dxfReal(30, 0.0);
        dw->dxfString(9, "$EXTMAX");
        dw->dxfReal(10, sheet.paperMm.width());
        dw->dxfReal(20, sheet.paperMm.height());
        dw->dxfReal(30, 0.0);
        dw->sectionEnd();
        writeTables(dxf, *dw);

        dw->sectionEntities();
        DxfOut out{dxf, *dw, sheet.paperMm.height()};
        // Stopped: the scratch file goes with its folder, the target stays.
        int written = 0;
        for (const QPolygonF& m : sheet.marks) {
            out.closedPolyline(m, cutlayer::DxfMarks, ColourBlackWhite);
            if (!cutShapeWritten(sheet, ++written)) return fail(stoppedText());
        }
        for (const QLineF& f : sheet.folds) {
            out.line(f, cutlayer::DxfFold, ColourCyan);
            if (!cutShapeWritten(sheet, ++written)) return fail(stoppedText());
        }
        for (const QPolygonF& c : sheet.cuts) {
            out.closedPolyline(c, cutlayer::DxfCut, ColourMagenta);
            if (!cutShapeWritten(sheet, ++written)) return fail(stoppedText());
        }
        for (const QLineF& s : sheet.slits) {
            out.line(s, cutlayer::DxfCut, ColourMagenta);
            if (!cutShapeWritten(sheet, ++written)) return fail(stoppedText());
        }
        dw->sectionEnd();
        writeDxfObjects(*dw, sheet.paperMm);
        dw->dxfEOF();
        dw->close();
    }
    QFile written(scratchPath);
    if (!written.open(QIODevice::ReadOnly)) return fail(QStringLiteral("Die DXF-Datei konnte nicht geschrieben werden."));
    const QByteArray bytes = written.readAll();
    // dxflib does not check its writes: a scratch file cut short on a full
    // temporary folder lacks the end marker.
    if (!bytes.trimmed().endsWith("\nEOF")) return fail(QStringLiteral("Die DXF-Datei konnte nicht geschrieben werden."));
    const SaveResult saved = saveFile(path, bytes);
    if (!saved) return fail(fileReasonLine(path, saved.reason));
    return true;
}
