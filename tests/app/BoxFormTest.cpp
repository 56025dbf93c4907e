// "Boxform..." with real widgets: the dialog's live drawing and room line,
// its refusal of a net too large with the proportional offer, the one undo
// step that takes form, measures and the moved artwork, and the size
// display following the document. Expected measures come from the net table
// worked out here by hand, not from the program's own generator.
#include "AppTestSupport.h"

#include "app/EditorPage.h"
#include "app/FileCommands.h"
#include "app/MainMenu.h"
#include "dialogs/BoxFormForm.h"
#include "dialogs/NetPreview.h"
#include "edit/ObjectCommands.h"
#include "model/BoxFile.h"
#include "model/BoxSize.h"
#include "model/NewDocument.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <cmath>

namespace {

constexpr double UnitsPerMm = 20000.0 / 25.39995;

SheetLayout a4Item() {
    BoxDocument doc;
    initStartupDocument(doc, 96);
    newDocument(doc);
    return doc.Layout;
}

// The cube edge at 100 % on New's 205 mm item: a fifteenth off for the
// flaps, three faces high.
double cubeEdgeMm(double itemHeight = 205.0) { return (itemHeight - itemHeight / 15) / 3; }

QByteArray fileBytes(const BoxDocument& doc, const QString& path) {
    RecordingPrompter quiet;
    if (!Saveit(doc, path, quiet)) return QByteArray();
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A filled rectangle of w x h mm whose top-left corner lies at (x, y) mm
// from the item's corner.
int figureAtMm(BoxDocument& doc, double x, double y, double w, double h) {
    const int slot = doc.Objects.takeFreeSlot();
    Tobs& o = doc.Objects[slot];
    o.resetToDefaults();
    o.Kind = Figure;
    o.Shape = shRectangle;
    o.Color = 0x2040C0;
    o.FillModeOrShadowColor = fmFilled;
    o.KeepAspect = 1;
    o.FontName = QStringLiteral("Arial");
    o.FontSize = 10;
    o.FontHeight = -13;
    o.Left = doc.ExtentWidth / 3 + std::int32_t(x * UnitsPerMm);
    o.Top = doc.ExtentHeight / 3 + std::int32_t(y * UnitsPerMm);
    o.Width = std::int32_t(w * UnitsPerMm);
    o.Height = std::int32_t(h * UnitsPerMm);
    return slot;
}

// Fills the real dialog as a user would and presses OK.
std::function<int(TBoxFormForm&)> answerDialog(bool cuboid, double L = 0, double B = 0, double H = 0) {
    return [=](TBoxFormForm& form) {
        (cuboid ? form.QuaderRadio : form.WuerfelRadio)->click();
        if (cuboid) {
            form.LaengeEd->setValue(L);
            form.BreiteEd->setValue(B);
            form.HoeheEd->setValue(H);
        }
        form.OkBtn->click();
        return form.result();
    };
}

}  // namespace

TEST(BoxFormDialog, DrawsTheNetAndNamesTheRoomAsTheFormChanges) {
    RecordingPrompter prompter;
    TBoxFormForm form(a4Item(), 100, prompter);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Boxform"));
    EXPECT_EQ(form.WuerfelRadio->text().remove(QLatin1Char('&')), QStringLiteral("Würfel"));
    EXPECT_EQ(form.QuaderRadio->text().remove(QLatin1Char('&')), QStringLiteral("Quader"));
    form.setForm(BoxForm::cube());
    EXPECT_TRUE(form.WuerfelRadio->isChecked());
    for (QDoubleSpinBox* f : {form.LaengeEd, form.BreiteEd, form.HoeheEd}) {
        EXPECT_FALSE(f->isEnabled());
        EXPECT_DOUBLE_EQ(f->minimum(), 10.0);
        EXPECT_DOUBLE_EQ(f->maximum(), 400.0);
        EXPECT_DOUBLE_EQ(f->singleStep(), 0.1);
        EXPECT_EQ(f->suffix(), QStringLiteral(" mm"));
    }
    // The cube's net: 4e + e/7 by 3e + e/7.
    const double e = cubeEdgeMm();
    EXPECT_NEAR(form.Preview->net().size.width(), 4 * e + e / 7, 1e-6);
    EXPECT_NEAR(form.Preview->net().size.height(), 3 * e + e / 7, 1e-6);
    EXPECT_NEAR(form.Preview->net().outline.boundingRect().right(), 4 * e + e / 7, 1e-6);
    EXPECT_NEAR(form.Preview->net().outline.boundingRect().bottom(), 3 * e + e / 7, 1e-6);

    // The card box: 2L + 2B + 6 mm glue flap across, L + H + B + 6 mm down.
    form.QuaderRadio->click();
    for (QDoubleSpinBox* f : {form.LaengeEd, form.BreiteEd, form.HoeheEd}) EXPECT_TRUE(f->isEnabled());
    form.LaengeEd->setValue(64);
    form.BreiteEd->setValue(21);
    form.HoeheEd->setValue(89);
    EXPECT_EQ(form.LaengeEd->text(), QStringLiteral("64,0 mm"));
    EXPECT_EQ(form.RoomLabel->text(), QStringLiteral("Das Netz braucht 176,0 × 180,0 mm; die Box bietet 289,5 × 205,0 mm"));
    // The lid's tab stands 0,425 L above the row top, lower than t = L.
    const QRectF net = form.Preview->net().outline.boundingRect();
    EXPECT_NEAR(net.left(), 0, 1e-6);
    EXPECT_NEAR(net.right(), 176.0, 1e-6);
    EXPECT_NEAR(net.top(), 64 - 32 - 0.425 * 64, 1e-6);
    EXPECT_NEAR(net.bottom(), 180.0, 1e-6);
    EXPECT_TRUE(form.Preview->fits());
    // Folds: every edge of the box once, 4 (L + B + H).
    double folds = 0;
    for (const QLineF& l : form.Preview->net().folds) folds += l.length();
    EXPECT_NEAR(folds, 4 * (64 + 21 + 89), 1e-6);
    // A tenth of a millimetre is the step.
    form.HoeheEd->setValue(89.04);
    EXPECT_EQ(form.form(), BoxForm::cuboid(64, 21, 89));

    // Growing past the room shows at once.
    form.HoeheEd->setValue(150);
    EXPECT_FALSE(form.Preview->fits());
    EXPECT_TRUE(form.RoomLabel->text().startsWith(QStringLiteral("Das Netz braucht 176,0 × 241,0 mm;")));
    EXPECT_TRUE(form.RoomLabel->text().endsWith(QStringLiteral("die Box bietet 289,5 × 205,0 mm")));
}

TEST(BoxFormDialog, ChoosesTheStyleFromPicturesOfItsNetAndTheNotchWhereItHasOne) {
    RecordingPrompter prompter;
    TBoxFormForm form(a4Item(), 100, prompter);
    form.setForm(BoxForm::cuboid(66, 22, 91));
    // One picture per style with its name; no two pictures alike, each a
    // net drawn on white (its outline inked).
    const QStringList names{"Verschlussdeckel",           "Hülse",        "Steckschachtel gegenläufig",
                            "Steckschachtel gleichläufig", "Schnappboden", "Automatikboden"};
    ASSERT_EQ(form.StyleList->count(), names.size());
    // Eight styles in view, picture and name, without scrolling.
    form.show();
    const QRect view = form.StyleList->viewport()->rect();
    for (int i = 0; i < std::min(form.StyleList->count(), 8); ++i)
        EXPECT_TRUE(view.contains(form.StyleList->visualItemRect(form.StyleList->item(i)))) << names[i].toStdString();
    std::vector<QImage> pictures;
    for (int i = 0; i < form.StyleList->count(); ++i) {
        const QListWidgetItem* item = form.StyleList->item(i);
        EXPECT_EQ(item->text(), names[i]);
        const QImage picture = item->icon().pixmap(form.StyleList->iconSize()).toImage();
        int ink = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) ink += qGray(picture.pixel(x, y)) < 128 && qAlpha(picture.pixel(x, y)) > 0;
        EXPECT_GT(ink, 50) << names[i].toStdString();
        for (const QImage& other : pictures) EXPECT_NE(picture, other) << names[i].toStdString();
        pictures.push_back(picture);
    }
    // The notch is offered with the tuck-end boxes only, on by default; off,
    // the net keeps the half circle.
    EXPECT_TRUE(form.GriffmuldeCheck->isHidden());
    form.StyleList->setCurrentRow(2);
    EXPECT_FALSE(form.GriffmuldeCheck->isHidden());
    EXPECT_TRUE(form.GriffmuldeCheck->isChecked());
    EXPECT_EQ(form.form(), BoxForm::ofStyle(BoxStyle::SteckGegenlaeufig, 66, 22, 91, 0.3, true));
    auto area = [](const QPolygonF& p) {
        double s = 0;
        for (int i = 0; i < p.size(); ++i) s += p[i].x() * p[(i + 1) % p.size()].y() - p[(i + 1) % p.size()].x() * p[i].y();
        return std::abs(s) / 2;
    };
    const double withNotch = area(form.Preview->net().outline);
    form.GriffmuldeCheck->click();
    EXPECT_EQ(form.form(), BoxForm::ofStyle(BoxStyle::SteckGegenlaeufig, 66, 22, 91, 0.3, false));
    EXPECT_NEAR(area(form.Preview->net().outline) - withNotch, M_PI * 10 * 10 / 2, 0.5);
    form.StyleList->setCurrentRow(1);
    EXPECT_TRUE(form.GriffmuldeCheck->isHidden());
    // A form read back shows its own style and notch.
    form.setForm(BoxForm::ofStyle(BoxStyle::SteckGleichlaeufig, 80, 40, 120, 0.5, false));
    EXPECT_EQ(form.StyleList->currentItem()->text(), names[3]);
    EXPECT_FALSE(form.GriffmuldeCheck->isChecked());
    EXPECT_EQ(form.form(), BoxForm::ofStyle(BoxStyle::SteckGleichlaeufig, 80, 40, 120, 0.5, false));
}

