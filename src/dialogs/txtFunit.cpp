#include "dialogs/txtFunit.h"

#include "dialogs/FormStyle.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>

namespace {
// A line feed inside a line is part of that line; the memo shows it as a
// soft break within the line so that it survives the round trip.
constexpr QChar SoftBreak(0x2028);
}  // namespace

TTxtForm::TTxtForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TxtForm"));
    setWindowTitle(QStringLiteral("Text eingeben..."));
    applyDialogFont(this);
    setFixedSize(417, 240);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 16, 401, 177);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(0, 240 - 40, 417, 2);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(112, 208, 97, 25);
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(false);
    BitBtn2 = new QPushButton(QStringLiteral("A&bbrechen"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(216, 208, 89, 25);
    BitBtn2->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TTxtForm::setLines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines) {
        QString shown = line;
        shown.replace(QLatin1Char('\n'), SoftBreak);
        text += shown;
        text += QLatin1Char('\n');
    }
    Memo1->setPlainText(text);
}

QStringList TTxtForm::lines() const {
    QStringList result;
    for (QTextBlock b = Memo1->document()->begin(); b.isValid(); b = b.next()) {
        QString line = b.text();
        line.replace(SoftBreak, QLatin1Char('\n'));
        result << line;
    }
    if (!result.isEmpty() && result.last().isEmpty()) result.removeLast();
    return result;
}

void TTxtForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(this);
    Memo1->setFocus();
}
