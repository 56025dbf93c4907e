#pragma once
// The progress of a job whose pieces run on several threads (the bands of a
// sheet on the render pool). Only the thread that made it ever calls the
// user's callback, so a progress dialog is touched where it lives; the other
// threads only learn whether the job goes on. Once the callback says stop,
// every thread sees it at its next question.

#include "base/Progress.h"

#include <atomic>
#include <thread>

class JobProgress {
public:
    // units: the pieces the job is made of (at least 1 is assumed).
    JobProgress(ProgressCallback report, int units);
    JobProgress(const JobProgress&) = delete;
    JobProgress& operator=(const JobProgress&) = delete;

    // From any thread: true while the job goes on. On the making thread the
    // callback is asked with the pieces done plus partPercent of one more.
    bool ask(int partPercent = 0);
    // A piece is finished (any thread); asks like ask(0).
    bool pieceDone();
    bool stopped() const { return m_stopped.load(); }

    // A callback for one piece's render pass: its percent is partPercent.
    // Empty when the job has no callback, so passes skip their questions.
    ProgressCallback forPiece();

private:
    ProgressCallback m_report;
    int m_units;
    std::thread::id m_owner;
    std::atomic<int> m_done{0};
    std::atomic<bool> m_stopped{false};
};
