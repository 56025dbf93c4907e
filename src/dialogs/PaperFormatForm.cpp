#include "dialogs/PaperFormatForm.h"

#include "dialogs/FormStyle.h"

#include <QGroupBox>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

namespace {
// "A3 (420 × 297 mm, quer)" in the user's number format.
QString paperCaption(PaperFormat paper, const char* mnemonicName) {
    const QSizeF s = paperSizeMm(paper);
    const QLocale locale;
    return QStringLiteral("%1 (%2 × %3 mm, quer)")
        .arg(QString::fromUtf8(mnemonicName), locale.toString(s.width(), 'g', 4), locale.toString(s.height(), 'g', 4));
}
}  // namespace

TPaperFormatForm::TPaperFormatForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PaperFormatForm"));
    setWindowTitle(QStringLiteral("Neu mit Papierformat"));
    applyDialogFont(this);
    setFixedSize(273, 146);

    auto* group = new QGroupBox(QStringLiteral("Papierformat"), this);
    group->setObjectName(QStringLiteral("PaperGroup"));
    group->setGeometry(8, 8, 257, 97);
    applyGroupFrame(group);
    A4Radio = new QRadioButton(paperCaption(PaperFormat::A4, "A&4"), group);
    A4Radio->setObjectName(QStringLiteral("A4Radio"));
    A4Radio->setGeometry(12, 18, 233, 17);
    A3Radio = new QRadioButton(paperCaption(PaperFormat::A3, "A&3"), group);
    A3Radio->setObjectName(QStringLiteral("A3Radio"));
    A3Radio->setGeometry(12, 44, 233, 17);
    LetterRadio = new QRadioButton(paperCaption(PaperFormat::Letter, "&Letter"), group);
    LetterRadio->setObjectName(QStringLiteral("LetterRadio"));
    LetterRadio->setGeometry(12, 70, 233, 17);
    A4Radio->setChecked(true);

    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setGeometry(46, 113, 89, 25);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("A&bbrechen"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(142, 113, 89, 25);
    CancelBtn->setAutoDefault(false);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

PaperFormat TPaperFormatForm::paper() const {
    if (A3Radio->isChecked()) return PaperFormat::A3;
    if (LetterRadio->isChecked()) return PaperFormat::Letter;
    return PaperFormat::A4;
}

void TPaperFormatForm::setPaper(PaperFormat paper) {
    switch (paper) {
    case PaperFormat::A3: A3Radio->setChecked(true); break;
    case PaperFormat::Letter: LetterRadio->setChecked(true); break;
    case PaperFormat::A4: A4Radio->setChecked(true); break;
    }
}

void TPaperFormatForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(this);
}
