#pragma once
// TRuler / LRuler: the millimetre rulers beside the editor. They read the
// editor's sizes and scroll position on every paint and keep nothing.

#include <QWidget>
#include <functional>

struct RulerInput {
    int scroll = 0;           // the editor's scroll position in this direction
    int surfaceLength = 0;    // the editor canvas's size in this direction
    double itemMm = 0;        // ItemWidth or ItemHeight
};

class RulerWidget : public QWidget {
    Q_OBJECT
public:
    enum Direction { Horizontal, Vertical };
    RulerWidget(Direction direction, QWidget* parent = nullptr);
    void setSource(std::function<RulerInput()> source) { m_source = std::move(source); }
    Direction direction() const { return m_direction; }
    // The picture a paint would show.
    QImage render() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Direction m_direction;
    std::function<RulerInput()> m_source;
};
