#include "view3d/FaceTextures.h"

#include "model/BoxDocument.h"
#include "render/DrawVCart.h"
#include "model/SheetGeometry.h"
#include "render/SheetRenderParams.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

int FaceTextures::edgeFor(QSize picture) {
    return std::clamp(std::min(picture.width(), picture.height()) / 2, 256, 1024);
}

bool FaceTextures::isCurrent(const BoxDocument& doc, int percent) const {
    return m_valid && m_revision == doc.Revision && NetSource{m_form, m_percent} == NetSource::of(doc, percent) && m_itemWidth == doc.Layout.ItemWidth &&
           m_itemHeight == doc.Layout.ItemHeight;
}

bool FaceTextures::update(const BoxDocument& doc, int percent, double screenDpi) {
    if (isCurrent(doc, percent)) return true;
    return make(doc, percent, screenDpi);
}

bool FaceTextures::make(const BoxDocument& doc, int percent, double screenDpi) {
    const auto fail = [&](const QString& reason) {
        m_failure = reason;
        return false;
    };
    if (Painting()) return fail(BusyText);
    if (screenDpi <= 0) screenDpi = 96;
    const NetSource source = NetSource::of(doc, percent);
    const FoldingModel mm = FoldingModel::inMillimetres(doc.Layout, source);
    // The resolution that gives the longest edge about edgePixels pixels,
    // within what a printer could do (a damaged layout must not ask for more).
    const double longest = mm.largestMeasure();
    const double wanted = longest > 0 ? m_edgePixels * 25.39995 / longest : 96;
    const int dpi = static_cast<int>(std::clamp(wanted, 10.0, 2400.0));
    const FoldingModel px = FoldingModel::inPixels(doc.Layout, source, dpi);
    if (px.smallestMeasure() <= 0) return fail(NoNetText);

    // Only the net's own rectangle: at a small box size the rest of the item
    // is empty paper.
    const SheetGeometry g = sheetGeometry(doc.Layout, dpi, dpi);
    const QRect bounds = netBounds(measureNetAtDpi(BoxArea{0, 0, g.Wb, g.Hb}, source, dpi));
    // The picture starts at the net's corner, not the item's: a small net
    // in a large item would otherwise cost the blank paper above and left
    // of it.
    const QPoint origin = bounds.topLeft();
    QImage net(bounds.width() + 1, bounds.height() + 1, QImage::Format_RGB32);
    if (bounds.isEmpty()) return fail(NoNetText);
    if (net.isNull()) return fail(NoMemoryText);
    net.fill(Qt::white);
    {
        QPainter canvas(&net);
        canvas.translate(-origin);
        canvas.setPen(QPen(Qt::white, 1));
        canvas.setBrush(Qt::white);
        // The same parameters as a printer of this resolution: what the
        // view shows is what prints.
        RenderParams params = sheetRenderParams(doc.Layout, source, dpi, dpi, printFontFactor(dpi, screenDpi));
        params.CanvasDpi = dpi;
        params.FontPpi = static_cast<int>(screenDpi);
        if (!DrawVCart(canvas, doc, params)) return fail(BusyText);
    }
    ++m_renders;

    std::vector<PanelTexture> textures(px.panels().size());
    for (const FoldPanel& panel : px.panels()) {
        PanelTexture& t = textures[static_cast<int>(panel.id)];
        // The net's dotted lines lie on the pixel rows and columns of the
        // outline; both borders belong to the panel.
        const QPolygonF outline = panel.outline.translated(-origin);
        t.netPixels = outline.boundingRect().toAlignedRect().adjusted(0, 0, 1, 1) & net.rect();
        if (t.netPixels.isEmpty()) continue;
        QImage mask(t.netPixels.size(), QImage::Format_ARGB32_Premultiplied);
        mask.fill(Qt::transparent);
        {
            QPainter p(&mask);
            p.translate(-t.netPixels.topLeft());
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(Qt::black);
            p.drawPolygon(outline);
        }
        QImage image = net.copy(t.netPixels).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        {
            QPainter p(&image);
            p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            p.drawImage(0, 0, mask);
        }
        t.image = image;
    }

    m_textures = std::move(textures);
    m_net = net;
    const double k = px.largestMeasure() / longest;
    m_mmToPixels = QTransform(k, 0, 0, k, px.left() + 0.5 - origin.x(), px.top() + 0.5 - origin.y());
    m_dpi = dpi;
    m_valid = true;
    m_failure.clear();
    m_revision = doc.Revision;
    m_percent = percent;
    m_form = doc.Form;
    m_itemWidth = doc.Layout.ItemWidth;
    m_itemHeight = doc.Layout.ItemHeight;
    return true;
}
