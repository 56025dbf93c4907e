// The property panel follows the current object through the repaint and
// edits it through its controls.

#include "EditTestHelpers.h"
#include "TestCanvas.h"

#include "edit/PropertyPanel.h"
#include "widgets/SpinEdit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class PropertyPanelTest : public ::testing::Test {
protected:
    TestCanvas c;
    PropertyPanel panel{c, c.editor.commands};
    std::vector<int> widthsAtRepaint;

    void SetUp() override {
        // As the canvas's repaint does: the panel first.
        c.onRepaint = [this] {
            if (ObjectTable::isValidSlot(c.doc.CurrentObject))
                widthsAtRepaint.push_back(c.doc.Objects[c.doc.CurrentObject].LineWidthOrTransColor);
            panel.CheckAllPanelOptions();
        };
        c.show();
        panel.show();
    }
    QStringList shownTabs() const {
        QStringList tabs;
        for (int i = 0; i < panel.PageControl3->count(); ++i)
            if (panel.PageControl3->isTabVisible(i)) tabs << panel.PageControl3->tabText(i);
        return tabs;
    }
};

TEST_F(PropertyPanelTest, PagesFollowTheKindOfTheCurrentObject) {
    panel.CheckAllPanelOptions();
    EXPECT_TRUE(shownTabs().isEmpty());
    EXPECT_FALSE(panel.PageControl3->currentWidget()->isVisible());

    c.place(1, Text, 100, 100, 50, 50);
    c.place(2, Image, 300, 300, 50, 50);
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(120, 120));
    EXPECT_EQ(shownTabs(), (QStringList{QStringLiteral("Text"), QStringLiteral("Allgemein")}));
    EXPECT_EQ(panel.PageControl3->currentWidget(), panel.TextSheet);
    EXPECT_TRUE(panel.TextSheet->isVisible());
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(320, 320));
    EXPECT_EQ(shownTabs(), (QStringList{QStringLiteral("Bild"), QStringLiteral("Allgemein")}));
    EXPECT_EQ(panel.PageControl3->currentWidget(), panel.BildSheet);
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(800, 800));
    EXPECT_TRUE(shownTabs().isEmpty());
    EXPECT_FALSE(panel.BildSheet->isVisible());
}

TEST_F(PropertyPanelTest, LineFigureDisablesBorderAndFillControls) {
    Tobs& f = c.obj(c.place(1, Figure, 100, 100, 50, 50));
    f.Shape = shLineV;
    f.LineWidthOrTransColor = 3;
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(120, 120));
    EXPECT_EQ(shownTabs(), (QStringList{QStringLiteral("Figur"), QStringLiteral("Allgemein")}));
    EXPECT_TRUE(panel.RadioButtons[7]->isChecked());
    EXPECT_EQ(panel.RadioButtons[7]->text(), QStringLiteral("Linie vertikal"));
    EXPECT_FALSE(panel.UColorBtn->isEnabled());
    EXPECT_FALSE(panel.FilledCheck->isEnabled());
    EXPECT_FALSE(panel.BorderCheck->isEnabled());
    EXPECT_FALSE(panel.FilledBorderCheck->isEnabled());
    EXPECT_EQ(f.Shape, shLineV);   // following the object changed nothing
    EXPECT_EQ(f.LineWidthOrTransColor, 3);

    // A user's click on a shape and a fill mode.
    QTest::mouseClick(panel.RadioButtons[1], Qt::LeftButton);
    EXPECT_EQ(f.Shape, shEllipse);
    EXPECT_TRUE(panel.UColorBtn->isEnabled());
    QTest::mouseClick(panel.FilledBorderCheck, Qt::LeftButton);
    EXPECT_EQ(f.FillModeOrShadowColor, fmFilledBorder);
}

TEST_F(PropertyPanelTest, NewFigurePenWidthDependsOnWhatTheSpinEditShowed) {
    Tobs& first = c.obj(c.place(1, Figure, 100, 100, 50, 50));
    first.LineWidthOrTransColor = 5;
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(120, 120));
    EXPECT_EQ(panel.LinieEd->text(), QStringLiteral("5"));

    c.tool = EditorTool::Figure;
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(400, 400));
    EXPECT_EQ(c.doc.CurrentObject, 2);
    EXPECT_EQ(c.obj(2).LineWidthOrTransColor, 1);   // the text went from 5 to 1

    c.tool = EditorTool::Figure;
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(600, 400));
    EXPECT_EQ(c.doc.CurrentObject, 3);
    EXPECT_EQ(c.obj(3).LineWidthOrTransColor, 0);   // it already showed 1
}

