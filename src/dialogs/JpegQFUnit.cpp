#include "dialogs/JpegQFUnit.h"

#include "dialogs/FormStyle.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>

const char* const TJPEGQForm::SliderKey = "JPEGQForm/QualED1.Value";
const char* const TJPEGQForm::SpinKey = "JPEGQForm/QualED2.Value";

namespace {
constexpr int kDefaultQuality = 75;
}

TJPEGQForm::TJPEGQForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("JPEGQForm"));
    setWindowTitle(QStringLiteral("JPEG-Speicherqualität setzen"));
    applyDialogFont(this);
    setFixedSize(342, 251);

    RxLabel2 = new QLabel(QStringLiteral("Je stärker das Bild komprimiert wird, je geringer die Qualität und "
                                         "der Speicherverbrauch."),
                          this);
    RxLabel2->setObjectName(QStringLiteral("RxLabel2"));
    RxLabel2->setWordWrap(true);
    RxLabel2->setGeometry(16, 8, 313, 27);

    GroupBox1 = new QGroupBox(QStringLiteral("Qualität"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 40, 321, 161);
    applyGroupFrame(GroupBox1);

    auto label = [this](const char* name, const QString& text, int x, int y) {
        auto* l = new QLabel(text, GroupBox1);
        l->setObjectName(QLatin1String(name));
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    RxLabel5 = label("RxLabel5", QStringLiteral("Voreinstellung: 75"), 120, 16);
    RxLabel4 = label("RxLabel4", QStringLiteral("Niedrige Qualität"), 8, 51);
    RxLabel3 = label("RxLabel3", QStringLiteral("Hohe Qualität"), 240, 51);
    RxLabel1 = label("RxLabel1", QStringLiteral("Als Zahl:"), 64, 96);

    QualED1 = new QSlider(Qt::Horizontal, GroupBox1);
    QualED1->setObjectName(QStringLiteral("QualED1"));
    QualED1->setGeometry(96, 48, 140, 40);
    QualED1->setRange(1, 99);
    QualED1->setValue(kDefaultQuality);
    QualED1->setTickPosition(QSlider::TicksBelow);
    QualED1->setTickInterval(10);

    QualED2 = new QSpinBox(GroupBox1);
    QualED2->setObjectName(QStringLiteral("QualED2"));
    QualED2->setGeometry(128, 96, 81, QualED2->sizeHint().height());
    QualED2->setRange(1, 99);
    QualED2->setValue(kDefaultQuality);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(78, 216, 89, 25);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("A&bbrechen"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(174, 216, 89, 25);
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BitBtn2->setAutoDefault(false);

    connect(QualED1, &QSlider::valueChanged, this, &TJPEGQForm::QualED1Change);
    connect(QualED2, qOverload<int>(&QSpinBox::valueChanged), this, &TJPEGQForm::QualED2Change);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    restoreValues();
}

int TJPEGQForm::quality() const { return QualED1->value(); }

void TJPEGQForm::QualED1Change(int value) {
    if (QualED2->value() != value) QualED2->setValue(value);
}

void TJPEGQForm::QualED2Change(int value) {
    if (QualED1->value() != value) QualED1->setValue(value);
}

void TJPEGQForm::restoreValues() {
    QSettings settings;
    // A damaged store must not put the controls out of range.
    const int slider = qBound(1, settings.value(QLatin1String(SliderKey), kDefaultQuality).toInt(), 99);
    const int spin = qBound(1, settings.value(QLatin1String(SpinKey), slider).toInt(), 99);
    QualED1->blockSignals(true);
    QualED2->blockSignals(true);
    QualED1->setValue(slider);
    QualED2->setValue(spin);
    QualED1->blockSignals(false);
    QualED2->blockSignals(false);
}

void TJPEGQForm::storeValues() const {
    QSettings settings;
    settings.setValue(QLatin1String(SliderKey), QualED1->value());
    settings.setValue(QLatin1String(SpinKey), QualED2->value());
}

void TJPEGQForm::done(int result) {
    storeValues();
    QDialog::done(result);
}

void TJPEGQForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(this);
}
