#pragma once
// ScrollBox1: the borderless scroll box around the editor canvas. A press on
// its empty part only moves the keyboard focus (to KeyEdit, through the
// editing code); every scroll repaints the canvas and the rulers.

#include <QScrollArea>
#include <functional>

class EditorScrollBox : public QScrollArea {
    Q_OBJECT
public:
    explicit EditorScrollBox(QWidget* parent = nullptr);
    void setPressOutsideCanvas(std::function<void()> handler) { m_pressOutside = std::move(handler); }

signals:
    void scrolled();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<void()> m_pressOutside;
};
