// The page "3D-Ansicht" with real mouse and key events, and the editor's
// face labels.

#include "AppTestSupport.h"
#include "WriteFaults.h"

#include "app/EditorCanvas.h"
#include "app/EditorPage.h"
#include "app/FoldPage.h"
#include "app/FoldView.h"
#include "app/FileCommands.h"
#include "app/MainMenu.h"
#include "edit/EditorController.h"
#include "sheet/SheetRenderer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImageReader>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWheelEvent>

namespace {

struct ShownPage {
    StartedWindow w;
    FoldPage* page;
    FoldView* view;
    ShownPage() : page(w.window->TabSheet4), view(w.window->TabSheet4->View) {}
    void show() {
        w.window->PageControl1->setCurrentWidget(page);
        const int before = view->frames();
        EXPECT_TRUE(QTest::qWaitFor([&] { return view->frames() > before; }, 3000));
    }
    // Lets pending paints run.
    void settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
        QTest::qWait(30);
    }
};

void wheel(QWidget* w, int delta) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent ev(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &ev);
}

// A figure placed through the editor: the figure tool and a click.
void addFigureInEditor(StartedWindow& w, QPoint at) {
    w.window->PaintBox1->setCurrentTool(EditorTool::Figure);
    QTest::mouseClick(w.window->PaintBox1, Qt::LeftButton, Qt::NoModifier, at);
}

}  // namespace

TEST(FoldPage, NothingIsRenderedWhileHiddenAndChangesShowWhenShown) {
    ShownPage s;
    const BoxDocument& doc = s.w.doc();
    addFigureInEditor(s.w, QPoint(700, 500));
    ASSERT_GT(doc.Objects[1].Kind, 0);
    s.settle();
    EXPECT_EQ(s.view->frames(), 0);
    EXPECT_EQ(s.view->textures().renderCount(), 0);

    s.show();
    EXPECT_EQ(s.view->textures().renderCount(), 1);
    EXPECT_EQ(s.view->textures().revision(), doc.Revision);
    // Turning and folding reuse the pictures.
    QTest::keyClick(s.page->FaltungSlider, Qt::Key_Home);
    s.settle();
    EXPECT_EQ(s.view->textures().renderCount(), 1);

    // Back in the editor a second figure: still nothing made for the hidden page.
    s.w.window->PageControl1->setCurrentWidget(s.w.window->TabSheet3);
    const std::uint64_t before = doc.Revision;
    addFigureInEditor(s.w, QPoint(760, 520));
    EXPECT_GT(doc.Revision, before);
    s.settle();
    EXPECT_EQ(s.view->textures().renderCount(), 1);
    s.show();
    EXPECT_EQ(s.view->textures().renderCount(), 2);
    EXPECT_EQ(s.view->textures().revision(), doc.Revision);

    // The box size is part of what the pictures show.
    s.w.window->PageControl1->setCurrentWidget(s.w.window->TabSheet3);
    s.w.window->TabSheet3->ProzED->setValue(50);
    s.show();
    EXPECT_EQ(s.view->textures().renderCount(), 3);
    EXPECT_EQ(s.view->textures().percent(), 50);
}

