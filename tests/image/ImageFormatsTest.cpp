// Every save format written and read back at every depth; the files are
// also handed to netpbm's decoders where the machine has them.

#include "image/ImageLoader.h"
#include "image/ImageWriter.h"
#include "ImageTestUtil.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QRgb colourAt(const DibHandle& d, int x, int y) { return d.image().pixel(x, y) | 0xFF000000u; }

int maxChannelDifference(const DibHandle& a, const DibHandle& b) {
    int worst = 0;
    for (int y = 0; y < a.DibHeight(); ++y)
        for (int x = 0; x < a.DibWidth(); ++x) {
            const QRgb p = colourAt(a, x, y), q = colourAt(b, x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

double meanChannelDifference(const DibHandle& a, const DibHandle& b) {
    double sum = 0;
    for (int y = 0; y < a.DibHeight(); ++y)
        for (int x = 0; x < a.DibWidth(); ++x) {
            const QRgb p = colourAt(a, x, y), q = colourAt(b, x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.DibWidth() * a.DibHeight());
}

// Photographic-looking: more colours than any palette holds.
DibHandle gradient(int w, int h) {
    DibHandle d = newdib(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            d.setpixel(x, y, std::uint32_t((x * 255 / w) | ((y * 255 / h) << 8) | (((x + y) * 3 & 255) << 16)));
    return d;
}

// True colour, but few enough colours for an exact palette.
DibHandle fewColours(int w, int h) {
    DibHandle d = newdib(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) d.setpixel(x, y, std::uint32_t(((x / 3) * 0x2F1B07 + y * 0x0A1020) & 0xFFFFFF) % 0xE00000 / 0x10000 * 0x10101);
    return d;
}

struct Case {
    int code;
    int bits;
};

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    return ExtensionForIndex(info.param.code - 2).mid(1).toStdString() + "_" + std::to_string(info.param.bits);
}

std::vector<Case> allCases() {
    std::vector<Case> cases;
    for (int code = FormatBmp; code <= FormatPng; ++code)
        for (int bits : {1, 4, 8, 24}) cases.push_back({code, bits});
    return cases;
}

class FormatRoundTrip : public ::testing::TestWithParam<Case> {
protected:
    QTemporaryDir dir;
};

}  // namespace

TEST_P(FormatRoundTrip, PixelsSurviveWriteAndRead) {
    const Case c = GetParam();
    // odd sizes catch row padding mistakes
    const DibHandle original = c.bits == 24 ? (c.code == FormatGif || c.code == FormatRle ? fewColours(37, 23)
                                                                                           : gradient(37, 23))
                                            : patternDib(37, 23, c.bits);
    const QString path = dir.filePath("pic" + ExtensionForIndex(c.code - 2));
    ASSERT_TRUE(SaveDib(original, path, c.code));
    const DibHandle back = OpenDib(path);
    ASSERT_FALSE(back.isEmpty());
    ASSERT_EQ(back.DibWidth(), 37);
    ASSERT_EQ(back.DibHeight(), 23);
    if (IsJpegFormat(c.code)) {
        // JPEG blurs sharp edges between unrelated palette colours (and
        // halves colour resolution); judge it by the mean error on a picture
        // of 16 x 16 blocks.
        DibHandle blocks = newdib(64, 48, c.bits, original.colorTable());
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) blocks.setpixel(x, y, original.getpixel(x / 16, y / 16));
        SetJPEGQual(95);
        ASSERT_TRUE(SaveDib(blocks, path, c.code));
        const DibHandle jpeg = OpenDib(path);
        ASSERT_EQ(jpeg.DibWidth(), 64);
        EXPECT_LE(meanChannelDifference(jpeg, blocks), 4.0);
        SetJPEGQual(75);
        return;
    }
    EXPECT_EQ(maxChannelDifference(back, original), 0);
    const bool keepsDepth = c.code != FormatTif && c.code != FormatPng;
    if (keepsDepth && !(c.bits == 24 && (c.code == FormatGif || c.code == FormatRle)))
        EXPECT_EQ(back.DibBitCount(), c.bits);
    if (c.bits <= 8) EXPECT_TRUE(back.hasPalette()) << "palettised pictures stay palettised";
}

INSTANTIATE_TEST_SUITE_P(AllFormats, FormatRoundTrip, ::testing::ValuesIn(allCases()), caseName);

TEST(ImageWriter, SaveListOrderCodesAndExtensions) {
    const QStringList parts = GetDIBSaveFilter().split('|');
    ASSERT_EQ(parts.size(), 2 * SaveFormatCount());
    const char* order[] = {"BMP", "DIB", "GIF", "IFF", "JIF", "JPG", "LBM", "PCX", "RLE", "TGA", "TIF", "PNG"};
    for (int i = 1; i <= SaveFormatCount(); ++i) {
        EXPECT_EQ(ExtensionForIndex(i), QString(".") + order[i - 1]);
        EXPECT_EQ(FormatCodeForIndex(i), i + 2);
        EXPECT_TRUE(parts[2 * i - 1].contains(QString("*.") + QString(order[i - 1]).toLower()));
    }
    EXPECT_EQ(FormatCodeForIndex(0), 0);
    EXPECT_EQ(FormatCodeForIndex(13), 0);
    EXPECT_TRUE(ExtensionForIndex(13).isEmpty());
    EXPECT_TRUE(IsJpegFormat(7));
    EXPECT_TRUE(IsJpegFormat(8));
    EXPECT_FALSE(IsJpegFormat(9));
    EXPECT_EQ(SaveIndexForPath("/x/a.Pcx"), 8);
    EXPECT_EQ(SaveIndexForPath("/x/a"), 0);
}

TEST(ImageWriter, RefusesEmptyPictureUnknownCodeAndUnwritablePath) {
    QTemporaryDir dir;
    EXPECT_FALSE(SaveDib(DibHandle(), dir.filePath("a.bmp"), FormatBmp));
    EXPECT_FALSE(SaveDib(patternDib(4, 4, 8), dir.filePath("a.bmp"), 2));
    EXPECT_FALSE(SaveDib(patternDib(4, 4, 8), dir.filePath("a.bmp"), 99));
    EXPECT_FALSE(SaveDib(patternDib(4, 4, 8), dir.filePath("missing/a.bmp"), FormatBmp));
    EXPECT_FALSE(QFile::exists(dir.filePath("a.bmp")));
}

TEST(ImageWriter, TargetsThatAreNoRegularFilesAreRefused) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("rohr.bmp");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QString link = dir.filePath("voll.bmp");
    ASSERT_TRUE(QFile::link("/dev/full", link));
    for (const QString& target : {fifo, link, QString("/dev/full"), QString("/dev/null"), dir.path()})
        EXPECT_FALSE(SaveDib(patternDib(4, 4, 8), target, FormatBmp)) << target.toStdString();
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_FALSE(QFileInfo("/dev/full").isFile());
}

TEST(ImageWriter, JpegQualityChangesTheFile) {
    const DibHandle pic = gradient(64, 64);
    SetJPEGQual(10);
    const QByteArray low = EncodeDib(pic, FormatJpg);
    SetJPEGQual(99);
    const QByteArray high = EncodeDib(pic, FormatJpg);
    SetJPEGQual(75);
    EXPECT_LT(low.size(), high.size());
    SetJPEGQual(500);
    EXPECT_EQ(JPEGQual(), 99);
    SetJPEGQual(0);
    EXPECT_EQ(JPEGQual(), 1);
    SetJPEGQual(75);
}

TEST(ImageWriter, GifQuantisesTrueColourCloselyAndKeepsTransparency) {
    const DibHandle pic = gradient(120, 80);
    QTemporaryDir dir;
    ASSERT_TRUE(SaveDib(pic, dir.filePath("q.gif"), FormatGif));
    const DibHandle back = OpenDib(dir.filePath("q.gif"));
    ASSERT_EQ(back.DibBitCount(), 8);
    EXPECT_LE(maxChannelDifference(back, pic), 24);

    DibHandle pal = patternDib(8, 8, 4);
    QVector<QRgb> table = pal.colorTable();
    table[3] = qRgba(1, 2, 3, 0);
    pal.image().setColorTable(table);
    ASSERT_TRUE(SaveDib(pal, dir.filePath("t.gif"), FormatGif));
    EXPECT_TRUE(OpenDib(dir.filePath("t.gif")).hasOwnTransparency());
}

TEST(ImageWriter, RleIsReallyCompressed) {
    DibHandle flat = newdib(200, 100, 8, testPalette(8));
    const QByteArray rle = EncodeDib(flat, FormatRle);
    ASSERT_GE(rle.size(), 54);
    EXPECT_EQ(rle[30], 1);   // BI_RLE8
    EXPECT_LT(rle.size(), EncodeDib(flat, FormatBmp).size() / 10);
    const QByteArray rle4 = EncodeDib(newdib(200, 100, 4, testPalette(4)), FormatRle);
    EXPECT_EQ(rle4[30], 2);  // BI_RLE4
}

// --- independent decoders ---------------------------------------------------

namespace {

struct Ppm {
    int w = 0, h = 0;
    QByteArray rgb;
};

bool readPpm(const QByteArray& data, Ppm& out) {
    // P6 header: "P6 w h maxval\n"
    QList<QByteArray> fields;
    int pos = 0;
    while (fields.size() < 4 && pos < data.size()) {
        while (pos < data.size() && QChar(data[pos]).isSpace()) ++pos;
        if (pos < data.size() && data[pos] == '#') {
            while (pos < data.size() && data[pos] != '\n') ++pos;
            continue;
        }
        int start = pos;
        while (pos < data.size() && !QChar(data[pos]).isSpace()) ++pos;
        fields << data.mid(start, pos - start);
    }
    if (fields.size() < 4 || fields[0] != "P6" || fields[3] != "255") return false;
    out.w = fields[1].toInt();
    out.h = fields[2].toInt();
    out.rgb = data.mid(pos + 1);
    return out.rgb.size() >= out.w * out.h * 3;
}

bool runToPpm(const QString& tool, const QString& file, Ppm& out) {
    QProcess p;
    p.start("sh", {"-c", QString("%1 '%2' | pamtopnm | ppmtoppm").arg(tool, file)});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) return false;
    return readPpm(p.readAllStandardOutput(), out);
}

struct Tool {
    int code;
    const char* program;
};

}  // namespace

