// The editing dialogs as a user works them: typing, clicking their buttons,
// picking files.

#include "EditTestHelpers.h"

#include "dialogs/BMPOpenFUnit.h"
#include "dialogs/EffektFUnit.h"
#include "dialogs/TranspFUnit.h"
#include "dialogs/bkgndunit.h"
#include "dialogs/txtFunit.h"
#include "widgets/SpinEdit.h"
#include "model/SubProgPath.h"
#include "edit/WidgetEditorDialogs.h"
#include "edit/FontChooserDialog.h"
#include "model/BoxDocument.h"
#include "model/FolderMemory.h"
#include "model/Prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// Runs `step` once the next modal dialog's event loop is running.
void whenModal(std::function<void()> step) { QTimer::singleShot(0, std::move(step)); }

class DialogsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    BoxDocument doc;
    RecordingPrompter prompts;
    int editorRepaints = 0;
    std::unique_ptr<QWidget> parent = std::make_unique<QWidget>();
    std::unique_ptr<WidgetEditorDialogs> dialogs;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        doc.ProgramFolder = dir.path() + QLatin1Char('/');
        dialogs = std::make_unique<WidgetEditorDialogs>(doc, prompts, [this] { ++editorRepaints; },
                                                        [] { return 96; }, parent.get());
    }
    QString makeImage(const QString& relative, int w, int h, QColor color = Qt::red) {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(color);
        EXPECT_TRUE(img.save(path, "BMP"));
        return path;
    }
};

TEST_F(DialogsTest, TextEntryShowsLinesAndJoinsTypedOnes) {
    TTxtForm* form = dialogs->txtForm();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Text eingeben..."));
    EXPECT_EQ(form->size(), QSize(417, 240));

    QStringList lines{QStringLiteral("A"), QString(), QStringLiteral("B")};
    whenModal([form] {
        EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("A\n\nB\n"));
        EXPECT_EQ(form->focusWidget(), form->Memo1);
        form->Memo1->clear();
        QTest::keyClicks(form->Memo1, QStringLiteral("x"));
        QTest::keyClick(form->Memo1, Qt::Key_Return);
        QTest::keyClick(form->Memo1, Qt::Key_Return);
        QTest::keyClicks(form->Memo1, QStringLiteral("y"));
        QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
    });
    ASSERT_TRUE(dialogs->editText(lines));
    EXPECT_EQ(lines, (QStringList{QStringLiteral("x"), QString(), QStringLiteral("y")}));

    whenModal([form] {
        form->Memo1->clear();
        QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
    });
    ASSERT_TRUE(dialogs->editText(lines));
    EXPECT_TRUE(lines.isEmpty());

    lines = {QStringLiteral("keep")};
    whenModal([form] {
        QTest::keyClicks(form->Memo1, QStringLiteral("zzz"));
        QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
    });
    EXPECT_FALSE(dialogs->editText(lines));
    EXPECT_EQ(lines, QStringList{QStringLiteral("keep")});
}

TEST_F(DialogsTest, TextEntryKeepsLineFeedsInsideALine) {
    TTxtForm form;
    form.setLines({QStringLiteral("a\nb"), QStringLiteral("c")});
    EXPECT_EQ(form.lines(), (QStringList{QStringLiteral("a\nb"), QStringLiteral("c")}));
    form.setLines({QString()});
    EXPECT_EQ(form.lines(), QStringList{QString()});
}

