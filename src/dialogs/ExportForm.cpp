#include "dialogs/ExportForm.h"

#include "dialogs/FormStyle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
const ExportPage kPages[] = {ExportPage::A4, ExportPage::A3, ExportPage::Letter, ExportPage::BoxOnly};
}

TExportForm::TExportForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ExportForm"));
    setWindowTitle(QStringLiteral("Exportieren"));
    applyDialogFont(this);

    auto* format = new QGroupBox(QStringLiteral("Format"));
    applyGroupFrame(format);
    PdfBtn = new QRadioButton(QStringLiteral("&PDF"));
    SvgBtn = new QRadioButton(QStringLiteral("S&VG"));
    PdfBtn->setChecked(true);
    auto* formatLayout = new QHBoxLayout(format);
    formatLayout->addWidget(PdfBtn);
    formatLayout->addWidget(SvgBtn);
    formatLayout->addStretch();

    auto* content = new QGroupBox(QStringLiteral("Inhalt"));
    applyGroupFrame(content);
    MotivCheck = new QCheckBox(QStringLiteral("&Motiv"));
    SchnittCheck = new QCheckBox(QStringLiteral("&Schnittlinien"));
    FalzCheck = new QCheckBox(QStringLiteral("&Falzlinien"));
    NetzCheck = new QCheckBox(QStringLiteral("&Gepunktetes Netz wie im Druck"));
    TextPathCheck = new QCheckBox(QStringLiteral("&Text als Pfade"));
    auto* contentLayout = new QVBoxLayout(content);
    for (QCheckBox* c : {MotivCheck, SchnittCheck, FalzCheck, NetzCheck, TextPathCheck}) contentLayout->addWidget(c);

    auto* page = new QGroupBox(QStringLiteral("Seite"));
    applyGroupFrame(page);
    ProzED = new QSpinBox;
    ProzED->setRange(10, 100);
    ProzED->setSingleStep(10);
    ProzED->setSuffix(QStringLiteral(" %"));
    PageCombo = new QComboBox;
    for (ExportPage p : kPages) PageCombo->addItem(exportPageName(p));
    BleedCheck = new QCheckBox(QStringLiteral("Beschnitt&zugabe"));
    BleedED = new QDoubleSpinBox;
    BleedED->setRange(0, 5);
    BleedED->setDecimals(1);
    BleedED->setSingleStep(0.5);
    BleedED->setSuffix(QStringLiteral(" mm"));
    BleedED->setValue(1);
    auto* pageLayout = new QFormLayout(page);
    auto* sizeLabel = new QLabel(QStringLiteral("Größe der &Box:"));
    sizeLabel->setBuddy(ProzED);
    pageLayout->addRow(sizeLabel, ProzED);
    auto* pageLabel = new QLabel(QStringLiteral("Seitenf&ormat:"));
    pageLabel->setBuddy(PageCombo);
    pageLayout->addRow(pageLabel, PageCombo);
    pageLayout->addRow(BleedCheck, BleedED);

    OkBtn = new QPushButton(QStringLiteral("OK"));
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Abbrechen"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(format);
    layout->addWidget(content);
    layout->addWidget(page);
    layout->addLayout(buttons);

    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    for (QCheckBox* c : {MotivCheck, SchnittCheck, FalzCheck, NetzCheck, BleedCheck})
        connect(c, &QCheckBox::toggled, this, [this] { updateControls(); });
    setOptions(ExportOptions());
}

void TExportForm::setOptions(const ExportOptions& o) {
    PdfBtn->setChecked(o.format == ExportFormat::Pdf);
    SvgBtn->setChecked(o.format == ExportFormat::Svg);
    MotivCheck->setChecked(o.art);
    SchnittCheck->setChecked(o.cuts);
    FalzCheck->setChecked(o.folds);
    NetzCheck->setChecked(o.net);
    TextPathCheck->setChecked(o.textAsPaths);
    ProzED->setValue(o.percent);
    for (int i = 0; i < 4; ++i)
        if (kPages[i] == o.page) PageCombo->setCurrentIndex(i);
    BleedCheck->setChecked(o.bleed);
    // Off, the field still shows the distance a tick would use.
    if (o.bleed || o.bleedMm > 0) BleedED->setValue(o.bleedMm);
    updateControls();
}

void TExportForm::setCuboid(bool cuboid) {
    m_cuboid = cuboid;
    updateControls();
}

ExportOptions TExportForm::options() const {
    ExportOptions o;
    o.format = SvgBtn->isChecked() ? ExportFormat::Svg : ExportFormat::Pdf;
    o.art = MotivCheck->isChecked();
    o.cuts = SchnittCheck->isChecked();
    o.folds = FalzCheck->isChecked();
    o.net = NetzCheck->isChecked();
    o.textAsPaths = TextPathCheck->isChecked();
    o.percent = ProzED->value();
    o.page = kPages[std::clamp(PageCombo->currentIndex(), 0, 3)];
    o.bleed = BleedCheck->isChecked();
    o.bleedMm = o.bleed ? BleedED->value() : 0.0;
    return o;
}

void TExportForm::updateControls() {
    // Text and bleed only concern the design; an empty file cannot be asked for.
    TextPathCheck->setEnabled(MotivCheck->isChecked());
    ProzED->setEnabled(!m_cuboid);
    BleedCheck->setEnabled(MotivCheck->isChecked());
    BleedED->setEnabled(MotivCheck->isChecked() && BleedCheck->isChecked());
    OkBtn->setEnabled(MotivCheck->isChecked() || SchnittCheck->isChecked() || FalzCheck->isChecked() ||
                      NetzCheck->isChecked());
}
