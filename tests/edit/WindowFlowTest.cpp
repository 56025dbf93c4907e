// A user's session in the real main window: tool buttons, the canvas, the
// property panel, the object menu and the keyboard.

#include "EditTestHelpers.h"

#include "app/EditorCanvas.h"
#include "app/SDIMain.h"
#include "edit/EditorController.h"
#include "edit/EditorToolBar.h"
#include "edit/KeyEdit.h"
#include "edit/PropertyPanel.h"
#include "edit/SpinEdit.h"
#include "model/Prompter.h"
#include "render/Mapping.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QRadioButton>
#include <QMenu>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class WindowFlowTest : public ::testing::Test {
protected:
    RecordingPrompter prompter;
    std::unique_ptr<TSDIAppForm> window;
    EditorCanvas* canvas = nullptr;
    QPoint origin;   // canvas point at the top-left of the visible part

    void SetUp() override {
        QCoreApplication::setApplicationName(QStringLiteral("Faltarillon-Designer 1.0"));
        window = std::make_unique<TSDIAppForm>(&prompter, false);
        window->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->startupDone(); }, 3000));
        canvas = window->PaintBox1;
        origin = canvas->scrollPosition();
    }
    void TearDown() override {
        prompter.answers = {PromptAnswer::No};
        window->close();
        window.reset();
    }
    BoxDocument& doc() { return window->document(); }
    void clickTool(EditorTool tool) { QTest::mouseClick(window->Toolbar->button(tool), Qt::LeftButton); }
    void clickCanvas(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseClick(canvas, b, Qt::NoModifier, origin + p);
    }
    KeyEdit* keyEdit() { return window->findChild<KeyEdit*>(QStringLiteral("KeyEdit")); }
};

TEST_F(WindowFlowTest, PlaceMoveResizeAndDeleteAFigure) {
    clickTool(EditorTool::Figure);
    EXPECT_EQ(window->Toolbar->currentTool(), EditorTool::Figure);
    clickCanvas(QPoint(100, 80));
    ASSERT_EQ(doc().CurrentObject, 1);
    Tobs& o = doc().Objects[1];
    const Mapping map = Mapping::screenFor(doc());
    EXPECT_EQ(map.DevLeft(o), origin.x() + 100);
    EXPECT_EQ(map.DevWidth(o), 50);
    EXPECT_EQ(window->Toolbar->currentTool(), EditorTool::Pointer);
    EXPECT_TRUE(window->Toolbar->button(EditorTool::Pointer)->isChecked());
    EXPECT_TRUE(window->Panel10->isPageShown(window->Panel10->FigurSheet));

    // Move by the inside: the design is rendered at the press and the
    // release only.
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, origin + QPoint(120, 100));
    const int renders = canvas->renderCount();
    QTest::mouseMove(canvas, origin + QPoint(150, 120));
    QTest::mouseMove(canvas, origin + QPoint(170, 130));
    EXPECT_EQ(canvas->renderCount(), renders);
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, origin + QPoint(170, 130));
    EXPECT_EQ(map.DevLeft(o), origin.x() + 150);
    EXPECT_EQ(map.DevTop(o), origin.y() + 110);
    EXPECT_GT(canvas->renderCount(), renders);

    // Resize by the bottom-right handle.
    const QPoint corner(map.DevLeft(o) + map.DevWidth(o), map.DevTop(o) + map.DevHeight(o));
    dragMouse(canvas, corner, {corner + QPoint(40, 20)}, corner + QPoint(40, 20));
    EXPECT_EQ(map.DevWidth(o), 90);
    EXPECT_EQ(map.DevHeight(o), 70);

    // Delete key in the box size field: no question, nothing deleted.
    QSpinBox* percent = window->findChild<QSpinBox*>(QStringLiteral("ProzED"));
    ASSERT_NE(percent, nullptr);
    QTest::keyClick(percent, Qt::Key_Delete);
    EXPECT_TRUE(prompter.messages.empty());

    // The canvas's keyboard: No keeps the object, Yes deletes it.
    ASSERT_NE(keyEdit(), nullptr);
    prompter.answers = {PromptAnswer::No};
    QTest::keyClick(keyEdit(), Qt::Key_Delete);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Wollen Sie das Element löschen?"));
    EXPECT_EQ(o.Kind, Figure);
    prompter.answers = {PromptAnswer::Yes};
    QTest::keyClick(keyEdit(), Qt::Key_Delete);
    EXPECT_EQ(o.Kind, KindFree);
    EXPECT_EQ(doc().CurrentObject, 0);
    EXPECT_FALSE(window->Panel10->isPageShown(window->Panel10->AllgemeinSheet));
}

TEST_F(WindowFlowTest, ObjectMenuAndPanelChangeTheObject) {
    clickTool(EditorTool::Figure);
    clickCanvas(QPoint(100, 80));
    clickTool(EditorTool::Figure);
    clickCanvas(QPoint(300, 80));
    ASSERT_EQ(doc().CurrentObject, 2);

    // Right click on the first figure, "Nach vorne" from its menu.
    bool menuSeen = false;
    QTimer::singleShot(50, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        menuSeen = true;
        menu->findChild<QAction*>(QStringLiteral("Nachvorne1"))->trigger();
        menu->close();
    });
    clickCanvas(QPoint(110, 90), Qt::RightButton);
    EXPECT_TRUE(menuSeen);
    EXPECT_EQ(doc().CurrentObject, 10000);
    EXPECT_EQ(doc().Objects[1].Kind, KindFree);

    // The panel's shape and pen width.
    PropertyPanel* panel = window->Panel10;
    QTest::mouseClick(panel->RadioButtons[0], Qt::LeftButton, Qt::NoModifier, QPoint(6, 8));
    EXPECT_EQ(doc().Objects[10000].Shape, shCircle);
    panel->LinieEd->lineEdit()->selectAll();
    QTest::keyClicks(panel->LinieEd->lineEdit(), QStringLiteral("7"));
    EXPECT_EQ(doc().Objects[10000].LineWidthOrTransColor, 7);

    // Up steps to the next used slot, wrapping to slot 2.
    QTest::keyClick(keyEdit(), Qt::Key_Up);
    EXPECT_EQ(doc().CurrentObject, 2);
}

TEST_F(WindowFlowTest, MagnifierZoomsAboutTheClickAndHandScrolls) {
    const double before = doc().ScreenDivisor;
    clickTool(EditorTool::Zoom);
    clickCanvas(QPoint(200, 150));
    EXPECT_NEAR(doc().ScreenDivisor, before / 1.5, 1e-9);
    EXPECT_EQ(canvas->size(), QSize(static_cast<int>(doc().ExtentWidth * doc().Zoom / doc().ScreenDivisor),
                                    static_cast<int>(doc().ExtentHeight * doc().Zoom / doc().ScreenDivisor)));
    EXPECT_EQ(window->Toolbar->currentTool(), EditorTool::Zoom);

    clickTool(EditorTool::Hand);
    const QPoint start = canvas->scrollPosition();
    ASSERT_GT(start.x(), 40);
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, start + QPoint(300, 200));
    QTest::mouseMove(canvas, start + QPoint(330, 200));
    // The canvas moved with the scroll: the pointer's canvas point moved too.
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, start + QPoint(300, 200));
    EXPECT_EQ(canvas->scrollPosition(), start - QPoint(30, 0));
}

}  // namespace
