// Undo and redo through the real command paths: what makes one step, what
// a step brings back, and the revision counter that never goes back.

#include "EditTestHelpers.h"
#include "TestCanvas.h"

#include "edit/PropertyPanel.h"
#include "widgets/SpinEdit.h"
#include "render/Mapping.h"

#include <QLineEdit>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class HistoryTest : public ::testing::Test {
protected:
    TestCanvas c;
    DocumentHistory& history() { return c.editor.commands.history(); }
    ObjectCommands& commands() { return c.editor.commands; }
    void SetUp() override { c.show(); }
    QRect rectOf(int slot) {
        const Tobs& o = c.obj(slot);
        return QRect(o.Left, o.Top, o.Width, o.Height);
    }
};

}  // namespace

TEST_F(HistoryTest, DragWithFiftyMovesIsOneStepAndRevisionsOnlyGrow) {
    c.place(1, Figure, 100, 100, 80, 60);
    c.doc.CurrentObject = 1;
    const QRect start = rectOf(1);
    std::uint64_t revision = c.doc.Revision;
    QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, QPoint(130, 130));
    for (int i = 1; i <= 50; ++i) {
        QTest::mouseMove(&c, QPoint(130 + 3 * i, 130 + i));
        EXPECT_GT(c.doc.Revision, revision) << i;
        revision = c.doc.Revision;
    }
    QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(280, 180));
    const QRect moved = rectOf(1);
    ASSERT_NE(moved, start);
    EXPECT_EQ(history().count(), 1);
    EXPECT_EQ(history().undoName(), QStringLiteral("Verschieben"));

    c.doc.CurrentObject = 0;
    commands().undo();
    EXPECT_EQ(rectOf(1), start);
    EXPECT_EQ(c.doc.CurrentObject, 1);   // the step's object is current again
    EXPECT_GT(c.doc.Revision, revision);
    revision = c.doc.Revision;
    commands().redo();
    EXPECT_EQ(rectOf(1), moved);
    EXPECT_GT(c.doc.Revision, revision);

    // A second drag, by a handle, is a step of its own.
    const Mapping map = Mapping::screenFor(c.doc);
    const QPoint corner(map.DevLeft(c.obj(1)) + map.DevWidth(c.obj(1)), map.DevTop(c.obj(1)) + map.DevHeight(c.obj(1)));
    dragMouse(&c, corner, {corner + QPoint(5, 5), corner + QPoint(9, 7)}, corner + QPoint(10, 10));
    EXPECT_EQ(history().count(), 2);
    EXPECT_EQ(history().undoName(), QStringLiteral("Größe ändern"));
}

TEST_F(HistoryTest, DragBackToItsStartLeavesNoStep) {
    c.doc.ScreenDivisor = 1;
    c.canvas = QSize(100000, 100000);
    c.place(1, Figure, 100, 100, 80, 60);
    c.doc.CurrentObject = 1;
    dragMouse(&c, QPoint(130, 130), {QPoint(150, 140), QPoint(200, 170)}, QPoint(130, 130));
    EXPECT_EQ(history().count(), 0);
    EXPECT_FALSE(history().canUndo());
}

TEST_F(HistoryTest, UndoDuringADragWaitsForTheRelease) {
    c.place(1, Figure, 100, 100, 80, 60);
    c.doc.CurrentObject = 1;
    QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, QPoint(130, 130));
    QTest::mouseMove(&c, QPoint(170, 150));
    const QRect during = rectOf(1);
    c.controller().undo();
    EXPECT_EQ(rectOf(1), during);
    QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(170, 150));
    c.controller().undo();
    EXPECT_EQ(rectOf(1).topLeft(), QPoint(100 * 416, 100 * 416));
}

TEST_F(HistoryTest, SpinEditRunOnOneObjectMergesAndPanelBoundIsNoStep) {
    PropertyPanel panel(c, commands());
    c.onRepaint = [&] { panel.CheckAllPanelOptions(); };
    panel.show();
    // A new figure has pen width 0; after the panel showed a width of 5, it
    // shows the new one as 1 and stores that as its own doing.
    c.place(1, Figure, 100, 100, 50, 50);
    c.obj(1).LineWidthOrTransColor = 4;
    c.place(3, Figure, 200, 100, 50, 50);
    c.obj(3).LineWidthOrTransColor = 5;
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(220, 120));
    c.tool = EditorTool::Figure;
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(400, 300));
    ASSERT_EQ(c.doc.CurrentObject, 2);
    EXPECT_EQ(c.obj(2).LineWidthOrTransColor, 1);
    EXPECT_EQ(history().count(), 1);
    EXPECT_EQ(history().undoName(), QStringLiteral("Figur einfügen"));

    QLineEdit* edit = panel.LinieEd->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("12"));
    QTest::mouseClick(panel.LinieEd->findChild<QToolButton*>(QStringLiteral("up")), Qt::LeftButton);
    ASSERT_EQ(c.obj(2).LineWidthOrTransColor, 13);
    EXPECT_EQ(history().count(), 2);
    EXPECT_EQ(history().undoName(), QStringLiteral("Linienstärke"));

    // Another object's run is another step.
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(120, 120));
    ASSERT_EQ(c.doc.CurrentObject, 1);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("7"));
    EXPECT_EQ(history().count(), 3);

    commands().undo();
    EXPECT_EQ(c.obj(1).LineWidthOrTransColor, 4);
    commands().undo();
    EXPECT_EQ(c.obj(2).LineWidthOrTransColor, 1);   // the whole run at once
    EXPECT_EQ(c.doc.CurrentObject, 2);
    // Following the object after the undo changed nothing, so redo is still there.
    EXPECT_TRUE(history().canRedo());
    commands().redo();
    EXPECT_EQ(c.obj(2).LineWidthOrTransColor, 13);
}