TEST(BoxFormDialog, GreyedFieldsShowTheCubesEdgeAndTheCuboidsMeasuresWaitForIt) {
    RecordingPrompter prompter;
    for (int percent : {100, 50, 10}) {
        SCOPED_TRACE(percent);
        TBoxFormForm form(a4Item(), percent, prompter);
        form.setForm(BoxForm::cuboid(80, 50, 40));
        form.WuerfelRadio->click();
        const double edge = cubeEdgeMm() * percent / 100;
        for (QDoubleSpinBox* f : {form.LaengeEd, form.BreiteEd, form.HoeheEd}) {
            EXPECT_FALSE(f->isEnabled());
            EXPECT_NEAR(f->value(), edge, 0.05);
        }
        // The cube keeps the cuboid's measures for the way back.
        EXPECT_EQ(form.form().kind, FormKind::Wuerfel);
        EXPECT_EQ(form.form().L, 80);
        form.QuaderRadio->click();
        EXPECT_EQ(form.LaengeEd->value(), 80);
        EXPECT_EQ(form.BreiteEd->value(), 50);
        EXPECT_EQ(form.HoeheEd->value(), 40);
        EXPECT_DOUBLE_EQ(form.LaengeEd->minimum(), 10.0);
    }
}

TEST(BoxFormDialog, AMeasureOutOfRangeSaysTheRangeBesideTheField) {
    RecordingPrompter prompter;
    TBoxFormForm form(a4Item(), 100, prompter);
    form.setForm(BoxForm::cuboid(64, 21, 89));
    auto* range = form.findChild<QLabel*>(QStringLiteral("BreiteEdRange"));
    ASSERT_NE(range, nullptr);
    form.show();
    EXPECT_FALSE(range->isVisible());
    const struct {
        const char* typed;
        bool said;
        double value;   // once the field is left
    } cases[] = {{"5", true, 10}, {"30", false, 30}, {"4000", true, 400}, {"12,5", false, 12.5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        form.BreiteEd->selectAll();
        QTest::keyClick(form.BreiteEd, Qt::Key_Delete);
        QTest::keyClicks(form.BreiteEd, QString::fromUtf8(c.typed));
        EXPECT_EQ(range->isVisible(), c.said);
        form.BreiteEd->interpretText();
        EXPECT_DOUBLE_EQ(form.BreiteEd->value(), c.value);
        // Still there after the correction, so the change is not silent.
        EXPECT_EQ(range->isVisible(), c.said);
        EXPECT_EQ(range->text(), QStringLiteral("Erlaubt: 10 bis 400 mm"));
    }
    EXPECT_EQ(form.form(), BoxForm::cuboid(64, 12.5, 89));
}

TEST(BoxFormDialog, RefusesANetTooLargeAndOffersTheLargestInItsProportions) {
    RecordingPrompter prompter;
    TBoxFormForm form(a4Item(), 100, prompter);
    form.setForm(BoxForm::cuboid(100, 50, 150));
    // Height L + H + B + B/7 = 307,1 mm on a 205 mm item: OK stays refused.
    prompter.answers = {PromptAnswer::No};
    form.OkBtn->click();
    EXPECT_NE(form.result(), QDialog::Accepted);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].question);
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("Boxform"));
    // The height decides: 300 s + 6 = 205 gives s = 199/300, each measure
    // rounded down to 0,1 mm (66,33 / 33,17 / 99,5).
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("66,3 × 33,1 × 99,5 mm"))) << prompter.messages[0].text.toStdString();
    EXPECT_TRUE(prompter.messages[0].text.contains(
        QStringLiteral("Das Netz braucht 307,1 × 307,1 mm; die Box bietet 289,5 × 205,0 mm")))
        << prompter.messages[0].text.toStdString();
    EXPECT_EQ(form.form(), BoxForm::cuboid(100, 50, 150));   // "No" keeps what was typed

    // Taking the offer puts it into the fields; the dialog waits for OK.
    prompter.messages.clear();
    prompter.answers = {PromptAnswer::Yes};
    form.OkBtn->click();
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.form(), BoxForm::cuboid(66.3, 33.1, 99.5));
    EXPECT_TRUE(form.Preview->fits());
    prompter.messages.clear();
    form.OkBtn->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(prompter.messages.empty());

    // A tall, thin box at half its size would fall under 10 mm: no offer.
    TBoxFormForm thin(a4Item(), 100, prompter);
    thin.setForm(BoxForm::cuboid(10, 10, 400));
    thin.OkBtn->click();
    EXPECT_NE(thin.result(), QDialog::Accepted);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_FALSE(prompter.messages[0].question);
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Warning);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("Auf diesem Papier passt keine Box dieser Proportionen.")));
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("Neu mit Papierformat...")));
    EXPECT_EQ(thin.form(), BoxForm::cuboid(10, 10, 400));
}

