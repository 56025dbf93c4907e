#include "edit/MenuHints.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStatusTipEvent>

namespace {
void showHint(const QString& text) {
    if (QWidget* window = QApplication::activeWindow()) {
        QStatusTipEvent tip(text);
        QApplication::sendEvent(window, &tip);
    }
}
}  // namespace

void forwardMenuHints(QMenu* menu) {
    QObject::connect(menu, &QMenu::hovered, menu, [](QAction* action) { showHint(action->statusTip()); });
    QObject::connect(menu, &QMenu::aboutToHide, menu, [] { showHint(QString()); });
}
