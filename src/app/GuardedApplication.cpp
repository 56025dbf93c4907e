#include "app/GuardedApplication.h"

#include "app/SDIMain.h"

#include <new>

bool deliverGuarded(const std::function<bool()>& deliver, TSDIAppForm* window) {
    try {
        return deliver();
    } catch (const std::bad_alloc&) {
        if (window) window->reportOutOfMemory();
        return false;
    }
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    return deliverGuarded([&] { return QApplication::notify(receiver, event); }, m_window);
}