TEST(FoldPage, SliderDragWheelAndDoubleClickChangeTheView) {
    ShownPage s;
    s.show();
    const QImage closed = s.view->grab().toImage();
    EXPECT_DOUBLE_EQ(s.view->fold(), 1.0);

    QTest::keyClick(s.page->FaltungSlider, Qt::Key_PageDown);
    EXPECT_EQ(s.page->FaltungSlider->value(), 90);
    EXPECT_DOUBLE_EQ(s.view->fold(), 0.9);
    QTest::keyClick(s.page->FaltungSlider, Qt::Key_Home);
    EXPECT_DOUBLE_EQ(s.view->fold(), 0.0);
    s.settle();
    EXPECT_NE(s.view->grab().toImage(), closed);

    const ViewCamera start = s.view->camera();
    const QPoint mid(s.view->width() / 2, s.view->height() / 2);
    QTest::mousePress(s.view, Qt::LeftButton, Qt::NoModifier, mid);
    QTest::mouseMove(s.view, mid + QPoint(40, 20));
    QTest::mouseRelease(s.view, Qt::LeftButton, Qt::NoModifier, mid + QPoint(40, 20));
    EXPECT_NE(s.view->camera().yaw, start.yaw);
    EXPECT_NE(s.view->camera().pitch, start.pitch);
    const QImage turned = s.view->grab().toImage();

    wheel(s.view, 240);
    EXPECT_GT(s.view->camera().zoom, start.zoom);
    EXPECT_NE(s.view->grab().toImage(), turned);
    wheel(s.view, -480);
    EXPECT_LT(s.view->camera().zoom, start.zoom);

    QTest::mouseDClick(s.view, Qt::LeftButton, Qt::NoModifier, mid);
    EXPECT_EQ(s.view->camera().yaw, ViewCamera::StartYaw);
    EXPECT_EQ(s.view->camera().pitch, ViewCamera::StartPitch);
    EXPECT_EQ(s.view->camera().zoom, 1.0);

    // Labels add the face names to the picture.
    const QImage plain = s.view->grab().toImage();
    QTest::mouseClick(s.page->LabelsCheck, Qt::LeftButton);
    EXPECT_TRUE(s.view->labels());
    EXPECT_NE(s.view->grab().toImage(), plain);
}

TEST(FoldPage, FoldButtonPlaysToClosedAndBack) {
    ShownPage s;
    s.show();
    EXPECT_EQ(s.page->FaltenBtn->text(), QStringLiteral("Ent&falten"));   // closed at the start
    QTest::keyClick(s.page->FaltungSlider, Qt::Key_Home);
    EXPECT_EQ(s.page->FaltenBtn->text(), QStringLiteral("&Falten"));
    const int frames = s.view->frames();
    QTest::mouseClick(s.page->FaltenBtn, Qt::LeftButton);
    EXPECT_TRUE(s.page->animating());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !s.page->animating(); }, 6000));
    EXPECT_DOUBLE_EQ(s.view->fold(), 1.0);
    EXPECT_EQ(s.page->FaltungSlider->value(), 100);
    EXPECT_GT(s.view->frames(), frames + 5);
    EXPECT_EQ(s.page->FaltenBtn->text(), QStringLiteral("Ent&falten"));
    // At 100 % the button folds the box open again.
    QTest::mouseClick(s.page->FaltenBtn, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !s.page->animating(); }, 6000));
    EXPECT_DOUBLE_EQ(s.view->fold(), 0.0);
    EXPECT_EQ(s.page->FaltenBtn->text(), QStringLiteral("&Falten"));
    EXPECT_EQ(s.view->textures().renderCount(), 1);
}

TEST(FoldPage, EveryOtherDesignIsShownFromTheStartView) {
    ShownPage s;
    const QString samples = QStringLiteral(FALTARILLON_TEST_DATA "/../../samples/");
    FileCommands& files = s.w.window->fileCommands();
    const ViewCamera start = s.view->camera();
    // Each way to another design, one after the other; every one follows a
    // turned view of the design before.
    const std::vector<std::pair<const char*, std::function<bool()>>> ways = {
        {"Beispiel", [&] { return files.openSample(samples + QStringLiteral("Spielwürfel.box")); }},
        {"Öffnen", [&] { return files.openFile(samples + QStringLiteral("Geschenkbox.box")); }},
        {"Neu", [&] { s.w.window->Neu1Click(); return true; }},
    };
    ASSERT_TRUE(files.openSample(samples + QStringLiteral("Geschenkbox.box")));
    for (const auto& [name, open] : ways) {
        SCOPED_TRACE(name);
        s.show();
        ViewCamera turned = start;
        turned.yaw += 40;
        s.view->setCamera(turned);
        s.settle();
        const int renders = s.view->textures().renderCount();
        s.w.window->PageControl1->setCurrentWidget(s.w.window->TabSheet3);
        s.w.prompter.answers = {PromptAnswer::No};
        ASSERT_TRUE(open());
        s.show();
        EXPECT_EQ(s.view->textures().renderCount(), renders + 1);
        EXPECT_EQ(s.view->textures().revision(), s.w.doc().Revision);
        EXPECT_EQ(s.view->camera().yaw, start.yaw);
        s.w.window->PageControl1->setCurrentWidget(s.w.window->TabSheet3);
    }
}

