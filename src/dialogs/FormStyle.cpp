#include "dialogs/FormStyle.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void applyDialogFont(QWidget* form) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    form->setFont(f);
}

void centreOnScreen(QWidget* form) {
    QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = form->frameGeometry().size();
    form->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}
