#pragma once
// The program's application object: an event whose handling runs out of
// memory (a picture too large to turn, a print at a resolution the machine
// cannot hold) ends that command with a message instead of ending the
// program with std::bad_alloc and the unsaved design with it.

#include <QApplication>
#include <QPointer>
#include <functional>

#include "app/SDIMain.h"

// Runs deliver; a std::bad_alloc thrown from it is told by window (see
// TSDIAppForm::reportOutOfMemory) and gives false.
bool deliverGuarded(const std::function<bool()>& deliver, TSDIAppForm* window);

class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    // The window whose prompter tells the user; none: the event is dropped quietly.
    void setWindow(TSDIAppForm* window) { m_window = window; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    QPointer<TSDIAppForm> m_window;
};
