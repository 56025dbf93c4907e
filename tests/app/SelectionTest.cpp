// Several objects at once in the real window, driven by real mouse and key
// events: Shift+click, the rubber band after a zoom step, Esc and select
// all, a group clicked by a member, a locked object under a drag, moving a
// selection with snapping, and the Anordnen commands with their results in
// document units and their undo restoring the file.
#include "AppTestSupport.h"

#include "app/EditorCanvas.h"
#include "app/MainMenu.h"
#include "box/FaceGeometry.h"
#include "box/FoldingModel.h"
#include "box/NetSource.h"
#include "box/SnapTargets.h"
#include "edit/ArrangeMenu.h"
#include "edit/ClipboardCommands.h"
#include "edit/EditorController.h"
#include "edit/ObjectCommands.h"
#include "model/BoxFileWriter.h"
#include "render/Mapping.h"

#include <QAction>
#include <QMenu>

#include <cmath>

namespace {

void drag(QWidget* canvas, QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier, int steps = 5) {
    QTest::mousePress(canvas, Qt::LeftButton, mods, from);
    for (int i = 1; i <= steps; ++i)
        QTest::mouseEvent(QTest::MouseMove, canvas, Qt::NoButton, mods, from + (to - from) * i / steps);
    QTest::mouseRelease(canvas, Qt::LeftButton, mods, to);
}

struct Scene {
    StartedWindow w;
    EditorCanvas* c = nullptr;
    QPoint origin;   // a canvas point well inside the view

    explicit Scene(bool zoomed = false) {
        c = w.window->PaintBox1;
        if (zoomed) {
            const QPoint mid = c->scrollPosition() + QPoint(c->visibleSize().width() / 2, c->visibleSize().height() / 2);
            w.window->editorController().zoomStep(mid.x(), mid.y(), true);
        }
        origin = c->scrollPosition() + QPoint(60, 60);
    }
    BoxDocument& doc() { return w.doc(); }
    Tobs& obj(int slot) { return doc().Objects[slot]; }
    Mapping map() { return Mapping::screenFor(doc()); }
    int place(int dx, int dy, int width = 40, int height = 30) {
        const int slot = placeFigure(doc(), origin.x() + dx, origin.y() + dy, width, height);
        c->PaintBox1Paint();
        return slot;
    }
    QPoint inside(int slot) { return QPoint(map().DevLeft(obj(slot)) + 5, map().DevTop(obj(slot)) + 5); }
    void click(QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mouseClick(c, Qt::LeftButton, mods, at);
    }
    std::vector<int> selected() { return doc().selectedSlots(); }
    QByteArray file() { return serializeBoxDocument(doc()); }
    MainMenu& menu() { return *w.window->MainMenu1; }
    void focusKeys() {
        QWidget* keyEdit = w.window->findChild<QWidget*>(QStringLiteral("KeyEdit"));
        ASSERT_NE(keyEdit, nullptr);
        w.window->activateWindow();
        keyEdit->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return keyEdit->hasFocus(); }));
    }
    QWidget* keyEdit() { return w.window->findChild<QWidget*>(QStringLiteral("KeyEdit")); }
};

using Slots = std::vector<int>;

}  // namespace