TEST(BoxFormDialog, RefusesAnAutomaticBottomNarrowerThanDeepAndSaysWhy) {
    RecordingPrompter prompter;
    TBoxFormForm form(a4Item(), 100, prompter);
    form.setForm(BoxForm::ofStyle(BoxStyle::Automatikboden, 30, 40, 50, 0.3));
    ASSERT_EQ(form.form().style, BoxStyle::Automatikboden);
    form.OkBtn->click();
    EXPECT_NE(form.result(), QDialog::Accepted);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_FALSE(prompter.messages[0].question);
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Warning);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("Automatikboden braucht eine Länge von mindestens der Breite")))
        << prompter.messages[0].text.toStdString();
    // The snap-lock takes the same measures; so does the automatic bottom once L = B.
    for (const BoxForm& ok : {BoxForm::ofStyle(BoxStyle::Schnappboden, 30, 40, 50, 0.3),
                              BoxForm::ofStyle(BoxStyle::Automatikboden, 40, 40, 50, 0.3)}) {
        prompter.messages.clear();
        TBoxFormForm other(a4Item(), 100, prompter);
        other.setForm(ok);
        other.OkBtn->click();
        EXPECT_EQ(other.result(), QDialog::Accepted) << boxform::styleId(ok.style).toStdString();
        EXPECT_TRUE(prompter.messages.empty());
        EXPECT_EQ(other.form(), ok);
    }
}