TEST_F(HistoryTest, CommandsThatChangeNothingMakeNoStep) {
    c.place(1, Figure, 100, 100, 50, 50);
    c.doc.CurrentObject = 1;
    commands().setShape(shRectangle);
    commands().setFillMode(0);
    c.scripted.color = [](std::int32_t&) { return true; };   // confirmed unchanged
    commands().chooseColor();
    c.scripted.color = [](std::int32_t& col) {
        col = 0x123456;
        return false;   // cancelled
    };
    commands().chooseColor();
    EXPECT_EQ(history().count(), 0);
    commands().setShape(shCircle);
    EXPECT_EQ(history().count(), 1);
    EXPECT_EQ(history().undoName(), QStringLiteral("Form"));
}

TEST_F(HistoryTest, UndoOfDeletingAnImageBringsItsPictureBackWithoutTheFile) {
    Tobs& img = c.obj(c.place(3, Image, 100, 100, 40, 40));
    img.Content = QStringLiteral("/gibt/es/nicht.png");   // nothing to read it from
    QImage pic(5, 4, QImage::Format_RGB32);
    pic.fill(qRgb(10, 20, 30));
    img.Picture = DibHandle(pic, 24);
    const qint64 key = img.Picture.image().cacheKey();
    c.doc.CurrentObject = 3;
    c.prompts.answers = {PromptAnswer::Yes};
    c.controller().keyDown(Qt::Key_Delete);
    ASSERT_TRUE(c.obj(3).isFree());
    EXPECT_TRUE(c.obj(3).Picture.isEmpty());
    commands().undo();
    EXPECT_EQ(c.obj(3).Kind, Image);
    EXPECT_EQ(c.obj(3).Picture.image().cacheKey(), key);   // the very same picture
    EXPECT_EQ(c.doc.CurrentObject, 3);
    EXPECT_EQ(history().redoName(), QStringLiteral("Löschen"));
}

TEST_F(HistoryTest, FrontAndBackExchangesUndoAsAWhole) {
    c.place(1, Figure, 10, 10, 20, 20);
    c.place(2, Text, 50, 50, 20, 20);
    c.place(3, Image, 90, 90, 20, 20);
    c.doc.CurrentObject = 3;
    commands().sendToBack();
    ASSERT_EQ(c.obj(1).Kind, Image);
    commands().bringToFront();
    ASSERT_EQ(c.obj(10000).Kind, Image);
    commands().undo();
    commands().undo();
    EXPECT_EQ(c.obj(1).Kind, Figure);
    EXPECT_EQ(c.obj(2).Kind, Text);
    EXPECT_EQ(c.obj(3).Kind, Image);
    EXPECT_TRUE(c.obj(10000).isFree());
    EXPECT_EQ(c.doc.CurrentObject, 3);
}

TEST_F(HistoryTest, BackgroundDialogIsOneStepHoweverOftenItChangedTheDocument) {
    c.scripted.background = [this] {
        c.doc.BackgroundFile = QStringLiteral("/a.png");
        c.doc.BackgroundPicture = DibHandle(QImage(2, 2, QImage::Format_RGB32), 24);
        c.doc.BackgroundFile = QStringLiteral("/b.png");
        c.doc.BackgroundMode = bgTile;
    };
    commands().editBackground();
    EXPECT_EQ(history().count(), 1);
    EXPECT_EQ(history().undoName(), QStringLiteral("Hintergrundbild"));
    commands().undo();
    EXPECT_EQ(c.doc.BackgroundMode, bgNone);
    EXPECT_TRUE(c.doc.BackgroundFile.isEmpty());
    EXPECT_TRUE(c.doc.BackgroundPicture.isEmpty());
    commands().redo();
    EXPECT_EQ(c.doc.BackgroundMode, bgTile);
    EXPECT_EQ(c.doc.BackgroundFile, QStringLiteral("/b.png"));
    // Opened and closed without a change: no step.
    c.scripted.background = nullptr;
    commands().editBackground();
    EXPECT_EQ(history().count(), 1);
}

TEST_F(HistoryTest, NewStepAfterUndoDropsTheRedo) {
    c.place(1, Figure, 100, 100, 50, 50);
    c.doc.CurrentObject = 1;
    commands().setShape(shCircle);
    commands().undo();
    ASSERT_TRUE(history().canRedo());
    commands().setShape(shEllipse);
    EXPECT_FALSE(history().canRedo());
    EXPECT_EQ(c.obj(1).Shape, shEllipse);
}

TEST_F(HistoryTest, KeepsAtLeastTwoHundredStepsAndDropsTheOldestBeyondItsLimit) {
    c.place(1, Figure, 100, 100, 50, 50);
    c.doc.CurrentObject = 1;
    for (int i = 0; i < DocumentHistory::StepLimit + 5; ++i) commands().setShape(i % 2 ? shCircle : shEllipse);
    EXPECT_GE(DocumentHistory::StepLimit, 200);
    EXPECT_EQ(history().count(), DocumentHistory::StepLimit);
    int undone = 0;
    while (history().canUndo()) {
        commands().undo();
        ++undone;
    }
    EXPECT_EQ(undone, DocumentHistory::StepLimit);
}
