// render: the printed sheet or the editor's picture of a box file as PNG or PDF.

#include "cli/CliArguments.h"
#include "cli/BoxSizeOption.h"
#include "cli/CliCommand.h"
#include "cli/CliMemory.h"
#include "cli/CliPrompter.h"
#include "cli/SeriesOption.h"
#include "cli/NetLinesOption.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "render/EditorView.h"
#include "sheet/SheetPdfWriter.h"
#include "sheet/SheetPngWriter.h"
#include "sheet/SheetRenderer.h"
#include "base/SaveFile.h"

#include <QImageWriter>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>

namespace {

// Far beyond any editing area; keeps the scroll position clear of overflow.
constexpr int MaxScroll = 10000000;

struct RenderOptions {
    QString input;
    QString output;
    int percent = 100;
    int dpi = 300;
    bool editor = false;
    QPoint scroll;
    QSize size;
    QPageSize::PageSizeId page = QPageSize::A4;
    bool portrait = false;
    double netLineMm = 0;
};

bool parsePage(const QString& name, QPageSize::PageSizeId& id) {
    static const std::pair<const char*, QPageSize::PageSizeId> pages[] = {
        {"A3", QPageSize::A3}, {"A4", QPageSize::A4}, {"A5", QPageSize::A5},
        {"Letter", QPageSize::Letter}, {"Legal", QPageSize::Legal}};
    for (const auto& [n, pid] : pages)
        if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) {
            id = pid;
            return true;
        }
    return false;
}

// False after reporting what is wrong with the call.
bool readOptions(const QCommandLineParser& args, const CliContext& ctx, RenderOptions& o) {
    const auto wrong = [&](const QString& message) {
        ctx.usageError(message + QLatin1Char('.'));
        return false;
    };
    if (!ctx.intOption(args, QStringLiteral("percent"), 10, 100, o.percent)) return false;
    if (!ctx.intOption(args, QStringLiteral("dpi"), 10, 2400, o.dpi)) return false;
    o.editor = args.isSet(QStringLiteral("editor"));
    o.portrait = args.isSet(QStringLiteral("portrait"));
    int x = 0, y = 0;
    if (!ctx.intPairOption(args, QStringLiteral("scroll"), QLatin1Char(','), 0, MaxScroll, QStringLiteral("X,Y"), x, y))
        return false;
    o.scroll = QPoint(x, y);
    if (args.isSet(QStringLiteral("size"))) {
        int w = 0, h = 0;
        if (!ctx.intPairOption(args, QStringLiteral("size"), QLatin1Char('x'), 1, 20000,
                               QStringLiteral("BREITExHÖHE"), w, h))
            return false;
        o.size = QSize(w, h);
    }
    if (args.isSet(QStringLiteral("page")) && !parsePage(args.value(QStringLiteral("page")), o.page))
        return wrong(QStringLiteral("--page erwartet A3, A4, A5, Letter oder Legal"));
    if (!readNetLines(args, ctx, o.netLineMm)) return false;
    o.input = args.positionalArguments().at(0);
    o.output = args.positionalArguments().at(1);
    const QString suffix = QFileInfo(o.output).suffix().toLower();
    if (suffix != "png" && suffix != "pdf") return wrong(QStringLiteral("Ausgabe muss .png oder .pdf sein"));
    if (o.editor && suffix != "png") return wrong(QStringLiteral("--editor schreibt nur PNG"));
    if (!o.editor && (args.isSet(QStringLiteral("scroll")) || args.isSet(QStringLiteral("size"))))
        return wrong(QStringLiteral("--scroll und --size gelten nur mit --editor"));
    if (o.editor && args.isSet(QStringLiteral("net-lines")))
        return wrong(QStringLiteral("--net-lines gilt nur für das Druckblatt, nicht mit --editor"));
    return true;
}

int renderEditor(BoxDocument& doc, const RenderOptions& o, CliContext& ctx) {
    const QSize area = editingAreaSize(doc);
    const QSize size = o.size.isValid() ? o.size : area;
    if (size.width() < 1 || size.height() < 1 || size.width() > 20000 || size.height() > 20000) {
        ctx.message(QStringLiteral("Ungültige Bildgröße %1x%2").arg(size.width()).arg(size.height()));
        return CliFailed;
    }
    // The picture, and the PNG writer's converted copy of it.
    if (!memoryAllowed(ctx, o.output, climemory::pictureBytes(size.width(), size.height()) / 2 * 4,
                       QStringLiteral("eine kleinere Größe (--size)")))
        return CliFailed;
    QImage buffer(size, QImage::Format_RGB32);
    if (buffer.isNull()) return ctx.fileError(o.output, climemory::OutOfMemoryText);
    buffer.fill(Qt::white);
    renderEditorBuffer(buffer, doc, o.percent, o.scroll.x(), o.scroll.y());
    const SaveResult saved = saveFile(o.output, [&](QIODevice& out) { return QImageWriter(&out, "png").write(buffer); });
    if (!saved) return ctx.writeError(o.output, saved.reason);
    return CliOk;
}

