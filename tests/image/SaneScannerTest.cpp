#include "image/SaneScanner.h"
#include "SaneTestConfig.h"

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <thread>

class SaneScannerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SaneTestConfig::enable()) << "SANE test backend not installed";
    }
};

TEST_F(SaneScannerTest, ListsTheTestDevices) {
    QString error;
    const QList<ScannerDevice> devices = SaneScanner::devices(&error);
    ASSERT_EQ(devices.size(), 2) << error.toStdString();
    EXPECT_EQ(devices[0].name, "test:0");
    EXPECT_TRUE(devices[0].label().contains("(test:0)"));
}

TEST_F(SaneScannerTest, GreyScanAtDefaultSettings) {
    std::vector<int> seen;
    const ScanResult r = SaneScanner::scanPage("test:0", [&](int p) {
        seen.push_back(p);
        return true;
    });
    ASSERT_EQ(r.status, ScanStatus::Ok) << r.message.toStdString();
    // 80 x 100 mm at 50 dpi
    EXPECT_EQ(r.image.DibWidth(), 157);
    EXPECT_EQ(r.image.DibHeight(), 196);
    EXPECT_EQ(r.image.DibBitCount(), 8);
    EXPECT_EQ(r.image.image().pixel(10, 10), qRgb(0, 0, 0));   // "Solid black"
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 100);
}

TEST_F(SaneScannerTest, ColourLineArtThreePassAndHandScans) {
    ScanResult r = SaneScanner::scanPage(QString(), {}, nullptr,   // first device
                                         {{"mode", "Color"}, {"test-picture", "Solid white"}});
    ASSERT_EQ(r.status, ScanStatus::Ok) << r.message.toStdString();
    EXPECT_EQ(r.image.DibBitCount(), 24);
    EXPECT_EQ(r.image.getpixel(3, 3), 0xFFFFFFu);

    r = SaneScanner::scanPage("test:1", {}, nullptr, {{"mode", "Gray"}, {"depth", "1"}});
    ASSERT_EQ(r.status, ScanStatus::Ok) << r.message.toStdString();
    EXPECT_EQ(r.image.DibBitCount(), 1);
    EXPECT_EQ(r.image.image().pixel(5, 5), qRgb(0, 0, 0));   // SANE's 1 is black

    r = SaneScanner::scanPage("test:1", {}, nullptr,
                              {{"mode", "Color"}, {"depth", "16"}, {"three-pass", "true"},
                               {"test-picture", "Solid white"}, {"resolution", "30"}});
    ASSERT_EQ(r.status, ScanStatus::Ok) << r.message.toStdString();
    EXPECT_EQ(r.image.DibBitCount(), 24);
    EXPECT_EQ(r.image.getpixel(0, 0), 0xFFFFFFu);
    EXPECT_LT(r.image.DibWidth(), 157);

    // a hand scanner does not know the height in advance
    r = SaneScanner::scanPage("test:1", {}, nullptr,
                              {{"mode", "Gray"}, {"depth", "8"}, {"hand-scanner", "true"}});
    ASSERT_EQ(r.status, ScanStatus::Ok) << r.message.toStdString();
    EXPECT_GT(r.image.DibHeight(), 0);
}

TEST_F(SaneScannerTest, ErrorsAndCancelGiveMessagesNotImages) {
    ScanResult r = SaneScanner::scanPage("test:0", {}, nullptr,
                                         {{"enable-test-options", "true"}, {"read-return-value", "SANE_STATUS_JAMMED"}});
    EXPECT_EQ(r.status, ScanStatus::Failed);
    EXPECT_TRUE(r.image.isEmpty());
    EXPECT_EQ(r.message, "Im Scanner hat sich das Papier gestaut.");

    r = SaneScanner::scanPage("test:0", {}, nullptr, {{"read-return-value", "SANE_STATUS_CANCELLED"}});
    EXPECT_EQ(r.status, ScanStatus::Cancelled);
    SaneScanner::scanPage("test:0", {}, nullptr, {{"read-return-value", "Default"}});

    std::atomic<bool> stop{true};
    EXPECT_EQ(SaneScanner::scanPage("test:0", {}, &stop).status, ScanStatus::Cancelled);
    r = SaneScanner::scanPage("nosuch:7");
    EXPECT_EQ(r.status, ScanStatus::NoScanner);
    EXPECT_EQ(r.message, "Es wurde kein Scanner gefunden.");
    r = SaneScanner::scanPage("test:0", {}, nullptr, {{"no-such-option", "1"}});
    EXPECT_EQ(r.status, ScanStatus::Failed);
    EXPECT_TRUE(r.message.contains("no-such-option"));
}

TEST_F(SaneScannerTest, CancelFromAnotherThreadStopsAWaitingScan) {
    // A slow scanner: a block every 0.2 s, many seconds for the page.
    ScanResult result;
    std::thread worker([&] {
        result = SaneScanner::scanPage("test:1", {}, nullptr,
                                       {{"mode", "Gray"}, {"depth", "8"}, {"hand-scanner", "false"},
                                        {"resolution", "600"}, {"read-return-value", "Default"},
                                        {"read-delay", "true"}, {"read-delay-duration", "200000"}});
    });
    QThread::msleep(600);
    QElapsedTimer timer;
    timer.start();
    SaneScanner::cancelRunningScan();
    worker.join();
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(result.status, ScanStatus::Cancelled);
    // the device works again afterwards
    const ScanResult next = SaneScanner::scanPage("test:1", {}, nullptr,
                                                  {{"read-delay", "false"}, {"resolution", "50"}});
    EXPECT_EQ(next.status, ScanStatus::Ok) << next.message.toStdString();
}
