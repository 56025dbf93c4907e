#pragma once
// The row of sheet options on the "Drucken" tab: bleed, boxes per sheet,
// the width of the net lines, registration marks for a cutting machine and
// saving the cut file. It edits
// the print controller's SheetOptions and says when they changed.

#include "sheet/SeriesSheets.h"
#include "sheet/SheetOptions.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;
class QSpinBox;

class SheetOptionsBar : public QWidget {
    Q_OBJECT
public:
    // series: what the print makes of linked data (its row is shown only
    // while data is linked, see showSeries).
    SheetOptionsBar(SheetOptions& options, SeriesChoice* series = nullptr, QWidget* parent = nullptr);

    // Shows the options as they are (after a change from elsewhere).
    void showOptions();
    // The row of the series choice for data of rowCount rows; hidden while
    // no data is linked (linked false), disabled when it cannot be read.
    void showSeries(bool linked, int rowCount);

    QCheckBox* BleedCheck = nullptr;
    QDoubleSpinBox* BleedEd = nullptr;
    QComboBox* CopiesCombo = nullptr;
    QComboBox* NetLinesCombo = nullptr;   // "fein", "0,2 mm"
    QCheckBox* MarksCheck = nullptr;
    QDoubleSpinBox* InsetEd = nullptr;
    QPushButton* CutFileBtn = nullptr;
    QWidget* SeriesRow = nullptr;
    QComboBox* SeriesCombo = nullptr;   // "Angezeigter Datensatz", "Alle Datensätze", "Datensätze von … bis …"
    QSpinBox* SeriesFromEd = nullptr;
    QSpinBox* SeriesToEd = nullptr;

signals:
    void optionsChanged();
    void cutFileRequested();

private:
    void takeOptions();
    void enableDependents();

    void takeSeries();

    SheetOptions& m_options;
    SeriesChoice* m_series = nullptr;
    bool m_seriesLinked = false;
    bool m_showing = false;
};
