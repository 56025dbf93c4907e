// A series to a vector PDF: 1000 rows of a cuboid 66 x 22 x 91 mm, each
// box with its guest's name and own photo (a 400 x 300 JPEG per row), on
// A4 pages as the print packs them. Reported: the time, the file's size
// (file_MB) and the process's peak memory (peak_MB); the goal is under a
// minute and 1 GB.

#include "BenchSupport.h"
#include "export/VectorExport.h"
#include "model/BoxDocument.h"
#include "model/SeriesRows.h"
#include "render/Mapping.h"
#include "sheet/SheetPlan.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cmath>

namespace {

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

struct Guests {
    QTemporaryDir dir;
    BoxDocument design;

    explicit Guests(int rows) {
        design.Layout.applyNewDocumentLayout();
        design.updateExtentFromLayout();
        design.Zoom = 1.0;
        design.ScreenDivisor = 416;
        design.Form = BoxForm::cuboid(66, 22, 91);
        design.FileName = dir.filePath(QStringLiteral("gast.box"));
        const SheetPlan plan = planSheet(design.Layout, NetSource::of(design, 100), SheetOptions(),
                                         pageFrameOf(pdfPrinterPageLayout(PaperFormat::A4), 600));
        const double k = 20000.0 / (416.0 * 600);
        const QPoint c =
            ((QPointF(plan.item.width(), plan.item.height()) + QRectF(plan.outline).center()) * k).toPoint();
        Tobs& name = bench::place(design, 1, Text, c.x() - 60, c.y() - 40, 120, 25);
        name.Content = QStringLiteral("{Name}");
        name.FontName = QStringLiteral("Liberation Sans");
        name.FontSize = 14;
        Tobs& photo = bench::place(design, 2, Image, c.x() - 50, c.y() - 10, 100, 75);
        photo.Content = QStringLiteral("fotos/{Foto}");
        QDir(dir.path()).mkdir(QStringLiteral("fotos"));
        QByteArray csv = "Name,Foto\n";
        for (int r = 1; r <= rows; ++r) {
            const QString file = QStringLiteral("gast%1.jpg").arg(r);
            csv += QStringLiteral("Gast Nummer %1,%2\n").arg(r).arg(file).toUtf8();
            // Smooth like a portrait, each its own: about 15 KB as JPEG.
            QImage picture(400, 300, QImage::Format_RGB32);
            for (int y = 0; y < 300; ++y)
                for (int x = 0; x < 400; ++x)
                    picture.setPixel(x, y, qRgb(int(128 + 100 * std::sin(x * 0.02 + r)), (y * 255 / 300 + r) & 255,
                                                int(128 + 90 * std::cos((x + y) * 0.015 + r * 0.3))));
            picture.save(dir.filePath(QStringLiteral("fotos/") + file), "JPEG", 85);
        }
        QFile data(dir.filePath(QStringLiteral("gaeste.csv")));
        data.open(QIODevice::WriteOnly);
        data.write(csv);
        data.close();
        design.Series.path = data.fileName();
    }
};

void BM_SeriesVectorPdf(benchmark::State& state) {
    Guests guests(int(state.range(0)));
    qint64 bytes = 0;
    for (auto _ : state) {
        QString error;
        auto rows = SeriesRows::open(guests.design, guests.design.Series, RowRange(), &error);
        if (!rows) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
        QByteArray pdf;
        QBuffer out(&pdf);
        out.open(QIODevice::WriteOnly);
        ExportOptions o;
        if (!writeVectorSeries(guests.design, *rows, o, out, error)) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
        bytes = pdf.size();
    }
    state.counters["file_MB"] = double(bytes) / 1e6;
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_SeriesVectorPdf)->Arg(100)->Arg(1000)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

FALTARILLON_BENCH_MAIN()
