#pragma once
// A paint engine that writes what a QPainter draws as SVG: paths with
// their pens and brushes, clips as clip paths, images embedded as lossless
// PNG at their own pixel size (each picture once, placed by <use>), and text
// as <text> with its font family and the glyphs' positions. Everything is
// written in device coordinates; only turned text and images carry a
// transform.
//
// Groups: beginLayer/endLayer put what is drawn between them into a group
// that vector editors and cutting-machine software show as a layer.

#include <QColor>
#include <QHash>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QBrush>
#include <QTransform>
#include <QXmlStreamWriter>

class SvgPaintEngine : public QPaintEngine {
public:
    // The document's size: width and height in millimetres, and the
    // viewBox in device pixels (0, 0, viewWidth, viewHeight).
    SvgPaintEngine(QIODevice* out, double widthMm, double heightMm, double viewWidth, double viewHeight);
    ~SvgPaintEngine() override;

    bool begin(QPaintDevice* device) override;
    bool end() override;
    Type type() const override { return QPaintEngine::SVG; }

    void updateState(const QPaintEngineState& state) override;
    void drawPath(const QPainterPath& path) override;
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
    void drawRects(const QRectF* rects, int count) override;
    void drawLines(const QLineF* lines, int count) override;
    void drawPoints(const QPointF* points, int count) override;
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override;
    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                   Qt::ImageConversionFlags flags = Qt::AutoColor) override;
    void drawTextItem(const QPointF& p, const QTextItem& textItem) override;

    void beginLayer(const QString& id, const QString& label);
    void endLayer();
    void setTitle(const QString& title) { m_title = title; }

private:
    // Opens the clip group the next element needs (closing another first).
    void prepareClip();
    void closeClipGroup();
    void writePathElement(const QPainterPath& devicePath, bool fill, bool stroke);
    QString imageId(const QImage& image);

    QXmlStreamWriter m_xml;
    double m_widthMm, m_heightMm, m_viewWidth, m_viewHeight;
    QString m_title;
    QPen m_pen;
    QBrush m_brush;
    QTransform m_matrix;
    double m_opacity = 1.0;
    bool m_clipOn = false;
    QPainterPath m_clip;            // device coordinates, when m_clipOn
    bool m_clipGroupOpen = false;
    QPainterPath m_openClip;
    int m_clipCount = 0;
    int m_layerDepth = 0;
    QHash<qint64, QString> m_images;
};