int renderSheet(BoxDocument& doc, const RenderOptions& o, CliContext& ctx) {
    const QPageLayout layout(QPageSize(o.page), o.portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
                             QMarginsF(0, 0, 0, 0));
    const QRect pagePx = layout.fullRectPixels(o.dpi);
    // One net on the page as printing has always placed it, the net lines as asked.
    SheetOptions options;
    options.netLineMm = o.netLineMm;
    const SheetPlan plan =
        planSheet(doc.Layout, NetSource::of(doc, o.percent), options, pageOnlyFrame(pagePx.size(), o.dpi, o.dpi));
    if (o.output.endsWith(".png", Qt::CaseInsensitive)) {
        // The page, and its PNG bytes (three bytes a pixel where nothing
        // compresses). The PDF goes out band by band and needs no check.
        if (!memoryAllowed(ctx, o.output, climemory::pictureBytes(pagePx.width(), pagePx.height()) / 4 * 7,
                           QStringLiteral("eine kleinere Auflösung (--dpi), ein kleineres Papier (--page) oder PDF")))
            return CliFailed;
        const QImage page = renderSheetImage(doc, plan);
        if (page.isNull()) return ctx.fileError(o.output, climemory::OutOfMemoryText);
        const SaveResult saved = writeSheetPng(page, o.output, o.dpi);
        if (!saved) return ctx.writeError(o.output, saved.reason);
        return CliOk;
    }
    SheetPdfPage pdf;
    pdf.pagePoints = exactPaperPoints(layout);
    pdf.area = pagePx.size();
    pdf.dpiX = pdf.dpiY = o.dpi;
    pdf.title = sheetmsg::PrintJobTitle;
    pdf.creator = QStringLiteral("faltarillon-cli");
    pdf.plan = &plan;
    const SaveResult saved = writeSheetPdfFile(o.output, doc, o.percent, pdf);
    if (!saved) return ctx.writeError(o.output, saved.reason);
    return CliOk;
}

int runRender(const QCommandLineParser& args, CliContext& ctx) {
    RenderOptions o;
    if (!readOptions(args, ctx, o)) return CliUsage;
    BoxDocument doc;
    CliPrompter prompter(ctx);
    // Missing images are reported by the reader and left empty; rendering goes on.
    if (!openBoxForSeries(args, doc, o.input, prompter)) return CliFailed;
    if (!percentAllowed(args, doc, ctx)) return CliUsage;
    if (const int code = fillSeriesRow(args, ctx, doc); code != CliOk) return code;
    warnIfNetDoesNotFit(doc, o.percent, o.input, ctx);
    return o.editor ? renderEditor(doc, o, ctx) : renderSheet(doc, o, ctx);
}

const CliCommandRegistrar registrar(
    QStringLiteral("render"),
    CliCommand{{QStringLiteral("EIN.box"), QStringLiteral("AUS.png|AUS.pdf")},
               QStringLiteral("zeichnet das Druckblatt (ein Netz) oder mit --editor das Bild des Editors"),
               {{QStringLiteral("percent"), QStringLiteral("Boxgröße in Prozent (10 bis 100, sonst 100)"),
                 QStringLiteral("P")},
                {QStringLiteral("dpi"), QStringLiteral("Auflösung des Blatts (10 bis 2400, sonst 300)"),
                 QStringLiteral("R")},
                {QStringLiteral("page"), QStringLiteral("Papierformat des Blatts (sonst A4)"),
                 QStringLiteral("A4|A3|A5|Letter|Legal")},
                {QStringLiteral("portrait"), QStringLiteral("Blatt im Hochformat statt quer")},
                {QStringLiteral("editor"), QStringLiteral("zeichnet statt des Blatts das Bild des Editors (nur PNG)")},
                {QStringLiteral("scroll"), QStringLiteral("mit --editor: Bildlaufposition in Pixeln"),
                 QStringLiteral("X,Y")},
                {QStringLiteral("size"),
                 QStringLiteral("mit --editor: Größe des sichtbaren Teils (sonst der ganze Editorbereich)"),
                 QStringLiteral("BxH")},
                netLinesOption(),
                seriesDataOption(),
                seriesRowOption(),
                cliStrictOption()},
               runRender});

}  // namespace
