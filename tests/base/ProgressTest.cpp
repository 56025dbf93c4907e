// Progress callbacks: an empty one always goes on, stretches map a part's
// percent into the whole, and a job shared by threads asks only on the thread
// that made it while every thread learns when it was stopped.
#include "base/JobProgress.h"
#include "base/Progress.h"

#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include <vector>

TEST(Progress, EmptyCallbackGoesOnAndAnAnswerIsPassedThrough) {
    EXPECT_TRUE(goOn({}, 0));
    EXPECT_TRUE(goOn({}, 100));
    int seen = -1;
    const ProgressCallback no = [&](int p) {
        seen = p;
        return false;
    };
    EXPECT_FALSE(goOn(no, 42));
    EXPECT_EQ(seen, 42);
    EXPECT_EQ(stoppedText(), QStringLiteral("Abgebrochen."));
    EXPECT_EQ(stoppedText(QStringLiteral("Exportieren")), QStringLiteral("Exportieren abgebrochen."));
}

TEST(Progress, StretchMapsAPartIntoItsRangeAndClampsIt) {
    std::vector<int> seen;
    const ProgressCallback whole = [&](int p) {
        seen.push_back(p);
        return p < 70;
    };
    const ProgressCallback part = progressStretch(whole, 50, 90);
    EXPECT_TRUE(part(0));
    EXPECT_TRUE(part(25));
    EXPECT_FALSE(part(100));
    EXPECT_TRUE(part(-5));
    EXPECT_FALSE(part(400));
    EXPECT_EQ(seen, (std::vector<int>{50, 60, 90, 50, 90}));
    EXPECT_FALSE(bool(progressStretch({}, 0, 50)));
}

TEST(JobProgress, OnlyTheMakingThreadIsAskedWithPiecesDonePlusItsPart) {
    std::vector<int> seen;
    std::thread::id caller;
    const ProgressCallback record = [&](int p) {
        seen.push_back(p);
        caller = std::this_thread::get_id();
        return true;
    };
    JobProgress job(record, 4);
    EXPECT_TRUE(job.ask(50));   // half of the first piece: 12 %
    std::thread worker([&] {
        // Another thread never calls the user's callback.
        EXPECT_TRUE(job.ask(80));
        EXPECT_TRUE(job.pieceDone());
        EXPECT_TRUE(job.forPiece()(10));
    });
    worker.join();
    EXPECT_EQ(seen, (std::vector<int>{12}));
    EXPECT_TRUE(job.pieceDone());   // two of four
    EXPECT_TRUE(job.forPiece()(50));
    EXPECT_EQ(seen, (std::vector<int>{12, 50, 62}));
    EXPECT_EQ(caller, std::this_thread::get_id());
}

TEST(JobProgress, StopIsSeenByEveryThreadAndNoMoreQuestionsAreAsked) {
    int asked = 0;
    JobProgress job([&](int) { return ++asked < 2; }, 10);
    EXPECT_TRUE(job.ask());
    EXPECT_FALSE(job.pieceDone());
    EXPECT_TRUE(job.stopped());
    std::atomic<bool> seenStopped{false};
    std::thread worker([&] { seenStopped = !job.ask() && !job.pieceDone() && job.stopped(); });
    worker.join();
    EXPECT_TRUE(seenStopped);
    EXPECT_FALSE(job.ask());
    EXPECT_EQ(asked, 2);
}

TEST(JobProgress, WithoutACallbackItRunsToTheEndAndPassesAskNothing) {
    JobProgress job({}, 3);
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(job.pieceDone());
    EXPECT_FALSE(job.stopped());
    EXPECT_FALSE(bool(job.forPiece()));
}
