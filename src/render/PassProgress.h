#pragma once
// The questions a render pass asks its progress callback: one every hundred
// objects and one every few lines of text a text object lays out or draws,
// so a pass over ten thousand objects or a text of a megabyte can be
// stopped in a fraction of a second. Once the callback says stop, the pass
// asks no more and ends.

#include "base/Progress.h"

class PassProgress {
public:
    static constexpr int ObjectsPerQuestion = 100;
    static constexpr int LinesPerQuestion = 8;

    // objects: those the pass will draw (for the percent).
    // The callback is the pass's own (its parameters outlive the pass); it
    // is held by reference, so a temporary would dangle and is refused.
    PassProgress(const ProgressCallback& progress, int objects);
    PassProgress(ProgressCallback&&, int) = delete;

    // One more object drawn; false once the pass is to stop.
    bool objectDone();
    // Lines of text laid out or drawn; false once the pass is to stop.
    bool linesDone(int lines = 1);
    bool stopped() const { return m_stopped; }

private:
    bool ask();

    const ProgressCallback& m_progress;
    int m_objects;
    int m_done = 0;
    int m_lines = 0;
    bool m_stopped = false;
};
