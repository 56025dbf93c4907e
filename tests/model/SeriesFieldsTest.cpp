// Fields in texts and picture names filled from a row, and the design as a
// row shows it: its own objects untouched, each row's pictures loaded once.
#include "BoxTestSupport.h"

#include "model/BoxFile.h"
#include "model/LongText.h"
#include "model/SeriesFields.h"
#include "model/SharedPictures.h"

#include <QDir>
#include <QImage>

#include <sys/stat.h>

using namespace boxtest;

namespace {

const SeriesRow kRow{{"Vorname", "Gruss", "Foto"}, {"Anna", "Liebe Gr\u00fc\u00dfe\r\nvon uns\nallen", "anna.png"}, 7};

TEST(SeriesFields, FillsFieldsAndLeavesEverythingElseAsTyped) {
    struct Case {
        QString text;
        QString filled;
        QStringList unknown;
    };
    const std::vector<Case> cases = {
        {"Für {Vorname}!", "Für Anna!", {}},
        {"{ Vorname }{Vorname}", "AnnaAnna", {}},
        {"{{Vorname}} und {{{Vorname}}}", "{Vorname} und {Anna}", {}},
        {"Nr. {Nr}", "Nr. 7", {}},
        {"{Gruss}", "Liebe Grüße\rvon uns\rallen", {}},
        {"{Ort}, {vorname} und {Ort}", "{Ort}, {vorname} und {Ort}", {"Ort", "vorname"}},
        {"{} {  } {offen a}b} {Vor\rname} }", "{} {  } {offen a}b} {Vor\rname} }", {"offen a"}},
        {"{{{Vorname} {", "{Anna {", {}},
    };
    for (const Case& c : cases) {
        QStringList unknown;
        EXPECT_EQ(fillFields(c.text, kRow, &unknown), c.filled) << c.text.toStdString();
        EXPECT_EQ(unknown, c.unknown) << c.text.toStdString();
    }
    // A column named Nr wins over the row's number.
    const SeriesRow withNr{{"Nr"}, {"A-17"}, 3};
    EXPECT_EQ(fillFields(QStringLiteral("{Nr}"), withNr), QStringLiteral("A-17"));
    // The result is clipped as any long text from outside.
    const SeriesRow big{{"X"}, {QString(LongTextLimit, QLatin1Char('x'))}, 1};
    EXPECT_EQ(fillFields(QStringLiteral("ab{X}"), big).size(), LongTextLimit);

    EXPECT_EQ(fieldNames(QStringLiteral("{B} {{A}} { A }{B}{Nr} {C")), (QStringList{"B", "A", "Nr"}));
}

class RowDocument : public ::testing::Test {
protected:
    QTemporaryDir dir;
    BoxDocument design;
    QByteArray before;

    QString picture(const QString& name, int w, int h) {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(Qt::darkRed);
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(img.save(path, "PNG"));
        return path;
    }

