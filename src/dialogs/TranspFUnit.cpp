#include "dialogs/TranspFUnit.h"

#include "dialogs/FormStyle.h"

#include <QCheckBox>
#include <QPushButton>
#include <QStyle>

TTransForm::TTransForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TransForm"));
    setWindowTitle(QStringLiteral("Transparenz"));
    applyDialogFont(this);
    setFixedSize(297, 124);

    TransCheck = new QCheckBox(QStringLiteral("Transparente Farbe"), this);
    TransCheck->setObjectName(QStringLiteral("TransCheck"));
    TransCheck->setGeometry(16, 16, 129, 17);
    BitBtn2 = new QPushButton(QStringLiteral("Farbe"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(160, 8, 121, 25);
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogResetButton));
    AutoCheck = new QCheckBox(QStringLiteral("Benutze Farbe des linken unteren Pixels"), this);
    AutoCheck->setObjectName(QStringLiteral("AutoCheck"));
    AutoCheck->setGeometry(16, 40, 249, 17);
    BitBtn3 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setGeometry(58, 91, 89, 25);
    BitBtn3->setDefault(true);
    BitBtn4 = new QPushButton(QStringLiteral("A&bbrechen"), this);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    BitBtn4->setGeometry(154, 91, 89, 25);
    BitBtn4->setAutoDefault(false);

    ColorDialog1 = [this](std::int32_t& color) { return runColorDialog(this, color); };
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        std::int32_t c = m_color;
        if (ColorDialog1(c)) m_color = c;
        BitBtn2->setIcon(colorSwatch(m_color));
    });
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn4, &QPushButton::clicked, this, &QDialog::reject);
}

void TTransForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    BitBtn2->setIcon(colorSwatch(m_color));
    centreOnScreen(this);
}
