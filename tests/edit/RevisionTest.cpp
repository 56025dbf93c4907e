// Every change of the document raises its revision (views that keep
// pictures of it compare revisions); selecting, scrolling and cancelled
// dialogs do not.

#include "TestCanvas.h"

#include <gtest/gtest.h>
#include <QTest>
#include <functional>

namespace {

class RevisionTest : public ::testing::Test {
protected:
    TestCanvas c;
    void SetUp() override {
        c.show();
        c.place(1, Figure, 100, 100, 80, 60);
        c.place(2, Text, 300, 100, 80, 60);
        c.doc.CurrentObject = 1;
    }
    // The revision after the step minus the one before.
    std::uint64_t raisedBy(const std::function<void()>& step) {
        const std::uint64_t before = c.doc.Revision;
        step();
        return c.doc.Revision - before;
    }
};

}  // namespace

TEST_F(RevisionTest, CommandsOnTheCurrentObjectRaiseIt) {
    ObjectCommands& cmd = c.editor.commands;
    c.scripted.color = [](std::int32_t& col) {
        col = 0x00FF00;
        return true;
    };
    c.scripted.text = [](QStringList& lines) {
        lines = {QStringLiteral("Neu")};
        return true;
    };
    c.scripted.effects = [](TextEffectValues& v) {
        v.Shadow = true;
        return true;
    };
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"shape", [&] { cmd.setShape(shCircle); }},
        {"colour", [&] { cmd.chooseColor(); }},
        {"border colour", [&] { cmd.chooseBorderColor(); }},
        {"fill mode", [&] { cmd.setFillMode(fmBorder); }},
        {"line width", [&] { cmd.setLineWidth(4); }},
        {"turn right", [&] { cmd.turnRight(); }},
        {"turn left", [&] { cmd.turnLeft(); }},
        {"keep aspect", [&] { cmd.toggleKeepAspect(); }},
        {"to front", [&] { cmd.bringToFront(); }},
        {"to back", [&] { cmd.sendToBack(); }},
        {"text", [&] { c.doc.CurrentObject = 2; cmd.EditTextNow(); }},
        {"effects", [&] { cmd.editTextEffects(); }},
        {"alignment", [&] { cmd.setAlignment(2); }},
    };
    for (const auto& [name, step] : steps) EXPECT_GT(raisedBy(step), 0u) << name;
    c.prompts.answers = {PromptAnswer::Yes};
    EXPECT_GT(raisedBy([&] { cmd.deleteObject(); }), 0u);
}

TEST_F(RevisionTest, CreatingAndMovingInTheEditorRaiseItSelectingDoesNot) {
    c.tool = EditorTool::Figure;
    EXPECT_GT(raisedBy([&] { QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(400, 300)); }), 0u);
    // Selecting another object changes nothing the print shows.
    EXPECT_EQ(raisedBy([&] { QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(140, 130)); }), 0u);
    EXPECT_EQ(raisedBy([&] { c.editor.commands.selectNextObject(); }), 0u);
    c.doc.CurrentObject = 1;
    EXPECT_GT(raisedBy([&] {
                  QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, QPoint(140, 130));
                  QTest::mouseMove(&c, QPoint(170, 150));
                  QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(170, 150));
              }),
              0u);
    // A cancelled colour dialog changes nothing.
    c.scripted.color = nullptr;
    EXPECT_EQ(raisedBy([&] { c.editor.commands.chooseColor(); }), 0u);
}
