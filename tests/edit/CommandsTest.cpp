// Object commands through the object menu, the keyboard and the dialogs'
// scripted answers.

#include "EditTestHelpers.h"
#include "TestCanvas.h"

#include "edit/ObjectMenu.h"
#include "edit/TextLines.h"
#include "render/Mapping.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

#include <tuple>

namespace {

class CommandsTest : public ::testing::Test {
protected:
    TestCanvas c;
    void SetUp() override { c.show(); }
    // Right-clicks the point and picks the named item of the menu that opens.
    void pick(QPoint p, const char* item) {
        c.onMenu = [item](QMenu& menu) {
            QAction* a = menu.findChild<QAction*>(QString::fromLatin1(item));
            ASSERT_NE(a, nullptr) << item;
            ASSERT_TRUE(a->isEnabled()) << item;
            a->trigger();
        };
        QTest::mouseClick(&c, Qt::RightButton, Qt::NoModifier, p);
        c.onMenu = nullptr;
    }
};

TEST_F(CommandsTest, DeleteAsksAndOnlyYesDeletes) {
    c.place(1, Figure, 100, 100, 100, 100);
    c.doc.CurrentObject = 1;
    c.prompts.answers = {PromptAnswer::No};
    c.controller().keyDown(Qt::Key_Delete);
    ASSERT_EQ(c.prompts.messages.size(), 1u);
    EXPECT_EQ(c.prompts.messages[0].caption, QStringLiteral("Element löschen"));
    EXPECT_EQ(c.prompts.messages[0].text, QStringLiteral("Wollen Sie das Element löschen?"));
    EXPECT_EQ(c.prompts.messages[0].icon, PromptIcon::Question);
    EXPECT_EQ(c.obj(1).Kind, Figure);
    EXPECT_EQ(c.doc.CurrentObject, 1);

    c.prompts.answers = {PromptAnswer::Yes};
    pick(QPoint(150, 150), "Lschen1");
    EXPECT_EQ(c.obj(1).Kind, KindFree);
    EXPECT_EQ(c.doc.CurrentObject, 0);

    c.controller().keyDown(Qt::Key_Delete);   // nothing current: no question
    EXPECT_EQ(c.prompts.messages.size(), 2u);
}

TEST_F(CommandsTest, SendToBackAndBringToFrontExchangeWholeSlots) {
    c.place(1, Figure, 10, 10, 10, 10);   // A
    c.place(2, Text, 30, 30, 10, 10);     // B
    c.place(3, Image, 50, 50, 10, 10);    // C
    pick(QPoint(55, 55), "NachHinen1");
    EXPECT_EQ(c.obj(1).Kind, Image);
    EXPECT_EQ(c.obj(3).Kind, Figure);
    EXPECT_EQ(c.obj(2).Kind, Text);
    EXPECT_EQ(c.doc.CurrentObject, 1);

    c.place(7, Figure, 200, 200, 10, 10);
    c.obj(7).Color = 0x123456;
    pick(QPoint(205, 205), "Nachvorne1");
    EXPECT_EQ(c.doc.CurrentObject, 10000);
    EXPECT_EQ(c.obj(10000).Color, 0x123456);
    EXPECT_EQ(c.obj(7).Kind, KindFree);
}

TEST_F(CommandsTest, ShapeColourAndBorderColourFromTheMenu) {
    c.place(1, Figure, 100, 100, 100, 100);
    pick(QPoint(150, 150), "Linieschrgrunter1");
    EXPECT_EQ(c.obj(1).Shape, shLineDown);

    c.scripted.color = [](std::int32_t& color) {
        EXPECT_EQ(color, 0);
        color = 0x0000FF;
        return true;
    };
    pick(QPoint(150, 150), "FarbeM");
    EXPECT_EQ(c.obj(1).Color, 0x0000FF);
    c.scripted.color = [](std::int32_t&) { return false; };
    pick(QPoint(150, 150), "FarbeM");
    EXPECT_EQ(c.obj(1).Color, 0x0000FF);
}

TEST_F(CommandsTest, FontDialogKeepsLoadedFontForNewObjectsEvenWhenCancelled) {
    Tobs& t = c.obj(c.place(1, Text, 100, 100, 100, 100));
    t.FontName = QStringLiteral("Arial");
    t.FontSize = 20;
    t.FontHeight = -5;
    t.Color = 0x00FF00;
    t.FontColor = 0x0000FF;
    pick(QPoint(150, 150), "SchriftartM");
    ASSERT_EQ(c.scripted.fontCalls, 1);
    EXPECT_EQ(c.scripted.lastFontShown.Name, QStringLiteral("Arial"));
    EXPECT_EQ(c.scripted.lastFontShown.Color, 0x00FF00);
    EXPECT_EQ(c.scripted.lastFontShown.Height, -27);   // the size, set last, decides
    EXPECT_EQ(t.FontHeight, -5);

    c.tool = EditorTool::Figure;
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(400, 400));
    const Tobs& n = c.obj(2);
    EXPECT_EQ(n.FontName, QStringLiteral("Arial"));
    EXPECT_EQ(n.FontSize, 20);
    EXPECT_EQ(n.FontHeight, -27);
    EXPECT_EQ(n.FontColor, 0x00FF00);
    EXPECT_EQ(n.Color, 0);

