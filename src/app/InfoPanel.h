#pragma once
// InfoPanel: the strip above the status bar with the progress bar at its left
// and the sheet layout line as its caption.

#include <QWidget>

class QLabel;
class QProgressBar;

class InfoPanel : public QWidget {
    Q_OBJECT
public:
    explicit InfoPanel(QWidget* parent = nullptr);

    void setCaption(const QString& text);
    QString caption() const;
    // Progress in percent, kept within 0..100.
    void setProgress(int percent);

    QProgressBar* ProgressBar1 = nullptr;

private:
    QLabel* m_caption = nullptr;
};
