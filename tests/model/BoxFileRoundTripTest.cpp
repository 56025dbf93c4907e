// Saving and opening box files through the files themselves.
#include "BoxTestSupport.h"

#include <algorithm>
#include <vector>

#include "model/BoxFile.h"
#include "image/ImageLoader.h"
#include "image/RenderThreads.h"

#include <QDir>
#include <QImage>

using namespace boxtest;

namespace {

class BoxFileRoundTrip : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingPrompter prompter;

    QString path(const QString& name) const { return dir.filePath(name); }

    // Saves doc and opens it into a fresh document.
    void roundTrip(const BoxDocument& doc, BoxDocument& back) {
        const QString file = path(QStringLiteral("rt.box"));
        ASSERT_TRUE(Saveit(doc, file, prompter));
        ASSERT_TRUE(OpenItNow(back, file, prompter));
    }

    // A 3 x 2 picture, red green blue over white black yellow.
    QString writePicture(const QString& file) {
        QImage img(3, 2, QImage::Format_RGB32);
        const QRgb px[6] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                            qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 255, 0)};
        for (int i = 0; i < 6; ++i) img.setPixel(i % 3, i / 3, px[i]);
        const QString p = path(file);
        EXPECT_TRUE(img.save(p, "PNG"));
        return p;
    }
};

}  // namespace

