#pragma once
// The folded box on the page "3D-Ansicht": paints through FoldedBoxPainter,
// turns with a left-button drag, zooms with the wheel and returns to the
// start view on a double click. The face pictures are made at paint time,
// and only when the document's revision or the box size differ from
// theirs: a hidden page paints nothing and so renders nothing.

#include "view3d/FaceTextures.h"
#include "view3d/FoldedBoxPainter.h"

#include <QWidget>
#include <functional>

struct BoxDocument;

class FoldView : public QWidget {
    Q_OBJECT
public:
    // percent: the box size (ProzED) at the moment of painting.
    FoldView(BoxDocument& doc, std::function<int()> percent, QWidget* parent = nullptr);

    // The document whose pictures the faces show (the design as a row of
    // linked data fills it); the design itself when not set.
    void setShownDocument(std::function<const BoxDocument&()> shown) { m_shown = std::move(shown); }

    const ViewCamera& camera() const { return m_camera; }
    void setCamera(const ViewCamera& camera);
    void resetCamera();
    double fold() const { return m_fold; }
    void setFold(double fold);
    bool labels() const { return m_labels; }
    void setLabels(bool on);

    // The current view as a picture of any size, textures brought up to date.
    QImage grabView(QSize size);

    const FaceTextures& textures() const { return m_textures; }
    // Frames painted so far (tests).
    int frames() const { return m_frames; }

signals:
    void cameraChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void refreshTextures();

    const BoxDocument& shown() const {
        if (m_shown) return m_shown();
        return m_doc;
    }

    BoxDocument& m_doc;
    std::function<const BoxDocument&()> m_shown;
    std::function<int()> m_percent;
    FaceTextures m_textures;
    ViewCamera m_camera;
    double m_fold = 1.0;
    bool m_labels = false;
    bool m_dragging = false;
    QPoint m_dragFrom;
    int m_frames = 0;
};
