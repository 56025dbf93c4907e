#include "app/EditorScrollBox.h"

#include <QScrollBar>

EditorScrollBox::EditorScrollBox(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("ScrollBox1"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The application-workspace grey around a canvas smaller than the box.
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, QColor(0xAB, 0xAB, 0xAB));
    viewport()->setPalette(pal);
    viewport()->setAutoFillBackground(true);
    // The corner between the two scroll bars in the bars' own colour; left
    // to the window it showed black.
    auto* corner = new QWidget(this);
    corner->setObjectName(QStringLiteral("ScrollCorner"));
    corner->setAutoFillBackground(true);
    QPalette cornerPal = corner->palette();
    cornerPal.setColor(QPalette::Window, cornerPal.color(QPalette::Button));
    corner->setPalette(cornerPal);
    setCornerWidget(corner);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &EditorScrollBox::scrolled);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &EditorScrollBox::scrolled);
}

void EditorScrollBox::mousePressEvent(QMouseEvent* event) {
    if (m_pressOutside) m_pressOutside();
    QScrollArea::mousePressEvent(event);
}