TEST(BoxFormStep, MovesTheArtworkWithTheFacesAndUndoRedoRestoreTheFileByteForByte) {
    QTemporaryDir dir;
    StartedWindow w;
    BoxDocument& doc = w.doc();
    const double e = cubeEdgeMm();
    // Centred on Vorne, Hinten and Boden of the cube, and one beside the net.
    const int vorne = figureAtMm(doc, 0.3 * e, 1.3 * e, 0.4 * e, 0.4 * e);
    const int hinten = figureAtMm(doc, 2.3 * e, 1.3 * e, 0.4 * e, 0.4 * e);
    const int boden = figureAtMm(doc, 2.3 * e, 2.3 * e, 0.4 * e, 0.4 * e);
    const int beside = figureAtMm(doc, 270, 5, 10, 10);
    const Tobs before[] = {doc.Objects[vorne], doc.Objects[hinten], doc.Objects[boden], doc.Objects[beside]};
    const QByteArray cubeFile = fileBytes(doc, dir.filePath(QStringLiteral("a.box")));
    ASSERT_FALSE(cubeFile.isEmpty());

    w.window->runBoxFormDialog = answerDialog(true, 64, 21, 89);
    w.window->MainMenu1->Boxform1->trigger();
    ASSERT_EQ(doc.Form, BoxForm::cuboid(64, 21, 89));
    EXPECT_TRUE(w.prompter.messages.empty());

    // Each panel moves with the start of its hinge: Vorne with its top-left
    // corner (0, e) -> (0, t = 64), Hinten with (2e, e) -> (L + B, 64),
    // Boden with (2e, 2e) -> (L + B, 64 + H).
    auto expectMoved = [&](int slot, const Tobs& was, double dxMm, double dyMm) {
        SCOPED_TRACE(slot);
        EXPECT_NEAR(doc.Objects[slot].Left, was.Left + std::llround(dxMm * UnitsPerMm), 1);
        EXPECT_NEAR(doc.Objects[slot].Top, was.Top + std::llround(dyMm * UnitsPerMm), 1);
        EXPECT_EQ(doc.Objects[slot].Width, was.Width);
        EXPECT_EQ(doc.Objects[slot].Height, was.Height);
    };
    expectMoved(vorne, before[0], 0, 64 - e);
    expectMoved(hinten, before[1], 85 - 2 * e, 64 - e);
    expectMoved(boden, before[2], 85 - 2 * e, 153 - 2 * e);
    expectMoved(beside, before[3], 0, 0);

    // One step, named in the menu.
    EXPECT_EQ(w.window->objectCommands().history().count(), 1);
    EXPECT_EQ(w.window->MainMenu1->Rckgngig1->text(), QStringLiteral("&Rückgängig: Boxform"));
    const QByteArray cuboidFile = fileBytes(doc, dir.filePath(QStringLiteral("b.box")));
    EXPECT_GT(cuboidFile.size(), cubeFile.size());   // the extension with the form

    w.window->MainMenu1->Rckgngig1->trigger();
    EXPECT_FALSE(doc.Form.isCuboid());
    EXPECT_EQ(fileBytes(doc, dir.filePath(QStringLiteral("c.box"))), cubeFile);
    EXPECT_EQ(w.window->MainMenu1->Wiederholen1->text(), QStringLiteral("&Wiederholen: Boxform"));
    w.window->MainMenu1->Wiederholen1->trigger();
    EXPECT_EQ(doc.Form, BoxForm::cuboid(64, 21, 89));
    EXPECT_EQ(fileBytes(doc, dir.filePath(QStringLiteral("d.box"))), cuboidFile);

    // Cancel, or OK on the form the document has, leaves no step.
    w.window->runBoxFormDialog = [](TBoxFormForm& form) {
        form.CancelBtn->click();
        return form.result();
    };
    w.window->Boxform1Click();
    w.window->runBoxFormDialog = answerDialog(true, 64, 21, 89);
    w.window->Boxform1Click();
    EXPECT_EQ(w.window->objectCommands().history().count(), 1);
    EXPECT_EQ(fileBytes(doc, dir.filePath(QStringLiteral("e.box"))), cuboidFile);
}

