#pragma once
// JPEG quality (TJPEGQForm): a slider and a number edit that follow each
// other. Both values are kept in the settings store whenever the dialog
// closes, confirmed or not, and come back in the next run.

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

class TJPEGQForm : public QDialog {
    Q_OBJECT
public:
    explicit TJPEGQForm(QWidget* parent = nullptr);

    int quality() const;   // the slider's value

    QLabel* RxLabel2;
    QGroupBox* GroupBox1;
    QLabel* RxLabel5;
    QLabel* RxLabel4;
    QSlider* QualED1;
    QLabel* RxLabel3;
    QLabel* RxLabel1;
    QSpinBox* QualED2;
    QPushButton* BitBtn1;   // OK
    QPushButton* BitBtn2;   // Cancel

    // Settings keys of the two stored values.
    static const char* const SliderKey;
    static const char* const SpinKey;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void QualED1Change(int value);
    void QualED2Change(int value);
    void restoreValues();
    void storeValues() const;
};