TEST(IndependentDecoders, NetpbmReadsWhatWeWrite) {
    // A missing oracle is a failure, never a pass.
    ASSERT_FALSE(QStandardPaths::findExecutable("pamtopnm").isEmpty()) << "netpbm not installed";
    const Tool tools[] = {{FormatBmp, "bmptopnm"}, {FormatRle, "bmptopnm"}, {FormatGif, "giftopnm"},
                          {FormatIff, "ilbmtoppm"}, {FormatPcx, "pcxtoppm"}, {FormatTga, "tgatoppm"},
                          {FormatTif, "tifftopnm"}};
    QTemporaryDir dir;
    for (const Tool& t : tools) {
        ASSERT_FALSE(QStandardPaths::findExecutable(t.program).isEmpty()) << t.program << " not installed";
        for (int bits : {1, 4, 8, 24}) {
            DibHandle pic = bits == 24 ? (t.code == FormatGif || t.code == FormatRle ? fewColours(29, 11) : gradient(29, 11))
                                       : patternDib(29, 11, bits);
            const QString path = dir.filePath(QString("n%1_%2%3").arg(t.code).arg(bits).arg(ExtensionForIndex(t.code - 2)));
            ASSERT_TRUE(SaveDib(pic, path, t.code));
            Ppm ppm;
            ASSERT_TRUE(runToPpm(t.program, path, ppm)) << t.program << " failed on " << bits << " bits";
            ASSERT_EQ(ppm.w, 29);
            ASSERT_EQ(ppm.h, 11);
            int mismatches = 0;
            for (int y = 0; y < 11; ++y)
                for (int x = 0; x < 29; ++x) {
                    const QRgb c = colourAt(pic, x, y);
                    const uchar* p = reinterpret_cast<const uchar*>(ppm.rgb.constData()) + (y * 29 + x) * 3;
                    if (p[0] != qRed(c) || p[1] != qGreen(c) || p[2] != qBlue(c)) ++mismatches;
                }
            EXPECT_EQ(mismatches, 0) << t.program << " " << bits << " bits";
        }
    }
}

