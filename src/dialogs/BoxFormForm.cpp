#include "dialogs/BoxFormForm.h"

#include "box/BoxFit.h"
#include "dialogs/FormStyle.h"
#include "dialogs/NetPreview.h"
#include "model/Prompter.h"

#include <QComboBox>
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
    setFixedSize(440, 348);

    auto* styleLabel = new QLabel(QStringLiteral("Bau&art:"), this);
    styleLabel->setObjectName(QStringLiteral("StyleLabel"));
    styleLabel->setGeometry(10, 12, 48, 17);
    StyleCombo = new QComboBox(this);
    StyleCombo->setObjectName(QStringLiteral("StyleCombo"));
    StyleCombo->setGeometry(60, 9, 150, 22);
    for (BoxStyle s : {BoxStyle::Verschlussdeckel, BoxStyle::Huelse}) StyleCombo->addItem(boxform::styleName(s));
    styleLabel->setBuddy(StyleCombo);

    auto* formGroup = new QGroupBox(QStringLiteral("Form"), this);
    formGroup->setObjectName(QStringLiteral("FormGroup"));
    formGroup->setGeometry(8, 38, 160, 70);
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
    measures->setGeometry(8, 116, 160, 134);
    applyGroupFrame(measures);
    // B stays free for "Abbrechen", as in the other dialogs.
    LaengeEd = measureField(measures, "LaengeEd", QStringLiteral("&Länge:"), 20);
    BreiteEd = measureField(measures, "BreiteEd", QStringLiteral("B&reite:"), 48);
    HoeheEd = measureField(measures, "HoeheEd", QStringLiteral("&Höhe:"), 76);
    // The board's thickness: with more than 0 the measures are the inside.
    DickeEd = new QDoubleSpinBox(measures);
    DickeEd->setObjectName(QStringLiteral("DickeEd"));
    {
        QLocale german(QLocale::German);
        german.setNumberOptions(QLocale::OmitGroupSeparator);
        DickeEd->setLocale(german);
    }
    DickeEd->setDecimals(2);
    DickeEd->setRange(0, boxform::kMaxThicknessMm);
    DickeEd->setSingleStep(boxform::kThicknessStepMm);
    DickeEd->setSuffix(QStringLiteral(" mm"));
    DickeEd->setAlignment(Qt::AlignRight);
    DickeEd->setGeometry(82, 104, 70, 21);
    DickeEd->setToolTip(QStringLiteral("Kartonstärke 0 bis 1 mm in Schritten von 0,05 mm; die Maße sind dann innen"));
    auto* dickeLabel = new QLabel(QStringLiteral("&Kartonstärke:"), measures);
    dickeLabel->setObjectName(QStringLiteral("DickeEdLabel"));
    dickeLabel->setGeometry(10, 106, 72, 17);
    dickeLabel->setBuddy(DickeEd);

    Preview = new NetPreview(this);
    Preview->setGeometry(176, 40, 256, 210);

    RoomLabel = new QLabel(this);
    RoomLabel->setObjectName(QStringLiteral("RoomLabel"));
    RoomLabel->setGeometry(8, 258, 424, 34);
    RoomLabel->setWordWrap(true);
    RoomLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setGeometry(126, 314, 89, 25);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("A&bbrechen"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(224, 314, 89, 25);
    CancelBtn->setAutoDefault(false);
    connect(OkBtn, &QPushButton::clicked, this, &TBoxFormForm::OkBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    connect(StyleCombo, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        // A style that knows the board starts with the usual one.
        if (index != static_cast<int>(BoxStyle::Verschlussdeckel) && DickeEd->value() == 0) {
            const QSignalBlocker b(DickeEd);
            DickeEd->setValue(boxform::kDefaultThicknessMm);
        }
        formChanged();
    });
    connect(QuaderRadio, &QRadioButton::toggled, this, &TBoxFormForm::formChanged);
    for (QDoubleSpinBox* field : {LaengeEd, BreiteEd, HoeheEd, DickeEd})
        connect(field, qOverload<double>(&QDoubleSpinBox::valueChanged), this, &TBoxFormForm::formChanged);
    setForm(BoxForm::cube());
}

void TBoxFormForm::setForm(const BoxForm& form) {
    {
        const QSignalBlocker a(QuaderRadio), b(LaengeEd), c(BreiteEd), d(HoeheEd), e(StyleCombo), f(DickeEd);
        StyleCombo->setCurrentIndex(static_cast<int>(form.style));
        (form.isCuboid() ? QuaderRadio : WuerfelRadio)->setChecked(true);
        DickeEd->setValue(form.isLockLid() ? 0.0 : form.thickness);
        LaengeEd->setValue(form.L);
        BreiteEd->setValue(form.B);
        HoeheEd->setValue(form.H);
    }
    formChanged();
}

BoxForm TBoxFormForm::form() const {
    BoxForm f = BoxForm::cuboid(boxform::roundToStep(LaengeEd->value()), boxform::roundToStep(BreiteEd->value()),
                                boxform::roundToStep(HoeheEd->value()));
    const auto style = static_cast<BoxStyle>(StyleCombo->currentIndex());
    if (style != BoxStyle::Verschlussdeckel)
        return BoxForm::ofStyle(style, f.L, f.B, f.H, boxform::roundThickness(DickeEd->value()));
    if (!QuaderRadio->isChecked()) f.kind = FormKind::Wuerfel;
    return f;
}

void TBoxFormForm::formChanged() {
    // Only the lock-lid box is a cube; its table knows no board thickness.
    const bool lockLid = StyleCombo->currentIndex() == static_cast<int>(BoxStyle::Verschlussdeckel);
    WuerfelRadio->setEnabled(lockLid);
    QuaderRadio->setEnabled(lockLid);
    DickeEd->setEnabled(!lockLid);
    const bool cuboid = !lockLid || QuaderRadio->isChecked();
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
