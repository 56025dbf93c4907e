// Thumbnails for file managers: size, aspect, the design where it lies,
// pictures that cannot be read, damaged box files.
#include "RenderTestUtil.h"

#include "model/BoxFile.h"
#include "model/NewDocument.h"
#include "sheet/Thumbnail.h"

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

// The net's bounds in mm of an item 205 mm high at 100 %, from the net's
// description at 600 dpi: a fifteenth of the height off, three edges in the
// rest; 4e + e/7 across from a pixel inside the box area, and from the lid
// tabs (e/2 - e/5 - e/8 - e/10 down) to the bottom flap (3e + e/7).
QRectF netMm(double itemHeightMm = 205) {
    const int hb = int(itemHeightMm / MmPerInch * 600);
    const int e = (hb - (hb / 3) / 5) / 3;
    const int top = e / 2 - e / 5 - e / 8 - e / 10;
    const double mm = MmPerInch / 600;
    return QRectF(1 * mm, top * mm, (4 * e + e / 7 + 1) * mm, (3 * e + e / 7 - top + 1) * mm);
}

// The thumbnail pixel at a point given in mm of the item.
QRgb at(const QImage& img, double xMm, double yMm) {
    const QRectF n = netMm();
    return rt::px(img, int((xMm - n.left()) / n.width() * img.width()),
                  int((yMm - n.top()) / n.height() * img.height()));
}

}  // namespace

TEST(Thumbnail, LongerSideIsTheSizeAndTheAspectThatOfTheNet) {
    BoxDocument doc = newDoc();
    const QRectF net = netMm();
    for (int size : {256, 128, 37}) {
        const QImage img = renderThumbnail(doc, size);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.width(), size);
        EXPECT_NEAR(img.height(), size * net.height() / net.width(), 1.0);
    }
    // The cube's net follows the item's height alone: a narrow item shows
    // the same net, and a lower one a smaller net of the same shape.
    doc.Layout.ItemWidth = 100;
    doc.Layout.ItemHeight = 150;
    doc.updateExtentFromLayout();
    const QImage low = renderThumbnail(doc, 200);
    EXPECT_EQ(low.width(), 200);
    EXPECT_NEAR(low.height(), 200 * netMm(150).height() / netMm(150).width(), 1.0);
    EXPECT_TRUE(renderThumbnail(doc, 0).isNull());
}

TEST(Thumbnail, ADesignOverTheWholeNetReachesEveryEdge) {
    // A colour over the whole editing area: the net's bounding box is full
    // of it to its last column and row, no strip of blank item beside it.
    BoxDocument doc = newDoc();
    rectMm(doc, -10, -10, 310, 225, 0x0000FF);
    const QImage img = renderThumbnail(doc, 256);
    ASSERT_FALSE(img.isNull());
    auto redIn = [&](const QRect& r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (qRed(img.pixel(x, y)) > 200 && qGreen(img.pixel(x, y)) < 120) ++n;
        return n;
    };
    EXPECT_GT(redIn(QRect(img.width() - 1, 0, 1, img.height())), img.height() / 6);
    EXPECT_GT(redIn(QRect(0, img.height() - 1, img.width(), 1)), img.width() / 8);
    EXPECT_GT(redIn(QRect(0, 0, 1, img.height())), img.height() / 6);
    EXPECT_GT(redIn(QRect(0, 0, img.width(), 1)), 0);
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
    EXPECT_TRUE(near(at(img, 250, 20), 200, 200, 0));
    EXPECT_TRUE(near(at(img, 250, 190), 0, 160, 0));
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
