#include "dialogs/EffektFUnit.h"

#include "dialogs/FormStyle.h"
#include "widgets/SpinEdit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

TEffektForm::TEffektForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("EffektForm"));
    setWindowTitle(QStringLiteral("Effekte"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    applyDialogFont(this);
    setFixedSize(302, 227);

    GroupBox2 = new QGroupBox(QStringLiteral("Umrandung"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    applyGroupFrame(GroupBox2);
    GroupBox2->setGeometry(8, 8, 289, 49);
    UmrCheck = new QCheckBox(QStringLiteral("Umrandung"), GroupBox2);
    UmrCheck->setObjectName(QStringLiteral("UmrCheck"));
    UmrCheck->setGeometry(16, 24, 113, 17);
    BitBtn1 = new QPushButton(QStringLiteral("Farbe"), GroupBox2);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(144, 16, 121, 25);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogResetButton));

    GroupBox3 = new QGroupBox(QStringLiteral("Schatten"), this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    applyGroupFrame(GroupBox3);
    GroupBox3->setGeometry(8, 64, 289, 113);
    SchattCheck = new QCheckBox(QStringLiteral("Schatten"), GroupBox3);
    SchattCheck->setObjectName(QStringLiteral("SchattCheck"));
    SchattCheck->setGeometry(16, 16, 113, 17);
    BitBtn2 = new QPushButton(QStringLiteral("Farbe"), GroupBox3);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(144, 16, 121, 25);
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogResetButton));
    RxLabel1 = new QLabel(QStringLiteral("Entfernung Horizontal:"), GroupBox3);
    RxLabel1->setObjectName(QStringLiteral("RxLabel1"));
    RxLabel1->setGeometry(8, 56, 133, 16);
    SchattED1 = new SpinEdit(GroupBox3);
    SchattED1->setObjectName(QStringLiteral("SchattED1"));
    SchattED1->setGeometry(144, 52, 121, 22);
    SchattED1->setValue(5);
    RxLabel2 = new QLabel(QStringLiteral("Entfernung Vertikal:"), GroupBox3);
    RxLabel2->setObjectName(QStringLiteral("RxLabel2"));
    RxLabel2->setGeometry(8, 80, 133, 16);
    SchattEd2 = new SpinEdit(GroupBox3);
    SchattEd2->setObjectName(QStringLiteral("SchattEd2"));
    SchattEd2->setGeometry(144, 80, 121, 22);
    SchattEd2->setValue(5);
    UmrCheck->setChecked(true);
    SchattCheck->setChecked(true);

    BitBtn3 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setGeometry(58, 192, 89, 25);
    BitBtn3->setDefault(true);
    BitBtn4 = new QPushButton(QStringLiteral("A&bbrechen"), this);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    BitBtn4->setGeometry(154, 192, 89, 25);
    BitBtn4->setAutoDefault(false);

    ColorDialog1 = [this](std::int32_t& color) { return runColorDialog(this, color); };
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        std::int32_t c = UmrColor;
        if (ColorDialog1(c)) UmrColor = c;
        showColors();
    });
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        std::int32_t c = SchattColor;
        if (ColorDialog1(c)) SchattColor = c;
        showColors();
    });
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn4, &QPushButton::clicked, this, &QDialog::reject);
}

void TEffektForm::showColors() {
    BitBtn1->setIcon(colorSwatch(UmrColor));
    BitBtn2->setIcon(colorSwatch(SchattColor));
}

void TEffektForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    showColors();
    centreOnScreen(this);
}
