// Thumbnails for file managers: size, aspect, the design where it lies,
// pictures that cannot be read, damaged box files.
#include "RenderTestUtil.h"

#include "model/BoxFile.h"
#include "model/NewDocument.h"
#include "render/Thumbnail.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

constexpr double MmPerInch = 25.39995;

BoxDocument newDoc() {
    BoxDocument doc;
    initStartupDocument(doc, 96);
    newDocument(doc);
    return doc;
}

// A filled rectangle given in mm from the item's top-left corner.
void rectMm(BoxDocument& doc, double x, double y, double w, double h, std::int32_t bgr) {
    const int slot = doc.Objects.takeFreeSlot();
    Tobs& o = doc.Objects[slot];
    o.Kind = Figure;
    o.Shape = shRectangle;
    o.Color = bgr;
    o.FontName = QStringLiteral("Arial");
    auto u = [](double mm) { return std::int32_t(mm / MmPerInch * 20000); };
    o.Left = doc.ExtentWidth / 3 + u(x);
    o.Top = doc.ExtentHeight / 3 + u(y);
    o.Width = u(w);
    o.Height = u(h);
}

QString save(const BoxDocument& doc, const QString& path) {
    RecordingPrompter p;
    EXPECT_TRUE(Saveit(doc, path, p));
    return path;
}

// The thumbnail pixel at a point given in mm of the 290 x 205 item.
QRgb at(const QImage& img, double xMm, double yMm) {
    return rt::px(img, int(xMm / 290.0 * img.width()), int(yMm / 205.0 * img.height()));
}

}  // namespace

TEST(Thumbnail, LongerSideIsTheSizeAndTheAspectThatOfTheItem) {
    BoxDocument doc = newDoc();
    for (int size : {256, 128, 37}) {
        const QImage img = renderThumbnail(doc, size);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.width(), size);
        EXPECT_NEAR(img.height(), size * 205.0 / 290.0, 1.0);
    }
    // A portrait item: the height is the longer side.
    doc.Layout.ItemWidth = 100;
    doc.Layout.ItemHeight = 200;
    doc.updateExtentFromLayout();
    const QImage tall = renderThumbnail(doc, 200);
    EXPECT_EQ(tall.height(), 200);
    EXPECT_NEAR(tall.width(), 100, 1);
    EXPECT_TRUE(renderThumbnail(doc, 0).isNull());
}

TEST(Thumbnail, DesignColoursWhereTheyArePrinted) {
    QTemporaryDir dir;
    BoxDocument doc = newDoc();
    rectMm(doc, 10, 80, 40, 40, 0x0000FF);      // red on face 1
    rectMm(doc, 150, 150, 40, 30, 0xFF0000);    // blue below, on the bottom face
    doc.Layout.MarginX = 30;                    // a sheet margin moves nothing in the thumbnail
    RecordingPrompter prompter;
    const QImage img = thumbnailOfFile(save(doc, dir.filePath("a.box")), 256, prompter);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(at(img, 30, 100), rt::rgb(255, 0, 0));
    EXPECT_EQ(at(img, 170, 165), rt::rgb(0, 0, 255));
    EXPECT_EQ(at(img, 260, 190), rt::White);   // outside the net and the design
    // The net's dotted lines show as grey along the top edge of the side faces.
    const double e = 205.0 * 14 / 15 / 3;
    const QRgb fold = at(img, 60, e);
    EXPECT_NE(fold, rt::White);
}

TEST(Thumbnail, UnreadablePicturesAreLeftOutTheRestIsDrawn) {
    QTemporaryDir dir;
    BoxDocument doc = newDoc();
    rectMm(doc, 10, 80, 40, 40, 0x0000FF);
    // A FIFO would block a reader; a folder and a missing file fail alike.
    const QString fifo = dir.filePath("bild.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    doc.BackgroundMode = bgFit;
    doc.BackgroundFile = fifo;
    const int slot = doc.Objects.takeFreeSlot();
    doc.Objects[slot].Kind = Image;
    doc.Objects[slot].Content = dir.filePath("fehlt.jpg");
    doc.Objects[slot].Width = doc.Objects[slot].Height = 40000;
    RecordingPrompter prompter;
    QElapsedTimer t;
    t.start();
    const QImage img = thumbnailOfFile(save(doc, dir.filePath("b.box")), 128, prompter);
    EXPECT_LT(t.elapsed(), 3000);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(prompter.messages.size(), 2u);   // both named, neither stops the thumbnail
    EXPECT_EQ(at(img, 30, 100), rt::rgb(255, 0, 0));
}

TEST(Thumbnail, LargePictureIsDecodedReducedAndStillCoversTheBox) {
    QTemporaryDir dir;
    QImage picture(2000, 1500, QImage::Format_RGB32);
    picture.fill(QColor(0, 160, 0));
    for (int y = 0; y < 750; ++y)
        for (int x = 0; x < 2000; ++x) picture.setPixel(x, y, qRgb(200, 200, 0));   // top half yellow
    ASSERT_TRUE(picture.save(dir.filePath("hg.jpg"), "JPG", 95));
    BoxDocument doc = newDoc();
    doc.BackgroundMode = bgFit;
    doc.BackgroundFile = QStringLiteral("hg.jpg");   // found beside the box file
    RecordingPrompter prompter;
    const QImage img = thumbnailOfFile(save(doc, dir.filePath("c.box")), 256, prompter);
    ASSERT_FALSE(img.isNull());
    EXPECT_TRUE(prompter.messages.empty());
    auto near = [](QRgb c, int r, int g, int b) {
        return std::abs(qRed(c) - r) < 12 && std::abs(qGreen(c) - g) < 12 && std::abs(qBlue(c) - b) < 12;
    };
    EXPECT_TRUE(near(at(img, 270, 20), 200, 200, 0));
    EXPECT_TRUE(near(at(img, 270, 190), 0, 160, 0));
}

TEST(Thumbnail, DamagedOrForeignFilesGiveNoPicture) {
    QTemporaryDir dir;
    BoxDocument doc = newDoc();
    rectMm(doc, 10, 80, 40, 40, 0x0000FF);
    const QString path = save(doc, dir.filePath("d.box"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() - 10));
    f.close();
    RecordingPrompter prompter;
    EXPECT_TRUE(thumbnailOfFile(path, 256, prompter).isNull());
    EXPECT_TRUE(thumbnailOfFile(dir.filePath("gibtsnicht.box"), 256, prompter).isNull());
    EXPECT_TRUE(thumbnailOfFile(dir.path(), 256, prompter).isNull());
}
