#include "app/InfoPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

InfoPanel::InfoPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("InfoPanel"));
    setFixedHeight(22);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedSize(150, 16);

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("InfoPanelCaption"));
    m_caption->setAlignment(Qt::AlignCenter);
    // A long layout line must not widen the window.
    m_caption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(3, 3, 3, 3);
    row->setSpacing(6);
    row->addWidget(ProgressBar1);
    row->addWidget(m_caption, 1);
}

void InfoPanel::setCaption(const QString& text) { m_caption->setText(text); }

QString InfoPanel::caption() const { return m_caption->text(); }

void InfoPanel::setProgress(int percent) {
    const int value = std::clamp(percent, 0, 100);
    if (value == ProgressBar1->value()) return;
    ProgressBar1->setValue(value);
    // Reports arrive from inside long operations that hold the event loop:
    // paint the bar now, not when the operation is over.
    if (ProgressBar1->isVisible()) ProgressBar1->repaint();
}
