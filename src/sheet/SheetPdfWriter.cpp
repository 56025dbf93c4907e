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

bool writeSheetPdf(QIODevice& out, const BoxDocument& doc, int percent, const SheetPdfPage& page,
                   double screenDpi) {
    if (Painting()) return false;
    PaintingGuard job;
    const int width = std::max(page.area.width(), 1), height = std::max(page.area.height(), 1);
    const SheetPlan jobPlan =
        page.plan ? *page.plan : plainSheetPlan(doc, percent, page.dpiX, page.dpiY, QSize(width, height));
    // The bands of renderSheetImage, so that the file shows the pixels of
    // the sheet's image; each is deflated on the thread that drew it while
    // the other threads draw the next ones.
    const int bandRows = std::min(kSheetBandRows, height);
    std::vector<Band> bands(size_t((height + bandRows - 1) / bandRows));
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
    // Stopped: not a byte was written, so a file target stays as it was.
    if (!work.ask()) return false;
    for (const Band& b : bands)
        if (b.failed) return false;

    const double kx = 72.0 / page.dpiX, ky = 72.0 / page.dpiY;
    const double pageH = page.pagePoints.height();
    QByteArray content;
    QByteArray xobjects;
    const int firstImage = 6;
    int id = firstImage;
    for (const Band& b : bands) {
        if (b.stream.isEmpty()) continue;
        const QByteArray name = "/B" + QByteArray::number(id);
        xobjects += name + ' ' + QByteArray::number(id) + " 0 R ";
        content += "q " + num(width * kx) + " 0 0 " + num(b.rows * ky) + ' ' + num(page.origin.x() * kx) + ' ' +
                   num(pageH - (page.origin.y() + b.top + b.rows) * ky) + " cm " + name + " Do Q\n";
        ++id;
    }

    PdfOut pdf(out);
    pdf.put("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    pdf.beginObject(1);
    pdf.put("<</Type /Catalog /Pages 2 0 R>>\nendobj\n");
    pdf.beginObject(2);
    pdf.put("<</Type /Pages /Kids [3 0 R] /Count 1>>\nendobj\n");
    pdf.beginObject(3);
    // The sheet is cut on its own lines, not trimmed: the trim box is the
    // whole paper, so a print shop's software places it as it is.
    const QByteArray paperBox = "[0 0 " + num(page.pagePoints.width()) + ' ' + num(pageH) + ']';
    pdf.put("<</Type /Page /Parent 2 0 R /MediaBox " + paperBox + " /TrimBox " + paperBox +
            " /Resources <</XObject <<" + xobjects + ">>>> /Contents 4 0 R>>\nendobj\n");
    pdf.streamObject(4, QByteArray(), content);
    pdf.beginObject(5);
    pdf.put("<</Title " + pdfText(page.title) + " /Creator " + pdfText(page.creator) + ">>\nendobj\n");
    id = firstImage;
    for (const Band& b : bands) {
        if (b.stream.isEmpty()) continue;
        pdf.streamObject(id++,
                         "/Type /XObject /Subtype /Image /Width " + QByteArray::number(width) + " /Height " +
                             QByteArray::number(b.rows) +
                             " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Interpolate false /Filter /FlateDecode "
                             "/DecodeParms <</Predictor 15 /Colors 3 /BitsPerComponent 8 /Columns " +
                             QByteArray::number(width) + ">>",
                         b.stream);
    }
    return pdf.finish(5);
}

SaveResult writeSheetPdfFile(const QString& path, const BoxDocument& doc, int percent, const SheetPdfPage& page,
                             double screenDpi) {
    return saveFile(path, [&](QIODevice& out) { return writeSheetPdf(out, doc, percent, page, screenDpi); });
}
