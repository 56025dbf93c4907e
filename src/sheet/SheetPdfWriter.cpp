#include "sheet/SheetPdfWriter.h"

#include "base/JobProgress.h"
#include "model/BoxDocument.h"
#include "render/DrawVCart.h"
#include "sheet/FlateRows.h"
#include "image/RenderThreads.h"
#include "sheet/SheetRenderer.h"

#include <QIODevice>
#include <QScopeGuard>

#include <algorithm>
#include <vector>

namespace {

struct Band {
    int top = 0;
    int rows = 0;
    QByteArray stream;   // empty: the band stayed white
    bool failed = false;
};

// A text string of the document information as UTF-16 with its byte order
// mark, so that any character survives.
QByteArray pdfText(const QString& s) {
    QByteArray hex("<FEFF");
    for (const QChar c : s) hex += QByteArray::number(c.unicode() + 0x10000, 16).mid(1).toUpper();
    return hex + '>';
}

QByteArray num(double v) { return QByteArray::number(v, 'f', 4); }

class PdfOut {
public:
    explicit PdfOut(QIODevice& dev) : m_dev(dev) {}
    bool put(const QByteArray& b) {
        if (m_dev.write(b) != b.size()) m_ok = false;
        m_pos += b.size();
        return m_ok;
    }
    void beginObject(int id) {
        if (int(m_offsets.size()) <= id) m_offsets.resize(size_t(id) + 1, 0);
        m_offsets[size_t(id)] = m_pos;
        put(QByteArray::number(id) + " 0 obj\n");
    }
    void streamObject(int id, const QByteArray& dict, const QByteArray& data) {
        beginObject(id);
        put("<<" + dict + " /Length " + QByteArray::number(data.size()) + ">>\nstream\n");
        put(data);
        put("\nendstream\nendobj\n");
    }
    bool ok() const { return m_ok; }
    bool finish(int infoId) {
        const qint64 xref = m_pos;
        QByteArray t = "xref\n0 " + QByteArray::number(qint64(m_offsets.size())) + "\n0000000000 65535 f \n";
        for (size_t i = 1; i < m_offsets.size(); ++i)
            t += QByteArray::number(m_offsets[i]).rightJustified(10, '0') + " 00000 n \n";
        t += "trailer\n<</Size " + QByteArray::number(qint64(m_offsets.size())) + " /Root 1 0 R /Info " +
             QByteArray::number(infoId) + " 0 R>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
        return put(t);
    }

private:
    QIODevice& m_dev;
    qint64 m_pos = 0;
    std::vector<qint64> m_offsets{0};
    bool m_ok = true;
};

}  // namespace

