// The sample designs shipped with the program are fixtures too: each opens
// without a message, renders, and resaves byte for byte; the die keeps its
// pips where a die has them.
#include "RenderTestUtil.h"

#include "box/FaceGeometry.h"
#include "model/BoxFile.h"
#include "sheet/SheetRenderer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>

namespace {

const QString SampleFolder = QStringLiteral(FALTARILLON_TEST_DATA "/../../samples");

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(Samples, EachOpensRendersAndResavesUnchanged) {
    const QStringList names = QDir(SampleFolder).entryList({QStringLiteral("*.box")}, QDir::Files, QDir::Name);
    EXPECT_EQ(names, (QStringList{"Box mit Bildhintergrund.box", "Geschenkbox.box", "Kartenschachtel.box",
                                  "Seifenschachtel.box", "Spielkartenschachtel.box", "Spielwürfel.box", "Teebeutelschachtel.box",
                                  "Teeschachtel.box"}));
    QTemporaryDir dir;
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = QDir(SampleFolder).filePath(name);
        BoxDocument doc;
        RecordingPrompter prompter;
        ASSERT_TRUE(OpenItNow(doc, path, prompter));
        EXPECT_TRUE(prompter.messages.empty());
        EXPECT_TRUE(doc.Objects.anyObjects());
        if (doc.BackgroundMode != bgNone) EXPECT_FALSE(doc.BackgroundPicture.isEmpty());

        const QImage sheet = renderSheetImage(doc, 100, 60, QSize(700, 500));
        ASSERT_FALSE(sheet.isNull());
        // More than the net: the design covers a good part of the item.
        const QRect item(0, 0, 685, 484);
        int coloured = 0;
        for (int y = item.top(); y < item.bottom(); y += 2)
            for (int x = item.left(); x < item.right(); x += 2)
                if (rt::px(sheet, x, y) != rt::White && rt::px(sheet, x, y) != rt::Black) ++coloured;
        EXPECT_GT(coloured, 1000);

        const QString copy = dir.filePath(name);
        ASSERT_TRUE(Saveit(doc, copy, prompter));
        EXPECT_EQ(bytesOf(copy), bytesOf(path));
    }
}

TEST(Samples, DieHasItsPipsOnTheRightFaces) {
    BoxDocument doc;
    RecordingPrompter prompter;
    ASSERT_TRUE(OpenItNow(doc, QDir(SampleFolder).filePath(QStringLiteral("Spielwürfel.box")), prompter));
    // Faces on the item in mm: the side faces in a row one edge down, the
    // floor below the third, the lid halves above the second and fourth.
    const double e = 205.0 * 14 / 15 / 3;
    struct Face { const char* name; QRectF mm; int pips = 0; };
    Face faces[] = {{"Vorne", {0, e, e, e}},        {"Rechts", {e, e, e, e}},
                    {"Hinten", {2 * e, e, e, e}},   {"Links", {3 * e, e, e, e}},
                    {"Boden", {2 * e, 2 * e, e, e}}, {"Deckel rechts", {e, e / 2, e, e / 2}},
                    {"Deckel links", {3 * e, e / 2, e, e / 2}}};
    const double unitsPerMm = 20000 / 25.39995;
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& o = doc.Objects[slot];
        if (o.Kind != Figure) continue;
        ASSERT_EQ(o.Shape, shCircle);
        const QRectF r((o.Left - doc.ExtentWidth / 3) / unitsPerMm, (o.Top - doc.ExtentHeight / 3) / unitsPerMm,
                       o.Width / unitsPerMm, o.Height / unitsPerMm);
        int inside = 0;
        for (Face& f : faces)
            if (f.mm.adjusted(1, 1, -1, -1).contains(r)) {   // wholly on the face, clear of its folds
                ++f.pips;
                ++inside;
            }
        EXPECT_EQ(inside, 1) << "a pip off every face at " << r.x() << "," << r.y();
    }
    EXPECT_EQ(faces[0].pips + faces[2].pips, 7);   // Vorne + Hinten
    EXPECT_EQ(faces[1].pips + faces[3].pips, 7);   // Rechts + Links
    EXPECT_EQ(faces[4].pips + faces[5].pips + faces[6].pips, 7);   // Boden + Deckel
    EXPECT_EQ(faces[5].pips, faces[6].pips);       // the lid's six split over both halves
    std::set<int> values;
    for (int i = 0; i < 5; ++i) values.insert(faces[i].pips);
    values.insert(faces[5].pips + faces[6].pips);
    EXPECT_EQ(values, (std::set<int>{1, 2, 3, 4, 5, 6}));
}

// The tuck-end samples are the boxes they say, and every text on them reads
// upright on the folded box: turned as the face it stands on asks, every
// face but the flaps carrying some.
TEST(Samples, TuckEndBoxesCarryUprightTextOnEveryFace) {
    struct Sample {
        const char* file;
        BoxForm form;
    };
    const Sample samples[] = {
        {"Spielkartenschachtel.box", BoxForm::ofStyle(BoxStyle::SteckGegenlaeufig, 66, 22, 91, 0.3, true)},
        {"Teebeutelschachtel.box", BoxForm::ofStyle(BoxStyle::SteckGleichlaeufig, 80, 40, 120, 0.3, true)},
        {"Seifenschachtel.box", BoxForm::ofStyle(BoxStyle::Automatikboden, 95, 35, 65, 0.3, true)},
    };
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.file);
        BoxDocument doc;
        RecordingPrompter prompter;
        ASSERT_TRUE(OpenItNow(doc, QDir(SampleFolder).filePath(QString::fromUtf8(sample.file)), prompter));
        EXPECT_EQ(doc.Form, sample.form);
        const NetSource source = NetSource::of(doc, 100);
        std::set<int> facesWithText;
        for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
            const Tobs& o = doc.Objects[slot];
            if (o.Kind != Text) continue;
            const auto face = faceAt(doc, source, o.Left + o.Width / 2.0, o.Top + o.Height / 2.0);
            ASSERT_TRUE(face) << o.Content.toStdString();
            EXPECT_EQ(o.Rotation, face->uprightRotation) << o.Content.toStdString();
            facesWithText.insert(static_cast<int>(face->panel));
        }
        // Six faces; five where the bottom is made of flaps.
        EXPECT_EQ(facesWithText.size(), sample.form.style == BoxStyle::Automatikboden ? 5u : 6u);
    }
}
