#pragma once
// Transparency (TTransForm): whether an image leaves out one colour, and
// which: a chosen one or that of its lower-left pixel.

#include "dialogs/ColorChoice.h"

#include <QDialog>
#include <cstdint>

class QCheckBox;
class QPushButton;

class TTransForm : public QDialog {
    Q_OBJECT
public:
    explicit TTransForm(QWidget* parent = nullptr);

    // The colour of its colour dialog (kept whether that dialog is
    // confirmed or not; a cancelled one keeps the previous colour).
    std::int32_t color() const { return m_color; }
    void setColor(std::int32_t color) { m_color = color; }

    QCheckBox* TransCheck;
    QPushButton* BitBtn2;   // colour
    QCheckBox* AutoCheck;
    QPushButton* BitBtn3;   // OK
    QPushButton* BitBtn4;   // Cancel

    ColorPicker ColorDialog1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::int32_t m_color = 0;
};
