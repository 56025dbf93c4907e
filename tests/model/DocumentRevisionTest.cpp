// The document's own operations raise its revision; ones that find nothing
// to do leave it.

#include "model/BoxDocument.h"

#include <gtest/gtest.h>
#include <functional>
#include <memory>

TEST(DocumentRevision, OperationsThatChangeTheDocumentRaiseIt) {
    auto doc = std::make_unique<BoxDocument>();
    auto raised = [&](const std::function<void()>& op) {
        const std::uint64_t before = doc->Revision;
        op();
        return doc->Revision > before;
    };
    doc->Objects[5].Kind = Figure;
    doc->Objects[6].Kind = Text;
    doc->CurrentObject = 5;
    EXPECT_TRUE(raised([&] { doc->bringToFront(); }));
    EXPECT_TRUE(raised([&] { doc->sendToBack(); }));
    EXPECT_TRUE(raised([&] { doc->turnObject(6, 1); }));
    EXPECT_TRUE(raised([&] { doc->deleteCurrent(); }));
    EXPECT_TRUE(raised([&] { doc->updateExtentFromLayout(); }));
    EXPECT_TRUE(raised([&] { doc->clearall(); }));
    // Nothing current, a free slot: nothing changes, nothing is raised.
    EXPECT_FALSE(raised([&] { doc->deleteCurrent(); }));
    EXPECT_FALSE(raised([&] { doc->bringToFront(); }));
    EXPECT_FALSE(raised([&] { doc->turnObject(7, 1); }));
}