    c.scripted.font = [](DialogFont& f) {
        f.Name = QStringLiteral("Courier New");
        f.setSize(10, 96);
        f.Style = 3;
        f.Color = 0x0000FF;
        return true;
    };
    c.doc.CurrentObject = 1;
    pick(QPoint(150, 150), "SchriftartM");
    EXPECT_EQ(t.FontName, QStringLiteral("Courier New"));
    EXPECT_EQ(t.FontSize, 10);
    EXPECT_EQ(t.FontHeight, -13);
    EXPECT_EQ(t.FontStyle, 3);
    EXPECT_EQ(t.Color, 0x0000FF);
    EXPECT_EQ(t.FontColor, 0x0000FF);   // untouched by the font command
}

TEST_F(CommandsTest, TextEffectsAndTransparencyCopyBackOnlyOnOk) {
    Tobs& t = c.obj(c.place(1, Text, 100, 100, 100, 100));
    t.BorderOrOutlineColor = 0x111111;
    t.FillModeOrShadowColor = 0x222222;
    c.scripted.effects = [](TextEffectValues& v) {
        EXPECT_EQ(v.OutlineColor, 0x111111);
        EXPECT_EQ(v.ShadowDx, 5);
        v.Outline = true;
        v.ShadowColor = 0x333333;
        v.ShadowDx = -4;
        return false;
    };
    pick(QPoint(150, 150), "Texteffekte1");
    EXPECT_EQ(t.Outline, 0);
    EXPECT_EQ(t.FillModeOrShadowColor, 0x222222);
    c.scripted.effects = [](TextEffectValues& v) {
        v.Outline = true;
        v.ShadowColor = 0x333333;
        v.ShadowDx = -4;
        v.ShadowDy = 12;
        return true;
    };
    pick(QPoint(150, 150), "Texteffekte1");
    EXPECT_EQ(t.Outline, 1);
    EXPECT_EQ(t.FillModeOrShadowColor, 0x333333);
    EXPECT_EQ(t.ShadowDx, -4);
    EXPECT_EQ(t.ShadowDy, 12);

    Tobs& img = c.obj(c.place(2, Image, 300, 300, 100, 100));
    img.LineWidthOrTransColor = 0x00FFFF;
    c.scripted.transparency = [](TransparencyValues& v) {
        EXPECT_EQ(v.Color, 0x00FFFF);
        v.Transparent = true;
        v.AutoColor = true;
        v.Color = 0xFF0000;
        return true;
    };
    pick(QPoint(350, 350), "Transparenz1");
    EXPECT_EQ(img.Transparent, 1);
    EXPECT_EQ(img.TransAuto, 1);
    EXPECT_EQ(img.LineWidthOrTransColor, 0xFF0000);
    pick(QPoint(350, 350), "SverhM");
    EXPECT_EQ(img.KeepAspect, 1);   // placed objects start at 0, the toggle sets 1
    pick(QPoint(350, 350), "SverhM");
    EXPECT_EQ(img.KeepAspect, 0);
}

