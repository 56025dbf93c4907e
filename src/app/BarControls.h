#pragma once
// The pieces the tabs' button bars are built from, so that every bar's
// buttons look alike and every control names its purpose in the status bar.

#include <QString>
#include <QStyle>

class QToolButton;
class QWidget;

// The hint as tool tip and as status-bar text.
void setHint(QWidget* w, const QString& hint);

// A flat button of 80 x 50 with its caption under a standard glyph; the
// caller places it.
QToolButton* barButton(QWidget* bar, const char* name, const QString& caption, const QString& hint,
                       QStyle::StandardPixmap glyph);
