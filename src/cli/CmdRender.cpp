// render: the printed sheet or the editor's picture of a box file as PNG or PDF.

#include "cli/CliCommand.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "model/StreamPrompter.h"
#include "render/EditorView.h"
#include "render/SheetRenderer.h"

#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

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

QString parseOptions(const QStringList& args, RenderOptions& o) {
    QStringList files;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto next = [&](QString& v) {
            if (i + 1 >= args.size()) return false;
            v = args[++i];
            return true;
        };
        QString v;
        if (a == "--percent") {
            if (!next(v) || !parseInt(v, o.percent) || o.percent < 10 || o.percent > 100)
                return QStringLiteral("--percent erwartet eine Zahl von 10 bis 100");
        } else if (a == "--dpi") {
            if (!next(v) || !parseInt(v, o.dpi) || o.dpi < 10 || o.dpi > 2400)
                return QStringLiteral("--dpi erwartet eine Zahl von 10 bis 2400");
        } else if (a == "--editor") {
            o.editor = true;
        } else if (a == "--scroll") {
            int x = 0, y = 0;
            if (!next(v) || !parsePair(v, ',', x, y) || x < 0 || y < 0)
                return QStringLiteral("--scroll erwartet X,Y");
            o.scroll = QPoint(x, y);
        } else if (a == "--size") {
            int w = 0, h = 0;
            if (!next(v) || !parsePair(v, 'x', w, h) || w < 1 || h < 1 || w > 20000 || h > 20000)
                return QStringLiteral("--size erwartet BREITExHÖHE (1 bis 20000)");
            o.size = QSize(w, h);
        } else if (a == "--page") {
            if (!next(v) || !parsePage(v, o.page))
                return QStringLiteral("--page erwartet A3, A4, A5, Letter oder Legal");
        } else if (a == "--portrait") {
            o.portrait = true;
        } else if (a.startsWith("--")) {
            return QStringLiteral("Unbekannte Option: ") + a;
        } else {
            files << a;
        }
    }
    if (files.size() != 2) return QStringLiteral("Eingabe- und Ausgabedatei erwartet");
    o.input = files[0];
    o.output = files[1];
    const QString suffix = QFileInfo(o.output).suffix().toLower();
    if (suffix != "png" && suffix != "pdf") return QStringLiteral("Ausgabe muss .png oder .pdf sein");
    if (o.editor && suffix != "png") return QStringLiteral("--editor schreibt nur PNG");
    return QString();
}

int renderEditor(BoxDocument& doc, const RenderOptions& o, CliContext& ctx) {
    const QSize area = editingAreaSize(doc);
    const QSize size = o.size.isValid() ? o.size : area;
    if (size.width() < 1 || size.height() < 1 || size.width() > 20000 || size.height() > 20000) {
        ctx.err << "Ungültige Bildgröße " << size.width() << "x" << size.height() << "\n";
        return 1;
    }
    QImage buffer(size, QImage::Format_RGB32);
    if (buffer.isNull()) {
        ctx.err << "Zu wenig Speicher für das Bild\n";
        return 1;
    }
    buffer.fill(Qt::white);
    renderEditorBuffer(buffer, doc, o.percent, o.scroll.x(), o.scroll.y());
    if (!buffer.save(o.output, "PNG")) {
        ctx.err << "Konnte " << o.output << " nicht schreiben\n";
        return 1;
    }
    return 0;
}

int renderSheet(BoxDocument& doc, const RenderOptions& o, CliContext& ctx) {
    const QPageLayout layout(QPageSize(o.page), o.portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
                             QMarginsF(0, 0, 0, 0));
    const QRect pagePx = layout.fullRectPixels(o.dpi);
    if (o.output.endsWith(".png", Qt::CaseInsensitive)) {
        QImage page = renderSheetImage(doc, o.percent, o.dpi, pagePx.size());
        if (page.isNull()) {
            ctx.err << "Zu wenig Speicher für das Blatt\n";
            return 1;
        }
        const int dpm = static_cast<int>(o.dpi / 0.0254 + 0.5);
        page.setDotsPerMeterX(dpm);
        page.setDotsPerMeterY(dpm);
        if (!page.save(o.output, "PNG")) {
            ctx.err << "Konnte " << o.output << " nicht schreiben\n";
            return 1;
        }
        return 0;
    }
    QPdfWriter writer(o.output);
    writer.setTitle(sheetmsg::PrintJobTitle);
    writer.setCreator(QStringLiteral("faltarillon-cli"));
    writer.setResolution(o.dpi);
    writer.setPageLayout(layout);
    QPainter painter;
    if (!painter.begin(&writer)) {
        ctx.err << "Konnte " << o.output << " nicht schreiben\n";
        return 1;
    }
    const bool ok = printSheet(painter, doc, o.percent, o.dpi, o.dpi, pagePx.size());
    painter.end();
    if (!ok) {
        ctx.err << "Das Blatt konnte nicht gedruckt werden\n";
        return 1;
    }
    return 0;
}

int runRender(const QStringList& args, CliContext& ctx) {
    RenderOptions o;
    const QString error = parseOptions(args, o);
    if (!error.isEmpty()) {
        ctx.err << error << "\n" << "Aufruf: " << cliCommands()["render"].usage << "\n";
        return 2;
    }
    BoxDocument doc;
    StreamPrompter prompter(ctx.err);
    // Missing images are reported by the reader and left empty; rendering goes on.
    if (!OpenItNow(doc, o.input, prompter)) return 1;
    return o.editor ? renderEditor(doc, o, ctx) : renderSheet(doc, o, ctx);
}

const CliCommandRegistrar registrar(
    QStringLiteral("render"),
    QStringLiteral("render IN.box OUT.png|OUT.pdf [--percent P] [--dpi R] [--page A4|A3|A5|Letter|Legal] "
                   "[--portrait] [--editor [--scroll X,Y] [--size BxH]]"),
    QStringLiteral("Zeichnet das Druckblatt (ein Netz) oder mit --editor das Bild des Editors"),
    runRender);

}  // namespace