TEST(FoldPage, SavesTheViewAsPngOrJpegAtTheChosenSize) {
    BoxDocument doc;
    doc.Layout.applyNewDocumentLayout();
    doc.updateExtentFromLayout();
    RecordingPrompter prompter;
    QSize offered;
    FoldPage page(doc, prompter, [] { return 100; }, [&](QSize& size) {
        offered = size;
        size = QSize(320, 200);
        return true;
    });
    QTemporaryDir dir;
    prompter.savePaths = {dir.filePath("box.png"), dir.filePath("box.jpg"), dir.filePath("ohne")};
    page.SaveBtnClick();
    EXPECT_EQ(offered, QSize(1600, 1200));
    page.SaveBtnClick();
    page.SaveBtnClick();
    for (const char* name : {"box.png", "box.jpg", "ohne.png"}) {
        QImageReader reader(dir.filePath(name));
        EXPECT_EQ(reader.size(), QSize(320, 200)) << name;
    }
    EXPECT_EQ(QImageReader(dir.filePath("box.jpg")).format(), "jpeg");
    EXPECT_TRUE(prompter.messages.empty());
    // A folder that cannot be written to: a message, no crash.
    prompter.savePaths = {dir.filePath("fehlt/box.png")};
    EXPECT_FALSE(page.SaveBtnClick());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("Fehler"));
    EXPECT_EQ(prompter.messages[0].path, dir.filePath("fehlt/box.png"));
    EXPECT_EQ(prompter.messages[0].reason, QStringLiteral("Ordner nicht gefunden"));
}

// A full disk (here: a file size limit) keeps the old picture, leaves no
// temporary file and reports the failure with its reason.
TEST(FoldPage, APictureThatCannotBeWrittenKeepsTheOldFile) {
    RUN_IN_CHILD_PROCESS();
    BoxDocument doc;
    doc.Layout.applyNewDocumentLayout();
    doc.updateExtentFromLayout();
    RecordingPrompter prompter;
    FoldPage page(doc, prompter, [] { return 100; }, [](QSize& size) {
        size = QSize(320, 200);
        return true;
    });
    QTemporaryDir dir;
    for (const char* name : {"alt.png", "alt.jpg"}) {
        const QString path = dir.filePath(name);
        ASSERT_TRUE(writefaults::writeAll(path, QByteArray(100, 'p')));
        prompter.messages.clear();
        prompter.savePaths = {path};
        bool saved;
        {
            const writefaults::FileSizeLimit limit(1000);
            saved = page.SaveBtnClick();
        }
        EXPECT_FALSE(saved) << name;
        ASSERT_EQ(prompter.messages.size(), 1u) << name;
        EXPECT_EQ(prompter.messages[0].reason, QStringLiteral("Datei zu groß")) << name;
        EXPECT_EQ(writefaults::readAll(path), QByteArray(100, 'p')) << name;
    }
    EXPECT_EQ(writefaults::entriesOf(dir.path()), (QStringList{"alt.jpg", "alt.png"}));
}

namespace {
// Also notes the folder and name each save dialog offered.
struct OfferingPrompter : RecordingPrompter {
    std::vector<std::pair<QString, QString>> offered;
    QString savePath(const QString& caption, const QString& folder, const QString& filter,
                     const QString& name) override {
        offered.emplace_back(folder, name);
        return RecordingPrompter::savePath(caption, folder, filter, name);
    }
};
}  // namespace

