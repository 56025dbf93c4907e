#pragma once
// Text effects (TEffektForm): outline and shadow of a text object with their
// colours and the shadow distances.

#include "dialogs/ColorChoice.h"

#include <QDialog>
#include <cstdint>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class SpinEdit;

class TEffektForm : public QDialog {
    Q_OBJECT
public:
    explicit TEffektForm(QWidget* parent = nullptr);

    std::int32_t UmrColor = 0;      // outline colour
    std::int32_t SchattColor = 0;   // shadow colour

    QGroupBox* GroupBox2;
    QCheckBox* UmrCheck;
    QPushButton* BitBtn1;   // outline colour
    QGroupBox* GroupBox3;
    QCheckBox* SchattCheck;
    QPushButton* BitBtn2;   // shadow colour
    QLabel* RxLabel1;
    SpinEdit* SchattED1;
    QLabel* RxLabel2;
    SpinEdit* SchattEd2;
    QPushButton* BitBtn3;   // OK
    QPushButton* BitBtn4;   // Cancel

    // The colour dialog (ColorDialog1); replaceable for tests.
    ColorPicker ColorDialog1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showColors();
};
