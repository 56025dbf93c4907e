// A user's session in the real main window: tool buttons, the canvas, the
// property panel, the object menu and the keyboard.

#include "EditTestHelpers.h"

#include "app/EditorCanvas.h"
#include "app/SDIMain.h"
#include "edit/EditorController.h"
#include "edit/EditorToolBar.h"
#include "edit/KeyEdit.h"
#include "edit/PropertyPanel.h"
#include "widgets/SpinEdit.h"
#include "model/Prompter.h"
#include "render/Mapping.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QRadioButton>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cstdlib>

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

// The magnifier in the real scroll box with its scroll bars: the document
// point under the click ends up in the middle of what the user sees, the
// visible part between the bars, also when a step no longer changes the
// scale. The centre is the one of the visible part, not of the whole box
// with its bars, which would leave the point half a bar's width off.
TEST_F(WindowFlowTest, MagnifierCentresTheClickedPointBetweenTheScrollBars) {
    window->resize(1000, 760);
    QCoreApplication::processEvents();
    auto* box = window->findChild<QScrollArea*>(QStringLiteral("ScrollBox1"));
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->widget(), canvas);
    clickTool(EditorTool::Zoom);

    // Canvas pixel of the document point that canvas pixel p showed at divisor
    // `before`, now at the current divisor.
    auto follow = [&](QPoint p, double before) {
        const long double z = doc().Zoom;
        const long long dx = static_cast<long long>(p.x() * static_cast<long double>(before) / z);
        const long long dy = static_cast<long long>(p.y() * static_cast<long double>(before) / z);
        return QPoint(static_cast<int>(dx * z / doc().ScreenDivisor), static_cast<int>(dy * z / doc().ScreenDivisor));
    };
    auto visibleCentre = [&] {
        return canvas->scrollPosition() + QPoint(box->viewport()->width() / 2, box->viewport()->height() / 2);
    };
    // mayStop: the scroll range may end before the point reaches the middle.
    auto step = [&](QPoint click, Qt::MouseButton button, const char* what, bool mayStop = false) {
        SCOPED_TRACE(what);
        const double before = doc().ScreenDivisor;
        QTest::mouseClick(canvas, button, Qt::NoModifier, click);
        QCoreApplication::processEvents();
        // Real scroll bars on both sides, so the box is larger than what shows.
        ASSERT_TRUE(box->horizontalScrollBar()->isVisible());
        ASSERT_TRUE(box->verticalScrollBar()->isVisible());
        ASSERT_LT(box->viewport()->width(), box->width());
        ASSERT_LT(box->viewport()->height(), box->height());
        // In the middle, unless the scroll range ends first: then the view
        // stands at that end.
        const QPoint now = follow(click, before);
        const QPoint centre = visibleCentre();
        const QPoint half(box->viewport()->width() / 2, box->viewport()->height() / 2);
        const QScrollBar* bars[2] = {box->horizontalScrollBar(), box->verticalScrollBar()};
        const int at[2] = {now.x(), now.y()}, middle[2] = {centre.x(), centre.y()}, halves[2] = {half.x(), half.y()};
        for (int i = 0; i < 2; ++i) {
            const int wanted = at[i] - halves[i];
            if (mayStop && wanted < bars[i]->minimum() - 1) EXPECT_EQ(bars[i]->value(), bars[i]->minimum()) << i;
            else if (mayStop && wanted > bars[i]->maximum() + 1) EXPECT_EQ(bars[i]->value(), bars[i]->maximum()) << i;
            else EXPECT_LE(std::abs(at[i] - middle[i]), 1) << i << ": " << at[i] << " vs " << middle[i];
        }
    };

    // The point in the middle stays there, in and out.
    step(visibleCentre(), Qt::LeftButton, "in from the start");
    EXPECT_NEAR(doc().ScreenDivisor, 416 / 1.5, 1e-9);
    step(visibleCentre(), Qt::LeftButton, "in again");
    step(visibleCentre(), Qt::RightButton, "out");
    step(visibleCentre(), Qt::RightButton, "out to the start");
    EXPECT_NEAR(doc().ScreenDivisor, 416, 1e-9);
    step(visibleCentre(), Qt::RightButton, "out past the start");
    EXPECT_NEAR(doc().ScreenDivisor, 624, 1e-9);

    // An off-centre point comes to the middle.
    step(visibleCentre() + QPoint(150, -90), Qt::LeftButton, "in at an off-centre point");

    // At the inner bound the scale stays and the click still centres.
    while (doc().ScreenDivisor > 50) step(visibleCentre(), Qt::LeftButton, "towards the inner bound");
    const double innermost = doc().ScreenDivisor;
    EXPECT_LT(innermost, 50);
    step(visibleCentre() + QPoint(-200, 120), Qt::LeftButton, "at the inner bound");
    EXPECT_EQ(doc().ScreenDivisor, innermost);

    // Back out while the canvas is still larger than the view.
    while (doc().ScreenDivisor < 624 - 1) step(visibleCentre(), Qt::RightButton, "out again", true);
    EXPECT_NEAR(doc().ScreenDivisor, 624, 1e-6);

    // Further out the whole canvas fits: nothing to scroll, and a click at
    // the outer bound keeps scale and view.
    for (double divisor : {936.0, 1404.0, 1404.0}) {
        QTest::mouseClick(canvas, Qt::RightButton, Qt::NoModifier, QPoint(100, 80));
        QCoreApplication::processEvents();
        EXPECT_NEAR(doc().ScreenDivisor, divisor, 1e-6);
        EXPECT_EQ(canvas->scrollPosition(), QPoint(0, 0));
        EXPECT_FALSE(box->horizontalScrollBar()->isVisible());
    }

    // A point near the canvas's corner cannot come to the middle: the view
    // stops at the start of the scroll range.
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(100, 80));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(6, 4));
    QCoreApplication::processEvents();
    EXPECT_NEAR(doc().ScreenDivisor, 624, 1e-6);
    EXPECT_TRUE(box->horizontalScrollBar()->isVisible());
    EXPECT_EQ(canvas->scrollPosition(), QPoint(0, 0));
}

}  // namespace