TEST_F(DialogsTest, EffectsCancelAfterColourChangeKeepsValuesAndOkTakesNegativeDistances) {
    TEffektForm* form = dialogs->effektForm();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Effekte"));
    form->ColorDialog1 = [](std::int32_t& color) {
        color = 0x0000FF;
        return true;
    };
    TextEffectValues v;
    v.OutlineColor = 0x111111;
    v.ShadowColor = 0x222222;
    whenModal([form] {
        QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
        EXPECT_EQ(form->UmrColor, 0x0000FF);
        QTest::mouseClick(form->BitBtn4, Qt::LeftButton);
    });
    EXPECT_FALSE(dialogs->editTextEffects(v));
    EXPECT_EQ(v.OutlineColor, 0x111111);

    whenModal([form] {
        EXPECT_EQ(form->UmrColor, 0x111111);   // the opener set it again
        QTest::mouseClick(form->SchattCheck, Qt::LeftButton);
        QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
        form->SchattED1->lineEdit()->selectAll();
        QTest::keyClicks(form->SchattED1->lineEdit(), QStringLiteral("-3"));
        QTest::mouseClick(form->BitBtn3, Qt::LeftButton);
    });
    ASSERT_TRUE(dialogs->editTextEffects(v));
    EXPECT_TRUE(v.Shadow);
    EXPECT_EQ(v.ShadowColor, 0x0000FF);
    EXPECT_EQ(v.OutlineColor, 0x111111);
    EXPECT_EQ(v.ShadowDx, -3);
    EXPECT_EQ(v.ShadowDy, 5);
}

TEST_F(DialogsTest, TransparencyColourStaysWhenItsColourDialogIsCancelled) {
    TTransForm* form = dialogs->transForm();
    EXPECT_EQ(form->AutoCheck->text(), QStringLiteral("Benutze Farbe des linken unteren Pixels"));
    form->ColorDialog1 = [](std::int32_t&) { return false; };
    TransparencyValues v;
    v.Color = 0x00FF00;
    whenModal([form] {
        QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
        QTest::mouseClick(form->TransCheck, Qt::LeftButton);
        QTest::mouseClick(form->BitBtn3, Qt::LeftButton);
    });
    ASSERT_TRUE(dialogs->editTransparency(v));
    EXPECT_TRUE(v.Transparent);
    EXPECT_FALSE(v.AutoColor);
    EXPECT_EQ(v.Color, 0x00FF00);

    form->ColorDialog1 = [](std::int32_t& c) {
        c = 0x123456;
        return true;
    };
    whenModal([form] {
        QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
        QTest::keyClick(form, Qt::Key_Escape);
    });
    EXPECT_FALSE(dialogs->editTransparency(v));
    EXPECT_EQ(v.Color, 0x00FF00);
}

// ---------------------------------------------------------------- chooser

class ChooserTest : public DialogsTest {
protected:
    TBMPOpenForm* chooser() { return dialogs->bmpOpenForm(); }
    // Waits until the list shows the folder's entries.
    QModelIndex itemNamed(const QString& name) {
        TBMPOpenForm* f = chooser();
        QModelIndex found;
        (void)QTest::qWaitFor([&] {
            const QModelIndex root = f->JamShellList1->rootIndex();
            for (int r = 0; r < f->ShellModel->rowCount(root); ++r) {
                const QModelIndex i = f->ShellModel->index(r, 0, root);
                if (f->ShellModel->fileName(i) == name) {
                    found = i;
                    return true;
                }
            }
            return false;
        }, 5000);
        return found;
    }
    void clickItem(const QString& name, bool twice) {
        const QModelIndex i = itemNamed(name);
        ASSERT_TRUE(i.isValid()) << name.toStdString();
        QListView* list = chooser()->JamShellList1;
        list->scrollTo(i);
        const QPoint p = list->visualRect(i).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, p);
        if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, p);
    }
};

