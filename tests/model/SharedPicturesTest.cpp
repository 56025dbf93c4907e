// Pictures named by many objects: decoded once, shared, bounded, each
// missing path told once.

#include "model/BoxFile.h"
#include "model/NewDocument.h"
#include "model/SharedPictures.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString writePicture(const QTemporaryDir& dir, const char* name, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    const QString path = dir.filePath(QString::fromLatin1(name));
    EXPECT_TRUE(img.save(path));
    return path;
}

TEST(SharedPictures, OneFileIsDecodedOnceAndEachTurnSharedBetweenObjects) {
    QTemporaryDir dir;
    const QString photo = writePicture(dir, "bild.png", 120, 85);
    BoxDocument doc;
    initStartupDocument(doc, 96);
    newDocument(doc);
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        Tobs& o = doc.Objects[slot];
        o.Kind = Image;
        o.Content = photo;
        o.Width = o.Height = 10;
        o.Rotation = slot % 4;
    }
    // A missing file named by many objects.
    for (int slot = 1; slot <= 300; ++slot) doc.Objects[slot].Content = dir.filePath("fehlt.png");
    RecordingPrompter save;
    const QString box = dir.filePath("viele.box");
    ASSERT_TRUE(Saveit(doc, box, save));

    for (bool withProgress : {false, true}) {
        BoxDocument opened;
        RecordingPrompter prompter;
        ASSERT_TRUE(OpenItNow(opened, box, prompter, withProgress ? ProgressCallback([](int) { return true; }) : ProgressCallback()));
        ASSERT_EQ(prompter.messages.size(), 1u) << "one message for the missing path, not one per object";
        EXPECT_EQ(prompter.messages[0].text, boxmsg::imageMissingText(dir.filePath("fehlt.png")));
        const Tobs& upright = opened.Objects[304];
        const Tobs& turned = opened.Objects[301];   // 301 % 4 == 1: a quarter turn
        ASSERT_FALSE(upright.Picture.isEmpty());
        EXPECT_EQ(upright.Picture.DibWidth(), 120);
        EXPECT_EQ(turned.Picture.DibWidth(), 85);
        for (int slot = 301; slot <= ObjectTable::Capacity; ++slot) {
            const Tobs& o = opened.Objects[slot];
            const Tobs& same = opened.Objects[slot % 4 == 0 ? 304 : 300 + slot % 4];
            ASSERT_EQ(o.Picture.image().constBits(), same.Picture.image().constBits()) << slot;
        }
    }
}

TEST(SharedPictures, PicturesPastTheBudgetAreLeftOutAndCounted) {
    QTemporaryDir dir;
    const QString a = writePicture(dir, "a.png", 100, 100);   // 40000 bytes decoded
    const QString b = writePicture(dir, "b.png", 100, 100);
    const QString c = writePicture(dir, "c.png", 10, 10);
    SharedPictures pictures(dir.filePath("x.box"), QString(), 0, 60000);
    DibHandle p;
    EXPECT_EQ(pictures.load(a, 0, p), SharedPictures::Outcome::Loaded);
    EXPECT_EQ(pictures.load(a, 0, p), SharedPictures::Outcome::Loaded);
    EXPECT_EQ(pictures.load(b, 0, p), SharedPictures::Outcome::OverBudget);
    // The remaining pictures stay out even where a small one would fit.
    EXPECT_EQ(pictures.load(c, 0, p), SharedPictures::Outcome::OverBudget);
    EXPECT_EQ(pictures.load(dir.filePath("fehlt.png"), 0, p), SharedPictures::Outcome::Missing);
    EXPECT_EQ(pictures.decodeCount(), 2);
    EXPECT_LE(pictures.decodedBytes(), 60000);
    EXPECT_EQ(boxmsg::picturesLeftOutText(7), QStringLiteral("7 Bilder wurden nicht geladen (mehr als 1 GiB Bilddaten)."));
}

}  // namespace

// A drawing is stored by its path as every picture: opened again it is the
// drawing, turned as saved, its transparent value as stored; a refused one
// is told with the reason and its object kept.
TEST(SharedPictures, DrawingsOpenAsDrawingsTurnedAndRefusedOnesAreToldAndKept) {
    QTemporaryDir dir;
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    const QString logo = write("logo.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40mm\" height=\"20mm\">"
                                           "<rect width=\"10\" height=\"10\"/></svg>");
    const QString empty = write("leer.svg", "");
    BoxDocument doc;
    initStartupDocument(doc, 96);
    newDocument(doc);
    for (int slot = 1; slot <= 3; ++slot) {
        Tobs& o = doc.Objects[slot];
        o.Kind = Image;
        o.Content = slot == 3 ? empty : logo;
        o.Width = o.Height = 1000;
        o.Rotation = slot == 2 ? 1 : 0;
        o.Transparent = 1;
        o.TransAuto = 1;
        o.LineWidthOrTransColor = 0x123456;
    }
    RecordingPrompter save;
    const QString box = dir.filePath("zeichnung.box");
    ASSERT_TRUE(Saveit(doc, box, save));
    BoxDocument opened;
    RecordingPrompter prompter;
    ASSERT_TRUE(OpenItNow(opened, box, prompter));
    EXPECT_TRUE(opened.Objects[1].Picture.isVector());
    EXPECT_EQ(opened.Objects[1].Picture.vectorTurns(), 0);
    EXPECT_EQ(opened.Objects[2].Picture.vectorTurns(), 1);
    EXPECT_EQ(opened.Objects[2].Picture.aspectSize(), QSize(2000, 4000));
    EXPECT_EQ(opened.Objects[1].LineWidthOrTransColor, 0x123456);
    EXPECT_EQ(opened.Objects[3].Kind, Image);
    EXPECT_TRUE(opened.Objects[3].Picture.isEmpty());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].reason, QStringLiteral("Die Datei ist leer."));
}