TEST(SelectionInWindow, ShiftClickEscSelectAllAndLockedObjects) {
    Scene s;
    const int a = s.place(0, 0), b = s.place(100, 0), d = s.place(200, 0), locked = s.place(300, 0);
    s.obj(locked).Locked = 1;
    s.click(s.inside(a));
    EXPECT_EQ(s.selected(), (Slots{a}));
    s.click(s.inside(b), Qt::ShiftModifier);
    s.click(s.inside(d), Qt::ShiftModifier);
    EXPECT_EQ(s.selected(), (Slots{a, b, d}));
    // Shift+click on a selected object takes it out; a locked one never comes in.
    s.click(s.inside(b), Qt::ShiftModifier);
    EXPECT_EQ(s.selected(), (Slots{a, d}));
    s.click(s.inside(locked), Qt::ShiftModifier);
    EXPECT_EQ(s.selected(), (Slots{a, d}));
    // A press on a selected object keeps the selection and makes it current;
    // the click (no drag) then selects it alone.
    QTest::mousePress(s.c, Qt::LeftButton, Qt::NoModifier, s.inside(d));
    EXPECT_EQ(s.doc().CurrentObject, d);
    EXPECT_EQ(s.selected(), (Slots{a, d}));
    QTest::mouseRelease(s.c, Qt::LeftButton, Qt::NoModifier, s.inside(d));
    EXPECT_EQ(s.selected(), (Slots{d}));

    s.focusKeys();
    QTest::keyClick(s.keyEdit(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(s.selected(), (Slots{a, b, d}));
    QTest::keyClick(s.keyEdit(), Qt::Key_Escape);
    EXPECT_TRUE(s.selected().empty());
    // Up and Down step past the locked object.
    s.click(s.inside(d));
    QTest::keyClick(s.keyEdit(), Qt::Key_Down);
    EXPECT_EQ(s.selected(), (Slots{a}));

    // A drag that starts on the locked object draws a band instead of moving it.
    const Tobs before = s.obj(locked);
    drag(s.c, s.inside(locked), s.inside(locked) + QPoint(30, 40));
    EXPECT_EQ(s.obj(locked).Left, before.Left);
    EXPECT_EQ(s.obj(locked).Top, before.Top);
    // Alle entsperren frees it; it can be selected again.
    s.menu().AnordnenItems->refresh();
    ASSERT_TRUE(s.menu().AnordnenItems->AlleEntsperren->isEnabled());
    s.menu().AnordnenItems->AlleEntsperren->trigger();
    s.click(s.inside(locked));
    EXPECT_EQ(s.selected(), (Slots{locked}));
}

TEST(SelectionInWindow, RubberBandAfterAZoomStepTakesWhatIsWhollyInside) {
    Scene s(true);
    const int a = s.place(10, 10), b = s.place(80, 40), partly = s.place(150, 10, 80, 30);
    const QPoint from = s.origin - QPoint(5, 5);
    const QPoint to(s.map().DevLeft(s.obj(partly)) + 20, s.map().DevTop(s.obj(b)) + s.map().DevHeight(s.obj(b)) + 3);
    drag(s.c, from, to);
    EXPECT_EQ(s.selected(), (Slots{a, b}));
    EXPECT_EQ(s.w.window->editorController().state().DragState, dsIdle);
    // The band is gone from the buffer: the repaint shows the plain marks.
    // Shift adds what a second band takes.
    drag(s.c, s.origin + QPoint(140, 0), s.origin + QPoint(260, 50), Qt::ShiftModifier);
    EXPECT_EQ(s.selected(), (Slots{a, b, partly}));
}

TEST(SelectionInWindow, GroupsAreClickedByAMemberAndKeptInTheFile) {
    Scene s;
    const int a = s.place(0, 0), b = s.place(100, 0), loose = s.place(0, 100);
    s.click(s.inside(a));
    s.click(s.inside(b), Qt::ShiftModifier);
    const QByteArray before = s.file();
    QTest::keyClick(s.keyEdit() ? s.keyEdit() : s.c, Qt::Key_G, Qt::ControlModifier);
    if (s.obj(a).Group == 0) s.menu().AnordnenItems->Gruppieren->trigger();
    ASSERT_NE(s.obj(a).Group, 0);
    EXPECT_EQ(s.obj(a).Group, s.obj(b).Group);
    s.click(s.inside(loose));
    s.click(s.inside(b));
    EXPECT_EQ(s.selected(), (Slots{a, b}));
    EXPECT_EQ(s.doc().CurrentObject, b);
    // Grouping kept the slots; one undo restores the file.
    s.menu().Rckgngig1->trigger();
    EXPECT_EQ(s.file(), before);
}

TEST(SelectionInWindow, AMovedSelectionSnapsByItsBoundingBoxAndKeepsItsArrangement) {
    Scene s;
    s.menu().NetzEinrasten1->setChecked(true);
    // A vertical fold in the view.
    const FoldingModel model = FoldingModel::inMillimetres(s.doc().Layout, NetSource::of(s.doc(), s.c->boxPercent()));
    const NetToUnits units = netToUnits(s.doc());
    const QRect view(s.c->scrollPosition(), s.c->visibleSize());
    double foldX = 0;
    int foldPx = -1;
    for (const NetSegment& seg : model.folds()) {
        if (std::abs(seg.a.x() - seg.b.x()) > 1e-9) continue;
        const int px = s.map().toDevice(unitsOf(units.x(seg.a.x())));
        if (px > view.left() + 170 && px < view.right() - 20) {
            foldX = units.x(seg.a.x());
            foldPx = px;
            break;
        }
    }
    ASSERT_GE(foldPx, 0);
    s.origin = QPoint(foldPx - 160, view.center().y() - 40);
    const int a = s.place(0, 0), b = s.place(60, 50);
    s.click(s.inside(a));
    s.click(s.inside(b), Qt::ShiftModifier);
    const QByteArray before = s.file();
    const long long gapX = s.obj(b).Left - s.obj(a).Left, gapY = s.obj(b).Top - s.obj(a).Top;
    // The box's right edge (b's) dragged to 4 pixels short of the fold.
    const int boxRight = s.map().DevLeft(s.obj(b)) + s.map().DevWidth(s.obj(b));
    const SnapTargets targets = snapTargetsFor(s.doc(), NetSource::of(s.doc(), s.c->boxPercent()), {a, b});
    const std::int32_t plainLeft =
        screenPixelsToUnits(s.map().DevLeft(s.obj(a)) + foldPx - 4 - boxRight, s.doc().Zoom, s.doc().ScreenDivisor);
    drag(s.c, s.inside(a), s.inside(a) + QPoint(foldPx - 4 - boxRight, 0));
    // The box rests with an edge or its centre on a target (the fold, or a
    // line nearer still), not where the pointer alone put it.
    const long long boxL = s.obj(a).Left, boxR = static_cast<long long>(s.obj(b).Left) + s.obj(b).Width;
    bool rests = false;
    for (double t : targets.xs)
        rests = rests || unitsOf(t) == boxL || unitsOf(t) == boxR || std::abs(t - (boxL + boxR) / 2.0) <= 1;
    EXPECT_TRUE(rests);
    EXPECT_NE(s.obj(a).Left, plainLeft);
    EXPECT_NEAR(double(boxR), foldX, 6 * s.doc().ScreenDivisor / s.doc().Zoom);
    EXPECT_EQ(s.obj(b).Left - s.obj(a).Left, gapX);
    EXPECT_EQ(s.obj(b).Top - s.obj(a).Top, gapY);
    EXPECT_EQ(s.selected(), (Slots{a, b}));
    EXPECT_EQ(s.menu().Rckgngig1->text(), QStringLiteral("&Rückgängig: Verschieben"));
    s.menu().Rckgngig1->trigger();
    EXPECT_EQ(s.file(), before);
}

TEST(SelectionInWindow, AlignAndDistributeInDocumentUnitsAndUndoRestoresTheFile) {
    Scene s;
    const int a = s.place(0, 0, 40, 30), b = s.place(70, 20, 20, 50), d = s.place(200, 45, 60, 10);
    s.click(s.inside(a));
    s.click(s.inside(b), Qt::ShiftModifier);
    s.click(s.inside(d), Qt::ShiftModifier);
    const Tobs A = s.obj(a), B = s.obj(b), D = s.obj(d);
    const long long left = A.Left, right = static_cast<long long>(D.Left) + D.Width;
    const long long top = A.Top, bottom = std::max<long long>(B.Top + B.Height, D.Top + D.Height);
    ArrangeMenu& m = *s.menu().AnordnenItems;
    const QByteArray before = s.file();
    struct Case {
        QAction* item;
        std::function<void()> check;
    };
    const std::vector<Case> cases = {
        {m.LinksAusrichten, [&] { for (int x : {a, b, d}) EXPECT_EQ(s.obj(x).Left, left); }},
        {m.RechtsAusrichten, [&] { for (int x : {a, b, d}) EXPECT_EQ(s.obj(x).Left + s.obj(x).Width, right); }},
        {m.HorizontalZentrieren,
         [&] { for (int x : {a, b, d}) EXPECT_EQ(s.obj(x).Left, left + (right - left - s.obj(x).Width) / 2); }},
        {m.ObenAusrichten, [&] { for (int x : {a, b, d}) EXPECT_EQ(s.obj(x).Top, top); }},
        {m.UntenAusrichten, [&] { for (int x : {a, b, d}) EXPECT_EQ(s.obj(x).Top + s.obj(x).Height, bottom); }},
        {m.VertikalZentrieren,
         [&] { for (int x : {a, b, d}) EXPECT_EQ(s.obj(x).Top, top + (bottom - top - s.obj(x).Height) / 2); }},
        {m.HorizontalVerteilen,
         [&] {
             // Outer two stay; the gaps are equal to the unit.
             const long long gaps = right - left - A.Width - B.Width - D.Width;
             EXPECT_EQ(s.obj(a).Left, A.Left);
             EXPECT_EQ(s.obj(d).Left, D.Left);
             EXPECT_EQ(s.obj(b).Left, left + A.Width + gaps / 2);
             EXPECT_EQ(s.obj(b).Top, B.Top);
         }},
        {m.VertikalVerteilen,
         [&] {
             // In the order of their centres: a, b and d by chance of placing.
             std::vector<int> order{a, b, d};
             std::sort(order.begin(), order.end(), [&](int x, int y) {
                 return 2LL * s.obj(x).Top + s.obj(x).Height < 2LL * s.obj(y).Top + s.obj(y).Height;
             });
             const long long first = s.obj(order[0]).Top, last = s.obj(order[2]).Top + s.obj(order[2]).Height;
             const long long gaps = last - first - A.Height - B.Height - D.Height;
             EXPECT_EQ(s.obj(order[1]).Top, first + s.obj(order[0]).Height + gaps / 2);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item->text().toStdString());
        m.refresh();
        ASSERT_TRUE(c.item->isEnabled());
        c.item->trigger();
        c.check();
        EXPECT_EQ(s.menu().Rckgngig1->text(), QStringLiteral("&Rückgängig: ") + c.item->text().remove('&'));
        s.menu().Rckgngig1->trigger();
        EXPECT_EQ(s.file(), before);
    }
    // Two objects cannot be distributed.
    s.click(s.inside(a));
    s.click(s.inside(b), Qt::ShiftModifier);
    m.refresh();
    EXPECT_FALSE(m.HorizontalVerteilen->isEnabled());
}

TEST(SelectionInWindow, DeleteAsksOnceFrontTakesTheTopSlotsAndPasteGivesTheArrangementInASecondDesigner) {
    Scene s;
    const int a = s.place(0, 0), b = s.place(100, 0), c = s.place(0, 100);
    s.click(s.inside(a));
    s.click(s.inside(c), Qt::ShiftModifier);
    const Tobs A = s.obj(a), C = s.obj(c);
    // Front: the two take slots 9999 and 10000 in their order.
    s.w.window->objectCommands().bringToFront();
    EXPECT_EQ(s.selected(), (Slots{9999, 10000}));
    EXPECT_EQ(s.obj(9999).Top, A.Top);
    EXPECT_EQ(s.obj(10000).Top, C.Top);
    EXPECT_TRUE(s.obj(a).isFree() && s.obj(c).isFree());

    s.w.window->clipboardCommands().copy();
    {
        StartedWindow second;
        second.window->clipboardCommands().paste();
        const std::vector<int> pasted = second.doc().selectedSlots();
        ASSERT_EQ(pasted.size(), 2u);
        EXPECT_EQ(second.doc().Objects[pasted[1]].Top - second.doc().Objects[pasted[0]].Top, C.Top - A.Top);
        EXPECT_EQ(second.doc().Objects[pasted[1]].Left - second.doc().Objects[pasted[0]].Left, C.Left - A.Left);
        second.doc().clearall();
    }

    s.w.prompter.answers = {PromptAnswer::No};
    s.w.window->objectCommands().deleteObject();
    ASSERT_EQ(s.w.prompter.messages.size(), 1u);
    EXPECT_EQ(s.w.prompter.messages[0].text, QStringLiteral("Wollen Sie die ausgewählten Elemente löschen?"));
    EXPECT_FALSE(s.obj(9999).isFree());
    s.w.prompter.answers = {PromptAnswer::Yes};
    s.w.window->objectCommands().deleteObject();
    EXPECT_TRUE(s.obj(9999).isFree() && s.obj(10000).isFree());
    EXPECT_FALSE(s.obj(b).isFree());
    EXPECT_TRUE(s.selected().empty());
}
