#include "edit/EditorToolBar.h"

#include <QButtonGroup>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Small drawn glyphs; the buttons need a picture above the caption.
QIcon glyph(EditorTool tool) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    switch (tool) {
    case EditorTool::Pointer: {
        QPainterPath arrow;
        arrow.moveTo(6, 3);
        arrow.lineTo(6, 20);
        arrow.lineTo(10, 16);
        arrow.lineTo(13, 22);
        arrow.lineTo(15, 21);
        arrow.lineTo(12, 15);
        arrow.lineTo(18, 15);
        arrow.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(arrow);
        break;
    }
    case EditorTool::Zoom:
        p.drawEllipse(QRectF(3, 3, 12, 12));
        p.setPen(QPen(Qt::black, 3));
        p.drawLine(QPointF(14, 14), QPointF(21, 21));
        break;
    case EditorTool::Hand:
        p.setBrush(QColor(255, 224, 189));
        p.drawRoundedRect(QRectF(5, 9, 14, 12), 4, 4);
        for (int i = 0; i < 4; ++i) p.drawRoundedRect(QRectF(5 + i * 3.5, 3, 3, 9), 1.5, 1.5);
        break;
    case EditorTool::Figure:
        p.setBrush(QColor(70, 130, 200));
        p.drawRect(QRectF(3, 8, 11, 11));
        p.setBrush(QColor(220, 80, 60));
        p.drawEllipse(QRectF(10, 3, 11, 11));
        break;
    case EditorTool::Text: {
        QFont f = p.font();
        f.setPixelSize(20);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("T"));
        break;
    }
    case EditorTool::Image:
        p.setBrush(QColor(200, 230, 255));
        p.drawRect(QRectF(3, 5, 18, 14));
        p.setBrush(QColor(60, 160, 60));
        p.drawPolygon(QPolygonF({QPointF(4, 18), QPointF(10, 10), QPointF(15, 16), QPointF(20, 12), QPointF(20, 18)}));
        break;
    case EditorTool::Content:
        p.drawLine(QPointF(12, 3), QPointF(12, 21));
        p.drawLine(QPointF(8, 3), QPointF(16, 3));
        p.drawLine(QPointF(8, 21), QPointF(16, 21));
        break;
    }
    return QIcon(pm);
}

struct ToolButtonDef {
    EditorTool tool;
    const char* name;
    const char* caption;
    const char* hint;
};

const ToolButtonDef kButtons[7] = {
    {EditorTool::Pointer, "SpeedItem3", "Zeiger", "Verändert Objekte"},
    {EditorTool::Zoom, "SpeedZoom", "Lupe", "Vergrößert oder Verkleinert"},
    {EditorTool::Hand, "SpeedHand", "Hand", "Verschiebt den sichtbaren Ausschnitt"},
    {EditorTool::Figure, "SpeedItem1", "Figur", "Fügt eine geometrische Figur ein"},
    {EditorTool::Text, "SpeedItem2", "Text",
     "Fügt Text ein - Sie müssen auf das Textfeld doppelklicken, um Text einzugeben"},
    {EditorTool::Image, "SpeedItem10", "Bild", "Fügt ein Bild ein"},
    {EditorTool::Content, "SpeedInhalt", "Inhalt", "Inhalt eines Textobjektes editieren"},
};

}  // namespace

EditorToolBar::EditorToolBar(QWidget* parent) : QToolBar(parent), m_group(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("Toolbar"));
    setOrientation(Qt::Vertical);
    setMovable(false);
    setFloatable(false);
    setFixedWidth(57);
    setContentsMargins(0, 0, 0, 0);
    m_group->setExclusive(true);

    auto* holder = new QWidget(this);
    auto* column = new QVBoxLayout(holder);
    column->setContentsMargins(3, 8, 4, 0);
    column->setSpacing(0);
    for (int i = 0; i < 7; ++i) {
        const ToolButtonDef& def = kButtons[i];
        auto* b = new QToolButton(holder);
        b->setObjectName(QString::fromLatin1(def.name));
        b->setText(QString::fromUtf8(def.caption));
        b->setToolTip(QString::fromUtf8(def.hint));
        b->setStatusTip(QString::fromUtf8(def.hint));
        b->setIcon(glyph(def.tool));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setFixedSize(50, 54);
        b->setFocusPolicy(Qt::NoFocus);
        m_group->addButton(b, i);
        m_buttons[i] = b;
        column->addWidget(b);
        // The content tool can be put down by the program only.
        if (def.tool == EditorTool::Content) b->setVisible(false);
    }
    column->addStretch(1);
    addWidget(holder);
    m_buttons[0]->setChecked(true);
    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) emit toolChanged(static_cast<EditorTool>(id));
    });
}

EditorTool EditorToolBar::currentTool() const {
    const int id = m_group->checkedId();
    return id < 0 ? EditorTool::Pointer : static_cast<EditorTool>(id);
}

void EditorToolBar::setCurrentTool(EditorTool tool) {
    m_buttons[static_cast<int>(tool)]->setChecked(true);
}

QToolButton* EditorToolBar::button(EditorTool tool) const { return m_buttons[static_cast<int>(tool)]; }