TEST_F(BoxFileRoundTrip, ObjectsKeepTheirSlotsAndGaps) {
    BoxDocument doc;
    makeNewDocument(doc);
    placeFigure(doc, 2, 1000, 2000);
    placeText(doc, 7, QStringLiteral("sieben"));
    placeFigure(doc, ObjectTable::Capacity, 3000, 4000);   // the last slot is no end marker
    BoxDocument back;
    roundTrip(doc, back);
    EXPECT_EQ(back.Objects[ObjectTable::Capacity].Left, 3000);
    EXPECT_EQ(back.Objects[2].Kind, Figure);
    EXPECT_EQ(back.Objects[2].Left, 1000);
    EXPECT_EQ(back.Objects[7].Kind, Text);
    EXPECT_EQ(back.Objects[7].Content, QStringLiteral("sieben"));
    for (int slot : {1, 3, 4, 5, 6, 8, 9999}) EXPECT_TRUE(back.Objects[slot].isFree()) << slot;
    EXPECT_EQ(back.FileName, path(QStringLiteral("rt.box")));
    EXPECT_EQ(serializeBoxDocument(back), serializeBoxDocument(doc));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(BoxFileRoundTrip, EveryFieldSurvives) {
    BoxDocument doc;
    makeNewDocument(doc);
    doc.Zoom = 1.25;
    doc.ScreenDivisor = 277.33333333333331;
    doc.Layout.MarginX = 12.5;
    doc.Layout.Columns = 3;
    for (auto& b : doc.Layout.Reserved) b = 0x5A;
    placeText(doc, 9999, QStringLiteral("Erste Zeile\rZweite Zeile"));
    Tobs& o = doc.Objects[9999];
    o.Left = -5;
    o.Top = -7;
    o.Width = 123456;
    o.Height = 654321;
    o.KeepAspect = 0;
    o.Color = 0x00ABCDEF;
    o.Shape = shLineDown;
    o.Alignment = 2;
    o.BorderOrOutlineColor = 0x00010203;
    o.FillModeOrShadowColor = 0x00FFFFFF;
    o.Shadow = 1;
    o.Outline = 1;
    o.ShadowDx = -3;
    o.ShadowDy = 11;
    o.Transparent = 1;
    o.TransAuto = 1;
    o.LineWidthOrTransColor = 20;
    o.Rotation = 3;
    o.FontColor = 0x0000FF00;
    o.FontHeight = -21;
    o.FontName = QStringLiteral("Arial");
    o.FontPitch = 1;
    o.FontSize = 16;
    o.FontStyle = fsItalic | fsStrikeOut;
    BoxDocument back;
    roundTrip(doc, back);
    const Tobs& b = back.Objects[9999];
    EXPECT_EQ(b.Content, QStringLiteral("Erste Zeile\rZweite Zeile"));
    EXPECT_EQ(b.Left, -5);
    EXPECT_EQ(b.Height, 654321);
    EXPECT_EQ(b.KeepAspect, 0);
    EXPECT_EQ(b.Shape, shLineDown);
    EXPECT_EQ(b.ShadowDx, -3);
    EXPECT_EQ(b.Rotation, 3);
    EXPECT_EQ(b.FontName, QStringLiteral("Arial"));
    EXPECT_EQ(b.FontStyle, fsItalic | fsStrikeOut);
    EXPECT_EQ(back.Zoom, 1.25);
    EXPECT_EQ(back.ScreenDivisor, 277.33333333333331);
    EXPECT_EQ(back.Layout.Columns, 3);
    EXPECT_EQ(back.Layout.Reserved[33], 0x5A);
    EXPECT_EQ(serializeBoxDocument(back), serializeBoxDocument(doc));
}

TEST_F(BoxFileRoundTrip, TextsCodePage1252CannotHoldComeBack) {
    BoxDocument doc;
    makeNewDocument(doc);
    placeText(doc, 1, QString::fromUtf8("Ωμέγα\r€ und ü"));
    doc.Objects[1].FontName = QString::fromUtf8("Noto Sans CJK 日本");
    doc.BackgroundMode = bgNone;
    doc.BackgroundFile = QString::fromUtf8("/bilder/Łódź.png");
    BoxDocument back;
    roundTrip(doc, back);
    EXPECT_EQ(back.Objects[1].Content, doc.Objects[1].Content);
    EXPECT_EQ(back.Objects[1].FontName, doc.Objects[1].FontName);
    EXPECT_EQ(back.BackgroundFile, doc.BackgroundFile);
}

TEST_F(BoxFileRoundTrip, TurnedImageIsTurnedAgainOnReading) {
    const QString picture = writePicture(QStringLiteral("bild.png"));
    BoxDocument doc;
    makeNewDocument(doc);
    placeFigure(doc, 3);
    Tobs& o = doc.Objects[3];
    o.Kind = Image;
    o.Content = picture;
    o.Width = 30000;
    o.Height = 20000;
    ASSERT_TRUE(LoadDIBit(o.Picture, picture, doc.ProgramFolder));
    doc.turnObject(3, +1);

    BoxDocument back;
    roundTrip(doc, back);
    const Tobs& b = back.Objects[3];
    EXPECT_EQ(b.Rotation, 1);
    EXPECT_EQ(b.Width, 20000);
    EXPECT_EQ(b.Height, 30000);
    ASSERT_EQ(b.Picture.DibWidth(), 2);
    ASSERT_EQ(b.Picture.DibHeight(), 3);
    EXPECT_EQ(b.Picture.image().pixel(0, 0), qRgb(255, 255, 255));   // old bottom-left
    EXPECT_EQ(b.Picture.image().pixel(1, 0), qRgb(255, 0, 0));       // old top-left
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(BoxFileRoundTrip, HalfAndCounterClockwiseTurnsOnReading) {
    const QString picture = writePicture(QStringLiteral("bild.png"));
    for (int rotation : {2, 3}) {
        BoxDocument doc;
        makeNewDocument(doc);
        placeFigure(doc, 1);
        doc.Objects[1].Kind = Image;
        doc.Objects[1].Content = picture;
        doc.Objects[1].Rotation = rotation;
        BoxDocument back;
        roundTrip(doc, back);
        const QImage img = back.Objects[1].Picture.image();
        if (rotation == 2) {
            ASSERT_EQ(img.size(), QSize(3, 2));
            EXPECT_EQ(img.pixel(0, 0), qRgb(255, 255, 0));
        } else {
            ASSERT_EQ(img.size(), QSize(2, 3));
            EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 255));   // old top-right
        }
    }
}

