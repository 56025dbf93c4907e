#pragma once
// "Neu mit Papierformat": which paper the new box is made for. The box's
// item and the printer's paper both follow the choice.

#include "model/PaperFormat.h"

#include <QDialog>

class QPushButton;
class QRadioButton;

class TPaperFormatForm : public QDialog {
    Q_OBJECT
public:
    explicit TPaperFormatForm(QWidget* parent = nullptr);

    PaperFormat paper() const;
    void setPaper(PaperFormat paper);

    QRadioButton* A4Radio;
    QRadioButton* A3Radio;
    QRadioButton* LetterRadio;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;

protected:
    void showEvent(QShowEvent* event) override;
};
