#include "model/BoxDocument.h"
#include "image/ImageRotation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// 3 x 2 picture with a distinct colour per pixel.
DibHandle numberedPicture() {
    DibHandle dib = newdib(3, 2, 24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) dib.setpixel(x, y, std::uint32_t(0x10 * (y * 3 + x + 1)));
    return dib;
}

Tobs& placeImage(BoxDocument& doc, int slot) {
    Tobs& o = doc.Objects[slot];
    o.Kind = Image;
    o.Width = 30000;
    o.Height = 20000;
    o.Picture = numberedPicture();
    return o;
}

}  // namespace

TEST(TurnObject, ImageTurnsPictureAndExchangesSize) {
    BoxDocument doc;
    Tobs& o = placeImage(doc, 4);
    doc.turnObject(4, +1);
    EXPECT_EQ(o.Rotation, 1);
    EXPECT_EQ(o.Width, 20000);
    EXPECT_EQ(o.Height, 30000);
    ASSERT_EQ(o.Picture.DibWidth(), 2);
    ASSERT_EQ(o.Picture.DibHeight(), 3);
    // Clockwise: the old bottom-left pixel comes to the top-left.
    EXPECT_EQ(o.Picture.getpixel(0, 0), 0x40u);
    EXPECT_EQ(o.Picture.getpixel(1, 0), 0x10u);
}

TEST(TurnObject, FourTurnsEitherWayRestoreEverything) {
    for (int direction : {+1, -1}) {
        BoxDocument doc;
        Tobs& o = placeImage(doc, 1);
        for (int i = 0; i < 4; ++i) doc.turnObject(1, direction);
        EXPECT_EQ(o.Rotation, 0);
        EXPECT_EQ(o.Width, 30000);
        EXPECT_EQ(o.Height, 20000);
        EXPECT_EQ(o.Picture.image(), numberedPicture().image());
    }
}

TEST(TurnObject, LeftAndRightCancel) {
    BoxDocument doc;
    Tobs& o = placeImage(doc, 1);
    doc.turnObject(1, -1);
    EXPECT_EQ(o.Rotation, 3);   // wraps below 0
    doc.turnObject(1, +1);
    EXPECT_EQ(o.Rotation, 0);   // wraps above 3
    EXPECT_EQ(o.Picture.image(), numberedPicture().image());
}

TEST(TurnObject, TextOnlyMovesRotation) {
    BoxDocument doc;
    Tobs& o = doc.Objects[2];
    o.Kind = Text;
    o.Width = 500;
    o.Height = 100;
    o.Rotation = 3;
    doc.turnObject(2, +1);
    EXPECT_EQ(o.Rotation, 0);
    EXPECT_EQ(o.Width, 500);
    EXPECT_EQ(o.Height, 100);
}

TEST(TurnObject, ImageWithoutPictureStillTurnsRectangle) {
    BoxDocument doc;
    Tobs& o = placeImage(doc, 1);
    deldib(o.Picture);
    doc.turnObject(1, +1);
    EXPECT_EQ(o.Rotation, 1);
    EXPECT_EQ(o.Width, 20000);
}

TEST(TurnObject, RotationFromFileOutsideRangeCountsAsNoTurn) {
    BoxDocument doc;
    Tobs& o = doc.Objects[1];
    o.Kind = Text;
    o.Rotation = -6;
    doc.turnObject(1, +1);
    // The reader turns no picture and the text drawing no text for -6: the
    // object shows unturned, so one turn to the right makes it 1.
    EXPECT_EQ(o.Rotation, 1);
    o.Rotation = 1000;
    doc.turnObject(1, -1);
    EXPECT_EQ(o.Rotation, 3);
}

TEST(TurnObject, PictureTooLargeToTurnChangesNothingAndSaysSo) {
    BoxDocument doc;
    Tobs& o = placeImage(doc, 3);
    o.Rotation = 2;
    const std::uint64_t revision = doc.Revision;
    SetRotationAllocationLimitForTests(1);
    const bool turned = doc.turnObject(3, +1);
    SetRotationAllocationLimitForTests(0);
    EXPECT_FALSE(turned);
    EXPECT_EQ(o.Rotation, 2);
    EXPECT_EQ(o.Width, 30000);
    EXPECT_EQ(o.Picture.image(), numberedPicture().image());
    EXPECT_EQ(doc.Revision, revision);
}

TEST(TurnObject, ReportsTheProgressOfTurningThePicture) {
    BoxDocument doc;
    placeImage(doc, 1);
    std::vector<int> reports;
    EXPECT_TRUE(doc.turnObject(1, -1, [&reports](int percent) {
        reports.push_back(percent);
        return true;
    }));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), 0);
}

TEST(TurnObject, FreeSlotAndInvalidSlotAreIgnored) {
    BoxDocument doc;
    doc.turnObject(0, +1);
    doc.turnObject(ObjectTable::Capacity + 1, +1);
    doc.turnObject(5, +1);
    EXPECT_EQ(doc.Objects[5].Rotation, 0);
}