TEST_F(CommandsTest, TurningAnImageExchangesItsScreenSizeAboutTheTopLeftCorner) {
    Tobs& img = c.obj(c.place(1, Image, 100, 120, 100, 75));
    img.Picture = DibHandle(QImage(400, 300, QImage::Format_RGB32));
    pick(QPoint(150, 150), "Nachlinksrotieren1");
    EXPECT_EQ(img.Rotation, 3);
    EXPECT_EQ(img.Width, 75 * 416);
    EXPECT_EQ(img.Height, 100 * 416);
    EXPECT_EQ(img.Left, 100 * 416);
    EXPECT_EQ(img.Top, 120 * 416);
    EXPECT_EQ(img.Picture.DibWidth(), 300);
    EXPECT_EQ(img.Picture.DibHeight(), 400);
}

TEST_F(CommandsTest, TransparencyAndTurnsStoreTheValueThePictureResolvesTo) {
    // Entry 0 blue, entry 3 magenta; the lower-left pixel is entry 0, the
    // upper-left one entry 3.
    QVector<QRgb> table(8, qRgb(7, 7, 7));
    table[0] = qRgb(0, 0, 255);
    table[3] = qRgb(255, 0, 255);
    QImage pic(4, 4, QImage::Format_Indexed8);
    pic.setColorTable(table);
    pic.fill(5);
    pic.setPixel(0, 3, 0);
    pic.setPixel(0, 0, 3);
    Tobs& img = c.obj(c.place(1, Image, 100, 100, 40, 40));
    img.Picture = DibHandle(pic, 8);
    c.scripted.transparency = [](TransparencyValues& v) {
        v.Transparent = true;
        v.AutoColor = false;
        v.Color = 0xFF00FF;   // magenta
        return true;
    };
    pick(QPoint(110, 110), "Transparenz1");
    EXPECT_EQ(img.LineWidthOrTransColor, 3);
    c.scripted.transparency = [](TransparencyValues& v) {
        v.AutoColor = true;
        return true;
    };
    pick(QPoint(110, 110), "Transparenz1");
    EXPECT_EQ(img.LineWidthOrTransColor, 0);   // index of the lower-left pixel
    pick(QPoint(110, 110), "Nachrechtsrotieren1");
    EXPECT_EQ(img.LineWidthOrTransColor, 5);   // old lower-right corner
    pick(QPoint(110, 110), "Nachlinksrotieren1");
    pick(QPoint(110, 110), "Nachlinksrotieren1");
    EXPECT_EQ(img.LineWidthOrTransColor, 3);   // old upper-left corner
}

// Four quarter turns round through the menu: Rotation wraps 3 -> 0 (and
// 0 -> 3 to the left), a right turn is clockwise, and after four the
// picture and the rectangle are what they were.
TEST_F(CommandsTest, FourQuarterTurnsOfAnImageComeBackToTheStart) {
    QImage numbered(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) numbered.setPixel(x, y, qRgb(0x10 * (y * 3 + x + 1), 0, 0));
    Tobs& img = c.obj(c.place(1, Image, 100, 100, 60, 40));
    img.Picture = DibHandle(numbered, 24);
    const QRect before(img.Left, img.Top, img.Width, img.Height);
    pick(QPoint(110, 110), "Nachrechtsrotieren1");
    ASSERT_EQ(img.Picture.DibWidth(), 2);
    // Clockwise: the old bottom-left pixel comes to the top-left.
    EXPECT_EQ(qRed(img.Picture.image().pixel(0, 0)), 0x40);
    EXPECT_EQ(qRed(img.Picture.image().pixel(1, 0)), 0x10);
    for (int i = 1; i < 4; ++i) pick(QPoint(110, 110), "Nachrechtsrotieren1");
    EXPECT_EQ(img.Rotation, 0);
    EXPECT_EQ(QRect(img.Left, img.Top, img.Width, img.Height), before);
    EXPECT_EQ(img.Picture.image().convertToFormat(QImage::Format_RGB32), numbered);
    pick(QPoint(110, 110), "Nachlinksrotieren1");
    EXPECT_EQ(img.Rotation, 3);
    for (int i = 1; i < 4; ++i) pick(QPoint(110, 110), "Nachlinksrotieren1");
    EXPECT_EQ(img.Rotation, 0);
    EXPECT_EQ(img.Picture.image().convertToFormat(QImage::Format_RGB32), numbered);
}

