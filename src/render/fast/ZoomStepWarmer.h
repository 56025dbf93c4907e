#pragma once
// Makes the kept masks of the figures as the next zoom step in and out will
// show them, and of those a scroll would bring into view, on a thread of its
// own while the editor is idle. A zoom step changes every figure's size, and
// a figure first seen at a size costs the painter's full drawing; made
// ahead, the step repaints as fast as a scroll.
// The work pauses while a render pass runs and gives way to newer work.

#include <QRect>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct BoxDocument;

class ZoomStepWarmer {
public:
    static ZoomStepWarmer& instance();
    ~ZoomStepWarmer();

    // Starts over for doc's figures, the view being the rectangle view of
    // the editing area at doc's zoom. Reads doc now; the work runs later.
    void warm(const BoxDocument& doc, const QRect& view);
    // Waits until the work is done (tests, measurements).
    void waitIdle();

    // Held by render passes: the work waits meanwhile, so that it never
    // takes a core from a repaint.
    class Pause {
    public:
        Pause();
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;
    };

private:
    struct Item {
        std::int32_t shape, fillMode, lineWidth;
        std::int32_t left, top, width, height;
    };
    struct Job {
        std::vector<Item> figures;
        double zoom = 1, divisor = 416;
        QRect view;   // document units
    };
    ZoomStepWarmer();
    void run();
    void work(const Job& job, unsigned generation);
    bool cancelled(unsigned generation) const;

    std::mutex m_mutex;
    std::condition_variable m_wake, m_idle;
    std::unique_ptr<Job> m_next;
    bool m_busy = false, m_quit = false;
    std::atomic<unsigned> m_generation{0};
    std::thread m_thread;
};
