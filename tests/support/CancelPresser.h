#pragma once
// A user who presses "Abbrechen" of the progress dialog of long work as
// soon as it is up.

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// The dialog's only button, "Abbrechen".
inline QPushButton* cancelButton(QProgressDialog* dialog) {
    return dialog ? dialog->findChild<QPushButton*>() : nullptr;
}

// Presses "Abbrechen" with the mouse once a progress dialog is up: its
// showing queues the click, which the work's next look at the window's
// events delivers, however fast the machine. What it saw goes to the fields.
struct CancelPresser : QObject {
    QString title;
    int percentWhenPressed = -1;
    bool pressed = false;
    void arm() { qApp->installEventFilter(this); }
    ~CancelPresser() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<QProgressDialog*>(watched))
            QMetaObject::invokeMethod(this, &CancelPresser::press, Qt::QueuedConnection);
        return false;
    }
    void press() {
        auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        QPushButton* button = cancelButton(dialog);
        ASSERT_NE(button, nullptr);
        if (pressed) return;
        title = dialog->windowTitle();
        EXPECT_EQ(button->text(), QStringLiteral("Abbrechen"));
        percentWhenPressed = dialog->value();
        pressed = true;
        QTest::mouseClick(button, Qt::LeftButton);
    }
};
