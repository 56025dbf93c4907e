// Pictures as their own file's bytes: SVGs that libxml2's readers (librsvg,
// xmllint without --huge) open, large pictures beside the SVG, the PDF's
// pictures as poppler extracts them, and every embedded picture decoding to
// the program's picture.

#include "ExportTestSupport.h"
#include "export/VectorExport.h"
#include "image/ImageLoader.h"
#include "model/BoxFile.h"
#include "model/StreamPrompter.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrl>

namespace {

const QString kBenchData = QStringLiteral(FALTARILLON_TEST_DATA "/../../bench/data");

QByteArray readAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QByteArray encoded(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    EXPECT_TRUE(writer.write(image));
    return bytes;
}

// A photo-like picture: smooth, so its JPEG stays a few megabytes.
QImage photo(QSize size) {
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgb((x * 7 / 40 + y / 50) & 255, (y * 3 / 47) & 255, ((x + y) / 90) & 255);
    }
    return img;
}

QImage noise(QSize size) {
    QImage img(size, QImage::Format_RGB32);
    QRandomGenerator random(23);
    for (int y = 0; y < size.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x) line[x] = random.generate() | 0xFF000000u;
    }
    return img;
}

// The picture a document holds for a file, loaded as the program loads it.
DibHandle loaded(const QString& path) {
    DibHandle dib;
    EXPECT_TRUE(LoadDIBit(dib, path, QString())) << path.toStdString();
    return dib;
}

struct SvgPicture {
    QString mime;       // empty for a file beside the SVG
    QString fileName;   // the file beside it
    QByteArray bytes;
};

std::vector<SvgPicture> svgPictures(const QString& svgPath) {
    const QString svg = QString::fromUtf8(readAll(svgPath));
    std::vector<SvgPicture> out;
    static const QRegularExpression image(QStringLiteral("<image [^>]*xlink:href=\"([^\"]*)\""));
    for (auto it = image.globalMatch(svg); it.hasNext();) {
        const QString href = it.next().captured(1);
        SvgPicture p;
        if (href.startsWith(QLatin1String("data:"))) {
            const int comma = href.indexOf(QLatin1Char(','));
            p.mime = href.mid(5, href.indexOf(QLatin1Char(';')) - 5);
            p.bytes = QByteArray::fromBase64(href.mid(comma + 1).toLatin1());
        } else {
            p.fileName = QUrl::fromPercentEncoding(href.toLatin1());
            p.bytes = readAll(QFileInfo(svgPath).absoluteDir().filePath(p.fileName));
        }
        out.push_back(p);
    }
    return out;
}

// Both readers of libxml2 in their ordinary mode.
void readersOpen(const QTemporaryDir& dir, const QString& svg) {
    ex::run(QStringLiteral("xmllint"), {QStringLiteral("--noout"), svg});
    ex::run(QStringLiteral("rsvg-convert"), {QStringLiteral("-d"), QStringLiteral("20"), QStringLiteral("-p"),
                                             QStringLiteral("20"), QStringLiteral("-o"),
                                             dir.filePath(QStringLiteral("read.png")), svg});
    EXPECT_FALSE(QImage(dir.filePath(QStringLiteral("read.png"))).isNull());
}

// Every pixel the embedded picture shows equals the program's picture; a
// keyed picture may leave pixels out (alpha 0), never half.
void decodesToTheProgramsPicture(const SvgPicture& p, const std::vector<const DibHandle*>& pictures) {
    const QImage decoded = QImage::fromData(p.bytes);
    ASSERT_FALSE(decoded.isNull());
    const DibHandle* match = nullptr;
    for (const DibHandle* d : pictures)
        if (d->image().size() == decoded.size()) match = d;
    ASSERT_TRUE(match) << decoded.width() << "x" << decoded.height();
    const QImage want = match->image().convertToFormat(QImage::Format_ARGB32);
    const QImage got = decoded.convertToFormat(QImage::Format_ARGB32);
    long long wrong = 0;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x) {
            const QRgb g = got.pixel(x, y);
            if (qAlpha(g) == 0) continue;
            if (qAlpha(g) != 255 || (g | 0xFF000000u) != (want.pixel(x, y) | 0xFF000000u)) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
}

