#include "dialogs/BoxFormForm.h"

#include "box/BoxFit.h"
#include "dialogs/FormStyle.h"
#include "dialogs/NetPreview.h"
#include "model/Prompter.h"

#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {

const QString Caption = QStringLiteral("Boxform");

QDoubleSpinBox* measureField(QWidget* group, const char* name, const QString& label, int y) {
    auto* field = new QDoubleSpinBox(group);
    field->setObjectName(QLatin1String(name));
    QLocale german(QLocale::German);
    german.setNumberOptions(QLocale::OmitGroupSeparator);
    field->setLocale(german);
    field->setDecimals(1);
    field->setRange(boxform::kMinMm, boxform::kMaxMm);
    field->setSingleStep(boxform::kStepMm);
    field->setSuffix(QStringLiteral(" mm"));
    field->setAlignment(Qt::AlignRight);
    field->setGeometry(62, y, 78, 21);
    auto* caption = new QLabel(label, group);
    caption->setObjectName(QLatin1String(name) + QStringLiteral("Label"));
    caption->setGeometry(10, y + 2, 50, 17);
    caption->setBuddy(field);
    return field;
}

}  // namespace

TBoxFormForm::TBoxFormForm(const SheetLayout& layout, int percent, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_layout(layout), m_percent(percent), m_prompter(prompter) {
    setObjectName(QStringLiteral("BoxFormForm"));
    setWindowTitle(Caption);
    applyDialogFont(this);
    setFixedSize(440, 292);

    auto* formGroup = new QGroupBox(QStringLiteral("Form"), this);
    formGroup->setObjectName(QStringLiteral("FormGroup"));
    formGroup->setGeometry(8, 8, 152, 70);
    applyGroupFrame(formGroup);
    WuerfelRadio = new QRadioButton(QStringLiteral("&Würfel"), formGroup);
    WuerfelRadio->setObjectName(QStringLiteral("WuerfelRadio"));
    WuerfelRadio->setGeometry(12, 20, 128, 17);
    QuaderRadio = new QRadioButton(QStringLiteral("&Quader"), formGroup);
    QuaderRadio->setObjectName(QStringLiteral("QuaderRadio"));
    QuaderRadio->setGeometry(12, 44, 128, 17);
    WuerfelRadio->setChecked(true);

    auto* measures = new QGroupBox(QStringLiteral("Maße"), this);
    measures->setObjectName(QStringLiteral("MeasuresGroup"));
    measures->setGeometry(8, 86, 152, 106);
    applyGroupFrame(measures);
    // B stays free for "Abbrechen", as in the other dialogs.
    LaengeEd = measureField(measures, "LaengeEd", QStringLiteral("&Länge:"), 20);
    BreiteEd = measureField(measures, "BreiteEd", QStringLiteral("B&reite:"), 48);
    HoeheEd = measureField(measures, "HoeheEd", QStringLiteral("&Höhe:"), 76);

    Preview = new NetPreview(this);
    Preview->setGeometry(168, 14, 264, 178);

    RoomLabel = new QLabel(this);
    RoomLabel->setObjectName(QStringLiteral("RoomLabel"));
    RoomLabel->setGeometry(8, 200, 424, 34);
    RoomLabel->setWordWrap(true);
    RoomLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setGeometry(126, 258, 89, 25);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("A&bbrechen"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(224, 258, 89, 25);
    CancelBtn->setAutoDefault(false);
    connect(OkBtn, &QPushButton::clicked, this, &TBoxFormForm::OkBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    connect(QuaderRadio, &QRadioButton::toggled, this, &TBoxFormForm::formChanged);
    for (QDoubleSpinBox* field : {LaengeEd, BreiteEd, HoeheEd})
        connect(field, qOverload<double>(&QDoubleSpinBox::valueChanged), this, &TBoxFormForm::formChanged);
    setForm(BoxForm::cube());
}

void TBoxFormForm::setForm(const BoxForm& form) {
    {
        const QSignalBlocker a(QuaderRadio), b(LaengeEd), c(BreiteEd), d(HoeheEd);
        (form.isCuboid() ? QuaderRadio : WuerfelRadio)->setChecked(true);
        LaengeEd->setValue(form.L);
        BreiteEd->setValue(form.B);
        HoeheEd->setValue(form.H);
    }
    formChanged();
}

BoxForm TBoxFormForm::form() const {
    BoxForm f = BoxForm::cuboid(boxform::roundToStep(LaengeEd->value()), boxform::roundToStep(BreiteEd->value()),
                                boxform::roundToStep(HoeheEd->value()));
    if (!QuaderRadio->isChecked()) f.kind = FormKind::Wuerfel;
    return f;
}

void TBoxFormForm::formChanged() {
    const bool cuboid = QuaderRadio->isChecked();
    for (QDoubleSpinBox* field : {LaengeEd, BreiteEd, HoeheEd}) field->setEnabled(cuboid);
    const NetSource s = source();
    Preview->setNet(netDrawingMm(s, m_layout), roomMm(m_layout), netFits(s, m_layout));
    RoomLabel->setText(netRoomText(s, m_layout));
}

void TBoxFormForm::OkBtnClick() {
    const NetSource s = source();
    if (netFits(s, m_layout)) {
        accept();
        return;
    }
    const QString why = netDoesNotFitText(s, m_layout);
    const std::optional<BoxForm> offer = largestFittingForm(s.form, m_layout);
    if (!offer) {
        m_prompter.inform(Caption,
                          why + QStringLiteral("\nEin größeres Papier wählen Sie mit „Neu mit Papierformat...“."),
                          PromptIcon::Warning);
        return;
    }
    if (m_prompter.choose(Caption, why + QStringLiteral("\nSollen diese Maße übernommen werden?"),
                          PromptIcon::Warning, QStringLiteral("Maße übernehmen"),
                          QStringLiteral("Abbrechen")) == PromptAnswer::Yes)
        setForm(*offer);
}

void TBoxFormForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(this);
}
