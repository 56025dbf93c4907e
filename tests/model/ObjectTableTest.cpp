#include "model/BoxDocument.h"

#include <gtest/gtest.h>

namespace {

void fill(ObjectTable& table, int count) {
    for (int i = 0; i < count; ++i) {
        const int slot = table.takeFreeSlot();
        ASSERT_NE(slot, 0);
        table[slot].Kind = Figure;
        table[slot].Left = slot * 100;
    }
}

}  // namespace

TEST(ObjectTable, NewObjectTakesLowestFreeSlot) {
    ObjectTable table;
    EXPECT_FALSE(table.anyObjects());
    fill(table, 5);
    table.deleteObject(3);
    EXPECT_EQ(table.findFreeSlot(), 3);
    ASSERT_EQ(table.takeFreeSlot(), 3);
    table[3].Kind = Text;
    EXPECT_EQ(table.findFreeSlot(), 6);
    EXPECT_TRUE(table.anyObjects());
}

TEST(ObjectTable, TakenSlotForgetsTheEarlierObject) {
    ObjectTable table;
    Tobs& old = table[1];
    old.Kind = Text;
    old.Rotation = 3;
    old.Alignment = 2;
    old.Shadow = 1;
    old.ShadowDx = 17;
    old.ShadowDy = -4;
    old.Content = QStringLiteral("alt");
    old.Picture = newdib(4, 4, 24);
    table.deleteObject(1);
    EXPECT_TRUE(table[1].Picture.isEmpty());

    ASSERT_EQ(table.takeFreeSlot(), 1);
    const Tobs& o = table[1];
    EXPECT_EQ(o.Kind, KindFree);
    EXPECT_EQ(o.Rotation, 0);
    EXPECT_EQ(o.Alignment, 0);
    EXPECT_EQ(o.Shadow, 0);
    EXPECT_EQ(o.ShadowDx, 5);
    EXPECT_EQ(o.ShadowDy, 5);
    EXPECT_TRUE(o.Content.isEmpty());
}

TEST(ObjectTable, FullTableRefusesAndStaysUnchanged) {
    ObjectTable table;
    fill(table, ObjectTable::Capacity);
    EXPECT_EQ(table.findFreeSlot(), 0);
    EXPECT_EQ(table.takeFreeSlot(), 0);
    EXPECT_EQ(table[ObjectTable::Capacity].Left, ObjectTable::Capacity * 100);
    EXPECT_EQ(table[1].Kind, Figure);
}

TEST(ObjectTable, ClearAllFreesEverySlotAndResetsShadowDistances) {
    ObjectTable table;
    fill(table, 3);
    table[2].ShadowDx = 9;
    table[2].Picture = newdib(2, 2, 8);
    table.clearAll();
    EXPECT_FALSE(table.anyObjects());
    EXPECT_EQ(table[2].ShadowDx, 5);
    EXPECT_TRUE(table[2].Picture.isEmpty());
}

TEST(ObjectTable, InvalidSlotNumbersAreIgnored) {
    ObjectTable table;
    fill(table, 2);
    table.exchange(0, 1);
    table.exchange(1, ObjectTable::Capacity + 1);
    table.deleteObject(-1);
    table.deleteObject(ObjectTable::Capacity + 1);
    EXPECT_EQ(table[1].Left, 100);
    EXPECT_EQ(table[2].Left, 200);
}

TEST(BoxDocument, BringToFrontIntoFreeTopSlotLeavesGap) {
    BoxDocument doc;
    fill(doc.Objects, 5);
    doc.CurrentObject = 3;
    doc.bringToFront();
    EXPECT_EQ(doc.CurrentObject, ObjectTable::Capacity);
    EXPECT_EQ(doc.Objects[ObjectTable::Capacity].Left, 300);
    EXPECT_TRUE(doc.Objects[3].isFree());
    EXPECT_EQ(doc.Objects.findFreeSlot(), 3);
}

TEST(BoxDocument, BringToFrontExchangesWithTopObject) {
    BoxDocument doc;
    fill(doc.Objects, 5);
    Tobs& top = doc.Objects[ObjectTable::Capacity];
    top.Kind = Image;
    top.Left = 42;
    top.Picture = newdib(3, 2, 24);
    doc.CurrentObject = 3;
    doc.bringToFront();
    EXPECT_EQ(doc.Objects[ObjectTable::Capacity].Left, 300);
    // The whole object moved down, picture included.
    EXPECT_EQ(doc.Objects[3].Kind, Image);
    EXPECT_EQ(doc.Objects[3].Left, 42);
    EXPECT_EQ(doc.Objects[3].Picture.DibWidth(), 3);
    EXPECT_TRUE(doc.Objects[ObjectTable::Capacity].Picture.isEmpty());
}

TEST(BoxDocument, SendToBackExchangesWithSlotOne) {
    BoxDocument doc;
    fill(doc.Objects, 4);
    doc.CurrentObject = 4;
    doc.sendToBack();
    EXPECT_EQ(doc.CurrentObject, 1);
    EXPECT_EQ(doc.Objects[1].Left, 400);
    EXPECT_EQ(doc.Objects[4].Left, 100);
    EXPECT_EQ(doc.Objects[2].Left, 200);
}

TEST(BoxDocument, CommandsWithoutCurrentObjectDoNothing) {
    BoxDocument doc;
    fill(doc.Objects, 2);
    doc.CurrentObject = 0;
    doc.bringToFront();
    doc.sendToBack();
    doc.deleteCurrent();
    EXPECT_EQ(doc.CurrentObject, 0);
    EXPECT_EQ(doc.Objects[1].Left, 100);
    EXPECT_TRUE(doc.Objects[ObjectTable::Capacity].isFree());
}

TEST(BoxDocument, DeleteFreesPictureAndSelection) {
    BoxDocument doc;
    fill(doc.Objects, 2);
    doc.Objects[2].Kind = Image;
    doc.Objects[2].Picture = newdib(5, 5, 24);
    doc.CurrentObject = 2;
    doc.deleteCurrent();
    EXPECT_EQ(doc.CurrentObject, 0);
    EXPECT_TRUE(doc.Objects[2].isFree());
    EXPECT_TRUE(doc.Objects[2].Picture.isEmpty());
}

TEST(BoxDocument, ClearallKeepsLayoutExtentAndScale) {
    BoxDocument doc;
    fill(doc.Objects, 2);
    doc.Layout.applyNewDocumentLayout();
    doc.updateExtentFromLayout();
    doc.Zoom = 2.5;
    doc.ScreenDivisor = 100;
    doc.BackgroundMode = bgTile;
    doc.BackgroundFile = QStringLiteral("/tmp/x.bmp");
    doc.BackgroundPicture = newdib(2, 2, 24);
    doc.FileName = QStringLiteral("/tmp/a.box");
    doc.CurrentObject = 2;
    doc.clearall();
    EXPECT_FALSE(doc.Objects.anyObjects());
    EXPECT_EQ(doc.CurrentObject, 0);
    EXPECT_EQ(doc.BackgroundMode, bgNone);
    EXPECT_TRUE(doc.BackgroundFile.isEmpty());
    EXPECT_TRUE(doc.BackgroundPicture.isEmpty());
    EXPECT_TRUE(doc.FileName.isEmpty());
    EXPECT_EQ(doc.Layout.ItemWidth, 290);
    EXPECT_EQ(doc.ExtentWidth, 685040);
    EXPECT_EQ(doc.Zoom, 2.5);
    EXPECT_EQ(doc.ScreenDivisor, 100);
}
