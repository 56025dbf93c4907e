#pragma once
// Progress in percent posted to the main window by components that run
// outside its call chain; the window puts it on its progress bar.

#include <QEvent>

class ProgressEvent : public QEvent {
public:
    static constexpr QEvent::Type Type = static_cast<QEvent::Type>(QEvent::User + 1024);
    explicit ProgressEvent(int percent) : QEvent(Type), m_percent(percent) {}
    int percent() const { return m_percent; }

private:
    int m_percent;
};