TEST_F(ChooserTest, FileInProgramFolderComesBackAsBareNameOthersWithFullPath) {
    makeImage(QStringLiteral("top.bmp"), 40, 20);
    const QString nested = makeImage(QStringLiteral("sub/inner.bmp"), 20, 40);
    QString chosen;
    whenModal([this] {
        EXPECT_EQ(chooser()->windowTitle(), QStringLiteral("Bild öffnen"));
        clickItem(QStringLiteral("top.bmp"), true);
    });
    ASSERT_TRUE(dialogs->chooseImage(doc.ProgramFolder, QStringLiteral("Bitmaps|*.bmp|Alle|*"), chosen));
    EXPECT_EQ(chosen, QStringLiteral("top.bmp"));
    EXPECT_EQ(chooser()->PreviewBitmap().size(), QSize(40, 20));

    // Into the subfolder by double click, then the file by name and "Öffnen".
    whenModal([this] {
        EXPECT_TRUE(chooser()->FileNameEdit->text().isEmpty());
        clickItem(QStringLiteral("sub"), true);
        clickItem(QStringLiteral("inner.bmp"), false);
        EXPECT_EQ(chooser()->FileNameEdit->text(), QStringLiteral("inner.bmp"));
        EXPECT_EQ(chooser()->PreviewBitmap().size(), QSize(20, 40));
        QTest::mouseClick(chooser()->BitBtn1, Qt::LeftButton);
    });
    ASSERT_TRUE(dialogs->chooseImage(doc.ProgramFolder, QStringLiteral("Bitmaps|*.bmp|Alle|*"), chosen));
    EXPECT_EQ(chosen, nested);

    whenModal([this] {
        chooser()->SpeedButton1->click();   // parent folder
        EXPECT_EQ(chooser()->folderPath(), QFileInfo(dir.path()).absolutePath() + QLatin1Char('/'));
        QTest::mouseClick(chooser()->BitBtn2, Qt::LeftButton);
    });
    chosen = QStringLiteral("unchanged");
    EXPECT_FALSE(dialogs->chooseImage(doc.ProgramFolder, QStringLiteral("Bitmaps|*.bmp|Alle|*"), chosen));
    EXPECT_EQ(chosen, QStringLiteral("unchanged"));
}

TEST_F(ChooserTest, TypedFullPathsAreTakenAsTheyAreAndTheNextChoiceStartsWhereTheLastWas) {
    FolderMemory folders(false);
    chooser()->setFolderMemory(&folders);
    QTemporaryDir elsewhere;
    const QString filter = QStringLiteral("Alle|*");
    // Each round: the folder the chooser shows, what is typed, what comes back.
    const struct {
        QString shows, typed, chosen;
    } rounds[] = {
        {dir.path(), elsewhere.filePath("a.jpg"), elsewhere.filePath("a.jpg")},
        {elsewhere.path(), QStringLiteral("~/b.jpg"), QDir::homePath() + QStringLiteral("/b.jpg")},
        {QDir::homePath(), QStringLiteral("c.bmp"), QDir::homePath() + QStringLiteral("/c.bmp")},
    };
    for (const auto& r : rounds) {
        QString shown;
        whenModal([&] {
            shown = chooser()->folder();
            chooser()->FileNameEdit->setText(r.typed);
            QTest::mouseClick(chooser()->BitBtn1, Qt::LeftButton);
        });
        QString chosen;
        ASSERT_TRUE(dialogs->chooseImage(dir.path(), filter, chosen)) << r.typed.toStdString();
        EXPECT_EQ(shown, r.shows) << r.typed.toStdString();
        EXPECT_EQ(chosen, r.chosen);
    }
    // A folder typed is opened, not chosen.
    bool stillOpen = false;
    QString shown;
    whenModal([&] {
        chooser()->FileNameEdit->setText(elsewhere.path());
        QTest::mouseClick(chooser()->BitBtn1, Qt::LeftButton);
        stillOpen = chooser()->isVisible();
        shown = chooser()->folder();
        QTest::mouseClick(chooser()->BitBtn2, Qt::LeftButton);
    });
    QString chosen;
    EXPECT_FALSE(dialogs->chooseImage(dir.path(), filter, chosen));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(shown, elsewhere.path());
}

TEST_F(ChooserTest, FileTypeBoxTakesFirstMaskOnlyForANewFilterText) {
    TBMPOpenForm* f = chooser();
    f->setFilterText(QStringLiteral("Bitmaps|*.bmp;*.dib|Alle|*"));
    EXPECT_EQ(f->FilterComboBox1->count(), 2);
    EXPECT_EQ(f->mask(), QStringLiteral("*.bmp;*.dib"));
    f->FilterComboBox1->setCurrentIndex(1);
    emit f->FilterComboBox1->activated(1);
    EXPECT_EQ(f->mask(), QStringLiteral("*"));
    f->setFilterText(QStringLiteral("Bitmaps|*.bmp;*.dib|Alle|*"));
    EXPECT_EQ(f->mask(), QStringLiteral("*"));
    f->setFilterText(QStringLiteral("PCX|*.pcx"));
    EXPECT_EQ(f->mask(), QStringLiteral("*.pcx"));
}

