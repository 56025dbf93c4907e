#include "dialogs/BoxFormForm.h"

#include "box/BoxFit.h"
#include "dialogs/FormStyle.h"
#include "dialogs/NetPreview.h"
#include "model/BoxSize.h"
#include "model/Prompter.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>
#include <functional>

namespace {

const QString Caption = QStringLiteral("Boxform");

// A measure field that tells after each key whether the typed value lies
// outside the range: the spin box alone would only put the old value back
// when the field is left, without a word.
class MeasureField : public QDoubleSpinBox {
public:
    using QDoubleSpinBox::QDoubleSpinBox;
    std::function<void(bool)> typedOutOfRange;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const QString before = text();
        QDoubleSpinBox::keyPressEvent(event);
        if (!typedOutOfRange) return;
        // A digit the field refused would have gone past the top of the range.
        const bool refused = !event->text().isEmpty() && event->text().at(0).isPrint() && text() == before;
        QString typed = text();
        typed.chop(suffix().size());
        bool number = false;
        const double v = locale().toDouble(typed.trimmed(), &number);
        typedOutOfRange(refused || (number && (v < minimum() || v > maximum())));
    }
};

// The measures the style pictures show: a card box, on a board.
BoxForm pictureForm(BoxStyle style) {
    if (style == BoxStyle::Verschlussdeckel) return BoxForm::cuboid(64, 21, 89);
    return BoxForm::ofStyle(style, 64, 21, 89, boxform::kDefaultThicknessMm);
}

QString millimetres(double mm) {
    QLocale german(QLocale::German);
    german.setNumberOptions(QLocale::OmitGroupSeparator);
    return german.toString(mm, 'f', mm == std::floor(mm) ? 0 : 1);
}

MeasureField* measureField(QWidget* group, const char* name, const QString& label, int y) {
    auto* field = new MeasureField(group);
    field->setObjectName(QLatin1String(name));
    QLocale german(QLocale::German);
    german.setNumberOptions(QLocale::OmitGroupSeparator);
    field->setLocale(german);
    field->setDecimals(1);
    field->setRange(boxform::kMinMm, boxform::kMaxMm);
    // A value past the range becomes its nearest end, and the range shows beside the field.
    field->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    field->setSingleStep(boxform::kStepMm);
    field->setSuffix(QStringLiteral(" mm"));
    field->setAlignment(Qt::AlignRight);
    field->setGeometry(62, y, 78, 21);
    auto* caption = new QLabel(label, group);
    caption->setObjectName(QLatin1String(name) + QStringLiteral("Label"));
    caption->setGeometry(10, y + 2, 50, 17);
    caption->setBuddy(field);
    auto* range = new QLabel(QStringLiteral("Erlaubt: %1 bis %2 mm")
                                 .arg(millimetres(boxform::kMinMm), millimetres(boxform::kMaxMm)),
                             group);
    range->setObjectName(QLatin1String(name) + QStringLiteral("Range"));
    range->setGeometry(146, y + 2, 118, 17);
    range->setStyleSheet(QStringLiteral("color: #b00000"));
    range->hide();
    field->typedOutOfRange = [range](bool out) { range->setVisible(out); };
    return field;
}

}  // namespace