TEST(BoxFormStep, TheSizeDisplayFollowsOpenTheDialogUndoAndNew) {
    QTemporaryDir dir;
    BoxDocument card;
    initStartupDocument(card, 96);
    newDocument(card);
    card.Form = BoxForm::cuboid(64, 21, 89);
    const QString cardPath = dir.filePath(QStringLiteral("karten.box"));
    ASSERT_FALSE(fileBytes(card, cardPath).isEmpty());

    StartedWindow w;
    EditorPage& page = *w.window->TabSheet3;
    auto* caption = page.SpeedBar2->findChild<QLabel*>(QStringLiteral("CubeSizeLabel"));
    ASSERT_NE(caption, nullptr);
    page.ProzED->setValue(50);
    const QString cubeAt50 = cubeEdgeText(50, 205.0);
    ASSERT_EQ(page.GrossEd->text(), cubeAt50);

    auto expectCuboid = [&](const QString& measures) {
        EXPECT_EQ(caption->text(), QStringLiteral("Maße der Box:"));
        EXPECT_EQ(page.GrossEd->text(), measures);
        EXPECT_FALSE(page.ProzED->isEnabled());
        EXPECT_EQ(page.ProzED->value(), 50);   // kept for the next cube
        // Nothing cut off: the text inside the field, the caption clear of it.
        EXPECT_LE(page.GrossEd->fontMetrics().horizontalAdvance(measures) + 8, page.GrossEd->width());
        EXPECT_LE(caption->x() + caption->fontMetrics().horizontalAdvance(caption->text()), page.GrossEd->x() - 3);
        EXPECT_GE(caption->x(), 0);
    };
    auto expectCube = [&] {
        EXPECT_EQ(caption->text(), QStringLiteral("Größe des Würfels:"));
        EXPECT_EQ(page.GrossEd->text(), cubeAt50);
        EXPECT_EQ(page.GrossEd->width(), 73);
        EXPECT_TRUE(page.ProzED->isEnabled());
    };

    ASSERT_TRUE(w.window->fileCommands().openFile(cardPath));
    expectCuboid(QStringLiteral("64,0 × 21,0 × 89,0 mm"));

    w.window->runBoxFormDialog = answerDialog(false);
    w.window->Boxform1Click();
    ASSERT_FALSE(w.doc().Form.isCuboid());
    expectCube();
    w.window->MainMenu1->Rckgngig1->trigger();
    expectCuboid(QStringLiteral("64,0 × 21,0 × 89,0 mm"));
    w.window->MainMenu1->Wiederholen1->trigger();
    expectCube();

    w.window->runBoxFormDialog = answerDialog(true, 70, 45, 110);
    w.window->Boxform1Click();
    // 70 x 45 x 110 needs 231,4 mm down: refused on A4, the offer declined.
    EXPECT_FALSE(w.doc().Form.isCuboid());
    ASSERT_EQ(w.prompter.messages.size(), 1u);
    expectCube();
    w.window->runBoxFormDialog = answerDialog(true, 70, 45, 80);
    w.window->Boxform1Click();
    expectCuboid(QStringLiteral("70,0 × 45,0 × 80,0 mm"));

    // New makes a cube again.
    w.prompter.answers = {PromptAnswer::No};
    w.window->Neu1Click();
    EXPECT_FALSE(w.doc().Form.isCuboid());
    expectCube();
}

