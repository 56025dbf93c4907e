#pragma once
// The pool that render work fans out to: the sheet's bands, the bands of a
// print and the editor's repaint. One pool for the whole program, as many
// threads as the machine has cores unless a count is forced (tests force 1,
// 2 and 3 to show that the pixels do not depend on it).

#include <functional>

// Threads a fan-out uses, the calling thread included: the forced count, or
// else FALTARILLON_RENDER_THREADS from the environment, or else the cores.
int renderThreadCount();
// 0 goes back to the environment or the cores.
void setRenderThreadCount(int threads);

// Runs work(i) for every i in [0, count) and returns when all are done. The
// calling thread takes part; items are handed out in ascending order, each
// to whichever thread is free. Called from inside a fan-out it runs the items
// itself, one after the other, so nested work can never wait for a pool that
// is busy with its own caller. An item that throws (std::bad_alloc) stops
// the handing out of items; the first exception is thrown again on the
// calling thread once every item begun has ended.
void parallelFor(int count, const std::function<void(int)>& work);

// Forces a thread count for its lifetime (tests, benchmarks).
class RenderThreadsOverride {
public:
    explicit RenderThreadsOverride(int threads);
    ~RenderThreadsOverride();
    RenderThreadsOverride(const RenderThreadsOverride&) = delete;
    RenderThreadsOverride& operator=(const RenderThreadsOverride&) = delete;

private:
    int m_previous;
};
