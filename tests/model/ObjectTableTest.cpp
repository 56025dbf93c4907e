#include "model/BoxDocument.h"

#include <gtest/gtest.h>

TEST(ObjectTable, NewObjectTakesLowestFreeSlot) {
    ObjectTable table;
    for (int i = 1; i <= 5; ++i) table[table.takeFreeSlot()].Kind = Figure;
    table.deleteObject(3);
    EXPECT_EQ(table.takeFreeSlot(), 3);
}
