#pragma once
// Text entry (TTxtForm): the lines of a text object in a memo.

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;
class QFrame;

class TTxtForm : public QDialog {
    Q_OBJECT
public:
    explicit TTxtForm(QWidget* parent = nullptr);

    // The memo's lines. A last line left empty (the text ends in a line
    // break) does not count, as in a memo's line list.
    void setLines(const QStringList& lines);
    QStringList lines() const;

    QPlainTextEdit* Memo1;
    QFrame* Bevel1;
    QPushButton* BitBtn1;   // OK
    QPushButton* BitBtn2;   // Cancel

protected:
    void showEvent(QShowEvent* event) override;
};
