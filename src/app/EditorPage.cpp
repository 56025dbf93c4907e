#include "app/EditorPage.h"

#include <algorithm>

#include "app/BarControls.h"
#include "app/EditorCanvas.h"
#include "app/EditorScrollBox.h"
#include "app/RulerWidget.h"
#include "model/BoxDocument.h"
#include "model/BoxSize.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* speedButton(QWidget* bar, const char* name, const QString& caption, const QString& hint,
                         QStyle::StandardPixmap glyph, int x) {
    QToolButton* b = barButton(bar, name, caption, hint, glyph);
    b->move(x, 3);
    return b;
}

QLabel* barLabel(QWidget* bar, const char* name, const QString& text, int x, int y) {
    auto* l = new QLabel(text, bar);
    l->setObjectName(QLatin1String(name));
    l->move(x, y);
    l->adjustSize();
    return l;
}

const QString CubeCaption = QStringLiteral("Größe des Würfels:");
const QString CuboidCaption = QStringLiteral("Maße der Box:");
constexpr int SizeFieldX = 456;
constexpr int CubeFieldWidth = 73;

// In this font the caption may be wider than its place: it keeps a gap of
// four pixels to its field by starting further left.
void placeSizeCaption(QLabel* label) {
    label->adjustSize();
    label->move(std::min(360, SizeFieldX - 4 - label->width()), label->y());
}

}  // namespace