// Zoomed in once the screen grid is 277.33 units wide. The command exchanges
// the document sizes themselves: the screen size is exchanged exactly, and
// four turns give the rectangle back to the unit, where going through screen
// pixels lost up to a pixel each turn.
TEST_F(CommandsTest, QuarterTurnsOffTheScreenGridExchangeTheSizesExactly) {
    c.doc.ScreenDivisor = 416 / 1.5;
    Tobs& img = c.obj(c.place(1, Image, 100, 100, 60, 40));
    img.Width = 30000;   // 108.17 screen pixels
    img.Height = 20000;  // 72.12
    img.Picture = DibHandle(QImage(3, 2, QImage::Format_RGB32));
    const Mapping map = Mapping::screenFor(c.doc);
    const QRect before(img.Left, img.Top, img.Width, img.Height);
    const int sw = map.DevWidth(img), sh = map.DevHeight(img);
    const QPoint inside(map.DevLeft(img) + 10, map.DevTop(img) + 10);

    pick(inside, "Nachrechtsrotieren1");
    EXPECT_EQ(img.Width, 20000);
    EXPECT_EQ(img.Height, 30000);
    EXPECT_EQ(map.DevWidth(img), sh);
    EXPECT_EQ(map.DevHeight(img), sw);
    EXPECT_EQ(QPoint(img.Left, img.Top), before.topLeft());
    for (int i = 1; i < 4; ++i) pick(inside, "Nachrechtsrotieren1");
    EXPECT_EQ(QRect(img.Left, img.Top, img.Width, img.Height), before);
    for (int i = 0; i < 4; ++i) pick(inside, "Nachlinksrotieren1");
    EXPECT_EQ(QRect(img.Left, img.Top, img.Width, img.Height), before);
    EXPECT_EQ(img.Rotation, 0);
}

// A stored Rotation outside 0..3 turns neither a picture when the file is
// read nor a text when it is drawn: it counts as no turn, so the command's
// first step gives 1 to the right and 3 to the left, as from 0.
TEST_F(CommandsTest, RotationFromAFileOutsideItsRangeCountsAsNoTurn) {
    Tobs& t = c.obj(c.place(1, Text, 100, 100, 120, 40));
    for (const auto& [stored, item, wanted] : {std::tuple{5, "Nachrechtsrotieren1", 1},
                                               std::tuple{5, "Nachlinksrotieren1", 3},
                                               std::tuple{-6, "Nachrechtsrotieren1", 1},
                                               std::tuple{-1, "Nachlinksrotieren1", 3},
                                               std::tuple{4, "Nachrechtsrotieren1", 1}}) {
        t.Rotation = stored;
        pick(QPoint(150, 110), item);
        EXPECT_EQ(t.Rotation, wanted) << stored << " " << item;
    }
}

TEST_F(CommandsTest, TurningATextFourTimesKeepsItsRectangle) {
    Tobs& t = c.obj(c.place(1, Text, 100, 100, 120, 40));
    const QRect before(t.Left, t.Top, t.Width, t.Height);
    for (int i = 0; i < 4; ++i) {
        pick(QPoint(150, 110), "Nachrechtsrotieren1");
        EXPECT_EQ(t.Rotation, (i + 1) % 4);
    }
    EXPECT_EQ(QRect(t.Left, t.Top, t.Width, t.Height), before);
}

