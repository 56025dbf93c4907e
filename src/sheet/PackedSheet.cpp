#include "sheet/PackedSheet.h"

#include "base/JobProgress.h"
#include "image/RenderThreads.h"
#include "render/DrawVCart.h"
#include "sheet/SheetRenderer.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {
// Fast deflate: the bands live only until the sheet is sent.
constexpr int PackLevel = 1;
}  // namespace

bool packSheet(const BoxDocument& doc, const SheetPlan& jobPlan, PackedSheet& sheet, double screenDpi,
               int bandHeight) {
    sheet = PackedSheet();
    if (Painting()) return false;
    PaintingGuard guard;
    const QSize pageSize = jobPlan.frame.printable.size();
    const int width = std::max(pageSize.width(), 1);
    const int height = std::max(pageSize.height(), 1);
    // The band height of printSheet, so both send the same pixels.
    if (bandHeight <= 0) bandHeight = std::max(16, (16 * 1024 * 1024) / (width * 4));
    bandHeight = std::min(bandHeight, height);
    const int bandCount = (height + bandHeight - 1) / bandHeight;

    JobProgress job(jobPlan.progress, bandCount);
    if (!job.ask()) return false;
    const SheetPlan plan = planWithProgress(jobPlan, job);
    std::vector<PackedBand> bands(static_cast<size_t>(bandCount));
    std::vector<char> ok(static_cast<size_t>(bandCount), 0);
    parallelFor(bandCount, [&](int i) {
        if (job.stopped()) return;
        PackedBand& packed = bands[size_t(i)];
        packed.top = i * bandHeight;
        packed.rows = std::min(bandHeight, height - packed.top);
        QImage band(width, packed.rows, QImage::Format_RGB32);
        if (!band.isNull() && drawSheetBand(band, doc, plan, packed.top, screenDpi)) {
            if (!isAllWhite(band)) {
                packed.pixels = qCompress(band.constBits(), int(band.sizeInBytes()), PackLevel);
                ok[size_t(i)] = !packed.pixels.isEmpty();
            } else {
                ok[size_t(i)] = 1;
            }
        }
        job.pieceDone();
    });
    if (!job.ask() || !std::all_of(ok.begin(), ok.end(), [](char b) { return b != 0; })) return false;
    sheet.width = width;
    for (PackedBand& b : bands)
        if (!b.pixels.isEmpty()) sheet.bands.push_back(std::move(b));
    return true;
}

bool drawPackedSheet(QPainter& device, const PackedSheet& sheet) {
    // A lossy encoding (PDF's JPEG) would smear the one-pixel dotted net.
    const bool lossless = device.testRenderHint(QPainter::LosslessImageRendering);
    device.setRenderHint(QPainter::LosslessImageRendering, true);
    bool ok = true;
    for (const PackedBand& b : sheet.bands) {
        const QByteArray pixels = qUncompress(b.pixels);
        QImage band(sheet.width, b.rows, QImage::Format_RGB32);
        if (band.isNull() || pixels.size() != band.sizeInBytes()) {
            ok = false;
            break;
        }
        std::copy(pixels.constBegin(), pixels.constEnd(), reinterpret_cast<char*>(band.bits()));
        device.drawImage(QPoint(0, b.top), band);
    }
    device.setRenderHint(QPainter::LosslessImageRendering, lossless);
    return ok;
}
