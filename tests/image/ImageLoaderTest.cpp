#include "image/ImageLoader.h"
#include "image/ImageWriter.h"
#include "ImageTestUtil.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray qtEncoded(const QImage& img, const char* format) {
    QByteArray out;
    QBuffer b(&out);
    b.open(QIODevice::WriteOnly);
    QImageWriter w(&b, format);
    w.write(img);
    return out;
}

quint32 crc32(const QByteArray& bytes) {
    quint32 c = 0xFFFFFFFFu;
    for (char ch : bytes) {
        c ^= uchar(ch);
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

}  // namespace

TEST(DibHandle, PixelFormsFollowTheDepth) {
    DibHandle pal = newdib(3, 2, 8, testPalette(8));
    pal.setpixel(2, 1, 200);
    EXPECT_EQ(pal.getpixel(2, 1), 200u);
    EXPECT_EQ(pal.image().pixel(2, 1), testPalette(8)[200]);   // row 0 on top

    DibHandle four = newdib(3, 2, 4, testPalette(4));
    four.setpixel(0, 0, 0x1F);   // beyond 16 colours: the index is masked
    EXPECT_LT(four.getpixel(0, 0), 16u);
    EXPECT_EQ(four.DibColorCount(), 16);

    DibHandle rgb = newdib(3, 2, 24);
    rgb.setpixel(1, 0, 0x00332211);   // 0x00BBGGRR
    EXPECT_EQ(rgb.getpixel(1, 0), 0x00332211u);
    EXPECT_EQ(rgb.image().pixel(1, 0), qRgb(0x11, 0x22, 0x33));
    EXPECT_EQ(rgb.DibColorCount(), 0);

    // outside the picture nothing is written and 0 is read
    rgb.setpixel(3, 0, 0xFFFFFF);
    rgb.setpixel(-1, 0, 0xFFFFFF);
    EXPECT_EQ(rgb.getpixel(3, 0), 0u);
    EXPECT_EQ(rgb.getpixel(0, -1), 0u);
}

TEST(DibHandle, NewdibZeroesAndRefusesAbsurdSizes) {
    DibHandle d = newdib(5, 4, 1, {qRgb(9, 9, 9), qRgb(200, 200, 200)});
    EXPECT_EQ(d.DibBitCount(), 1);
    EXPECT_EQ(d.DibColorCount(), 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(d.getpixel(x, y), 0u);
    EXPECT_TRUE(newdib(0, 4, 8).isEmpty());
    EXPECT_TRUE(newdib(4, -1, 24).isEmpty());
    EXPECT_TRUE(newdib(1 << 30, 1 << 30, 24).isEmpty());
}

TEST(DibHandle, CopiesShareUntilWrittenAndDeldibEmpties) {
    DibHandle a = patternDib(4, 4, 24);
    DibHandle b = a;
    b.setpixel(0, 0, 0x123456);
    EXPECT_NE(a.getpixel(0, 0), 0x123456u);
    deldib(b);
    EXPECT_TRUE(b.isEmpty());
    EXPECT_EQ(b.DibBitCount(), 0);
    EXPECT_FALSE(a.isEmpty());
}

TEST(DibHandle, BitCountsOfDecodedPictures) {
    QImage mono(8, 2, QImage::Format_Mono);
    mono.fill(1);
    EXPECT_EQ(DibHandle(mono).DibBitCount(), 1);
    QImage grey(4, 4, QImage::Format_Grayscale8);
    grey.fill(128);
    DibHandle g(grey);
    EXPECT_EQ(g.DibBitCount(), 8);
    EXPECT_EQ(g.getpixel(1, 1), 128u);
    QImage sixteen(4, 4, QImage::Format_Indexed8);
    sixteen.setColorCount(9);
    sixteen.fill(8);
    EXPECT_EQ(DibHandle(sixteen).DibBitCount(), 4);
    EXPECT_EQ(DibHandle(QImage(2, 2, QImage::Format_RGB888)).DibBitCount(), 24);
    QImage alpha(2, 2, QImage::Format_RGBA8888);
    alpha.fill(Qt::transparent);
    DibHandle a(alpha);
    EXPECT_EQ(a.DibBitCount(), 24);
    EXPECT_TRUE(a.hasOwnTransparency());
}

TEST(ImageLoader, ReadsQtFormatsAndKeepsTransparency) {
    QTemporaryDir dir;
    QImage img(6, 3, QImage::Format_ARGB32);
    img.fill(qRgba(10, 20, 30, 0));
    img.setPixel(1, 1, qRgba(200, 100, 50, 255));
    writeFile(dir.filePath("a.png"), qtEncoded(img, "png"));
    const DibHandle png = OpenDib(dir.filePath("a.png"));
    ASSERT_EQ(png.DibWidth(), 6);
    EXPECT_EQ(png.DibBitCount(), 24);
    EXPECT_TRUE(png.hasOwnTransparency());
    EXPECT_EQ(png.getpixel(1, 1), 0x003264C8u);

    // A wrong extension does not stop the reader.
    writeFile(dir.filePath("png-named.bmp"), qtEncoded(img, "png"));
    EXPECT_FALSE(OpenDib(dir.filePath("png-named.bmp")).isEmpty());
}

TEST(ImageLoader, FailuresLeaveTheCallersRecordAlone) {
    QTemporaryDir dir;
    const DibHandle before = patternDib(5, 5, 8);
    DibHandle dib = before;
    writeFile(dir.filePath("broken.bmp"), QByteArray("BM this is not a bitmap"));
    writeFile(dir.filePath("empty.png"), QByteArray());
    EXPECT_FALSE(LoadDIBit(dib, dir.filePath("broken.bmp"), QString()));
    EXPECT_FALSE(LoadDIBit(dib, dir.filePath("empty.png"), QString()));
    EXPECT_FALSE(LoadDIBit(dib, dir.filePath("missing.bmp"), QString()));
    EXPECT_FALSE(LoadDIBit(dib, dir.path(), QString()));   // a folder
    EXPECT_TRUE(samePixels(dib, before));
    EXPECT_EQ(dib.DibBitCount(), 8);

    QImage bitmap;
    EXPECT_FALSE(LoadBit(bitmap, dir.filePath("missing.bmp"), QString()));
    EXPECT_EQ(bitmap.size(), QSize(100, 100));
}

TEST(ImageLoader, BareNamesAreTakenInTheProgramFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(SaveDib(patternDib(7, 2, 4), dir.filePath("bild.bmp"), FormatBmp));
    DibHandle dib;
    EXPECT_TRUE(LoadDIBit(dib, "bild.bmp", dir.path() + "/"));
    EXPECT_EQ(dib.DibWidth(), 7);
    EXPECT_TRUE(LoadDIBit(dib, "bild.bmp", dir.path()));   // without the trailing slash
    EXPECT_FALSE(LoadDIBit(dib, "bild.bmp", "/nonexistent/"));
    EXPECT_EQ(ResolveImagePath("C:\\Bilder\\a.bmp", "/p/"), "C:\\Bilder\\a.bmp");
    EXPECT_EQ(ResolveImagePath("a.bmp", "/p/"), "/p/a.bmp");
    QImage bitmap;
    EXPECT_TRUE(LoadBit(bitmap, "bild.bmp", dir.path()));
    EXPECT_EQ(bitmap.size(), QSize(7, 2));
}

TEST(ImageLoader, FifoFailsWithoutBlocking) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.bmp");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(OpenDib(fifo).isEmpty());
    EXPECT_TRUE(OpenDib("/dev/zero").isEmpty());
    EXPECT_LT(timer.elapsed(), 5000);
}

TEST(ImageLoader, DecompressionBombFailsLikeADamagedFile) {
    // A PNG that claims 60000 x 60000 pixels: far beyond the allocation limit.
    QImage small(1, 1, QImage::Format_RGB32);
    small.fill(Qt::red);
    QByteArray png = qtEncoded(small, "png");
    // IHDR width and height sit at bytes 16..23, its CRC at 29..32.
    const char big[8] = {0, 0, char(0xEA), 0x60, 0, 0, char(0xEA), 0x60};
    png.replace(16, 8, QByteArray(big, 8));
    const quint32 crc = crc32(png.mid(12, 17));
    for (int i = 0; i < 4; ++i) png[29 + i] = char(crc >> (24 - 8 * i));
    EXPECT_TRUE(DecodeDib(png, "png").isEmpty());

    // A GIF with a huge logical screen and a tiny body.
    QByteArray gif("GIF89a");
    gif += QByteArray("\xFF\xFF\xFF\xFF\x00\x00\x00", 7);
    gif += QByteArray("\x2C\x00\x00\x00\x00\xFF\xFF\xFF\xFF\x00\x02\x02\x44\x01\x00\x3B", 16);
    EXPECT_TRUE(DecodeDib(gif, "gif").isEmpty());
}

TEST(ImageLoader, OpenFilterCoversOwnAndQtFormats) {
    const QString filter = GetDIBOpenFilter();
    const QStringList parts = filter.split('|');
    ASSERT_EQ(parts.size() % 2, 0);
    EXPECT_TRUE(parts[0].startsWith("Alle Bilddateien"));
    for (const char* pattern : {"*.bmp", "*.pcx", "*.lbm", "*.iff", "*.tga", "*.gif", "*.jpg", "*.tif", "*.png"})
        EXPECT_TRUE(parts[1].split(';').contains(pattern)) << pattern;
    EXPECT_TRUE(parts[1].split(';').contains("*.PCX"));
}

TEST(DibHandle, DepthCoversIndicesBeyondTheColourTable) {
    QImage img(4, 1, QImage::Format_Indexed8);
    img.setColorTable({qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(3, 3, 3)});
    img.fill(0);
    img.scanLine(0)[3] = 40;   // a damaged file's stray index
    const DibHandle d(img);
    EXPECT_EQ(d.DibBitCount(), 8);
    EXPECT_EQ(d.getpixel(3, 0), 40u);
    EXPECT_EQ(d.colorTable().size(), 256);

    QImage noTable(2, 1, QImage::Format_Indexed8);
    noTable.fill(200);
    const DibHandle grey(noTable);
    EXPECT_EQ(grey.DibBitCount(), 8);
    EXPECT_EQ(grey.image().pixel(0, 0), qRgb(200, 200, 200));
}

// Reading reports rising steps through the file and the decoding, reaches
// 100 and ends at 0; a failure ends at 0 as well.
TEST(ImageLoader, ReadingReportsProgressInStepsAndEndsAtZero) {
    QTemporaryDir dir;
    QImage noise(700, 700, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < noise.height(); ++y) {
        auto* row = reinterpret_cast<quint32*>(noise.scanLine(y));
        for (int x = 0; x < noise.width(); ++x) row[x] = 0xFF000000u | ((seed = seed * 1664525u + 1013904223u) >> 8);
    }
    writeFile(dir.filePath("rauschen.bmp"), qtEncoded(noise, "bmp"));   // about 1.5 MB
    std::vector<int> reports;
    const ProgressCallback record = [&](int p) {
        reports.push_back(p);
        return true;
    };
    DibHandle dib;
    ASSERT_TRUE(LoadDIBit(dib, dir.filePath("rauschen.bmp"), QString(), record));
    EXPECT_EQ(dib.DibWidth(), 700);
    ASSERT_GE(reports.size(), 20u);
    EXPECT_EQ(reports.front(), 0);
    EXPECT_EQ(reports.back(), 0);
    EXPECT_EQ(*std::max_element(reports.begin(), reports.end()), 100);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end() - 1));
    // Both halves report more than their ends: reading and decoding.
    EXPECT_GE(std::count_if(reports.begin(), reports.end(), [](int p) { return p > 0 && p < 50; }), 5);
    EXPECT_GE(std::count_if(reports.begin(), reports.end(), [](int p) { return p > 50 && p < 100; }), 5);

    reports.clear();
    writeFile(dir.filePath("kaputt.png"), QByteArray("\x89PNG\r\n\x1a\n broken", 16));
    EXPECT_FALSE(LoadDIBit(dib, dir.filePath("kaputt.png"), QString(), record));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), 0);
    reports.clear();
    EXPECT_FALSE(LoadDIBit(dib, dir.filePath("fehlt.png"), QString(), record));
    EXPECT_EQ(reports, std::vector<int>{0});
}
