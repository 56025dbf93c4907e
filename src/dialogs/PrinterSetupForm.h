#pragma once
// "Drucker einrichten...": the printer (or a PDF file when none suits), its
// paper and the orientation. The toolkit's print dialog offers no paper, so
// this is a dialog of its own; the job's options (copies, pages) belong to
// printing, not to the setup.

#include <QDialog>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <vector>

class QComboBox;
class QLabel;
class QPrinter;
class QRadioButton;

class PrinterSetupForm : public QDialog {
    Q_OBJECT
public:
    explicit PrinterSetupForm(QWidget* parent = nullptr);

    // Shows printer's printer (or the PDF file), paper and orientation.
    void setChoice(const QPrinter& printer);
    // Writes the chosen printer or PDF file, paper and orientation into printer.
    void applyTo(QPrinter& printer) const;

    // Empty while a PDF file is chosen.
    QString printerName() const;
    QPageSize pageSize() const;
    QPageLayout::Orientation orientation() const;

    QComboBox* PrinterCombo;
    QLabel* ColorLabel;     // what the chosen printer prints: colour or grey
    QComboBox* PaperCombo;
    QRadioButton* PortraitRadio;
    QRadioButton* LandscapeRadio;

private:
    // Fills the paper list for the printer at index; keeps the paper shown
    // when that printer offers it, else takes the printer's own default.
    void printerChosen(int index);

    std::vector<QPageSize> m_sizes;   // one per PaperCombo item
};
