#pragma once
// The row of sheet options on the "Drucken" tab: bleed, boxes per sheet,
// the width of the net lines, registration marks for a cutting machine and
// saving the cut file. It edits
// the print controller's SheetOptions and says when they changed.

#include "sheet/SheetOptions.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;

class SheetOptionsBar : public QWidget {
    Q_OBJECT
public:
    SheetOptionsBar(SheetOptions& options, QWidget* parent = nullptr);

    // Shows the options as they are (after a change from elsewhere).
    void showOptions();

    QCheckBox* BleedCheck = nullptr;
    QDoubleSpinBox* BleedEd = nullptr;
    QComboBox* CopiesCombo = nullptr;
    QComboBox* NetLinesCombo = nullptr;   // "fein", "0,2 mm"
    QCheckBox* MarksCheck = nullptr;
    QDoubleSpinBox* InsetEd = nullptr;
    QPushButton* CutFileBtn = nullptr;

signals:
    void optionsChanged();
    void cutFileRequested();

private:
    void takeOptions();
    void enableDependents();

    SheetOptions& m_options;
    bool m_showing = false;
};