TEST_F(BoxFileRoundTrip, PictureFoundBesideTheBoxFileWithWindowsPath) {
    writePicture(QStringLiteral("foto.png"));
    BoxDocument doc;
    makeNewDocument(doc);
    placeFigure(doc, 1);
    doc.Objects[1].Kind = Image;
    doc.Objects[1].Content = QStringLiteral("C:\\Eigene Dateien\\Bilder\\foto.png");
    doc.BackgroundMode = bgTile;
    doc.BackgroundFile = QStringLiteral("/nirgendwo/mehr/foto.png");
    BoxDocument back;
    roundTrip(doc, back);
    EXPECT_EQ(back.Objects[1].Picture.DibWidth(), 3);
    EXPECT_EQ(back.BackgroundPicture.DibWidth(), 3);
    // The stored paths stay as they were.
    EXPECT_EQ(back.Objects[1].Content, doc.Objects[1].Content);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(BoxFileRoundTrip, MissingPicturesAreReportedAndReadingGoesOn) {
    BoxDocument doc;
    makeNewDocument(doc);
    for (int slot : {4, 6}) {
        placeFigure(doc, slot);
        doc.Objects[slot].Kind = Image;
        doc.Objects[slot].Content = QStringLiteral("/weg/bild%1.bmp").arg(slot);
    }
    placeText(doc, 8, QStringLiteral("danach"));
    doc.BackgroundMode = bgFit;
    doc.BackgroundFile = QStringLiteral("/weg/hintergrund.bmp");
    BoxDocument back;
    roundTrip(doc, back);
    ASSERT_EQ(prompter.messages.size(), 3u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Konnte Bild (/weg/hintergrund.bmp) nicht Laden."));
    EXPECT_EQ(prompter.messages[1].text, QStringLiteral("Konnte Bild (/weg/bild4.bmp) nicht Laden."));
    EXPECT_TRUE(prompter.messages[1].caption.isEmpty());
    EXPECT_EQ(prompter.messages[1].icon, PromptIcon::Error);
    EXPECT_EQ(back.Objects[4].Kind, Image);
    EXPECT_TRUE(back.Objects[4].Picture.isEmpty());
    EXPECT_EQ(back.Objects[8].Content, QStringLiteral("danach"));
    EXPECT_EQ(back.BackgroundMode, bgFit);
}

TEST_F(BoxFileRoundTrip, BackgroundIsNotLoadedWithoutMode) {
    writePicture(QStringLiteral("bg.png"));
    BoxDocument doc;
    makeNewDocument(doc);
    doc.BackgroundMode = bgNone;
    doc.BackgroundFile = path(QStringLiteral("bg.png"));
    BoxDocument back;
    roundTrip(doc, back);
    EXPECT_TRUE(back.BackgroundPicture.isEmpty());
}

TEST_F(BoxFileRoundTrip, OpeningReplacesTheWholeDocument) {
    BoxDocument empty;
    makeNewDocument(empty);
    const QString file = path(QStringLiteral("leer.box"));
    ASSERT_TRUE(Saveit(empty, file, prompter));

    BoxDocument doc;
    makeNewDocument(doc);
    doc.ProgramFolder = QStringLiteral("/opt/prog/");
    placeFigure(doc, 5);
    doc.CurrentObject = 5;
    doc.BackgroundMode = bgTile;
    doc.BackgroundFile = QStringLiteral("x.bmp");
    doc.Zoom = 3;
    // Views cache pictures by revision: the opened design must not take
    // one the replaced design had, however few changes its reading counted.
    doc.Revision = 1000;
    const std::uint64_t before = doc.Revision;
    ASSERT_TRUE(OpenItNow(doc, file, prompter));
    EXPECT_GT(doc.Revision, before);
    EXPECT_FALSE(doc.Objects.anyObjects());
    EXPECT_EQ(doc.CurrentObject, 0);
    EXPECT_EQ(doc.BackgroundMode, bgNone);
    EXPECT_TRUE(doc.BackgroundFile.isEmpty());
    EXPECT_EQ(doc.Zoom, 1.0);
    EXPECT_EQ(doc.Objects[5].ShadowDx, 5);
    EXPECT_EQ(doc.ProgramFolder, QStringLiteral("/opt/prog/"));
    EXPECT_EQ(doc.FileName, file);
}

TEST_F(BoxFileRoundTrip, WindowsSampleResavesByteForByte) {
    const QString sample = dataPath(QStringLiteral("windows_sample.box"));
    BoxDocument doc;
    ASSERT_TRUE(OpenItNow(doc, sample, prompter));
    // The sample's pictures lie beside it under their Windows paths.
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(doc.Objects[9999].Picture.DibWidth(), 2);   // turned once
    EXPECT_EQ(doc.BackgroundPicture.DibWidth(), 3);
    EXPECT_EQ(doc.Objects[7].Content, QString::fromUtf8("Grüße aus Köln\r„zweite“ Zeile"));
    // Valid UTF-8 bytes without the mark are code page 1252 all the same.
    EXPECT_EQ(doc.Objects[9].Content, QString::fromUtf8("Gruß“"));
    EXPECT_EQ(doc.Layout.typeNameText(), QString::fromUtf8("Testtypäß"));
    EXPECT_EQ(doc.Layout.Reserved[0], 1);
    EXPECT_EQ(doc.Layout.MarginY, 7.5);
    EXPECT_EQ(serializeBoxDocument(doc), readAll(sample));

    const QString copy = path(QStringLiteral("kopie.box"));
    ASSERT_TRUE(Saveit(doc, copy, prompter));
    EXPECT_EQ(readAll(copy), readAll(sample));
}

TEST_F(BoxFileRoundTrip, EditedTextThatWasReadAsUtf8IsWrittenAnew) {
    BoxDocument doc;
    ASSERT_TRUE(OpenItNow(doc, dataPath(QStringLiteral("windows_sample.box")), prompter));
    doc.Objects[9].Content = QString::fromUtf8("Ωmega");
    BoxDocument back;
    roundTrip(doc, back);
    EXPECT_EQ(back.Objects[9].Content, QString::fromUtf8("Ωmega"));
    ASSERT_FALSE(back.Objects[9].ContentStoredBytes.isEmpty());
    back.Objects[9].Content = QStringLiteral("neu");
    BoxDocument again;
    roundTrip(back, again);
    EXPECT_EQ(again.Objects[9].Content, QStringLiteral("neu"));
}

TEST_F(BoxFileRoundTrip, OpeningSettlesTheTransparentValueOfEachPicture) {
    // An 8-bit picture holding magenta at entries 3 and 9, and a 24-bit one
    // whose lower-left pixel (after its stored quarter turn) is yellow.
    QVector<QRgb> table(16, qRgb(1, 2, 3));
    table[3] = table[9] = qRgb(255, 0, 255);
    QImage indexed(4, 4, QImage::Format_Indexed8);
    indexed.setColorTable(table);
    indexed.fill(9);
    ASSERT_TRUE(indexed.save(path(QStringLiteral("palette.bmp")), "BMP"));
    const QString turned = writePicture(QStringLiteral("bild.png"));

    BoxDocument doc;
    makeNewDocument(doc);
    for (int slot : {1, 2, 3}) {
        placeFigure(doc, slot);
        doc.Objects[slot].Kind = Image;
        doc.Objects[slot].Transparent = 1;
        doc.Objects[slot].LineWidthOrTransColor = 0xFF00FF;
    }
    doc.Objects[1].Content = path(QStringLiteral("palette.bmp"));
    doc.Objects[2].Content = turned;
    doc.Objects[2].TransAuto = 1;
    doc.Objects[2].Rotation = 2;   // half turn: the old top-right corner lies lower left
    doc.Objects[3].Content = path(QStringLiteral("palette.bmp"));
    doc.Objects[3].Transparent = 0;   // not transparent: the colour stays a colour
    BoxDocument back;
    roundTrip(doc, back);
    EXPECT_EQ(back.Objects[1].LineWidthOrTransColor, 3);
    EXPECT_EQ(back.Objects[2].LineWidthOrTransColor, 0xFF0000);   // blue as 0x00BBGGRR
    EXPECT_EQ(back.Objects[3].LineWidthOrTransColor, 0xFF00FF);
    // What the reopened document saves is what it now holds.
    const QString again = path(QStringLiteral("again.box"));
    ASSERT_TRUE(Saveit(back, again, prompter));
    BoxDocument third;
    ASSERT_TRUE(OpenItNow(third, again, prompter));
    EXPECT_EQ(third.Objects[2].LineWidthOrTransColor, 0xFF0000);
}

// Opening reports what the image library reports while it reads and turns
// the stored pictures, and the last report is 0: the bar does not stay full.
TEST_F(BoxFileRoundTrip, ProgressComesFromReadingAndTurningPicturesAndEndsAtZero) {
    QImage tall(20, 50, QImage::Format_RGB32);
    tall.fill(Qt::red);
    ASSERT_TRUE(tall.save(path(QStringLiteral("hoch.png")), "PNG"));
    BoxDocument doc;
    makeNewDocument(doc);
    for (int slot : {1, 500}) placeText(doc, slot, QStringLiteral("Text"));
    const QString plain = path(QStringLiteral("ohne.box"));
    ASSERT_TRUE(Saveit(doc, plain, prompter));
    std::vector<int> reports;
    const ProgressCallback record = [&](int p) {
        reports.push_back(p);
        return true;
    };
    BoxDocument back;
    ASSERT_TRUE(OpenItNow(back, plain, prompter, record));
    EXPECT_TRUE(reports.empty());

    // An unturned picture still reports its reading.
    placeFigure(doc, 7);
    doc.Objects[7].Kind = Image;
    doc.Objects[7].Content = path(QStringLiteral("hoch.png"));
    doc.Objects[7].Rotation = 0;
    const QString upright = path(QStringLiteral("aufrecht.box"));
    ASSERT_TRUE(Saveit(doc, upright, prompter));
    ASSERT_TRUE(OpenItNow(back, upright, prompter, record));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(*std::max_element(reports.begin(), reports.end()), 100);
    EXPECT_EQ(reports.back(), 0);
    EXPECT_EQ(back.Objects[7].Picture.DibWidth(), 20);

    reports.clear();
    doc.Objects[7].Rotation = 1;
    const QString turned = path(QStringLiteral("gedreht.box"));
    ASSERT_TRUE(Saveit(doc, turned, prompter));
    ASSERT_TRUE(OpenItNow(back, turned, prompter, record));
    // Reading ends at 0, then the turn runs from 0 over the 50 source rows.
    const auto zeros = std::count(reports.begin(), reports.end(), 0);
    EXPECT_GE(zeros, 3);
    EXPECT_EQ(*std::max_element(reports.begin(), reports.end()), 100);
    EXPECT_EQ(reports.back(), 0);
    EXPECT_EQ(back.Objects[7].Picture.DibWidth(), 50);

    // A background that cannot be read still leaves the bar at 0.
    reports.clear();
    doc.BackgroundMode = bgCenterSmaller;
    doc.BackgroundFile = path(QStringLiteral("fehlt.png"));
    const QString missing = path(QStringLiteral("ohne-grund.box"));
    ASSERT_TRUE(Saveit(doc, missing, prompter));
    ASSERT_TRUE(OpenItNow(back, missing, prompter, record));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), 0);
}

