// render: the printed sheet or the editor's picture of a box file as PNG or PDF.

#include "cli/CliCommand.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "model/StreamPrompter.h"
#include "render/EditorView.h"
#include "render/SheetPdfWriter.h"
#include "render/SheetPngWriter.h"
#include "render/SheetRenderer.h"

#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>

namespace {

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
};

bool parseInt(const QString& text, int& value) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (ok) value = v;
    return ok;
}

bool parsePair(const QString& text, QChar sep, int& a, int& b) {
    const QStringList parts = text.split(sep);
    return parts.size() == 2 && parseInt(parts[0], a) && parseInt(parts[1], b);
}

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
    if (args.isSet(QStringLiteral("scroll"))) {
        int x = 0, y = 0;
        if (!parsePair(args.value(QStringLiteral("scroll")), QLatin1Char(','), x, y) || x < 0 || y < 0)
            return wrong(QStringLiteral("--scroll erwartet X,Y (ab 0)"));
        o.scroll = QPoint(x, y);
    }
    if (args.isSet(QStringLiteral("size"))) {
        int w = 0, h = 0;
        if (!parsePair(args.value(QStringLiteral("size")), QLatin1Char('x'), w, h) || w < 1 || h < 1 || w > 20000 ||
            h > 20000)
            return wrong(QStringLiteral("--size erwartet BREITExHÖHE (1 bis 20000)"));
        o.size = QSize(w, h);
    }
    if (args.isSet(QStringLiteral("page")) && !parsePage(args.value(QStringLiteral("page")), o.page))
        return wrong(QStringLiteral("--page erwartet A3, A4, A5, Letter oder Legal"));
    o.input = args.positionalArguments().at(0);
    o.output = args.positionalArguments().at(1);
    const QString suffix = QFileInfo(o.output).suffix().toLower();
    if (suffix != "png" && suffix != "pdf") return wrong(QStringLiteral("Ausgabe muss .png oder .pdf sein"));
    if (o.editor && suffix != "png") return wrong(QStringLiteral("--editor schreibt nur PNG"));
    if (!o.editor && (args.isSet(QStringLiteral("scroll")) || args.isSet(QStringLiteral("size"))))
        return wrong(QStringLiteral("--scroll und --size gelten nur mit --editor"));
    return true;
}

int renderEditor(BoxDocument& doc, const RenderOptions& o, CliContext& ctx) {
    const QSize area = editingAreaSize(doc);
    const QSize size = o.size.isValid() ? o.size : area;
    if (size.width() < 1 || size.height() < 1 || size.width() > 20000 || size.height() > 20000) {
        ctx.err << "Ungültige Bildgröße " << size.width() << "x" << size.height() << "\n";
        return CliFailed;
    }
    QImage buffer(size, QImage::Format_RGB32);
    if (buffer.isNull()) {
        ctx.err << "Zu wenig Speicher für das Bild\n";
        return CliFailed;
    }
    buffer.fill(Qt::white);
    renderEditorBuffer(buffer, doc, o.percent, o.scroll.x(), o.scroll.y());
    if (!buffer.save(o.output, "PNG")) {
        ctx.err << "Konnte " << o.output << " nicht schreiben\n";
        return CliFailed;
    }
    return CliOk;
}

int renderSheet(BoxDocument& doc, const RenderOptions& o, CliContext& ctx) {
    const QPageLayout layout(QPageSize(o.page), o.portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
                             QMarginsF(0, 0, 0, 0));
    const QRect pagePx = layout.fullRectPixels(o.dpi);
    if (o.output.endsWith(".png", Qt::CaseInsensitive)) {
        const QImage page = renderSheetImage(doc, o.percent, o.dpi, pagePx.size());
        if (page.isNull()) {
            ctx.err << "Zu wenig Speicher für das Blatt\n";
            return CliFailed;
        }
        if (!writeSheetPng(page, o.output, o.dpi)) {
            ctx.err << "Konnte " << o.output << " nicht schreiben\n";
            return CliFailed;
        }
        return CliOk;
    }
    SheetPdfPage pdf;
    pdf.pagePoints = layout.fullRect(QPageLayout::Point).size();
    pdf.area = pagePx.size();
    pdf.dpiX = pdf.dpiY = o.dpi;
    pdf.title = sheetmsg::PrintJobTitle;
    pdf.creator = QStringLiteral("faltarillon-cli");
    if (!writeSheetPdfFile(o.output, doc, o.percent, pdf)) {
        ctx.err << "Konnte " << o.output << " nicht schreiben\n";
        return CliFailed;
    }
    return CliOk;
}

int runRender(const QCommandLineParser& args, CliContext& ctx) {
    RenderOptions o;
    if (!readOptions(args, ctx, o)) return CliUsage;
    BoxDocument doc;
    StreamPrompter prompter(ctx.err);
    // Missing images are reported by the reader and left empty; rendering goes on.
    if (!OpenItNow(doc, o.input, prompter)) return CliFailed;
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
                 QStringLiteral("BxH")}},
               runRender});

}  // namespace
