// The tool bar: seven buttons in one exclusive group, the content tool
// hidden, the pointer down at start.

#include "edit/EditorToolBar.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

TEST(ToolBarTest, ExactlyOneToolIsDownAndTheContentToolIsHidden) {
    EditorToolBar bar;
    bar.show();
    EXPECT_EQ(bar.currentTool(), EditorTool::Pointer);
    EXPECT_EQ(bar.width(), 57);
    const char* names[] = {"SpeedItem3", "SpeedZoom", "SpeedHand", "SpeedItem1", "SpeedItem2", "SpeedItem10", "SpeedInhalt"};
    const char* captions[] = {"Zeiger", "Lupe", "Hand", "Figur", "Text", "Bild", "Inhalt"};
    for (int i = 0; i < 7; ++i) {
        QToolButton* b = bar.button(static_cast<EditorTool>(i));
        EXPECT_EQ(b->objectName(), QString::fromLatin1(names[i]));
        EXPECT_EQ(b->text(), QString::fromLatin1(captions[i]));
        EXPECT_EQ(b->size(), QSize(50, 54));
    }
    EXPECT_FALSE(bar.button(EditorTool::Content)->isVisible());
    EXPECT_EQ(bar.button(EditorTool::Text)->statusTip(),
              QStringLiteral("Fügt Text ein - Sie müssen auf das Textfeld doppelklicken, um Text einzugeben"));

    QSignalSpy changed(&bar, &EditorToolBar::toolChanged);
    QTest::mouseClick(bar.button(EditorTool::Hand), Qt::LeftButton);
    EXPECT_EQ(bar.currentTool(), EditorTool::Hand);
    EXPECT_FALSE(bar.button(EditorTool::Pointer)->isChecked());
    // A second click on the tool that is down keeps it down.
    QTest::mouseClick(bar.button(EditorTool::Hand), Qt::LeftButton);
    EXPECT_EQ(bar.currentTool(), EditorTool::Hand);
    bar.setCurrentTool(EditorTool::Content);
    EXPECT_EQ(bar.currentTool(), EditorTool::Content);
    EXPECT_EQ(changed.count(), 2);
}

}  // namespace
