#include "app/BarControls.h"

#include <QToolButton>
#include <QWidget>

void setHint(QWidget* w, const QString& hint) {
    w->setToolTip(hint);
    w->setStatusTip(hint);
}

QToolButton* barButton(QWidget* bar, const char* name, const QString& caption, const QString& hint,
                       QStyle::StandardPixmap glyph) {
    auto* b = new QToolButton(bar);
    b->setObjectName(QLatin1String(name));
    b->setText(caption);
    setHint(b, hint);
    b->setIcon(bar->style()->standardIcon(glyph));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setFixedSize(80, 50);
    b->setAutoRaise(true);
    return b;
}