EditorPage::EditorPage(BoxDocument& doc, EditorCanvas* canvas, QWidget* parent)
    : QWidget(parent), PaintBox1(canvas), m_doc(doc) {
    setObjectName(QStringLiteral("TabSheet3"));

    SpeedBar2 = new QWidget(this);
    SpeedBar2->setObjectName(QStringLiteral("SpeedBar2"));
    SpeedBar2->setFixedHeight(56);
    NewBtn = speedButton(SpeedBar2, "NewBtn", QStringLiteral("Neu..."), QStringLiteral("Neue Datei erstellen"),
                         QStyle::SP_FileIcon, 8);
    SpeedItem4 = speedButton(SpeedBar2, "SpeedItem4", QStringLiteral("Öffnen..."), QStringLiteral("Öffnet eine Box"),
                             QStyle::SP_DialogOpenButton, 88);
    SpeedItem5 = speedButton(SpeedBar2, "SpeedItem5", QStringLiteral("Speichern"), QStringLiteral("Speichert die Box"),
                             QStyle::SP_DialogSaveButton, 168);
    SpeedItem6 = speedButton(SpeedBar2, "SpeedItem6", QStringLiteral("Hintergrund"),
                             QStringLiteral("Hintergrund auswählen"), QStyle::SP_DesktopIcon, 264);
    barLabel(SpeedBar2, "BoxSizeLabel", QStringLiteral("Größe der Box:"), 360, 8);
    ProzED = new QSpinBox(SpeedBar2);
    ProzED->setObjectName(QStringLiteral("ProzED"));
    ProzED->setRange(10, 100);
    ProzED->setSingleStep(10);
    ProzED->setValue(100);
    ProzED->setGeometry(456, 8, 73, 22);
    barLabel(SpeedBar2, "PercentLabel", QStringLiteral("%"), 536, 8);
    CubeSizeLabel = barLabel(SpeedBar2, "CubeSizeLabel", CubeCaption, 360, 32);
    placeSizeCaption(CubeSizeLabel);
    GrossEd = new QLineEdit(SpeedBar2);
    GrossEd->setObjectName(QStringLiteral("GrossEd"));
    GrossEd->setReadOnly(true);
    GrossEd->setFocusPolicy(Qt::NoFocus);
    GrossEd->setGeometry(SizeFieldX, 32, CubeFieldWidth, 21);
    QPalette tip = GrossEd->palette();
    tip.setColor(QPalette::Base, tip.color(QPalette::ToolTipBase));
    tip.setColor(QPalette::Text, tip.color(QPalette::ToolTipText));
    GrossEd->setPalette(tip);

    RowLabel = barLabel(SpeedBar2, "RowLabel", QStringLiteral("Datensatz:"), 558, 11);
    RowED = new QSpinBox(SpeedBar2);
    RowED->setObjectName(QStringLiteral("RowED"));
    RowED->setToolTip(QStringLiteral("Der Datensatz der Seriendaten, den Editor und Ansichten zeigen"));
    RowED->setStatusTip(RowED->toolTip());
    RowED->setGeometry(612, 8, 58, 22);
    RowED->setKeyboardTracking(false);
    RowLabel->setBuddy(RowED);
    RowCountLabel = barLabel(SpeedBar2, "RowCountLabel", QString(), 674, 11);
    showSeriesRows(0, 0);
    connect(RowED, qOverload<int>(&QSpinBox::valueChanged), this, [this](int value) { emit seriesRowChosen(value - 1); });

    // GolbalPanel: black, the top ruler across, the left ruler beside the
    // scroll box.
    GolbalPanel = new QWidget(this);
    GolbalPanel->setObjectName(QStringLiteral("GolbalPanel"));
    QPalette black = GolbalPanel->palette();
    black.setColor(QPalette::Window, Qt::black);
    GolbalPanel->setPalette(black);
    GolbalPanel->setAutoFillBackground(true);

    ScrollBox1 = new EditorScrollBox(GolbalPanel);
    ScrollBox1->setWidget(PaintBox1);
    PaintBox1->setScrollBox(ScrollBox1);

    TRuler = new RulerWidget(RulerWidget::Horizontal, GolbalPanel);
    LRuler = new RulerWidget(RulerWidget::Vertical, GolbalPanel);
    TRuler->setSource([this] {
        return RulerInput{ScrollBox1->horizontalScrollBar()->value(), PaintBox1->width(), m_doc.Layout.ItemWidth};
    });
    LRuler->setSource([this] {
        return RulerInput{ScrollBox1->verticalScrollBar()->value(), PaintBox1->height(), m_doc.Layout.ItemHeight};
    });

    auto* grid = new QGridLayout(GolbalPanel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(TRuler, 0, 0, 1, 2);
    grid->addWidget(LRuler, 1, 0);
    grid->addWidget(ScrollBox1, 1, 1);

    m_toolBarSlot = new QWidget(this);
    m_toolBarSlot->setFixedWidth(57);
    m_panelSlot = new QWidget(this);
    m_panelSlot->setFixedWidth(145);

    m_body = new QHBoxLayout;
    m_body->setContentsMargins(0, 0, 0, 0);
    m_body->setSpacing(0);
    m_body->addWidget(m_toolBarSlot);
    m_body->addWidget(GolbalPanel, 1);
    m_body->addWidget(m_panelSlot);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(SpeedBar2);
    root->addLayout(m_body, 1);

    connect(ProzED, qOverload<int>(&QSpinBox::valueChanged), this, [this](int value) {
        PaintBox1->setBoxPercent(value);
        ProzEDChange();
    });
    connect(ScrollBox1, &EditorScrollBox::scrolled, this, [this] {
        PaintBox1->update();
        repaintRulers();
    });
    connect(PaintBox1, &EditorCanvas::rulersNeedRepaint, this, &EditorPage::repaintRulers);
}

void EditorPage::placeToolBar(QWidget* toolBar) {
    toolBar->setFixedWidth(57);
    m_body->replaceWidget(m_toolBarSlot, toolBar);
    m_toolBarSlot->deleteLater();
    m_toolBarSlot = toolBar;
}

void EditorPage::placePropertyPanel(QWidget* panel) {
    panel->setFixedWidth(145);
    m_body->replaceWidget(m_panelSlot, panel);
    m_panelSlot->deleteLater();
    m_panelSlot = panel;
}

void EditorPage::placeKeyEdit(QWidget* keyEdit) {
    keyEdit->setParent(GolbalPanel);
    keyEdit->setObjectName(QStringLiteral("KeyEdit"));
    keyEdit->setGeometry(24, 24, 8, 8);
    keyEdit->show();
    keyEdit->lower();
}

int EditorPage::boxPercent() const { return ProzED->value(); }

void EditorPage::ProzEDChange() {
    PaintBox1->PaintBox1Paint();
    showSize(true);
}

void EditorPage::showForm() { showSize(false); }

void EditorPage::showSize(bool refreshCubeEdge) {
    const bool cuboid = m_doc.Form.isCuboid();
    // A cuboid is at its measures: the percentage keeps its value for the
    // next cube.
    ProzED->setEnabled(!cuboid);
    if (cuboid) {
        CubeSizeLabel->setText(CuboidCaption);
        const QString measures = boxform::measuresText(m_doc.Form);
        GrossEd->setText(measures);
        // Wide enough for the text with the field's frame and margins.
        const int textWidth = GrossEd->fontMetrics().horizontalAdvance(measures) + 14;
        GrossEd->resize(std::max(CubeFieldWidth, textWidth), GrossEd->height());
        GrossEd->setCursorPosition(0);
    } else {
        CubeSizeLabel->setText(CubeCaption);
        GrossEd->resize(CubeFieldWidth, GrossEd->height());
        if (refreshCubeEdge || m_showsCuboid)
            GrossEd->setText(cubeEdgeText(ProzED->value(), m_doc.Layout.ItemHeight));
    }
    placeSizeCaption(CubeSizeLabel);
    m_showsCuboid = cuboid;
}

void EditorPage::scrollToMiddleThird() {
    PaintBox1->setScrollPosition(QPoint(PaintBox1->width() / 3, PaintBox1->height() / 3));
}

void EditorPage::repaintRulers() {
    TRuler->update();
    LRuler->update();
}

void EditorPage::showSeriesRows(int rowCount, int index) {
    const QSignalBlocker quiet(RowED);
    RowED->setRange(1, std::max(1, rowCount));
    RowED->setValue(index + 1);
    RowED->setEnabled(rowCount > 0);
    RowLabel->setEnabled(rowCount > 0);
    RowCountLabel->setText(rowCount > 0 ? QStringLiteral("von %1").arg(rowCount) : QStringLiteral("von 0"));
    RowCountLabel->setEnabled(rowCount > 0);
    RowCountLabel->adjustSize();
}
