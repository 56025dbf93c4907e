#include "dialogs/PrinterSetupForm.h"

#include "dialogs/FormStyle.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The papers a PDF file is offered in: those the program makes boxes for
// and the usual office ones.
std::vector<QPageSize> pdfPaperSizes() {
    return {QPageSize(QPageSize::A4), QPageSize(QPageSize::A3), QPageSize(QPageSize::A5),
            QPageSize(QPageSize::Letter), QPageSize(QPageSize::Legal)};
}

// A printer's paper matching size, by its standard kind or else by its
// dimensions; -1 when it has none.
int indexOfSize(const std::vector<QPageSize>& sizes, const QPageSize& size) {
    for (std::size_t i = 0; i < sizes.size(); ++i)
        if (sizes[i].id() != QPageSize::Custom && sizes[i].id() == size.id()) return static_cast<int>(i);
    for (std::size_t i = 0; i < sizes.size(); ++i)
        if (sizes[i].isEquivalentTo(size)) return static_cast<int>(i);
    return -1;
}

}  // namespace

PrinterSetupForm::PrinterSetupForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PrinterSetupForm"));
    setWindowTitle(QStringLiteral("Druckereinrichtung"));
    applyDialogFont(this);

    auto* printerGroup = new QGroupBox(QStringLiteral("Drucker"), this);
    PrinterCombo = new QComboBox(printerGroup);
    PrinterCombo->setObjectName(QStringLiteral("PrinterCombo"));
    PrinterCombo->setMinimumContentsLength(28);
    for (const QString& name : QPrinterInfo::availablePrinterNames()) PrinterCombo->addItem(name, name);
    PrinterCombo->addItem(QStringLiteral("In PDF-Datei drucken"), QString());
    ColorLabel = new QLabel(printerGroup);
    ColorLabel->setObjectName(QStringLiteral("ColorLabel"));
    auto* printerForm = new QFormLayout(printerGroup);
    auto* nameLabel = new QLabel(QStringLiteral("&Name:"), printerGroup);
    nameLabel->setBuddy(PrinterCombo);
    printerForm->addRow(nameLabel, PrinterCombo);
    printerForm->addRow(QStringLiteral("Druck:"), ColorLabel);

    auto* paperGroup = new QGroupBox(QStringLiteral("Papier"), this);
    PaperCombo = new QComboBox(paperGroup);
    PaperCombo->setObjectName(QStringLiteral("PaperCombo"));
    auto* paperForm = new QFormLayout(paperGroup);
    auto* sizeLabel = new QLabel(QStringLiteral("&Größe:"), paperGroup);
    sizeLabel->setBuddy(PaperCombo);
    paperForm->addRow(sizeLabel, PaperCombo);

    auto* orientationGroup = new QGroupBox(QStringLiteral("Ausrichtung"), this);
    PortraitRadio = new QRadioButton(QStringLiteral("&Hochformat"), orientationGroup);
    PortraitRadio->setObjectName(QStringLiteral("PortraitRadio"));
    LandscapeRadio = new QRadioButton(QStringLiteral("&Querformat"), orientationGroup);
    LandscapeRadio->setObjectName(QStringLiteral("LandscapeRadio"));
    LandscapeRadio->setChecked(true);
    auto* orientationRow = new QVBoxLayout(orientationGroup);
    orientationRow->addWidget(PortraitRadio);
    orientationRow->addWidget(LandscapeRadio);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("A&bbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* lower = new QHBoxLayout;
    lower->addWidget(paperGroup, 1);
    lower->addWidget(orientationGroup);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printerGroup);
    layout->addLayout(lower);
    layout->addWidget(buttons);

    connect(PrinterCombo, &QComboBox::currentIndexChanged, this, &PrinterSetupForm::printerChosen);
    printerChosen(PrinterCombo->currentIndex());
}

void PrinterSetupForm::printerChosen(int index) {
    const QString name = PrinterCombo->itemData(index).toString();
    const QPageSize shown = pageSize();
    std::vector<QPageSize> sizes;
    QPageSize preferred(QPageSize::A4);
    if (name.isEmpty()) {
        sizes = pdfPaperSizes();
        ColorLabel->setText(QStringLiteral("Farbe"));
    } else {
        const QPrinterInfo info = QPrinterInfo::printerInfo(name);
        for (const QPageSize& s : info.supportedPageSizes()) sizes.push_back(s);
        if (sizes.empty()) sizes = pdfPaperSizes();   // a printer that names none takes any
        preferred = info.defaultPageSize();
        ColorLabel->setText(info.defaultColorMode() == QPrinter::Color ? QStringLiteral("Farbe")
                                                                       : QStringLiteral("Graustufen"));
    }
    int chosen = shown.isValid() ? indexOfSize(sizes, shown) : -1;
    if (chosen < 0) chosen = indexOfSize(sizes, preferred);
    if (chosen < 0) chosen = 0;
    m_sizes = sizes;
    const QSignalBlocker quiet(PaperCombo);
    PaperCombo->clear();
    for (const QPageSize& s : m_sizes) PaperCombo->addItem(s.name());
    PaperCombo->setCurrentIndex(chosen);
}

void PrinterSetupForm::setChoice(const QPrinter& printer) {
    int index = PrinterCombo->count() - 1;   // the PDF file
    if (printer.outputFormat() == QPrinter::NativeFormat && !printer.printerName().isEmpty()) {
        const int found = PrinterCombo->findData(printer.printerName());
        if (found >= 0) index = found;
    }
    // The printer's paper first, so that choosing its printer keeps it.
    m_sizes = {printer.pageLayout().pageSize()};
    {
        const QSignalBlocker quiet(PaperCombo);
        PaperCombo->clear();
        PaperCombo->addItem(m_sizes.front().name());
        PaperCombo->setCurrentIndex(0);
    }
    {
        const QSignalBlocker quiet(PrinterCombo);
        PrinterCombo->setCurrentIndex(index);
    }
    printerChosen(index);
    if (printer.pageLayout().orientation() == QPageLayout::Portrait)
        PortraitRadio->setChecked(true);
    else
        LandscapeRadio->setChecked(true);
}

QString PrinterSetupForm::printerName() const { return PrinterCombo->currentData().toString(); }

QPageSize PrinterSetupForm::pageSize() const {
    const int i = PaperCombo->currentIndex();
    return i >= 0 && i < static_cast<int>(m_sizes.size()) ? m_sizes[static_cast<std::size_t>(i)] : QPageSize();
}

QPageLayout::Orientation PrinterSetupForm::orientation() const {
    return PortraitRadio->isChecked() ? QPageLayout::Portrait : QPageLayout::Landscape;
}

void PrinterSetupForm::applyTo(QPrinter& printer) const {
    const QString name = printerName();
    if (name.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(name);
    }
    if (pageSize().isValid()) printer.setPageSize(pageSize());
    printer.setPageOrientation(orientation());
}