// Without a progress bar the pictures are decoded side by side on the render
// pool: whatever the number of threads, every picture lands in its own slot,
// turned as stored, and the missing ones are reported in the document's
// order, the background first.
TEST_F(BoxFileRoundTrip, PicturesReadSideBySideLandInTheirSlotsAndMissingOnesAreReportedInOrder) {
    writePicture(QStringLiteral("bild.png"));
    QImage wide(40, 10, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    ASSERT_TRUE(wide.save(path(QStringLiteral("breit.png")), "PNG"));
    BoxDocument doc;
    makeNewDocument(doc);
    doc.BackgroundMode = bgCenterLarger;
    doc.BackgroundFile = path(QStringLiteral("fehlt-hintergrund.png"));
    const struct {
        int slot;
        const char* file;
        int rotation;
    } pictures[] = {{3, "bild.png", 0}, {9, "fehlt-a.png", 0}, {40, "breit.png", 1}, {41, "fehlt-b.png", 0},
                    {700, "bild.png", 2}};
    for (const auto& p : pictures) {
        placeFigure(doc, p.slot);
        doc.Objects[p.slot].Kind = Image;
        doc.Objects[p.slot].Content = path(QString::fromLatin1(p.file));
        doc.Objects[p.slot].Rotation = p.rotation;
    }
    const QString file = path(QStringLiteral("bilder.box"));
    ASSERT_TRUE(Saveit(doc, file, prompter));
    for (int threads : {1, 2, 3}) {
        const RenderThreadsOverride forced(threads);
        RecordingPrompter seen;
        BoxDocument back;
        ASSERT_TRUE(OpenItNow(back, file, seen)) << threads;
        ASSERT_EQ(seen.messages.size(), 3u) << threads;
        EXPECT_TRUE(seen.messages[0].text.contains(QStringLiteral("fehlt-hintergrund.png"))) << threads;
        EXPECT_TRUE(seen.messages[1].text.contains(QStringLiteral("fehlt-a.png"))) << threads;
        EXPECT_TRUE(seen.messages[2].text.contains(QStringLiteral("fehlt-b.png"))) << threads;
        EXPECT_EQ(back.Objects[3].Picture.DibWidth(), 3);
        EXPECT_EQ(back.Objects[3].Picture.image().pixel(0, 0) & 0xFFFFFFu, 0xFF0000u);
        // Turned a quarter: 40 x 10 stands as 10 x 40.
        EXPECT_EQ(back.Objects[40].Picture.DibWidth(), 10);
        EXPECT_EQ(back.Objects[40].Picture.DibHeight(), 40);
        // Turned half way: the yellow corner comes to the top left.
        EXPECT_EQ(back.Objects[700].Picture.image().pixel(0, 0) & 0xFFFFFFu, 0xFFFF00u);
        EXPECT_TRUE(back.Objects[9].Picture.isEmpty());
        EXPECT_TRUE(back.BackgroundPicture.isEmpty());
    }
}
