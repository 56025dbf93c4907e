#pragma once
// The about box ("Info"): picture, heading, copyright line with the current
// year, a few lines about the maker, a button to the maker's web page, OK.

#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    static QUrl webPage();
    // The copyright line's text with the first "XXXX" replaced by the year.
    static QString withYear(const QString& text, int year);

    QLabel* Copyright = nullptr;
    QPushButton* WebButton = nullptr;
    QPushButton* OKButton = nullptr;

signals:
    // Emitted before the web page is handed to the desktop; tests listen here.
    void webPageRequested(const QUrl& url);

private slots:
    void WebButtonClick();

private:
    bool m_openBrowser = true;

public:
    // Tests switch the real browser start off.
    void setOpensBrowser(bool on) { m_openBrowser = on; }
};