    void SetUp() override {
        makeNewDocument(design);
        placeText(design, 12, QStringLiteral("Für {Vorname} aus {Ort}"));
        placeText(design, 13, QStringLiteral("ohne Felder {{}}"));
        placeFigure(design, 14);
        placeFigure(design, 20);
        design.Objects[20].Kind = Image;
        design.Objects[20].Content = QStringLiteral("bilder/{Foto}");
        design.Objects[20].Rotation = 1;
        placeFigure(design, 21);
        design.Objects[21].Kind = Image;
        design.Objects[21].Content = picture(QStringLiteral("fest.png"), 3, 3);
        design.BackgroundMode = bgTile;
        design.BackgroundFile = QStringLiteral("{Hintergrund}");
        design.FileName = dir.filePath(QStringLiteral("gast.box"));
        design.Series.path = dir.filePath(QStringLiteral("daten/gaeste.csv"));
        before = snapshot(design);
    }
};

TEST_F(RowDocument, FillsTextsAndPictureNamesAndLeavesTheDesignAlone) {
    picture(QStringLiteral("bilder/anna.png"), 4, 2);
    picture(QStringLiteral("hell.png"), 5, 5);
    const SeriesRow row{{"Vorname", "Foto", "Hintergrund"}, {"Anna", "anna.png", "hell.png"}, 1};
    SharedPictures pictures(design.FileName, design.ProgramFolder);
    QStringList unknown, missing;
    const BoxDocument doc = documentForRow(design, row, &unknown, &pictures, &missing);
    EXPECT_EQ(doc.Objects[12].Content, QStringLiteral("Für Anna aus {Ort}"));
    EXPECT_EQ(doc.Objects[13].Content, QStringLiteral("ohne Felder {}"));
    EXPECT_EQ(unknown, QStringList{QStringLiteral("Unbekanntes Feld {Ort} in Objekt 12")});
    EXPECT_TRUE(missing.isEmpty()) << missing.join(',').toStdString();
    // Relative names from the data are taken from the box file's folder; the
    // picture is turned as its object is.
    EXPECT_EQ(doc.Objects[20].Content, dir.filePath(QStringLiteral("bilder/anna.png")));
    EXPECT_EQ(doc.Objects[20].Picture.DibWidth(), 2);
    EXPECT_EQ(doc.Objects[20].Picture.DibHeight(), 4);
    EXPECT_EQ(doc.BackgroundPicture.DibWidth(), 5);
    EXPECT_EQ(doc.Objects[21].Picture.image().constBits(), design.Objects[21].Picture.image().constBits());
    EXPECT_EQ(snapshot(design), before);

    // Rows naming the same file decode it once.
    const int decodes = pictures.decodeCount();
    const SeriesRow again{{"Vorname", "Foto", "Hintergrund"}, {"Anne", "anna.png", "hell.png"}, 2};
    const BoxDocument second = documentForRow(design, again, nullptr, &pictures);
    EXPECT_EQ(pictures.decodeCount(), decodes);
    EXPECT_EQ(second.Objects[20].Picture.image().constBits(), doc.Objects[20].Picture.image().constBits());

    // An unsaved design takes relative names from the data file's folder.
    picture(QStringLiteral("daten/bilder/anna.png"), 6, 1);
    design.FileName.clear();
    const BoxDocument unsaved = documentForRow(design, row);
    EXPECT_EQ(unsaved.Objects[20].Picture.DibHeight(), 6);
}

TEST_F(RowDocument, APictureThatIsNoFileIsMissingForItsRowOnly) {
    picture(QStringLiteral("bilder/anna.png"), 4, 2);
    QDir().mkpath(dir.filePath(QStringLiteral("bilder/ordner.png")));
    ASSERT_EQ(::mkfifo(dir.filePath(QStringLiteral("bilder/rohr.png")).toLocal8Bit().constData(), 0600), 0);
    SharedPictures pictures(design.FileName, design.ProgramFolder);
    QStringList missing;
    for (const char* name : {"ordner.png", "rohr.png", "fehlt.png", "anna.png", "fehlt.png"}) {
        const SeriesRow row{{"Foto", "Hintergrund"}, {QString::fromLatin1(name), QString()}, 1};
        const BoxDocument doc = documentForRow(design, row, nullptr, &pictures, &missing);
        EXPECT_EQ(doc.Objects[20].Picture.isEmpty(), std::string(name) != "anna.png") << name;
        EXPECT_TRUE(doc.BackgroundPicture.isEmpty());
    }
    EXPECT_EQ(missing, (QStringList{dir.filePath("bilder/ordner.png"), dir.filePath("bilder/rohr.png"),
                                    dir.filePath("bilder/fehlt.png")}));
}

// Rows browsed one after the other fill the kept pictures' budget; a row
// past it still shows its picture, loaded for itself.
TEST_F(RowDocument, ARowPastTheKeptPicturesBudgetStillHasItsPicture) {
    picture(QStringLiteral("bilder/anna.png"), 4, 2);
    picture(QStringLiteral("bilder/ben.png"), 4, 2);
    SharedPictures pictures(design.FileName, design.ProgramFolder, 0, 4 * 2 * 4);
    QStringList missing;
    for (const char* name : {"anna.png", "ben.png"}) {
        const SeriesRow row{{"Foto", "Hintergrund"}, {QString::fromLatin1(name), QString()}, 1};
        const BoxDocument doc = documentForRow(design, row, nullptr, &pictures, &missing);
        EXPECT_EQ(doc.Objects[20].Picture.DibWidth() * doc.Objects[20].Picture.DibHeight(), 8) << name;
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.join(',').toStdString();
}

}  // namespace
