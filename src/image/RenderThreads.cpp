#include "image/RenderThreads.h"

#include <QRunnable>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>

namespace {

std::atomic<int> g_forced{0};
thread_local bool t_inFanOut = false;

int environmentCount() {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("FALTARILLON_RENDER_THREADS", &ok);
    return ok && n > 0 ? std::min(n, 64) : 0;
}

QThreadPool& pool() {
    static QThreadPool* p = [] {
        auto* tp = new QThreadPool;   // lives to the end of the program
        tp->setMaxThreadCount(std::max(QThread::idealThreadCount(), 1));
        tp->setExpiryTimeout(30000);
        return tp;
    }();
    return *p;
}

// The first exception of a fan-out's items (memory running out), carried
// to the calling thread: thrown on a pool thread it would end the program.
struct FanOutFault {
    std::mutex lock;
    std::exception_ptr first;
    void keep(std::atomic<int>& next, int count) {
        {
            const std::lock_guard<std::mutex> hold(lock);
            if (!first) first = std::current_exception();
        }
        next = count;   // the others take no new items
    }
};

// Runs items until none are left.
void takeItems(std::atomic<int>& next, int count, const std::function<void(int)>& work, FanOutFault& fault) {
    try {
        for (int i = next++; i < count; i = next++) work(i);
    } catch (...) {
        fault.keep(next, count);
    }
}

// Takes items until none are left, then signals once.
class Helper : public QRunnable {
public:
    Helper(std::atomic<int>& next, int count, const std::function<void(int)>& work, QSemaphore& done,
           FanOutFault& fault)
        : m_next(next), m_count(count), m_work(work), m_done(done), m_fault(fault) {
        setAutoDelete(true);
    }
    void run() override {
        t_inFanOut = true;
        takeItems(m_next, m_count, m_work, m_fault);
        t_inFanOut = false;
        m_done.release();
    }

private:
    std::atomic<int>& m_next;
    int m_count;
    const std::function<void(int)>& m_work;
    QSemaphore& m_done;
    FanOutFault& m_fault;
};

}  // namespace

int renderThreadCount() {
    if (const int forced = g_forced.load()) return forced;
    if (const int env = environmentCount()) return env;
    return std::max(QThread::idealThreadCount(), 1);
}

void setRenderThreadCount(int threads) { g_forced.store(std::clamp(threads, 0, 64)); }

void parallelFor(int count, const std::function<void(int)>& work) {
    if (count <= 0) return;
    const int threads = std::min(renderThreadCount(), count);
    if (threads <= 1 || t_inFanOut) {
        for (int i = 0; i < count; ++i) work(i);
        return;
    }
    QThreadPool& tp = pool();
    if (tp.maxThreadCount() < threads - 1) tp.setMaxThreadCount(threads - 1);
    std::atomic<int> next{0};
    QSemaphore done;
    FanOutFault fault;
    for (int h = 0; h < threads - 1; ++h) tp.start(new Helper(next, count, work, done, fault));
    t_inFanOut = true;
    takeItems(next, count, work, fault);
    t_inFanOut = false;
    // The helpers may still hold the last items; their memory is ours.
    done.acquire(threads - 1);
    if (fault.first) std::rethrow_exception(fault.first);
}

RenderThreadsOverride::RenderThreadsOverride(int threads) : m_previous(g_forced.load()) {
    setRenderThreadCount(threads);
}

RenderThreadsOverride::~RenderThreadsOverride() { setRenderThreadCount(m_previous); }