namespace {

QByteArray toPpm(const DibHandle& pic) {
    QByteArray out = QString("P6\n%1 %2\n255\n").arg(pic.DibWidth()).arg(pic.DibHeight()).toLatin1();
    for (int y = 0; y < pic.DibHeight(); ++y)
        for (int x = 0; x < pic.DibWidth(); ++x) {
            const QRgb c = colourAt(pic, x, y);
            out += char(qRed(c));
            out += char(qGreen(c));
            out += char(qBlue(c));
        }
    return out;
}

}  // namespace

TEST(IndependentDecoders, WeReadWhatNetpbmWrites) {
    ASSERT_FALSE(QStandardPaths::findExecutable("ppmtopcx").isEmpty()) << "netpbm not installed";
    QTemporaryDir dir;
    const DibHandle pic = fewColours(31, 9);       // few colours: palettes are exact
    const DibHandle rich = gradient(31, 9);
    const DibHandle sixteen = patternDib(31, 9, 4);
    const DibHandle two = patternDib(31, 9, 1);
    struct Foreign {
        const char* command;
        const char* ext;
        bool palettised;
        const DibHandle* picture = nullptr;   // default: few colours or the gradient
    };
    const Foreign tools[] = {
        {"ppmtopcx", "pcx", true},          {"ppmtopcx -24bit", "pcx", false},
        {"ppmtoilbm -maxplanes 8", "iff", true},          {"ppmtoilbm -24force", "iff", false},
        {"ppmtoilbm -nocompress -maxplanes 8", "lbm", true}, {"ppmtoilbm -hamforce", "iff", false},
        {"pamtotga -cmap", "tga", true},     {"pamtotga -rgb -norle", "tga", false},
        {"pamtotga -rgb", "tga", false},     {"pamtogif", "gif", true},
        {"pamtogif -interlace", "gif", true}, {"ppmtobmp -bpp 8", "bmp", true},
        {"ppmtopcx", "pcx", true, &sixteen}, {"ppmtopcx -packed", "pcx", true, &sixteen},
        {"ppmtopcx", "pcx", true, &two},     {"ppmtoilbm", "iff", true, &sixteen},
        {"pamtotga -cmap", "tga", true, &two},
    };
    for (const Foreign& t : tools) {
        const DibHandle& source = t.picture ? *t.picture : t.palettised ? pic : rich;
        const QString ppm = dir.filePath("in.ppm");
        {
            QFile f(ppm);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(toPpm(source));
        }
        const QString out = dir.filePath(QString("foreign.") + t.ext);
        QProcess p;
        p.setStandardInputFile(ppm);
        p.setStandardOutputFile(out);
        const QStringList words = QString(t.command).split(' ');
        p.start(words[0], words.mid(1));
        ASSERT_TRUE(p.waitForFinished(20000));
        // Every command here is one this netpbm knows: a refusal fails.
        ASSERT_EQ(p.exitCode(), 0) << t.command << ": " << p.readAllStandardError().toStdString();
        if (QString(t.command).contains("-nocompress")) {
            QFile f(out);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            const qsizetype bmhd = bytes.indexOf("BMHD");
            ASSERT_GE(bmhd, 0);
            EXPECT_EQ(bytes.at(bmhd + 8 + 10), 0) << "not uncompressed";   // BMHD compression byte
        }
        const DibHandle back = OpenDib(out);
        ASSERT_FALSE(back.isEmpty()) << t.command;
        ASSERT_EQ(back.DibWidth(), 31) << t.command;
        if (QString(t.command).contains("ham")) {
            // Hold-and-modify changes one channel per pixel from 16 levels:
            // close to the source on average, never exact.
            EXPECT_LE(meanChannelDifference(back, source), 12.0) << t.command;
            continue;
        }
        EXPECT_EQ(maxChannelDifference(back, source), 0) << t.command;
        if (t.palettised) EXPECT_TRUE(back.hasPalette()) << t.command;
    }
}