TEST_F(PropertyPanelTest, TypingInThePenWidthStoresEveryKeystroke) {
    Tobs& f = c.obj(c.place(1, Figure, 100, 100, 50, 50));
    f.LineWidthOrTransColor = 7;
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(120, 120));
    QLineEdit* edit = panel.LinieEd->lineEdit();
    edit->setFocus();
    edit->selectAll();
    widthsAtRepaint.clear();
    QTest::keyClick(edit, Qt::Key_1);
    EXPECT_EQ(f.LineWidthOrTransColor, 1);
    QTest::keyClick(edit, Qt::Key_2);
    EXPECT_EQ(f.LineWidthOrTransColor, 12);
    EXPECT_EQ(widthsAtRepaint, (std::vector<int>{1, 12}));

    // Emptying the field stores the minimum and the field shows it again.
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(f.LineWidthOrTransColor, 1);
    EXPECT_EQ(edit->text(), QStringLiteral("1"));

    // Above 20: stored, then the field shows 20 and stores that.
    edit->selectAll();
    widthsAtRepaint.clear();
    QTest::keyClicks(edit, QStringLiteral("25"));
    EXPECT_EQ(f.LineWidthOrTransColor, 20);
    EXPECT_EQ(edit->text(), QStringLiteral("20"));
    EXPECT_NE(std::find(widthsAtRepaint.begin(), widthsAtRepaint.end(), 25), widthsAtRepaint.end());

    // The arrows step within the range.
    QTest::mouseClick(panel.LinieEd->findChild<QToolButton*>(QStringLiteral("up")), Qt::LeftButton);
    EXPECT_EQ(f.LineWidthOrTransColor, 20);
    QTest::mouseClick(panel.LinieEd->findChild<QToolButton*>(QStringLiteral("down")), Qt::LeftButton);
    EXPECT_EQ(f.LineWidthOrTransColor, 19);
}

TEST_F(PropertyPanelTest, OutOfRangeWidthFromFileShownAsBoundAndStoredOnlyWhenTextChanges) {
    Tobs& f = c.obj(c.place(1, Figure, 100, 100, 50, 50));
    f.LineWidthOrTransColor = 40;
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(120, 120));
    EXPECT_EQ(panel.LinieEd->text(), QStringLiteral("20"));
    EXPECT_EQ(f.LineWidthOrTransColor, 20);

    Tobs& g = c.obj(c.place(2, Figure, 300, 300, 50, 50));
    g.LineWidthOrTransColor = 33;
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(320, 320));
    EXPECT_EQ(g.LineWidthOrTransColor, 33);
}

TEST_F(PropertyPanelTest, KeepAspectCheckBoxSetsTheValue) {
    Tobs& img = c.obj(c.place(1, Image, 100, 100, 50, 50));
    img.KeepAspect = 1;
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(120, 120));
    EXPECT_TRUE(panel.SVerhCheck->isChecked());
    QTest::mouseClick(panel.SVerhCheck, Qt::LeftButton);
    EXPECT_EQ(img.KeepAspect, 0);
    QTest::mouseClick(panel.SVerhCheck, Qt::LeftButton);
    EXPECT_EQ(img.KeepAspect, 1);
}

TEST_F(PropertyPanelTest, TextPageButtonsRunTheCommands) {
    Tobs& t = c.obj(c.place(1, Text, 100, 100, 50, 50));
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(120, 120));
    QTest::mouseClick(panel.RightAlign, Qt::LeftButton);
    EXPECT_EQ(t.Alignment, 2);
    QTest::mouseClick(panel.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(t.Rotation, 1);
    QTest::mouseClick(panel.BitBtn2, Qt::LeftButton);
    QTest::mouseClick(panel.BitBtn2, Qt::LeftButton);
    EXPECT_EQ(t.Rotation, 3);
    QTest::mouseClick(panel.EnterTextBtn, Qt::LeftButton);
    EXPECT_EQ(c.scripted.textCalls, 1);

    c.prompts.answers = {PromptAnswer::Yes};
    QTest::mouseClick(panel.Del1Btn, Qt::LeftButton);
    EXPECT_EQ(t.Kind, KindFree);
    EXPECT_TRUE(shownTabs().isEmpty());
}

}  // namespace