std::unique_ptr<BoxDocument> benchDesign() {
    auto doc = std::make_unique<BoxDocument>();
    QString said;
    QTextStream stream(&said);
    StreamPrompter prompter(stream);
    EXPECT_TRUE(OpenItNow(*doc, kBenchData + QStringLiteral("/blatt.box"), prompter)) << said.toStdString();
    return doc;
}

// A design with one picture: the background or a picture object.
std::unique_ptr<BoxDocument> designWith(const QString& picturePath, bool background, int rotation = 0) {
    auto doc = rt::document();
    if (background) {
        doc->BackgroundFile = picturePath;
        doc->BackgroundPicture = loaded(picturePath);
        doc->BackgroundMode = bgFit;
    } else {
        Tobs& o = rt::place(*doc, 1, Image, 600, 420, 400, 300);
        o.Content = picturePath;
        o.Picture = loaded(picturePath);
        o.Rotation = rotation;
    }
    return doc;
}

bool exportTo(BoxDocument& doc, const QString& path, QString* notice = nullptr) {
    ExportOptions o;
    o.format = path.endsWith(QLatin1String(".svg")) ? ExportFormat::Svg : ExportFormat::Pdf;
    QString error;
    const bool ok = exportToFile(doc, o, path, error, notice);
    EXPECT_TRUE(ok) << error.toStdString();
    return ok;
}

// The images poppler finds in the PDF, extracted as they are stored (-all:
// a JPEG as its bytes, others as PNG).
QStringList pdfImages(const QTemporaryDir& dir, const QString& pdf) {
    const QString prefix = dir.filePath(QStringLiteral("pdfbild"));
    ex::run(QStringLiteral("pdfimages"), {QStringLiteral("-all"), pdf, prefix});
    return QDir(dir.path()).entryList({QStringLiteral("pdfbild*")}, QDir::Files, QDir::Name);
}

}  // namespace

TEST(PictureBytes, BenchDesignSvgOpensInEveryReaderWithTheJpegAsItIsAndThePdfTooIsSmall) {
    QTemporaryDir dir;
    auto doc = benchDesign();
    const QString svg = dir.filePath(QStringLiteral("blatt.svg"));
    QString notice;
    ASSERT_TRUE(exportTo(*doc, svg, &notice));
    EXPECT_TRUE(notice.isEmpty());
    readersOpen(dir, svg);
    std::vector<const DibHandle*> pictures{&doc->BackgroundPicture};
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot)
        if (doc->Objects[slot].Kind == Image) pictures.push_back(&doc->Objects[slot].Picture);
    const std::vector<SvgPicture> found = svgPictures(svg);
    ASSERT_EQ(found.size(), 6u);
    EXPECT_EQ(found[0].mime, QStringLiteral("image/jpeg"));
    EXPECT_TRUE(found[0].bytes == readAll(kBenchData + QStringLiteral("/hintergrund.jpg")));
    for (const SvgPicture& p : found) decodesToTheProgramsPicture(p, pictures);
    // The five pictures have a transparent colour: written from their pixels.
    for (size_t i = 1; i < found.size(); ++i) EXPECT_EQ(found[i].mime, QStringLiteral("image/png"));
    EXPECT_LT(QFileInfo(svg).size(), 9000000);

    const QString pdf = dir.filePath(QStringLiteral("blatt.pdf"));
    ASSERT_TRUE(exportTo(*doc, pdf));
    const QStringList images = pdfImages(dir, pdf);
    ASSERT_FALSE(images.isEmpty());
    EXPECT_EQ(images.first(), QStringLiteral("pdfbild-000.jpg"));
    EXPECT_TRUE(readAll(dir.filePath(images.first())) == readAll(kBenchData + QStringLiteral("/hintergrund.jpg")));
    // The five keyed pictures from their pixels, each with its soft mask:
    // together they show the program's picture with the keyed pixels out.
    ASSERT_EQ(images.size(), 11);
    for (int i = 1; i + 1 < images.size(); i += 2) {
        SCOPED_TRACE(images[i].toStdString());
        QImage shown = QImage(dir.filePath(images[i])).convertToFormat(QImage::Format_ARGB32);
        const QImage mask = QImage(dir.filePath(images[i + 1])).convertToFormat(QImage::Format_Grayscale8);
        ASSERT_EQ(shown.size(), mask.size());
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (qGray(mask.pixel(x, y)) != 255)
                    shown.setPixel(x, y, qRgba(0, 0, 0, qGray(mask.pixel(x, y))));
        decodesToTheProgramsPicture({QString(), QString(), encoded(shown, "png")}, pictures);
    }
    EXPECT_LT(QFileInfo(pdf).size(), 4000000);
}

