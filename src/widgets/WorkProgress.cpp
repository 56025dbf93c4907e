#include "widgets/WorkProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>

namespace {
int g_showAfterMs = 800;
// While the dialog shows, the window's events (the button, repaints) are
// handled at most this often: the work may ask many times a millisecond.
constexpr int EventsEveryMs = 30;
}  // namespace

int WorkProgress::showAfterMs() { return g_showAfterMs; }
void WorkProgress::setShowAfterMs(int ms) { g_showAfterMs = std::max(ms, 0); }

WorkProgress::WorkProgress(QWidget* parent, const QString& title, const QString& label) {
    m_dialog = new QProgressDialog(label, QStringLiteral("Abbrechen"), 0, 100, parent);
    m_dialog->setObjectName(QStringLiteral("WorkProgress"));
    m_dialog->setWindowTitle(title);
    m_dialog->setWindowModality(Qt::WindowModal);
    // Shown by report(), not by the dialog's own timer or estimate, and
    // never taken away at 100 %: the caller ends it.
    m_dialog->setMinimumDuration(24 * 3600 * 1000);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->reset();
    m_dialog->hide();
    QObject::connect(m_dialog, &QProgressDialog::canceled, m_dialog, [this] { m_cancelled = true; });
    m_clock.start();
}

WorkProgress::~WorkProgress() { delete m_dialog.data(); }

ProgressCallback WorkProgress::callback() {
    return [this](int percent) { return report(percent); };
}

QProgressDialog* WorkProgress::dialog() const { return m_shown ? m_dialog.data() : nullptr; }

bool WorkProgress::report(int percent) {
    if (m_cancelled || !m_dialog) return false;
    if (!m_shown && m_clock.elapsed() >= g_showAfterMs) {
        m_dialog->show();
        m_shown = true;
        m_sinceEvents.invalidate();
    }
    if (!m_shown) return true;
    m_dialog->setValue(std::clamp(percent, 0, 100));
    if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= EventsEveryMs) {
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }
    return !m_cancelled && m_dialog && !m_dialog->wasCanceled();
}