TEST(FoldPage, OffersTheBoxNameWith3DInTheFolderUsedLastAndSaysWhereThePictureWent) {
    BoxDocument doc;
    doc.Layout.applyNewDocumentLayout();
    doc.updateExtentFromLayout();
    OfferingPrompter prompter;
    FoldPage page(doc, prompter, [] { return 100; }, [](QSize& size) {
        size = QSize(64, 48);
        return true;
    });
    QSignalSpy status(&page, &FoldPage::statusReported);
    QTemporaryDir dir;
    const QString boxes = dir.filePath(QStringLiteral("Boxen")), pictures = dir.filePath(QStringLiteral("Bilder"));
    ASSERT_TRUE(QDir().mkpath(boxes) && QDir().mkpath(pictures));
    using Offer = std::pair<QString, QString>;

    // The first picture: beside the box file, under its name.
    doc.FileName = boxes + QStringLiteral("/Spielwürfel.box");
    prompter.savePaths = {pictures + QStringLiteral("/erstes.png")};
    page.SaveBtnClick();
    ASSERT_EQ(prompter.offered.size(), 1u);
    EXPECT_EQ(prompter.offered[0], Offer(boxes, QStringLiteral("Spielwürfel-3D.png")));
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.at(0).at(0).toString(), QStringLiteral("Bild gespeichert: ") + pictures + QStringLiteral("/erstes.png"));
    EXPECT_TRUE(QFileInfo::exists(pictures + QStringLiteral("/erstes.png")));

    // Then the folder used last, also for another box and for an unnamed one;
    // a cancelled dialog says nothing.
    doc.FileName = boxes + QStringLiteral("/Zweite Box.box");
    page.SaveBtnClick();
    doc.FileName.clear();
    page.SaveBtnClick();
    ASSERT_EQ(prompter.offered.size(), 3u);
    EXPECT_EQ(prompter.offered[1], Offer(pictures, QStringLiteral("Zweite Box-3D.png")));
    EXPECT_EQ(prompter.offered[2], Offer(pictures, QStringLiteral("Faltarillon-3D.png")));
    EXPECT_EQ(status.count(), 1);

    // A save that failed is no folder used; one that is gone no longer offered.
    prompter.savePaths = {dir.filePath(QStringLiteral("fehlt/x.png"))};
    page.SaveBtnClick();
    EXPECT_EQ(status.count(), 1);
    EXPECT_EQ(prompter.messages.size(), 1u);
    page.SaveBtnClick();
    ASSERT_EQ(prompter.offered.size(), 5u);
    EXPECT_EQ(prompter.offered[4].first, pictures);
    ASSERT_TRUE(QDir(pictures).removeRecursively());
    doc.FileName = boxes + QStringLiteral("/Spielwürfel.box");
    page.SaveBtnClick();
    EXPECT_EQ(prompter.offered.back(), Offer(boxes, QStringLiteral("Spielwürfel-3D.png")));
    doc.FileName.clear();
    page.SaveBtnClick();
    EXPECT_EQ(prompter.offered.back().first, QDir::homePath());
}

TEST(FoldPage, WhereThePictureWentShowsOnTheStatusBar) {
    StartedWindow w;
    const QString text = QStringLiteral("Bild gespeichert: /tmp/Spielwürfel-3D.png");
    emit w.window->TabSheet4->statusReported(text);
    EXPECT_EQ(w.window->statusBar()->currentMessage(), text);
}

TEST(EditorNetLabels, MenuItemDrawsNamesOnTheCanvasButNotInPrint) {
    StartedWindow w;
    QAction* item = w.window->MainMenu1->NetzBeschriften1;
    ASSERT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked());
    EditorCanvas* c = w.window->PaintBox1;
    c->ensureRendered();
    const QImage plain = c->paintBuffer().copy();
    const QImage printedPlain = renderSheetImage(w.doc(), 100, 100, QSize(1200, 900));
    item->trigger();
    EXPECT_TRUE(c->netLabels());
    const QImage labelled = c->paintBuffer().copy();
    EXPECT_NE(labelled, plain);
    // Blue ink is added (translucent, over the white paper).
    int blue = 0;
    for (int y = 0; y < labelled.height(); ++y)
        for (int x = 0; x < labelled.width(); ++x) {
            const QColor p = labelled.pixelColor(x, y);
            if (p.blue() > 150 && p.red() < p.blue() - 60) ++blue;
        }
    EXPECT_GT(blue, 200);
    EXPECT_EQ(renderSheetImage(w.doc(), 100, 100, QSize(1200, 900)), printedPlain);
    // Off again, the canvas is as it was.
    item->trigger();
    EXPECT_EQ(c->paintBuffer(), plain);
}
