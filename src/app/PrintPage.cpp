#include "app/PrintPage.h"

#include "app/BarControls.h"
#include "app/PrintController.h"
#include "app/SheetOptionsBar.h"
#include "model/BoxDocument.h"
#include "render/DrawVCart.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

PreviewCanvas::PreviewCanvas(PrintController& controller, std::function<int()> percent, QWidget* parent)
    : QWidget(parent), m_controller(controller), m_percent(std::move(percent)) {
    setObjectName(QStringLiteral("VPaint"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(105, 105);
}

void PreviewCanvas::paintEvent(QPaintEvent*) {
    if (Painting()) return;
    ++m_paints;
    const QImage page = m_controller.renderPreview(m_percent ? m_percent() : 100, devicePixelRatioF());
    QPainter p(this);
    if (page.isNull()) return;
    p.drawImage(0, 0, page);
}

namespace {

// The head of a style's steps: its name, its measures and, for a box of
// board, the board's thickness inside.
QString styleHead(const BoxForm& form, const QString& beforeMeasures) {
    const QString board =
        form.thickness > 0
            ? QStringLiteral("innen, Karton ") + QLocale(QLocale::German).toString(form.thickness, 'f', 2) +
                  QStringLiteral(" mm\n")
            : QString();
    return QStringLiteral("Bastelanleitung\n") + boxform::styleName(form.style) + beforeMeasures +
           QStringLiteral("Maße (L × B × H):\n") + boxform::measuresText(form) + QLatin1Char('\n') + board;
}

}  // namespace

QString PrintPage::assemblyText(const BoxForm& form) {
    if (form.style == BoxStyle::Schnappboden || form.style == BoxStyle::Automatikboden) {
        // The snap-lock bottom closes by hand in its order; the automatic
        // one is glued while the box lies flat and closes as it is opened.
        const QString bottom =
            form.style == BoxStyle::Schnappboden
                ? QStringLiteral("3. Kleben Sie die Klebelasche \n"
                                 "innen an die linke Seite\n"
                                 "4. Boden: die Bodenlaschen rechts \n"
                                 "und links nach innen, dann die \n"
                                 "vordere, zuletzt die hintere mit \n"
                                 "ihrer Zunge in die Aussparung\n")
                : QStringLiteral("3. Falten Sie die Bodenlaschen nach \n"
                                 "innen und die Klebeflächen an den \n"
                                 "schrägen Linien zurück\n"
                                 "4. Legen Sie die Schachtel flach \n"
                                 "und kleben Sie die Klebelasche an \n"
                                 "die linke Seite und die Klebeflächen \n"
                                 "auf die vordere und hintere \n"
                                 "Bodenlasche; aufgedrückt schließt \n"
                                 "sich der Boden von selbst\n");
        return styleHead(form, QStringLiteral("\n")) +
               QStringLiteral("\n"
                              "1. Schneiden Sie entlang der äußeren \n"
                              "gepunkteten Linie die Schachtel aus, \n"
                              "auch die kurzen Schlitze an der \n"
                              "Einstecklasche\n"
                              "2. Falten Sie entlang aller \n"
                              "gepunkteten Linien\n") +
               bottom +
               QStringLiteral("5. Deckel: Staublaschen nach innen, \n"
                              "Deckel schließen und die \n"
                              "Einstecklasche einstecken\n"
                              "\n"
                              "Fertig!");
    }
    if (form.style == BoxStyle::SteckGegenlaeufig || form.style == BoxStyle::SteckGleichlaeufig) {
        return styleHead(form, QStringLiteral("\n")) +
               QStringLiteral(
                   "\n"
                   "1. Schneiden Sie entlang der äußeren \n"
                   "gepunkteten Linie die Schachtel aus, \n"
                   "auch die kurzen Schlitze an den \n"
                   "Einstecklaschen\n"
                   "2. Falten Sie entlang aller \n"
                   "gepunkteten Linien\n"
                   "3. Kleben Sie die Klebelasche \n"
                   "innen an die linke Seite\n"
                   "4. Boden: Staublaschen nach innen, \n"
                   "Boden schließen und die \n"
                   "Einstecklasche einstecken\n"
                   "5. Den Deckel ebenso schließen\n"
                   "\n"
                   "Fertig!");
    }
    if (!form.isLockLid()) {
        return styleHead(form, QStringLiteral(", ")) +
               QStringLiteral(
                   "\n"
                   "1. Schneiden Sie entlang der äußeren \n"
                   "gepunkteten Linie die Hülse aus\n"
                   "2. Falten Sie entlang aller \n"
                   "gepunkteten Linien\n"
                   "3. Tragen Sie Klebstoff auf die \n"
                   "Klebelasche auf und kleben Sie sie \n"
                   "innen an die linke Seite\n"
                   "\n"
                   "Fertig!");
    }
    const QString measures = form.isCuboid() ? QStringLiteral("Maße (L × B × H):\n") +
                                                   boxform::measuresText(form) + QLatin1Char('\n')
                                             : QString();
    return QStringLiteral("Bastelanleitung\n") + measures + QStringLiteral(
        "\n"
        "1. Scheiden Sie entlang der äußeren \n"
        "gepunkteten Linie die Box aus\n"
        "2. Falten Sie entlang aller \n"
        "gepunkteten Linien\n"
        "3. Tragen Sie Klebstoff auf die 4 \n"
        "kleinen Laschen auf und kleben Sie \n"
        "die Box zusammen\n"
        "4. Deckel: die zwei Trapezförmigen \n"
        "Teile werden nach innen gefaltet\n"
        "5. Dann werden die 2 verbleibenden \n"
        "Laschen mit den Schlitzen ineinander \n"
        "schieben\n"
        "\n"
        "Fertig!");
}

PrintPage::PrintPage(PrintController& controller, std::function<int()> percent, QWidget* parent)
    : QWidget(parent), m_controller(controller) {
    setObjectName(QStringLiteral("TabSheet2"));

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("SpeedBar1"));
    bar->setFixedHeight(56);
    PrintSetupBtn = barButton(bar, "PrintSetupBtn", QStringLiteral("Einrichten"),
                              QStringLiteral("Richtet den Drucker ein"), QStyle::SP_FileDialogDetailedView);
    PrintBtn = barButton(bar, "PrintBtn", QStringLiteral("Drucken"), QStringLiteral("Druckt die Box"),
                         QStyle::SP_DialogApplyButton);
    ZoominBtn = barButton(bar, "ZoominBtn", QStringLiteral("Vergrößern"),
                          QStringLiteral("Vergrößert die Druckvorschau"), QStyle::SP_ArrowUp);
    ZoomOutBtn = barButton(bar, "ZoomOutBtn", QStringLiteral("Verkleinern"),
                           QStringLiteral("Verkleinert die Druckvorschau"), QStyle::SP_ArrowDown);
    PrintSetupBtn->move(8, 3);
    PrintBtn->move(88, 3);
    ZoominBtn->move(184, 3);
    ZoomOutBtn->move(264, 3);

    ScrollBox2 = new QScrollArea(this);
    ScrollBox2->setObjectName(QStringLiteral("ScrollBox2"));
    ScrollBox2->setWidgetResizable(false);
    ScrollBox2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette pal = ScrollBox2->viewport()->palette();
    pal.setColor(QPalette::Window, QColor(0xAB, 0xAB, 0xAB));
    ScrollBox2->viewport()->setPalette(pal);
    ScrollBox2->viewport()->setAutoFillBackground(true);
    VPaint = new PreviewCanvas(controller, std::move(percent));
    ScrollBox2->setWidget(VPaint);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setFixedWidth(252);
    RichEdit1->setReadOnly(true);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(15);
    RichEdit1->setFont(f);
    RichEdit1->setPlainText(assemblyText());
    // The instruction's lines are already broken for this width; its longest
    // line needs every pixel of it, so the edit must not break them again
    // (a trailing space may run past the edge unseen).
    RichEdit1->document()->setDocumentMargin(2);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit1->setFrameShape(QFrame::NoFrame);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(ScrollBox2, 1);
    body->addWidget(RichEdit1);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(bar);
    SheetOptions1 = new SheetOptionsBar(controller.Options, &controller.Series, this);
    root->addWidget(SheetOptions1);
    root->addLayout(body, 1);

    connect(PrintSetupBtn, &QToolButton::clicked, this, &PrintPage::printSetupRequested);
    connect(PrintBtn, &QToolButton::clicked, this, &PrintPage::printRequested);
    connect(ZoominBtn, &QToolButton::clicked, this, &PrintPage::ZoominBtnClick);
    connect(ZoomOutBtn, &QToolButton::clicked, this, &PrintPage::ZoomOutBtnClick);
    connect(SheetOptions1, &SheetOptionsBar::optionsChanged, this, &PrintPage::VPaintPaint);
    connect(SheetOptions1, &SheetOptionsBar::cutFileRequested, this, &PrintPage::cutFileRequested);
}

void PrintPage::VPaintPaint() {
    if (Painting()) return;
    m_controller.checkResolution();
    const QSize page = m_controller.previewSize();
    if (!page.isEmpty() && VPaint->size() != page) VPaint->resize(page);
    // A large table is read with progress here, not while painting.
    m_controller.readRows();
    SheetOptions1->showSeries(m_controller.document().Series.linked(), m_controller.seriesRowCount());
    const QString text = assemblyText(m_controller.document().Form);
    if (RichEdit1->toPlainText() != text) RichEdit1->setPlainText(text);
    VPaint->update();
}

void PrintPage::ZoominBtnClick() {
    if (m_controller.ZoominBtnClick()) VPaintPaint();
}

void PrintPage::ZoomOutBtnClick() {
    if (m_controller.ZoomOutBtnClick()) VPaintPaint();
}
