#include "dialogs/ImageSizeForm.h"

#include "dialogs/FormStyle.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>

TImageSizeForm::TImageSizeForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("ImageSizeForm"));
    setWindowTitle(QStringLiteral("Bildgröße"));
    applyDialogFont(this);
    setFixedSize(226, 112);

    auto row = [this](const char* name, const QString& caption, int y) {
        auto* spin = new QSpinBox(this);
        spin->setObjectName(QLatin1String(name));
        spin->setRange(Smallest, Largest);
        spin->setGeometry(72, y, 81, spin->sizeHint().height());
        auto* label = new QLabel(caption, this);
        label->setBuddy(spin);
        label->move(12, y + 4);
        label->adjustSize();
        auto* unit = new QLabel(QStringLiteral("Pixel"), this);
        unit->move(160, y + 4);
        unit->adjustSize();
        return spin;
    };
    WidthEd = row("WidthEd", QStringLiteral("&Breite:"), 10);
    HeightEd = row("HeightEd", QStringLiteral("&Höhe:"), 40);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(16, 78, 89, 25);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("A&bbrechen"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(121, 78, 89, 25);
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BitBtn2->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

bool TImageSizeForm::choose(QSize& size) {
    WidthEd->setValue(size.width());
    HeightEd->setValue(size.height());
    centreOnScreen(this);
    if (exec() != QDialog::Accepted) return false;
    size = QSize(WidthEd->value(), HeightEd->value());
    return true;
}
