#pragma once
// The pictures on the panels of the folded box: the box area rendered once
// by the same pass as the print, at a resolution that suits a view, and cut
// into one picture per panel (transparent outside the panel's outline).
//
// The pictures are made again only when the document's revision, the box
// size or the layout differ from the ones they were made from; turning or
// folding the view never renders the design.

#include "box/FoldingModel.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTransform>
#include <cstdint>
#include <vector>

struct BoxDocument;

struct PanelTexture {
    // The panel's part of the rendered net, ARGB32 premultiplied, clear
    // outside the panel.
    QImage image;
    // Where image lies in the rendered net's pixels.
    QRect netPixels;
};

class FaceTextures {
public:
    // edgePixels: how many pixels the cube's edge gets in the pictures.
    explicit FaceTextures(int edgePixels = 512) : m_edgePixels(edgePixels) {}
    // An edge that keeps a picture of this size sharp: about half its
    // smaller side, 256 to 1024 pixels.
    static int edgeFor(QSize picture);
    int edgePixels() const { return m_edgePixels; }

    // true when the pictures show doc at percent as it is now.
    bool isCurrent(const BoxDocument& doc, int percent) const;
    // Renders and cuts the pictures (whether current or not). false when a
    // render pass is under way, the net has no area or memory is short
    // (failure() says which); the old pictures stay then.
    bool make(const BoxDocument& doc, int percent, double screenDpi = 96);
    // make() unless current. true when the pictures are current afterwards.
    bool update(const BoxDocument& doc, int percent, double screenDpi = 96);
    // Forgets the pictures, so the next update renders.
    void invalidate() { m_valid = false; }

    bool isValid() const { return m_valid; }
    // Why the last make() failed, empty after one that worked.
    const QString& failure() const { return m_failure; }
    static inline const QString BusyText = QStringLiteral("Es wird gerade schon gezeichnet");
    static inline const QString NoNetText = QStringLiteral("Das Netz der Box ist zu klein, um gezeichnet zu werden");
    static inline const QString NoMemoryText = QStringLiteral("Nicht genug Arbeitsspeicher");
    std::uint64_t revision() const { return m_revision; }
    int percent() const { return m_percent; }
    // How often the design has been rendered for the pictures.
    int renderCount() const { return m_renders; }
    // The resolution the net was rendered at.
    int dpi() const { return m_dpi; }

    const PanelTexture& texture(PanelId id) const { return m_textures[static_cast<int>(id)]; }
    // The whole rendered net (for tests and the saved picture's checks).
    const QImage& net() const { return m_net; }
    // Millimetre net coordinates -> pixels of the rendered net.
    QTransform millimetresToPixels() const { return m_mmToPixels; }

private:
    int m_edgePixels;
    bool m_valid = false;
    QString m_failure;
    std::uint64_t m_revision = 0;
    int m_percent = 0;
    BoxForm m_form;
    double m_itemWidth = 0;
    double m_itemHeight = 0;
    int m_dpi = 0;
    int m_renders = 0;
    QImage m_net;
    QTransform m_mmToPixels;
    std::vector<PanelTexture> m_textures;
};
