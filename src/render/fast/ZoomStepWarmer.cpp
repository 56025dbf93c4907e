#include "render/fast/ZoomStepWarmer.h"

#include "base/Units.h"
#include "model/BoxDocument.h"
#include "render/DrawVCart.h"
#include "render/fast/FigureMask.h"
#include "render/FigureRenderer.h"
#include "render/Mapping.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

std::atomic<int> g_passes{0};

// The zoom steps of the editor: the divisor shrinks or grows by half.
constexpr double StepFactor = 1.5;

// Stops while the kept masks take this share of their budget, so that the
// steps' masks never push out the ones the view shows now.
constexpr double BudgetShare = 0.6;

}  // namespace

ZoomStepWarmer::Pause::Pause() { ++g_passes; }
ZoomStepWarmer::Pause::~Pause() { --g_passes; }

ZoomStepWarmer& ZoomStepWarmer::instance() {
    static ZoomStepWarmer warmer;
    return warmer;
}

ZoomStepWarmer::ZoomStepWarmer() : m_thread([this] { run(); }) {}

ZoomStepWarmer::~ZoomStepWarmer() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
        ++m_generation;
    }
    m_wake.notify_all();
    m_thread.join();
}

void ZoomStepWarmer::warm(const BoxDocument& doc, const QRect& view) {
    if (!(doc.Zoom > 0) || !(doc.ScreenDivisor > 0) || view.isEmpty()) return;
    auto job = std::make_unique<Job>();
    job->zoom = doc.Zoom;
    job->divisor = doc.ScreenDivisor;
    // The view in document units, from its device rectangle.
    const long double perPixel = static_cast<long double>(doc.ScreenDivisor) / doc.Zoom;
    if (!std::isfinite(perPixel)) return;
    // Bounded well inside 32 bits, so that the view grown by half its size
    // still fits.
    auto units = [perPixel](long long px) {
        constexpr long double Limit = 1 << 28;
        return static_cast<int>(std::clamp<long double>(px * perPixel, -Limit, Limit));
    };
    job->view = QRect(QPoint(units(view.left()), units(view.top())),
                      QPoint(units(view.right() + 1LL), units(view.bottom() + 1LL)));
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& o = doc.Objects[slot];
        if (o.Kind != Figure) continue;
        if (o.Shape == shSquare || o.Shape == shRectangle || o.Shape == shLineH || o.Shape == shLineV) continue;
        job->figures.push_back({o.Shape, o.FillModeOrShadowColor, o.LineWidthOrTransColor, o.Left, o.Top, o.Width,
                                o.Height});
    }
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_generation;   // the work under way gives way
        m_next = std::move(job);
    }
    m_wake.notify_all();
}

void ZoomStepWarmer::waitIdle() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_next && !m_busy; });
}

bool ZoomStepWarmer::cancelled(unsigned generation) const { return m_generation.load() != generation; }

void ZoomStepWarmer::run() {
    for (;;) {
        std::unique_ptr<Job> job;
        unsigned generation = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || m_next; });
            if (m_quit) return;
            job = std::move(m_next);
            generation = m_generation.load();
            m_busy = true;
        }
        work(*job, generation);
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_busy = false;
        }
        m_idle.notify_all();
    }
}

void ZoomStepWarmer::work(const Job& job, unsigned generation) {
    struct Step {
        double divisor;
        QRect view;   // document units the step may show
    };
    // Zooming in shows part of the view; zooming out shows more around the
    // point zoomed at, anywhere in the view: the view and half of it around.
    // Last, at this zoom, what a scroll by half a view would bring in.
    const QRect around = job.view.adjusted(-job.view.width() / 2, -job.view.height() / 2, job.view.width() / 2,
                                           job.view.height() / 2);
    std::vector<Step> steps;
    if (job.divisor > 50) steps.push_back({job.divisor / StepFactor, job.view});
    if (job.divisor < 1000) steps.push_back({job.divisor * StepFactor, around});
    steps.push_back({job.divisor, around});
    const size_t budget = size_t(double(FigureMask::budgetBytes()) * BudgetShare);
    for (const Step& step : steps) {
        const Mapping mapping = Mapping::screen(job.zoom, step.divisor);
        for (size_t i = 0; i < job.figures.size(); ++i) {
            const Item& f = job.figures[i];
            // In 64 bits: a damaged file's values must not overflow.
            const long long x1 = f.left, x2 = x1 + f.width, y1 = f.top, y2 = y1 + f.height;
            if (std::max(x1, x2) < step.view.left() || std::min(x1, x2) > step.view.right() + 1LL ||
                std::max(y1, y2) < step.view.top() || std::min(y1, y2) > step.view.bottom() + 1LL)
                continue;
            // A repaint goes first; newer work replaces this.
            while (g_passes.load() > 0 && !cancelled(generation))
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (cancelled(generation)) return;
            if (i % 64 == 0 && FigureMask::keptBytes() > budget) return;
            Tobs o;
            o.Shape = f.shape;
            o.FillModeOrShadowColor = f.fillMode;
            const DeviceRect rect{0, 0, clampCoord(mapping.toDevice(f.width)), clampCoord(mapping.toDevice(f.height))};
            const int pen = std::min(figurePenWidth(f.lineWidth, mapping.Scale()), 32767);
            FigureMask::Figure shape;
            if (!figureMaskShape(o, rect, pen, shape)) continue;
            if ((shape.kind == FigureMask::Kind::LineUp || shape.kind == FigureMask::Kind::LineDown) && pen == 1)
                continue;   // written straight in, no mask
            FigureMask::prepare(shape);
        }
    }
}