TBoxFormForm::TBoxFormForm(const SheetLayout& layout, int percent, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_layout(layout), m_percent(percent), m_prompter(prompter) {
    setObjectName(QStringLiteral("BoxFormForm"));
    setWindowTitle(Caption);
    applyDialogFont(this);
    setFixedSize(560, 580);
    // Everything below the styles: two rows of four in view, more rows
    // scrolled to.
    constexpr int below = 228;

    auto* styleLabel = new QLabel(QStringLiteral("Bau&art:"), this);
    styleLabel->setObjectName(QStringLiteral("StyleLabel"));
    styleLabel->setGeometry(10, 8, 80, 17);
    StyleList = new QListWidget(this);
    StyleList->setObjectName(QStringLiteral("StyleList"));
    StyleList->setGeometry(8, 26, 544, 194);
    StyleList->setViewMode(QListView::IconMode);
    StyleList->setFlow(QListView::LeftToRight);
    StyleList->setWrapping(true);
    StyleList->setMovement(QListView::Static);
    StyleList->setResizeMode(QListView::Adjust);
    StyleList->setWordWrap(true);
    StyleList->setIconSize(QSize(112, 56));
    StyleList->setGridSize(QSize(128, 94));
    StyleList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StyleList->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    for (BoxStyle s : boxform::styles()) {
        // Each picture is its style's own net, drawn from its plan.
        const QImage picture = netPicture(netDrawingMm(NetSource{pictureForm(s), 100}, m_layout), QSize(112, 56));
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(picture)), boxform::styleName(s), StyleList);
        item->setToolTip(boxform::styleName(s));
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    styleLabel->setBuddy(StyleList);

    auto* formGroup = new QGroupBox(QStringLiteral("Form"), this);
    formGroup->setObjectName(QStringLiteral("FormGroup"));
    formGroup->setGeometry(8, below, 272, 70);
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
    measures->setGeometry(8, below + 78, 272, 160);
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
    // A half circle in Vorne's top edge to pull the lid open by its tuck.
    GriffmuldeCheck = new QCheckBox(QStringLiteral("&Griffmulde"), measures);
    GriffmuldeCheck->setObjectName(QStringLiteral("GriffmuldeCheck"));
    GriffmuldeCheck->setGeometry(10, 132, 180, 19);
    GriffmuldeCheck->setToolTip(QStringLiteral("Halbrunde Aussparung oben in der Vorderseite zum Öffnen"));
    GriffmuldeCheck->setChecked(true);

    Preview = new NetPreview(this);
    Preview->setGeometry(288, below + 2, 264, 236);

    RoomLabel = new QLabel(this);
    RoomLabel->setObjectName(QStringLiteral("RoomLabel"));
    RoomLabel->setGeometry(8, below + 246, 544, 34);
    RoomLabel->setWordWrap(true);
    RoomLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setGeometry(186, below + 302, 89, 25);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("A&bbrechen"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(284, below + 302, 89, 25);
    CancelBtn->setAutoDefault(false);
    connect(OkBtn, &QPushButton::clicked, this, &TBoxFormForm::OkBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    connect(StyleList, &QListWidget::currentRowChanged, this, [this](int) {
        // A style that knows the board starts with the usual one.
        if (style() != BoxStyle::Verschlussdeckel && DickeEd->value() == 0) {
            const QSignalBlocker b(DickeEd);
            DickeEd->setValue(boxform::kDefaultThicknessMm);
        }
        showMeasures();
        formChanged();
    });
    connect(QuaderRadio, &QRadioButton::toggled, this, [this] {
        showMeasures();
        formChanged();
    });
    connect(DickeEd, qOverload<double>(&QDoubleSpinBox::valueChanged), this, &TBoxFormForm::formChanged);
    connect(GriffmuldeCheck, &QCheckBox::toggled, this, &TBoxFormForm::formChanged);
    for (QDoubleSpinBox* field : {LaengeEd, BreiteEd, HoeheEd})
        connect(field, qOverload<double>(&QDoubleSpinBox::valueChanged), this, [this] {
            m_cuboid.L = LaengeEd->value();
            m_cuboid.B = BreiteEd->value();
            m_cuboid.H = HoeheEd->value();
            formChanged();
        });
    setForm(BoxForm::cube());
}

void TBoxFormForm::setForm(const BoxForm& form) {
    m_cuboid = form;
    {
        const QSignalBlocker a(QuaderRadio), e(StyleList), f(DickeEd), g(GriffmuldeCheck);
        const std::vector<BoxStyle>& all = boxform::styles();
        StyleList->setCurrentRow(static_cast<int>(std::find(all.begin(), all.end(), form.style) - all.begin()));
        (form.isCuboid() ? QuaderRadio : WuerfelRadio)->setChecked(true);
        DickeEd->setValue(form.isLockLid() ? 0.0 : form.thickness);
        // A style without a notch leaves the box checked for one that has.
        GriffmuldeCheck->setChecked(!form.hasNotch() || form.notch);
    }
    for (const char* name : {"LaengeEdRange", "BreiteEdRange", "HoeheEdRange"})
        if (auto* range = findChild<QLabel*>(QLatin1String(name))) range->hide();
    showMeasures();
    formChanged();
}

void TBoxFormForm::showMeasures() {
    const QSignalBlocker a(LaengeEd), b(BreiteEd), c(HoeheEd);
    if (!showsCube()) {
        for (QDoubleSpinBox* field : {LaengeEd, BreiteEd, HoeheEd}) field->setRange(boxform::kMinMm, boxform::kMaxMm);
        LaengeEd->setValue(m_cuboid.L);
        BreiteEd->setValue(m_cuboid.B);
        HoeheEd->setValue(m_cuboid.H);
        return;
    }
    // The greyed fields show the cube the editor's box size makes, which
    // may be smaller than a cuboid could be; the cuboid's own measures wait
    // for the switch back.
    const double edge = cubeEdgeCm(m_percent, m_layout.ItemHeight) * 10;
    for (QDoubleSpinBox* field : {LaengeEd, BreiteEd, HoeheEd}) {
        field->setRange(std::min(boxform::kMinMm, edge), std::max(boxform::kMaxMm, edge));
        field->setValue(edge);
    }
}

BoxForm TBoxFormForm::form() const {
    BoxForm f = BoxForm::cuboid(boxform::roundToStep(m_cuboid.L), boxform::roundToStep(m_cuboid.B),
                                boxform::roundToStep(m_cuboid.H));
    const BoxStyle chosen = style();
    if (chosen != BoxStyle::Verschlussdeckel)
        return BoxForm::ofStyle(chosen, f.L, f.B, f.H, boxform::roundThickness(DickeEd->value()),
                                GriffmuldeCheck->isChecked());
    if (!QuaderRadio->isChecked()) f.kind = FormKind::Wuerfel;
    return f;
}

BoxStyle TBoxFormForm::style() const {
    const std::vector<BoxStyle>& all = boxform::styles();
    const int row = StyleList->currentRow();
    return row >= 0 && row < static_cast<int>(all.size()) ? all[row] : BoxStyle::Verschlussdeckel;
}

bool TBoxFormForm::showsCube() const { return style() == BoxStyle::Verschlussdeckel && !QuaderRadio->isChecked(); }

void TBoxFormForm::formChanged() {
    // Only the lock-lid box is a cube; its table knows no board thickness.
    const bool lockLid = style() == BoxStyle::Verschlussdeckel;
    WuerfelRadio->setEnabled(lockLid);
    QuaderRadio->setEnabled(lockLid);
    DickeEd->setEnabled(!lockLid);
    GriffmuldeCheck->setVisible(boxform::styleHasNotch(style()));
    const bool cuboid = !showsCube();
    for (QDoubleSpinBox* field : {LaengeEd, BreiteEd, HoeheEd}) field->setEnabled(cuboid);
    const NetSource s = source();
    Preview->setNet(netDrawingMm(s, m_layout), roomMm(m_layout), netFits(s, m_layout));
    RoomLabel->setText(netRoomText(s, m_layout));
}

void TBoxFormForm::OkBtnClick() {
    const NetSource s = source();
    // Measures the style cannot be made in are refused before any offer.
    const QString problem = boxform::measuresProblem(s.form);
    if (!problem.isEmpty()) {
        m_prompter.inform(Caption, problem, PromptIcon::Warning);
        return;
    }
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
