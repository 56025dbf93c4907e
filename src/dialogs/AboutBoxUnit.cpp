#include "dialogs/AboutBoxUnit.h"

#include "widgets/AppResources.h"
#include "dialogs/FormStyle.h"

#include <QDate>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {
constexpr int ClientWidth = 664;
constexpr int ClientHeight = 453;
}

QUrl TAboutBox::webPage() { return QUrl(QStringLiteral("https://www.orb-lux.example/faltarillon/")); }

QString TAboutBox::withYear(const QString& text, int year) {
    QString result = text;
    const int at = result.indexOf(QStringLiteral("XXXX"));
    if (at >= 0) result.replace(at, 4, QString::number(year).rightJustified(4, QLatin1Char('0')));
    return result;
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    ensureAppResources();
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Info"));
    setModal(true);
    setFixedSize(ClientWidth, ClientHeight);
    applyDialogFont(this);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setPixmap(QPixmap(QStringLiteral(":/images/about.png")));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* heading = new QLabel(QStringLiteral("ORB-LUX Faltarillon-Designer 1.0"), this);
    heading->setObjectName(QStringLiteral("ProductName"));
    QFont hf = heading->font();
    hf.setPixelSize(20);
    hf.setBold(true);
    heading->setFont(hf);
    heading->setWordWrap(true);

    Copyright = new QLabel(withYear(QStringLiteral("Copyright © XXXX ORB-LUX Software. Lizenz: GNU GPL, Version 3 oder neuer"),
                                    QDate::currentDate().year()),
                           this);
    Copyright->setObjectName(QStringLiteral("Copyright"));

    auto* version = new QLabel(QStringLiteral("Version 1.0"), this);
    version->setObjectName(QStringLiteral("Version"));

    auto* comments = new QLabel(
        QStringLiteral("Mit dem Faltarillon-Designer gestalten Sie Faltschachteln in Würfelform: "
                       "Figuren, Texte und Bilder auf dem aufgeklappten Würfel anordnen, die Größe "
                       "der Box wählen, das Netz ausdrucken, ausschneiden, falten und kleben.\n\n"
                       "ORB-LUX Software entwickelt kleine Programme für Bastler, Schulen und "
                       "Vereine. Anregungen und Fragen nehmen wir gerne über unsere Internetseite "
                       "entgegen."),
        this);
    comments->setObjectName(QStringLiteral("Comments"));
    comments->setWordWrap(true);
    comments->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    WebButton = new QPushButton(QStringLiteral("&Besuchen Sie uns im Internet"), this);
    WebButton->setObjectName(QStringLiteral("WebButton"));
    WebButton->setToolTip(webPage().toString());
    connect(WebButton, &QPushButton::clicked, this, &TAboutBox::WebButtonClick);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(heading);
    text->addWidget(version);
    text->addWidget(Copyright);
    text->addSpacing(12);
    text->addWidget(comments, 1);
    text->addWidget(WebButton, 0, Qt::AlignLeft);

    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(16);
    top->addLayout(text, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addStretch(1);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(16, 16, 16, 12);
    root->addLayout(top, 1);
    root->addLayout(buttons);

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        move(avail.center() - QPoint(ClientWidth / 2, ClientHeight / 2));
    }
}

void TAboutBox::WebButtonClick() {
    emit webPageRequested(webPage());
    if (m_openBrowser) QDesktopServices::openUrl(webPage());
}