TEST(BoxFormStep, AStyleChangeMovesEachFacesArtToTheFaceOfTheSameName) {
    StartedWindow w;
    BoxDocument& doc = w.doc();
    doc.Form = BoxForm::cuboid(64, 21, 89);
    // The card box's net: Hinten spans x 85..149 from y 64, the lid half
    // above Rechts x 64..85 above y 64.
    const int hinten = figureAtMm(doc, 110, 100, 10, 10);
    const int lid = figureAtMm(doc, 70, 50, 8, 8);
    const Tobs was[] = {doc.Objects[hinten], doc.Objects[lid]};

    w.window->runBoxFormDialog = [](TBoxFormForm& form) {
        // The lock-lid box knows no board; the sleeve starts with 0,3 mm.
        EXPECT_FALSE(form.DickeEd->isEnabled());
        form.StyleList->setCurrentRow(1);
        EXPECT_EQ(form.StyleList->currentItem()->text(), QStringLiteral("Hülse"));
        EXPECT_TRUE(form.DickeEd->isEnabled());
        EXPECT_FALSE(form.WuerfelRadio->isEnabled());
        EXPECT_EQ(form.DickeEd->text(), QStringLiteral("0,30 mm"));
        form.OkBtn->click();
        return form.result();
    };
    w.window->MainMenu1->Boxform1->trigger();
    ASSERT_EQ(doc.Form, BoxForm::ofStyle(BoxStyle::Huelse, 64, 21, 89, 0.3));
    // Hinten's hinge start moves from (85, 64) to (B + L + t + B + t, 0).
    EXPECT_NEAR(doc.Objects[hinten].Left, was[0].Left + std::llround((21 + 64.3 + 21.3 - 85) * UnitsPerMm), 1);
    EXPECT_NEAR(doc.Objects[hinten].Top, was[0].Top + std::llround(-64 * UnitsPerMm), 1);
    // The sleeve has no lid: what lay there stays.
    EXPECT_EQ(doc.Objects[lid].Left, was[1].Left);
    EXPECT_EQ(doc.Objects[lid].Top, was[1].Top);
    EXPECT_EQ(w.window->MainMenu1->Rckgngig1->text(), QStringLiteral("&Rückgängig: Boxform"));
    w.window->MainMenu1->Rckgngig1->trigger();
    EXPECT_EQ(doc.Form, BoxForm::cuboid(64, 21, 89));
    EXPECT_EQ(doc.Objects[hinten].Left, was[0].Left);
}

