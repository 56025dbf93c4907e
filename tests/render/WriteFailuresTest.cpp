// Every file writer of the core on a full disk and under a file size limit:
// the old file stays byte for byte, no temporary file is left, and the
// failure names its reason. FIFOs and devices are refused without blocking.
#include "RenderTestUtil.h"
#include "WriteFaults.h"

#include "image/ImageWriter.h"
#include "sheet/CutSheet.h"
#include "sheet/SheetPdfWriter.h"
#include "sheet/SheetPlan.h"
#include "sheet/SheetPngWriter.h"
#include "export/VectorExport.h"

#include <QPageLayout>
#include <QPageSize>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace writefaults;

namespace {

// Writes the writer's file at path; empty when done, else what it says.
using Writer = std::function<QString(const QString& path)>;

struct NamedWriter {
    const char* name;
    const char* suffix;
    Writer write;
};

QString reasonOf(const SaveResult& r) { return r.ok ? QString() : r.reason; }

QString withError(bool ok, const QString& error) { return ok ? QString() : error; }

std::vector<NamedWriter> writers() {
    static std::unique_ptr<BoxDocument> doc = [] {
        auto d = rt::document();
        rt::coverWithRed(*d);
        return d;
    }();
    std::vector<NamedWriter> all;
    all.push_back({"image", "bmp", [](const QString& path) {
                       QImage picture(64, 64, QImage::Format_RGB32);
                       picture.fill(Qt::red);
                       return reasonOf(SaveDib(DibHandle(picture), path, FormatBmp));
                   }});
    all.push_back({"sheet-png", "png", [](const QString& path) {
                       QImage sheet(200, 300, QImage::Format_RGB32);
                       for (int y = 0; y < sheet.height(); ++y)
                           for (int x = 0; x < sheet.width(); ++x) sheet.setPixel(x, y, qRgb(x, y, x ^ y));
                       return reasonOf(writeSheetPng(sheet, path, 72));
                   }});
    all.push_back({"sheet-pdf", "pdf", [](const QString& path) {
                       const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF());
                       SheetPdfPage page;
                       page.pagePoints = layout.fullRect(QPageLayout::Point).size();
                       page.area = layout.fullRectPixels(72).size();
                       page.dpiX = page.dpiY = 72;
                       return reasonOf(writeSheetPdfFile(path, *doc, 100, page, 96));
                   }});
    for (const ExportFormat format : {ExportFormat::Svg, ExportFormat::Pdf}) {
        all.push_back({format == ExportFormat::Svg ? "export-svg" : "export-pdf",
                       format == ExportFormat::Svg ? "svg" : "pdf", [format](const QString& path) {
                           ExportOptions o;
                           o.format = format;
                           o.page = ExportPage::BoxOnly;
                           QString error;
                           return withError(exportToFile(*doc, o, path, error), error);
                       }});
    }
    for (const bool svg : {true, false}) {
        all.push_back({svg ? "cut-svg" : "cut-dxf", svg ? "svg" : "dxf", [svg](const QString& path) {
                           const SheetPlan plan = planSheet(doc->Layout, NetSource::cube(40), SheetOptions(),
                                                            pageFrameOf(pdfPrinterPageLayout(PaperFormat::A4), 600));
                           const CutSheet cut = cutSheetFor(plan);
                           QString error;
                           const bool ok = svg ? writeCutSvg(cut, path, &error) : writeCutDxf(cut, path, &error);
                           return withError(ok, error);
                       }});
    }
    return all;
}

const QByteArray OldContents(100, 'p');

}  // namespace

// The writers work at all (else the failures below would prove nothing).
TEST(WriteFailures, EveryWriterWritesItsFile) {
    QTemporaryDir dir;
    for (const NamedWriter& w : writers()) {
        const QString path = dir.filePath(QStringLiteral("neu.") + QLatin1String(w.suffix));
        ASSERT_TRUE(writeAll(path, OldContents));
        EXPECT_EQ(w.write(path), QString()) << w.name;
        EXPECT_GT(readAll(path).size(), 512) << w.name;
        QFile::remove(path);
    }
    EXPECT_TRUE(entriesOf(dir.path()).isEmpty());
}

TEST(WriteFailures, FileSizeLimitKeepsTheOldFile) {
    RUN_IN_CHILD_PROCESS();
    QTemporaryDir dir;
    for (const NamedWriter& w : writers()) {
        const QString name = QStringLiteral("alt.") + QLatin1String(w.suffix);
        const QString path = dir.filePath(name);
        ASSERT_TRUE(writeAll(path, OldContents));
        QString message;
        {
            const FileSizeLimit limit(512);
            message = w.write(path);
        }
        // dxflib writes a scratch file first, which the limit cuts short.
        if (QLatin1String(w.name) == QLatin1String("cut-dxf"))
            EXPECT_FALSE(message.isEmpty()) << w.name;
        else
            EXPECT_TRUE(message.endsWith(QStringLiteral("Datei zu groß"))) << w.name << ": " << message.toStdString();
        EXPECT_EQ(readAll(path), OldContents) << w.name;
        EXPECT_EQ(entriesOf(dir.path()), QStringList{name}) << w.name;
        QFile::remove(path);
    }
}

TEST(WriteFailures, FullDiskKeepsTheOldFile) {
    const SmallTmpfs disk;
    if (!disk.mounted()) GTEST_SKIP() << disk.why().toStdString();
    for (const NamedWriter& w : writers()) {
        const QString name = QStringLiteral("alt.") + QLatin1String(w.suffix);
        const QString path = disk.filePath(name);
        ASSERT_TRUE(writeAll(path, OldContents));
        ASSERT_TRUE(disk.fill());
        const QString message = w.write(path);
        disk.empty();
        EXPECT_TRUE(message.endsWith(QStringLiteral("Kein Speicherplatz mehr"))) << w.name << ": "
                                                                                << message.toStdString();
        EXPECT_EQ(readAll(path), OldContents) << w.name;
        EXPECT_EQ(disk.entries(), QStringList{name}) << w.name;
        QFile::remove(path);
    }
}

TEST(WriteFailures, FifosDevicesAndFoldersAreRefused) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("rohr"));
    ASSERT_TRUE(makeFifo(fifo));
    const QString device = makeCharDevice(dir.path(), QStringLiteral("voll"));
    if (device.isEmpty()) std::printf("no device node (mknod needs root); FIFOs and folders only\n");
    const QString folder = dir.filePath(QStringLiteral("ordner"));
    ASSERT_TRUE(QDir().mkdir(folder));
    for (const NamedWriter& w : writers()) {
        for (const QString& target : {fifo, device, folder}) {
            if (target.isEmpty()) continue;
            const QString message = w.write(target);
            EXPECT_TRUE(message.endsWith(target == folder ? QStringLiteral("ist ein Ordner")
                                                          : QStringLiteral("ist keine gewöhnliche Datei")))
                << w.name << ": " << message.toStdString();
        }
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    if (!device.isEmpty()) {
        ASSERT_EQ(::stat(QFile::encodeName(device).constData(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
    EXPECT_TRUE(QFileInfo(folder).isDir());
}