TEST_F(ChooserTest, PreviewIsEmptyForUnreadableFilesAndWhenSwitchedOff) {
    TBMPOpenForm* f = chooser();
    QFile junk(dir.filePath(QStringLiteral("junk.bmp")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not an image at all");
    junk.close();
    makeImage(QStringLiteral("wide.bmp"), 200, 50, Qt::blue);
    f->setFolder(doc.ProgramFolder);
    f->OpenFileNow(QStringLiteral("junk.bmp"));
    EXPECT_TRUE(f->PreviewBitmap().isNull());
    EXPECT_TRUE(prompts.messages.empty());

    f->resize(641, 421);
    f->show();
    f->OpenFileNow(QStringLiteral("wide.bmp"));
    ASSERT_EQ(f->PreviewBitmap().size(), QSize(200, 50));
    QImage shot = f->PaintBox1->grab().toImage();
    const int pw = shot.width(), ph = shot.height();
    ASSERT_GT(pw, 40);
    const int height = pw * 50 / 200;
    ASSERT_LT(height, ph);
    EXPECT_EQ(QColor(shot.pixel(pw / 2, height / 2)), QColor(Qt::blue));
    EXPECT_EQ(QColor(shot.pixel(pw / 2, height + 2)), QColor(0xAB, 0xAB, 0xAB));

    QTest::mouseClick(f->VSchauCheck, Qt::LeftButton);
    EXPECT_FALSE(f->VSchauCheck->isChecked());
    f->OpenFileNow(QStringLiteral("wide.bmp"));
    EXPECT_TRUE(f->PreviewBitmap().isNull());
    shot = f->PaintBox1->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(pw / 2, 2)), QColor(0xAB, 0xAB, 0xAB));
    f->hide();
}

TEST(SubProgPathTest, ShortensOnlyFilesDirectlyInTheProgramFolder) {
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    EXPECT_EQ(SubProgPath(folder + QStringLiteral("Bild.BMP"), folder), QStringLiteral("Bild.BMP"));
    EXPECT_EQ(SubProgPath(folder + QStringLiteral("sub/a.bmp"), folder), folder + QStringLiteral("sub/a.bmp"));
    EXPECT_EQ(SubProgPath(QStringLiteral("/elsewhere/a.bmp"), folder), QStringLiteral("/elsewhere/a.bmp"));
    EXPECT_EQ(SubProgPath(folder + QStringLiteral("x\\y.bmp"), folder), folder + QStringLiteral("x\\y.bmp"));
    // A folder that differs only in letter case is another folder here
    // unless both names reach the same file.
    const QString upper = folder.toUpper();
    if (upper != folder && !QFileInfo::exists(upper))
        EXPECT_EQ(SubProgPath(upper + QStringLiteral("a.bmp"), folder), upper + QStringLiteral("a.bmp"));
}

// ---------------------------------------------------------------- background

class BackgroundTest : public DialogsTest {
protected:
    // The chooser starts beside the open design: the pictures lie there.
    void SetUp() override {
        DialogsTest::SetUp();
        doc.FileName = dir.filePath(QStringLiteral("Entwurf.box"));
    }
    Tbkgndform* form() { return dialogs->bkgndform(); }
    // Answers the image chooser with a typed file name and "Öffnen".
    void chooseByName(const QString& name) {
        whenModal([this, name] {
            TBMPOpenForm* c = dialogs->bmpOpenForm();
            c->FileNameEdit->setText(name);
            QTest::mouseClick(c->BitBtn1, Qt::LeftButton);
        });
        QTest::mouseClick(form()->OpenBtn, Qt::LeftButton);
    }
};

