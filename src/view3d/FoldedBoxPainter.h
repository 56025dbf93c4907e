#pragma once
// One picture of the folded box: the panels at a folding state, seen from a
// camera turned about the box by yaw and pitch, in perspective. Each panel's
// picture is mapped onto it with a projective transform (a plane seen in
// perspective stays a projective image of itself), panels turned away show
// the plain back of the card, and the panels are drawn far to near in an
// order decided by their planes. The page, the command-line tool and the
// tests all draw through here.

#include "view3d/FaceTextures.h"
#include "box/FoldingModel.h"

#include <QPointF>
#include <QPolygonF>
#include <QSize>
#include <vector>

class QPainter;

struct ViewCamera {
    // The start view: a corner view showing the front, the right face and
    // the top.
    static constexpr double StartYaw = 32;
    static constexpr double StartPitch = 24;

    // Degrees. Yaw > 0 turns the right face towards the viewer, pitch > 0
    // looks down onto the top. 0 / 0 looks straight at Vorne.
    double yaw = StartYaw;
    double pitch = StartPitch;
    // Magnification over the fitted size (wheel zoom).
    double zoom = 1.0;
};

class FoldedBoxPainter {
public:
    // model: the millimetre geometry; fold: 0 flat .. 1 closed; size: the
    // picture's size in pixels.
    FoldedBoxPainter(const FoldingModel& model, double fold, const ViewCamera& camera, QSize size);

    // Background, ground shadow, panels and (when labels) the face names.
    // Panels without a texture (textures not made) are drawn plain white.
    void paint(QPainter& painter, const FaceTextures& textures, bool labels) const;

    // A point in space on the picture.
    QPointF project(const Vec3& p) const;
    // true when the printed side of the panel faces the viewer.
    bool showsPrintedSide(PanelId id) const;
    // The middle of a panel's visible part on the picture.
    QPointF panelCentre(PanelId id) const;
    // The panels in the order they are drawn (far to near), with the side
    // that shows.
    struct DrawItem {
        PanelId id;
        bool printedSide;
    };
    const std::vector<DrawItem>& drawOrder() const { return m_order; }
    const std::vector<PanelPose>& poses() const { return m_poses; }

private:
    Vec3 toView(const Vec3& p) const;
    void computeOrder();
    void paintShadow(QPainter& painter) const;
    void paintPanel(QPainter& painter, const FaceTextures& textures, const DrawItem& item) const;
    void paintLabels(QPainter& painter) const;

    const FoldingModel& m_model;
    double m_fold;
    QSize m_size;
    std::vector<PanelPose> m_poses;
    Rigid3 m_view;        // space -> camera space, camera at the origin looking along +z
    double m_focal = 1;   // pixels per unit at distance 1
    std::vector<DrawItem> m_order;
};
