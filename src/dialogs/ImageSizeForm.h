#pragma once
// "Bildgröße": the width and height of a picture to save, in pixels.

#include <QDialog>
#include <QSize>

class QPushButton;
class QSpinBox;

class TImageSizeForm : public QDialog {
    Q_OBJECT
public:
    explicit TImageSizeForm(QWidget* parent = nullptr);

    static constexpr int Smallest = 16;
    static constexpr int Largest = 8000;

    // Shows the dialog started with size; on OK size holds the choice.
    bool choose(QSize& size);

    QSpinBox* WidthEd = nullptr;
    QSpinBox* HeightEd = nullptr;
    QPushButton* BitBtn1 = nullptr;   // OK
    QPushButton* BitBtn2 = nullptr;   // Abbrechen
};
