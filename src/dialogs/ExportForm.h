#pragma once
// "Exportieren": what goes into the vector file and how the page is laid
// out. The dialog only collects the choice; the export command writes.

#include "export/VectorExport.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TExportForm : public QDialog {
    Q_OBJECT
public:
    explicit TExportForm(QWidget* parent = nullptr);

    void setOptions(const ExportOptions& options);
    ExportOptions options() const;
    // Only a cube follows the box size: for a cuboid the field is greyed.
    void setCuboid(bool cuboid);

    QRadioButton* PdfBtn;
    QRadioButton* SvgBtn;
    QCheckBox* MotivCheck;
    QCheckBox* SchnittCheck;
    QCheckBox* FalzCheck;
    QCheckBox* NetzCheck;
    QCheckBox* TextPathCheck;
    QSpinBox* ProzED;
    QComboBox* PageCombo;
    QCheckBox* BleedCheck;
    QDoubleSpinBox* BleedED;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;

private:
    void updateControls();
    bool m_cuboid = false;
};
