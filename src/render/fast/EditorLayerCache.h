#pragma once
// The editor's picture without the selection marks, kept from one repaint to
// the next. A repaint still stands for the whole picture: what it shows is
// exactly what a full render of the document would show. Only the work
// differs: when nothing the picture depends on has changed the kept picture
// is reused, when some objects changed only the rectangle they covered
// before and cover now is rendered again, and everything else is rendered
// in full, in bands on the render pool.

#include "model/BoxForm.h"
#include "model/Tobs.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <vector>

struct BoxDocument;

class EditorLayerCache {
public:
    // Renders the picture for the view into buffer (whose size is the
    // visible part's size): frame, shadow, design and net, no marks. False
    // when a render pass of this thread is under way (nothing drawn).
    bool render(QImage& buffer, const BoxDocument& doc, int percent, int scrollX, int scrollY);

    // Forgets the kept picture: the next repaint renders in full.
    void invalidate();

    // How the last repaint came about, for tests and measurements.
    enum class Work { Full, Changed, Reused };
    Work lastWork() const { return m_lastWork; }
    QRect lastChangedRect() const { return m_lastChanged; }

private:
    struct View {
        QSize size;
        qreal ratio = 1;
        int scrollX = 0, scrollY = 0, percent = 0;
        BoxForm form;   // the net drawn on top follows it
        double zoom = 0, divisor = 0;
        std::int32_t extentW = 0, extentH = 0, backgroundMode = 0;
        qint64 backgroundKey = 0;
        bool operator==(const View& o) const;
    };
    View viewOf(const QImage& buffer, const BoxDocument& doc, int percent, int scrollX, int scrollY) const;
    void keep(const BoxDocument& doc);

    QImage m_layer;
    View m_view;
    bool m_valid = false;
    std::vector<Tobs> m_objects;   // slot contents the kept picture shows (index = slot)
    Work m_lastWork = Work::Full;
    QRect m_lastChanged;
};

// The buffer's rectangle in logical pixels (its device pixels divided by its
// device-pixel ratio, rounded up).
QRect logicalRect(const QImage& buffer);

// Renders the part `region` (logical buffer coordinates) of the editor's
// picture into buffer, in bands on the render pool, also on a high-density
// buffer; the pixels are those of a full render of the whole buffer. With
// copy (the buffer's size and format, region the whole buffer) each band's
// rows are copied there as soon as the band is drawn.
void renderEditorRegion(QImage& buffer, const BoxDocument& doc, int percent, int scrollX, int scrollY,
                        const QRect& region, QImage* copy = nullptr);