TEST(PictureBytes, LargePhotoBackgroundAndNoisePngOpenInEveryReaderAndTheNoiseGoesBeside) {
    QTemporaryDir dir;
    // 6000 x 4000 as a JPEG: its bytes in the SVG and in the PDF.
    const QString jpeg = dir.filePath(QStringLiteral("foto.jpg"));
    writeAll(jpeg, encoded(photo({6000, 4000}), "jpeg", 85));
    {
        auto doc = designWith(jpeg, true);
        const QString svg = dir.filePath(QStringLiteral("foto.svg"));
        ASSERT_TRUE(exportTo(*doc, svg));
        readersOpen(dir, svg);
        const std::vector<SvgPicture> found = svgPictures(svg);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_TRUE(found[0].bytes == readAll(jpeg));
        decodesToTheProgramsPicture(found[0], {&doc->BackgroundPicture});
        const QString pdf = dir.filePath(QStringLiteral("foto.pdf"));
        ASSERT_TRUE(exportTo(*doc, pdf));
        const QStringList images = pdfImages(dir, pdf);
        ASSERT_EQ(images.size(), 1);
        EXPECT_TRUE(readAll(dir.filePath(images.first())) == readAll(jpeg));
        for (const QString& f : images) QFile::remove(dir.filePath(f));
    }
    // Noise over 7 MB: beside the SVG. The folder's files are the user's:
    // k-bild1.png is taken, so the picture is k-bild2.png, and every file
    // there stays.
    const QString png = dir.filePath(QStringLiteral("rauschen.png"));
    writeAll(png, encoded(noise({1700, 1500}), "png"));
    ASSERT_GT(QFileInfo(png).size(), 7000000);
    const QStringList users = {"k-bild1.png", "k-bild2.jpg", "k-bild.png", "k-bilder.png"};
    for (const QString& name : users) writeAll(dir.filePath(name), "alt");
    auto doc = designWith(png, false);
    const QString svg = dir.filePath(QStringLiteral("k.svg"));
    QString notice;
    ASSERT_TRUE(exportTo(*doc, svg, &notice));
    EXPECT_EQ(notice, QStringLiteral("Große Bilder wurden neben der SVG-Datei gespeichert."));
    readersOpen(dir, svg);
    const std::vector<SvgPicture> found = svgPictures(svg);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].fileName, QStringLiteral("k-bild2.png"));
    EXPECT_TRUE(found[0].bytes == readAll(png));
    decodesToTheProgramsPicture(found[0], {&doc->Objects[1].Picture});
    const QStringList left = QDir(dir.path()).entryList({QStringLiteral("k*")}, QDir::Files, QDir::Name);
    EXPECT_EQ(left, (QStringList{QStringLiteral("k-bild.png"), QStringLiteral("k-bild1.png"),
                                 QStringLiteral("k-bild2.jpg"), QStringLiteral("k-bild2.png"),
                                 QStringLiteral("k-bilder.png"), QStringLiteral("k.svg")}));
    for (const QString& name : users) EXPECT_EQ(readAll(dir.filePath(name)), QByteArray("alt")) << name.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.neu-*")}, QDir::Files | QDir::Hidden).isEmpty());

    // Exported again with two such pictures: the one the SVG named is
    // replaced, the next goes past the user's files.
    auto two = designWith(png, false);
    Tobs& second = rt::place(*two, 2, Image, 600, 600, 200, 100);
    second.Content = png;
    second.Picture = loaded(png);
    ASSERT_TRUE(exportTo(*two, svg));
    std::vector<QString> named;
    for (const SvgPicture& p : svgPictures(svg)) named.push_back(p.fileName);
    EXPECT_EQ(named, (std::vector<QString>{QStringLiteral("k-bild2.png"), QStringLiteral("k-bild3.png")}));
    for (const QString& name : users) EXPECT_EQ(readAll(dir.filePath(name)), QByteArray("alt")) << name.toStdString();

    // The PDF holds it: its image data as it is, the same pixels.
    const QString pdf = dir.filePath(QStringLiteral("k.pdf"));
    ASSERT_TRUE(exportTo(*doc, pdf));
    const QStringList images = pdfImages(dir, pdf);
    ASSERT_EQ(images.size(), 1);
    EXPECT_TRUE(QImage(dir.filePath(images.first())).convertToFormat(QImage::Format_RGB32) ==
                doc->Objects[1].Picture.image().convertToFormat(QImage::Format_RGB32));
    EXPECT_LT(QFileInfo(pdf).size(), QFileInfo(png).size() + 200000);
}