// A cuboid stored larger than its paper opens as it is (older versions
// wrote such files), and the status bar says once what will be cut off;
// one that fits opens without a word there.
TEST(BoxFormStep, OpeningABoxLargerThanItsPaperSaysSoInTheStatusBar) {
    QTemporaryDir dir;
    BoxDocument box;
    initStartupDocument(box, 96);
    newDocument(box);
    box.Form = BoxForm::cuboid(64, 21, 89);
    const QString fitting = dir.filePath(QStringLiteral("passt.box"));
    ASSERT_FALSE(fileBytes(box, fitting).isEmpty());
    box.Form = BoxForm::cuboid(400, 400, 400);
    const QString large = dir.filePath(QStringLiteral("gross.box"));
    ASSERT_FALSE(fileBytes(box, large).isEmpty());

    StartedWindow w;
    ASSERT_TRUE(w.window->fileCommands().openFile(large));
    EXPECT_EQ(w.doc().Form, BoxForm::cuboid(400, 400, 400));
    EXPECT_EQ(w.window->statusBar()->currentMessage(),
              QStringLiteral("Die Box passt nicht auf ihr Papier, ihr Netz wird abgeschnitten (Das Netz braucht "
                             "1657,1 × 1257,1 mm; die Box bietet 289,5 × 205,0 mm)."));
    EXPECT_TRUE(w.prompter.messages.empty());
    w.window->statusBar()->clearMessage();
    ASSERT_TRUE(w.window->fileCommands().openFile(fitting));
    EXPECT_TRUE(w.window->statusBar()->currentMessage().isEmpty());
}
