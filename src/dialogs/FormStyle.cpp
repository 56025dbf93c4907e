#include "dialogs/FormStyle.h"

#include <QFont>
#include <QGroupBox>
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

void applyGroupFrame(QGroupBox* group) {
    // A style sheet resolves fonts anew: name the dialog font for the group
    // and everything in it.
    group->setStyleSheet(QStringLiteral(
        "QGroupBox, QGroupBox * { font-family: \"Liberation Sans\"; font-size: 11px; }"
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 6px; top: 0px; padding: 0px 2px; }"));
}
