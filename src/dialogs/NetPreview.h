#pragma once
// The live drawing of the Boxform dialog: the net's cut outline drawn solid,
// its folds dashed, on the item's room. A net that does not fit reaches
// past the room and is drawn in red.

#include "box/NetDrawing.h"

#include <QFrame>
#include <QImage>

class NetPreview : public QFrame {
    Q_OBJECT
public:
    explicit NetPreview(QWidget* parent = nullptr);

    // room: what the item offers the net, in mm from its top-left corner.
    void setNet(const NetDrawingMm& net, const QSizeF& room, bool fits);

    const NetDrawingMm& net() const { return m_net; }
    bool fits() const { return m_fits; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    NetDrawingMm m_net;
    QSizeF m_room;
    bool m_fits = true;
};

// A small picture of a net for choosing its style: the outline filled white
// and drawn solid, the folds dashed, scaled into size with a margin.
QImage netPicture(const NetDrawingMm& net, const QSize& size);