TEST_F(BackgroundTest, OpenedPictureReachesDocumentAtOnceAndModeOnClose) {
    makeImage(QStringLiteral("bg.bmp"), 300, 100, Qt::green);
    form()->show();
    EXPECT_EQ(form()->windowTitle(), QStringLiteral("Hintergrundbild auswählen"));
    chooseByName(QStringLiteral("bg.bmp"));
    EXPECT_EQ(doc.BackgroundFile, QStringLiteral("bg.bmp"));
    EXPECT_EQ(doc.BackgroundPicture.DibWidth(), 300);
    EXPECT_EQ(doc.BackgroundMode, bgNone);
    // No placement picked: closing with a picture gives "fit".
    QTest::mouseClick(form()->OkBitBtn1, Qt::LeftButton);
    EXPECT_EQ(doc.BackgroundMode, bgFit);
    EXPECT_EQ(editorRepaints, 1);

    form()->show();
    EXPECT_TRUE(form()->RadioButton1->isChecked());
    QTest::mouseClick(form()->RadioButton4, Qt::LeftButton);
    form()->close();
    EXPECT_EQ(doc.BackgroundMode, bgTile);
}

TEST_F(BackgroundTest, UnloadableFileKeepsThePreviousPictureWithItsFileName) {
    makeImage(QStringLiteral("bg.bmp"), 30, 10);
    form()->show();
    chooseByName(QStringLiteral("bg.bmp"));
    chooseByName(QStringLiteral("missing.bmp"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Konnte Bild (missing.bmp) nicht Laden."));
    EXPECT_EQ(prompts.messages[0].icon, PromptIcon::Error);
    EXPECT_EQ(doc.BackgroundPicture.DibWidth(), 30);
    // The picture still shown is saved under its own name, not lost.
    EXPECT_EQ(doc.BackgroundFile, QStringLiteral("bg.bmp"));
    EXPECT_EQ(form()->workingFile(), QStringLiteral("bg.bmp"));
    form()->accept();
    EXPECT_EQ(doc.BackgroundMode, bgFit);
    EXPECT_EQ(doc.BackgroundFile, QStringLiteral("bg.bmp"));

    // Without a previous picture a failed load leaves no background.
    doc.clearall();
    form()->show();
    chooseByName(QStringLiteral("missing.bmp"));
    EXPECT_TRUE(doc.BackgroundPicture.isEmpty());
    EXPECT_TRUE(doc.BackgroundFile.isEmpty());
    form()->accept();
    EXPECT_EQ(doc.BackgroundMode, bgNone);
}

TEST_F(BackgroundTest, NoneThenBackGivesNoBackgroundWhateverIsChecked) {
    makeImage(QStringLiteral("bg.bmp"), 30, 10);
    form()->show();
    chooseByName(QStringLiteral("bg.bmp"));
    QTest::mouseClick(form()->RadioButton3, Qt::LeftButton);
    QTest::mouseClick(form()->NoBkGndBtn, Qt::LeftButton);
    EXPECT_TRUE(doc.BackgroundPicture.isEmpty());
    EXPECT_TRUE(doc.BackgroundFile.isEmpty());
    QTest::mouseClick(form()->OkBitBtn1, Qt::LeftButton);
    EXPECT_EQ(doc.BackgroundMode, bgNone);
}

TEST_F(BackgroundTest, UnconfirmedPlacementFallsBackWhenTheChooserCloses) {
    makeImage(QStringLiteral("bg.bmp"), 30, 10);
    doc.BackgroundMode = bgCenterSmaller;
    form()->show();
    EXPECT_TRUE(form()->RadioButton2->isChecked());
    QTest::mouseClick(form()->RadioButton4, Qt::LeftButton);
    whenModal([this] { QTest::mouseClick(dialogs->bmpOpenForm()->BitBtn2, Qt::LeftButton); });
    QTest::mouseClick(form()->OpenBtn, Qt::LeftButton);
    EXPECT_TRUE(form()->RadioButton2->isChecked());
    form()->reject();
    EXPECT_EQ(doc.BackgroundMode, bgNone);   // no picture at all
}

TEST_F(BackgroundTest, PreviewCentresTheScaledPicture) {
    makeImage(QStringLiteral("wide.bmp"), 400, 100, Qt::blue);
    form()->show();
    chooseByName(QStringLiteral("wide.bmp"));
    QWidget* box = form()->PaintBox1;
    const QImage shot = box->grab().toImage();
    const int pw = shot.width(), ph = shot.height();
    const int dh = 100 * pw / 400;
    ASSERT_LT(dh, ph);
    const int y = (ph - dh) / 2;
    EXPECT_EQ(QColor(shot.pixel(pw / 2, y + dh / 2)), QColor(Qt::blue));
    EXPECT_NE(QColor(shot.pixel(pw / 2, y - 2)), QColor(Qt::blue));
    EXPECT_NE(QColor(shot.pixel(pw / 2, y + dh + 2)), QColor(Qt::blue));
    form()->accept();
}

}  // namespace

namespace {

TEST_F(DialogsTest, ChooserShortensAgainstTheProgramFolderSetLater) {
    BoxDocument late;
    RecordingPrompter p;
    QWidget host;
    WidgetEditorDialogs d(late, p, [] {}, [] { return 96; }, &host);   // folder not known yet
    late.ProgramFolder = doc.ProgramFolder;
    makeImage(QStringLiteral("late.bmp"), 10, 10);
    QString chosen;
    whenModal([&d] {
        d.bmpOpenForm()->FileNameEdit->setText(QStringLiteral("late.bmp"));
        QTest::mouseClick(d.bmpOpenForm()->BitBtn1, Qt::LeftButton);
    });
    ASSERT_TRUE(d.chooseImage(late.ProgramFolder, QStringLiteral("Alle|*"), chosen));
    EXPECT_EQ(chosen, QStringLiteral("late.bmp"));
}

TEST(FontChooserTest, KeepsFaceStyleSizeAndColour) {
    FontChooserDialog dialog;
    DialogFont in;
    in.Name = QFontDatabase::families().contains(QStringLiteral("Liberation Sans")) ? QStringLiteral("Liberation Sans")
                                                                                    : QStringLiteral("DejaVu Sans");
    in.setSize(14, 96);
    in.Style = fsBold | fsUnderline;
    in.Color = 0x00AA00;
    dialog.setDialogFont(in, 96);
    const DialogFont out = dialog.dialogFont(96);
    EXPECT_EQ(out.Name, in.Name);
    EXPECT_EQ(out.Size, 14);
    EXPECT_EQ(out.Height, -19);
    EXPECT_EQ(out.Style, fsBold | fsUnderline);
    EXPECT_EQ(out.Color, 0x00AA00);
}

TEST(FontChooserTest, AFaceTheSystemLacksIsShownAsItsStandInAndKeptOnOk) {
    FontChooserDialog dialog;
    DialogFont in;   // "Times New Roman", as every new object and many box files have it
    in.setSize(12, 96);
    ASSERT_EQ(in.Name, QStringLiteral("Times New Roman"));
    const QString standIn = QFontInfo(QFont(in.Name)).family();
    dialog.setDialogFont(in, 96);
    EXPECT_EQ(dialog.FontPart->currentFont().family(), standIn);
    DialogFont out = dialog.dialogFont(96);
    EXPECT_EQ(out.Name, QStringLiteral("Times New Roman"));
    EXPECT_EQ(out.Size, 12);

    // Another face picked in the dialog replaces the name.
    const QStringList families = QFontDatabase::families();
    QString other;
    for (const QString& f : families)
        if (f != standIn && QFontDatabase::isScalable(f)) {
            other = f;
            break;
        }
    ASSERT_FALSE(other.isEmpty());
    QFont f(other);
    f.setPointSize(12);
    dialog.FontPart->setCurrentFont(f);
    out = dialog.dialogFont(96);
    EXPECT_EQ(out.Name, dialog.FontPart->currentFont().family());
    EXPECT_NE(out.Name, QStringLiteral("Times New Roman"));
}

namespace {
bool sameFont(const DialogFont& a, const DialogFont& b) {
    return a.Name == b.Name && a.Height == b.Height && a.Size == b.Size && a.Color == b.Color && a.Pitch == b.Pitch &&
           a.Style == b.Style;
}
std::string describe(const DialogFont& f) {
    return QStringLiteral("%1 Stil %2 Größe %3 Höhe %4").arg(f.Name).arg(f.Style).arg(f.Size).arg(f.Height).toStdString();
}
}  // namespace

// The fonts the install script brings, each face of them, and faces this
// system lacks: the dialog preselects the text's own style, and OK without a
// change gives the text's font back unchanged.
TEST_F(DialogsTest, FontDialogShowsTheTextsOwnStyleAndOkWithoutAChangeKeepsIt) {
    FontChooserDialog* form = dialogs->fontDialog();
    auto okUnchanged = [&](DialogFont font, const std::string& where) {
        const DialogFont before = font;
        whenModal([form] {
            QTest::mouseClick(form->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        ASSERT_TRUE(dialogs->chooseFont(font)) << where;
        EXPECT_TRUE(sameFont(font, before)) << where << ": " << describe(before) << " wurde " << describe(font);
    };
    const QStringList installed = {"DejaVu Sans", "DejaVu Sans Mono", "DejaVu Serif", "Liberation Sans",
                                   "Liberation Sans Narrow", "Liberation Serif", "Liberation Mono"};
    int faces = 0;
    for (const QString& family : installed) {
        ASSERT_TRUE(QFontDatabase::hasFamily(family)) << family.toStdString() << " not installed";
        for (const QString& style : QFontDatabase::styles(family)) {
            const QFont face = QFontDatabase::font(family, style, 12);
            const std::uint8_t bits = (face.bold() ? 1 : 0) | (face.style() != QFont::StyleNormal ? 2 : 0);
            const std::string where = (family + QLatin1Char(' ') + style).toStdString();
            for (const std::uint8_t effects : {0, 4 | 8}) {
                DialogFont font;
                font.Name = family;
                font.setSize(effects ? 17 : 12, 96);
                font.Style = bits | effects;
                font.Color = 0x123456;
                form->setDialogFont(font, 96);
                const QFont shown = form->FontPart->currentFont();
                EXPECT_EQ(shown.family(), family) << where;
                EXPECT_EQ(shown.bold(), (bits & 1) != 0) << where << " shown as " << shown.styleName().toStdString();
                EXPECT_EQ(shown.style() != QFont::StyleNormal, (bits & 2) != 0)
                    << where << " shown as " << shown.styleName().toStdString();
                EXPECT_EQ(shown.underline(), effects != 0) << where;
                okUnchanged(font, where);
            }
            ++faces;
        }
    }
    EXPECT_GE(faces, 7 * 2);
    // The upright face of a family is its plain one, not a light or narrow one.
    for (const QString& family : {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")}) {
        DialogFont font;
        font.Name = family;
        font.Style = 0;
        form->setDialogFont(font, 96);
        const QFont shown = form->FontPart->currentFont();
        EXPECT_EQ(shown.weight(), QFont::Normal) << family.toStdString() << " shown as " << shown.styleName().toStdString();
        EXPECT_FALSE(shown.styleName().contains(QStringLiteral("Condensed"))) << shown.styleName().toStdString();
    }
    // Faces this system does not have, every combination of bold, italic,
    // underline and strike-out, and a height that is not the size at this
    // resolution.
    for (const QString& missing : {QStringLiteral("Times New Roman"), QStringLiteral("Gibt Es Nicht Grotesk")}) {
        ASSERT_FALSE(QFontDatabase::hasFamily(missing) && missing.startsWith(QStringLiteral("Gibt")));
        for (std::uint8_t bits = 0; bits < 16; ++bits) {
            DialogFont font;
            font.Name = missing;
            font.Size = 14;
            font.Height = -20;
            font.Style = bits;
            okUnchanged(font, missing.toStdString() + " Stil " + std::to_string(bits));
        }
    }
}

TEST_F(DialogsTest, FontDialogEndsAsAWholeOnEscapeInItsFieldsAndShowsItsFontPartAgain) {
    FontChooserDialog* form = dialogs->fontDialog();
    DialogFont font;
    font.setSize(12, 96);
    bool stillOpen = false;
    whenModal([form, &stillOpen] {
        ASSERT_TRUE(form->isVisible());
        QWidget* field = form->FontPart->focusWidget() ? form->FontPart->focusWidget() : form->FontPart;
        QTest::keyClick(field, Qt::Key_Escape);
        // Should the window stay open, note it and close it, so the test
        // fails instead of waiting forever.
        QTimer::singleShot(100, form, [form, &stillOpen] {
            stillOpen = form->isVisible();
            if (stillOpen) form->reject();
        });
    });
    EXPECT_FALSE(dialogs->chooseFont(font));
    EXPECT_FALSE(stillOpen);

    bool partShown = false;
    whenModal([form, &partShown] {
        partShown = form->FontPart->isVisible();
        QTest::mouseClick(form->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    EXPECT_TRUE(dialogs->chooseFont(font));
    EXPECT_TRUE(partShown);
    EXPECT_EQ(font.Name, QStringLiteral("Times New Roman"));
}

}  // namespace

// The preview as the shown window holds it: the picture keeps its whole
// height although the preview lies below the dialog's button band.
TEST_F(BackgroundTest, PreviewInTheShownWindowShowsTheWholePicture) {
    makeImage(QStringLiteral("hoch.bmp"), 60, 240, Qt::red);
    form()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form()));
    chooseByName(QStringLiteral("hoch.bmp"));
    QWidget* box = form()->PaintBox1;
    ASSERT_GT(box->mapTo(form(), QPoint()).y(), 0);
    const int pw = box->width(), ph = box->height();
    QTest::qWait(50);
    const QImage window = form()->screen()->grabWindow(form()->winId()).toImage();
    ASSERT_FALSE(window.isNull());
    const QRect inWindow(box->mapTo(form(), QPoint()), box->size());
    const QImage shown = window.copy(inWindow);
    QRect red;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (QColor(shown.pixel(x, y)) == QColor(Qt::red)) red |= QRect(x, y, 1, 1);
    // Fitted into the preview: full height, width in proportion.
    const long long destHeight = std::min<long long>(240LL * pw / 60, ph);
    const long long destWidth = destHeight == ph ? 60LL * ph / 240 : pw;
    EXPECT_EQ(red.height(), destHeight);
    EXPECT_EQ(red.width(), destWidth);
    form()->hide();
}

namespace {
int pixelsOf(const QImage& img, QColor c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (QColor(img.pixel(x, y)) == c) ++n;
    return n;
}
}  // namespace

// The chosen colour shows in the dialog as the user sees it.
TEST(FontChooserTest, TheChosenColourIsShownInTheWindow) {
    FontChooserDialog dialog;
    DialogFont in;
    in.Name = QStringLiteral("DejaVu Sans");
    in.setSize(12, 96);
    in.Color = 0x349A12;   // 0x00BBGGRR
    dialog.setDialogFont(in, 96);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::qWait(50);
    QImage shot = dialog.screen()->grabWindow(dialog.winId()).toImage();
    EXPECT_GE(pixelsOf(shot, QColor(0x12, 0x9A, 0x34)), 200);

    in.Color = 0xC00050;
    dialog.setDialogFont(in, 96);
    QTest::qWait(50);
    shot = dialog.screen()->grabWindow(dialog.winId()).toImage();
    EXPECT_EQ(pixelsOf(shot, QColor(0x12, 0x9A, 0x34)), 0);
    EXPECT_GE(pixelsOf(shot, QColor(0x50, 0x00, 0xC0)), 200);
    dialog.hide();
}
