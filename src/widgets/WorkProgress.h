#pragma once
// The modal progress dialog of long work the window runs itself (print,
// export, the sheet's files): a bar and "Abbrechen". It shows only once the
// work has taken longer than its showing time, so quick jobs show nothing.
// The work asks callback() as it goes; once the user pressed "Abbrechen"
// (or Escape) the answer is false, and stays so.

#include "base/Progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

class WorkProgress {
public:
    // parent: the window the dialog blocks (null: none).
    WorkProgress(QWidget* parent, const QString& title, const QString& label);
    ~WorkProgress();
    WorkProgress(const WorkProgress&) = delete;
    WorkProgress& operator=(const WorkProgress&) = delete;

    // For the work: reports the percent, false once cancelled. Valid while
    // this object lives.
    ProgressCallback callback();
    bool cancelled() const { return m_cancelled; }
    // Null until the dialog was made visible.
    QProgressDialog* dialog() const;

    // How long work runs before the dialog shows, in milliseconds; tests set
    // 0 to meet the dialog at the first report.
    static int showAfterMs();
    static void setShowAfterMs(int ms);

private:
    bool report(int percent);

    QPointer<QProgressDialog> m_dialog;
    QElapsedTimer m_clock;
    QElapsedTimer m_sinceEvents;
    bool m_cancelled = false;
    bool m_shown = false;
};