TEST(PictureBytes, PicturesThatDoNotShowTheirFileAreWrittenFromTheirPixels) {
    QTemporaryDir dir;
    const QImage picture = photo({320, 240});
    const QByteArray plain = encoded(picture, "jpeg", 90);
    // EXIF orientation 6 (turned a quarter): readers would show it turned.
    QByteArray exif = QByteArray::fromHex("FFE10022457869660000" "49492A0008000000" "0100" "1201030001000000"
                                          "06000000" "00000000");
    exif[3] = char(exif.size() - 2);
    const QString turnedByExif = dir.filePath(QStringLiteral("exif.jpg"));
    writeAll(turnedByExif, plain.left(2) + exif + plain.mid(2));
    const QString file = dir.filePath(QStringLiteral("bild.jpg"));
    writeAll(file, plain);

    struct Case {
        const char* what;
        std::unique_ptr<BoxDocument> doc;
    };
    std::vector<Case> cases;
    cases.push_back({"EXIF orientation 6", designWith(turnedByExif, false)});
    cases.push_back({"picture object turned a quarter", designWith(file, false, 1)});
    {
        auto keyed = designWith(file, false);
        keyed->Objects[1].Transparent = 1;
        cases.push_back({"transparent colour", std::move(keyed)});
    }
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString svg = dir.filePath(QStringLiteral("fall.svg"));
        ASSERT_TRUE(exportTo(*c.doc, svg));
        const std::vector<SvgPicture> found = svgPictures(svg);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].mime, QStringLiteral("image/png"));
        decodesToTheProgramsPicture(found[0], {&c.doc->Objects[1].Picture});
    }
    // The file changed after it was loaded (same size, other pixels): the
    // document's picture is written, not the file.
    auto doc = designWith(file, false);
    writeAll(file, encoded(noise({320, 240}), "jpeg", 90));
    const QString svg = dir.filePath(QStringLiteral("geaendert.svg"));
    ASSERT_TRUE(exportTo(*doc, svg));
    const std::vector<SvgPicture> found = svgPictures(svg);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].mime, QStringLiteral("image/png"));
    decodesToTheProgramsPicture(found[0], {&doc->Objects[1].Picture});
}