namespace {

// One page's bands, drawn on the render pool and deflated on the thread
// that drew each. False when stopped or a band failed.
bool drawPageBands(const BoxDocument& doc, const SheetPlan& jobPlan, int width, int height, double screenDpi,
                   std::vector<Band>& bands) {
    // The bands of renderSheetImage, so that the file shows the pixels of
    // the sheet's image; each is deflated on the thread that drew it while
    // the other threads draw the next ones.
    const int bandRows = std::min(kSheetBandRows, height);
    bands.assign(size_t((height + bandRows - 1) / bandRows), Band());
    JobProgress work(jobPlan.progress, int(bands.size()));
    if (!work.ask()) return false;
    const SheetPlan plan = planWithProgress(jobPlan, work);
    parallelFor(int(bands.size()), [&](int i) {
        Band& b = bands[size_t(i)];
        if (work.stopped()) {
            b.failed = true;
            return;
        }
        const auto done = qScopeGuard([&] { work.pieceDone(); });
        b.top = i * bandRows;
        b.rows = std::min(bandRows, height - b.top);
        QImage img(width, b.rows, QImage::Format_RGB32);
        if (img.isNull() || !drawSheetSlice(img, doc, plan, b.top, height, screenDpi)) {
            b.failed = true;
            return;
        }
        if (isAllWhite(img)) return;
        b.stream = zlibStream(filteredRgbRows(img, 0, b.rows));
        if (b.stream.isEmpty()) b.failed = true;
    });
    if (!work.ask()) return false;
    return std::none_of(bands.begin(), bands.end(), [](const Band& b) { return b.failed; });
}

// Object numbers: 1 the catalog, 2 the page tree (written last, when its
// pages are known), 3 the document information; then each page's pictures,
// contents and page object in turn.
bool writePages(QIODevice& out, const BoxDocument& doc, const SheetPdfPage& page, int pageCount,
                const SheetPlan& first, const SheetPageFiller& preparePage, QString* error, double screenDpi) {
    const int width = std::max(page.area.width(), 1), height = std::max(page.area.height(), 1);
    const double kx = 72.0 / page.dpiX, ky = 72.0 / page.dpiY;
    const double pageH = page.pagePoints.height();
    // The sheet is cut on its own lines, not trimmed: the trim box is the
    // whole paper, so a print shop's software places it as it is.
    const QByteArray paperBox = "[0 0 " + num(page.pagePoints.width()) + ' ' + num(pageH) + ']';
    PdfOut pdf(out);
    pdf.put("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    pdf.beginObject(1);
    pdf.put("<</Type /Catalog /Pages 2 0 R>>\nendobj\n");
    pdf.beginObject(3);
    pdf.put("<</Title " + pdfText(page.title) + " /Creator " + pdfText(page.creator) + ">>\nendobj\n");
    int id = 4;
    QByteArray kids;
    std::vector<Band> bands;
    for (int p = 0; p < pageCount; ++p) {
        SheetPlan plan = first;
        // Each page has its stretch of the one bar.
        plan.progress = progressStretch(first.progress, p * 100 / pageCount, (p + 1) * 100 / pageCount);
        if (preparePage && !preparePage(p, plan, error)) return false;
        // Stopped: the caller's file is dropped, so a target stays as it was.
        if (!drawPageBands(doc, plan, width, height, screenDpi, bands)) return false;
        QByteArray content;
        QByteArray xobjects;
        for (const Band& b : bands) {
            if (b.stream.isEmpty()) continue;
            const QByteArray name = "/B" + QByteArray::number(id);
            xobjects += name + ' ' + QByteArray::number(id) + " 0 R ";
            content += "q " + num(width * kx) + " 0 0 " + num(b.rows * ky) + ' ' + num(page.origin.x() * kx) + ' ' +
                       num(pageH - (page.origin.y() + b.top + b.rows) * ky) + " cm " + name + " Do Q\n";
            pdf.streamObject(id++,
                             "/Type /XObject /Subtype /Image /Width " + QByteArray::number(width) + " /Height " +
                                 QByteArray::number(b.rows) +
                                 " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Interpolate false /Filter "
                                 "/FlateDecode /DecodeParms <</Predictor 15 /Colors 3 /BitsPerComponent 8 /Columns " +
                                 QByteArray::number(width) + ">>",
                             b.stream);
        }
        bands.clear();
        const int contentId = id++;
        pdf.streamObject(contentId, QByteArray(), content);
        const int pageId = id++;
        pdf.beginObject(pageId);
        pdf.put("<</Type /Page /Parent 2 0 R /MediaBox " + paperBox + " /TrimBox " + paperBox +
                " /Resources <</XObject <<" + xobjects + ">>>> /Contents " + QByteArray::number(contentId) +
                " 0 R>>\nendobj\n");
        kids += QByteArray::number(pageId) + " 0 R ";
        if (!pdf.ok()) return false;
    }
    pdf.beginObject(2);
    pdf.put("<</Type /Pages /Kids [" + kids.trimmed() + "] /Count " + QByteArray::number(pageCount) +
            ">>\nendobj\n");
    return pdf.finish(3);
}

}  // namespace

bool writeSheetPdf(QIODevice& out, const BoxDocument& doc, int percent, const SheetPdfPage& page,
                   double screenDpi) {
    if (Painting()) return false;
    PaintingGuard job;
    const int width = std::max(page.area.width(), 1), height = std::max(page.area.height(), 1);
    const SheetPlan plan =
        page.plan ? *page.plan : plainSheetPlan(doc, percent, page.dpiX, page.dpiY, QSize(width, height));
    return writePages(out, doc, page, 1, plan, {}, nullptr, screenDpi);
}

bool writeSheetPdfPages(QIODevice& out, const BoxDocument& doc, const SheetPdfPage& page, int pageCount,
                        const SheetPageFiller& preparePage, QString* error, double screenDpi) {
    if (Painting() || !page.plan || pageCount < 1) return false;
    PaintingGuard job;
    return writePages(out, doc, page, pageCount, *page.plan, preparePage, error, screenDpi);
}

SaveResult writeSheetPdfFile(const QString& path, const BoxDocument& doc, int percent, const SheetPdfPage& page,
                             double screenDpi) {
    return saveFile(path, [&](QIODevice& out) { return writeSheetPdf(out, doc, percent, page, screenDpi); });
}

SaveResult writeSheetPdfPagesFile(const QString& path, const BoxDocument& doc, const SheetPdfPage& page,
                                  int pageCount, const SheetPageFiller& preparePage, QString* error,
                                  double screenDpi) {
    return saveFile(path, [&](QIODevice& out) {
        return writeSheetPdfPages(out, doc, page, pageCount, preparePage, error, screenDpi);
    });
}