TEST_F(CommandsTest, ContentSplitsAndJoinsAtCarriageReturns) {
    const QString cr(QChar(13));
    EXPECT_EQ(splitContentLines(QStringLiteral("A") + cr + cr + QStringLiteral("B")),
              (QStringList{QStringLiteral("A"), QString(), QStringLiteral("B")}));
    EXPECT_EQ(splitContentLines(QStringLiteral("A") + cr), QStringList{QStringLiteral("A")});
    EXPECT_TRUE(splitContentLines(QString()).isEmpty());
    EXPECT_EQ(splitContentLines(cr), QStringList{QString()});
    EXPECT_EQ(splitContentLines(QStringLiteral("a\nb")), QStringList{QStringLiteral("a\nb")});
    EXPECT_EQ(joinContentLines({QStringLiteral("x"), QString(), QStringLiteral("y")}),
              QStringLiteral("x") + cr + cr + QStringLiteral("y"));
    EXPECT_EQ(joinContentLines({}), QString());
}

TEST_F(CommandsTest, TextEntryCancelledChangesNothingAndDoesNotRepaint) {
    Tobs& t = c.obj(c.place(1, Text, 100, 100, 120, 40));
    t.Content = QStringLiteral("keep");
    c.doc.CurrentObject = 1;
    const int repaints = c.repaints;
    c.editor.commands.EditTextNow();
    EXPECT_EQ(t.Content, QStringLiteral("keep"));
    EXPECT_EQ(c.repaints, repaints);
    c.scripted.text = [](QStringList& lines) {
        lines.clear();
        return true;
    };
    c.editor.commands.EditTextNow();
    EXPECT_TRUE(t.Content.isEmpty());
}

TEST_F(CommandsTest, CanvasMenuOpensBackgroundDialog) {
    c.onMenu = [](QMenu& menu) { menu.findChild<QAction*>(QStringLiteral("Hintergrundbild1"))->trigger(); };
    QTest::mouseClick(&c, Qt::RightButton, Qt::NoModifier, QPoint(500, 500));
    EXPECT_EQ(c.scripted.backgroundCalls, 1);
}

// --- menu states

struct MenuState {
    std::map<QString, bool> enabled, checked;
};

MenuState capture(QMenu& menu) {
    MenuState s;
    for (QAction* a : menu.actions()) {
        if (a->isSeparator()) continue;
        s.enabled[a->objectName()] = a->isEnabled();
        s.checked[a->objectName()] = a->isChecked();
    }
    return s;
}

TEST_F(CommandsTest, ObjectMenuStatesFollowTheKind) {
    MenuState s;
    c.onMenu = [&s](QMenu& m) { s = capture(m); };
    Tobs& fig = c.obj(c.place(1, Figure, 100, 100, 50, 50));
    fig.Shape = shLineDown;
    QTest::mouseClick(&c, Qt::RightButton, Qt::NoModifier, QPoint(120, 120));
    for (const char* on : {"Lschen1", "Nachvorne1", "NachHinen1", "FarbeM", "KreisM", "Linieschrgrunter1"})
        EXPECT_TRUE(s.enabled[QString::fromLatin1(on)]) << on;
    for (const char* off : {"SchriftartM", "Texteffekte1", "Linksbnig1", "Zentriert1", "Rechtsbndig1",
                            "Transparenz1", "SverhM", "Nachlinksrotieren1", "Nachrechtsrotieren1"})
        EXPECT_FALSE(s.enabled[QString::fromLatin1(off)]) << off;
    int checkedShapes = 0;
    for (const char* shape : {"KreisM", "EllipseM", "QuadratM", "RechteckM", "Rund1M", "Rund2M", "Liniehorizontal1",
                              "Linievertikal1", "Lnieschrghoch1", "Linieschrgrunter1"})
        checkedShapes += s.checked[QString::fromLatin1(shape)] ? 1 : 0;
    EXPECT_EQ(checkedShapes, 1);
    EXPECT_TRUE(s.checked[QStringLiteral("Linieschrgrunter1")]);

    Tobs& text = c.obj(c.place(2, Text, 300, 300, 50, 50));
    text.Alignment = 1;
    QTest::mouseClick(&c, Qt::RightButton, Qt::NoModifier, QPoint(320, 320));
    EXPECT_TRUE(s.checked[QStringLiteral("RechteckM")]);
    EXPECT_FALSE(s.enabled[QStringLiteral("RechteckM")]);
    EXPECT_FALSE(s.checked[QStringLiteral("Linieschrgrunter1")]);
    EXPECT_TRUE(s.checked[QStringLiteral("Zentriert1")]);
    EXPECT_FALSE(s.checked[QStringLiteral("Linksbnig1")]);
    EXPECT_TRUE(s.enabled[QStringLiteral("SchriftartM")]);
    EXPECT_TRUE(s.enabled[QStringLiteral("Nachlinksrotieren1")]);
    EXPECT_FALSE(s.enabled[QStringLiteral("Transparenz1")]);

    Tobs& img = c.obj(c.place(3, Image, 500, 500, 50, 50));
    img.KeepAspect = 1;
    QTest::mouseClick(&c, Qt::RightButton, Qt::NoModifier, QPoint(520, 520));
    EXPECT_FALSE(s.enabled[QStringLiteral("FarbeM")]);
    EXPECT_TRUE(s.enabled[QStringLiteral("Transparenz1")]);
    EXPECT_TRUE(s.checked[QStringLiteral("SverhM")]);
    EXPECT_TRUE(s.enabled[QStringLiteral("Nachrechtsrotieren1")]);
    EXPECT_FALSE(s.enabled[QStringLiteral("SchriftartM")]);
    // Disabled alignment items keep the marks of the last text.
    EXPECT_TRUE(s.checked[QStringLiteral("Zentriert1")]);
}

