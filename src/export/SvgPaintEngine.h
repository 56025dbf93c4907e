#pragma once
// A paint engine that writes what a QPainter draws as SVG: paths with
// their pens and brushes, clips as clip paths, images at their own pixel
// size (each picture once, placed by <use>) as their own file's bytes where
// the engine is given them, else as lossless PNG, and text
// as <text> with its font family and the glyphs' positions. Everything is
// written in device coordinates; only turned text, images and long paths
// (a text's glyphs, each written once and placed by <use>) carry a
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

#include <functional>

#include "export/PictureFile.h"

// Pictures are put into the SVG up to this many bytes in all; the others go
// beside it. Their base64 (4/3 as long) would otherwise pass the 10 000 000
// characters up to which libxml2, and with it librsvg, xmllint and many
// importers, reads an attribute or looks ahead in its input.
constexpr qsizetype kMaxEmbeddedPictureBytes = 7000000;

// Keeps a picture's bytes outside the SVG (suffix "jpg" or "png") and gives
// the relative address the SVG links it by.
using SidePictureSink = std::function<QString(const QByteArray& bytes, const QString& suffix)>;

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
    // Pictures by the cache key of the image drawn; files must outlive the engine.
    void setPictureFiles(const PictureFiles* files) { m_files = files; }
    // Without a sink every picture is embedded, however large.
    void setSidePictureSink(SidePictureSink sink) { m_sideSink = std::move(sink); }

private:
    // Opens the clip group the next element needs (closing another first).
    void prepareClip();
    void closeClipGroup();
    void writePathElement(const QPainterPath& devicePath, bool fill, bool stroke);
    QString imageId(const QImage& image);
    // The id of a shape with this path data, written into <defs> the first time.
    QString shapeId(const QString& data);
    // Writes the gradient of the brush for a path; its id, or empty where
    // SVG has no such gradient (conical), which is then filled with its first colour.
    QString writeGradient(const QPainterPath& devicePath);

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
    int m_gradientCount = 0;
    int m_layerDepth = 0;
    QHash<qint64, QString> m_images;
    QHash<QByteArray, QString> m_shapes;
    const PictureFiles* m_files = nullptr;
    SidePictureSink m_sideSink;
    qsizetype m_embeddedBytes = 0;
};