TEST_F(CommandsTest, PickingAnItemMovesNoCheckMarkOnlyTheNextOpeningDoes) {
    Tobs& text = c.obj(c.place(1, Text, 100, 100, 50, 50));
    text.Alignment = 0;
    pick(QPoint(120, 120), "Zentriert1");
    EXPECT_EQ(text.Alignment, 1);
    ObjectMenu& m = c.editor.objectMenu;
    // The marks still show what the menu showed when it opened.
    EXPECT_TRUE(m.Linksbnig1->isChecked());
    EXPECT_FALSE(m.Zentriert1->isChecked());

    // A figure's menu keeps the alignment marks of that opening.
    MenuState s;
    c.onMenu = [&s](QMenu& menu) { s = capture(menu); };
    c.place(2, Figure, 300, 300, 50, 50);
    QTest::mouseClick(&c, Qt::RightButton, Qt::NoModifier, QPoint(320, 320));
    EXPECT_TRUE(s.checked[QStringLiteral("Linksbnig1")]);
    EXPECT_FALSE(s.checked[QStringLiteral("Zentriert1")]);

    // Keep aspect toggles the value; its mark follows at the next opening.
    Tobs& img = c.obj(c.place(3, Image, 500, 500, 50, 50));
    img.KeepAspect = 1;
    c.onMenu = nullptr;
    pick(QPoint(520, 520), "SverhM");
    EXPECT_EQ(img.KeepAspect, 0);
    EXPECT_TRUE(m.SverhM->isChecked());
    c.onMenu = [&s](QMenu& menu) { s = capture(menu); };
    QTest::mouseClick(&c, Qt::RightButton, Qt::NoModifier, QPoint(520, 520));
    EXPECT_FALSE(s.checked[QStringLiteral("SverhM")]);
}

TEST_F(CommandsTest, ObjectMenuShowsDeleteKeyAndCaptions) {
    ObjectMenu& m = c.editor.objectMenu;
    EXPECT_EQ(m.Lschen1->text(), QStringLiteral("&Löschen..."));
    EXPECT_EQ(m.Lschen1->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(m.SverhM->text(), QStringLiteral("Se&itenverhältnis beibehalten"));
    EXPECT_EQ(m.ShapeItems[4]->text(), QStringLiteral("&Quadrat &abgerundet"));
    EXPECT_EQ(m.Nachvorne1->statusTip(), QStringLiteral("Bringt das Objekt nach vorne, so daß es immer sichtbar ist"));
}

}  // namespace
