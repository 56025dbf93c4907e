#include "dialogs/bkgndunit.h"

#include "dialogs/BMPOpenFUnit.h"
#include "dialogs/FormStyle.h"
#include "image/DrawDib.h"
#include "image/ImageLoader.h"
#include "model/BoxDocument.h"
#include "model/FolderMemory.h"
#include "model/Prompter.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QVBoxLayout>

class BackgroundPreview : public QWidget {
public:
    BackgroundPreview(Tbkgndform* form, QWidget* parent) : QWidget(parent), m_form(form) {}

protected:
    void paintEvent(QPaintEvent*) override { m_form->paintPreview(this); }

private:
    Tbkgndform* m_form;
};

namespace {
const QColor AppWorkspace(0xAB, 0xAB, 0xAB);

QToolButton* bandButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                        int left, QStyle::StandardPixmap icon) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, 8, 73, 49);
    b->setText(caption);
    b->setToolTip(hint);
    b->setStatusTip(hint);
    b->setIcon(b->style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    return b;
}
}  // namespace

Tbkgndform::Tbkgndform(BoxDocument& doc, TBMPOpenForm& chooser, Prompter& prompter,
                       std::function<void()> repaintEditor, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_chooser(chooser), m_prompter(prompter),
      m_repaintEditor(std::move(repaintEditor)) {
    setObjectName(QStringLiteral("bkgndform"));
    setWindowTitle(QStringLiteral("Hintergrundbild auswählen"));
    applyDialogFont(this);
    resize(592, 405);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(65);
    OpenBtn = bandButton(Panel2, "OpenBtn", QStringLiteral("Ö&ffnen..."), QStringLiteral("Öffnet ein Hintergrundbild"),
                         8, QStyle::SP_DialogOpenButton);
    NoBkGndBtn = bandButton(Panel2, "NoBkGndBtn", QStringLiteral("&Keins"),
                            QStringLiteral("Kein Hintergrundbild auswählen..."), 88, QStyle::SP_DialogDiscardButton);
    OkBitBtn1 = bandButton(Panel2, "OkBitBtn1", QStringLiteral("&Zurück"), QStringLiteral("Zurück zum Hauptprogramm..."),
                           168, QStyle::SP_ArrowBack);
    outer->addWidget(Panel2);

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    PaintBox1 = new BackgroundPreview(this, ScrollBox1);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    ScrollBox1->setWidget(PaintBox1);
    middle->addWidget(ScrollBox1, 1);

    auto* Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(184);
    GroupBox1 = new QGroupBox(QStringLiteral("Einstellungen"), Panel1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    applyGroupFrame(GroupBox1);
    GroupBox1->setGeometry(8, 8, 169, 105);
    GroupBox1->setToolTip(QStringLiteral("Wählen Sie die gewünschte Anordnung des Hintergrundbildes"));
    GroupBox1->setStatusTip(GroupBox1->toolTip());
    auto radio = [this](const char* name, const QString& caption, int top) {
        auto* r = new QRadioButton(caption, GroupBox1);
        r->setObjectName(QString::fromLatin1(name));
        r->setGeometry(8, top, 153, 17);
        return r;
    };
    RadioButton3 = radio("RadioButton3", QStringLiteral("Zentriert größer"), 24);
    RadioButton2 = radio("RadioButton2", QStringLiteral("Zentriert kleiner"), 40);
    RadioButton4 = radio("RadioButton4", QStringLiteral("Nebeneinander (Kacheln)"), 56);
    RadioButton1 = radio("RadioButton1", QStringLiteral("Angepasst an Karte"), 72);
    middle->addWidget(Panel1);
    outer->addLayout(middle, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    outer->addWidget(StatusBar1);

    connect(OpenBtn, &QToolButton::clicked, this, [this] { OpenBtn2Click(); });
    connect(NoBkGndBtn, &QToolButton::clicked, this, [this] { NoBkGndBtnClick(); });
    connect(OkBitBtn1, &QToolButton::clicked, this, &QDialog::accept);
}

bool Tbkgndform::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip && StatusBar1) {
        StatusBar1->showMessage(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return QDialog::event(e);
}

void Tbkgndform::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(this);
    FormActivate();
}

void Tbkgndform::FormActivate() {
    switch (m_doc.BackgroundMode) {
    case bgFit: RadioButton1->setChecked(true); break;
    case bgCenterSmaller: RadioButton2->setChecked(true); break;
    case bgCenterLarger: RadioButton3->setChecked(true); break;
    case bgTile: RadioButton4->setChecked(true); break;
    default: break;   // no picture: the buttons stay as they are
    }
    m_working = m_doc.BackgroundPicture;
    m_workingFile = m_doc.BackgroundFile;
    PaintBox1->repaint();
}

void Tbkgndform::copyToDocument() {
    m_doc.BackgroundPicture = m_working;
    m_doc.BackgroundFile = m_workingFile;
    m_doc.markChanged();
}

void Tbkgndform::OpenBtn2Click() {
    const QString programFolder = m_doc.ProgramFolder;
    m_chooser.setProgramFolder(programFolder);
    m_chooser.startIn(defaultStartFolder(m_doc.FileName));
    m_chooser.setFilterText(GetDIBOpenFilter());
    m_chooser.FileNameEdit->clear();
    const int result = m_chooser.exec();
    // Closing the chooser makes this dialog the active one again.
    FormActivate();
    if (result != QDialog::Accepted) return;

    m_workingFile = m_chooser.ChosenFile;
    const QString file = firstRowPicture ? firstRowPicture(m_workingFile) : m_workingFile;
    if (!LoadDIBit(m_working, file, programFolder)) {
        // A refused drawing says why; a picture keeps its usual message.
        const QString why = VectorArtFault(ResolveImagePath(file, programFolder));
        m_prompter.inform(QString(),
                          QStringLiteral("Konnte Bild (") + file + QStringLiteral(") nicht Laden.") +
                              (why.isEmpty() ? QString() : QLatin1Char('\n') + why),
                          PromptIcon::Error);
        // The previous picture stays, and so does the name it is saved
        // under: without it the background would vanish at the next save.
        m_workingFile = m_doc.BackgroundFile;
    }
    copyToDocument();
    PaintBox1->repaint();
}

void Tbkgndform::NoBkGndBtnClick() {
    if (!m_working.isEmpty()) deldib(m_working);
    m_working = DibHandle();
    m_workingFile.clear();
    copyToDocument();
    PaintBox1->repaint();
}

void Tbkgndform::done(int result) {
    FormClose();
    QDialog::done(result);
}

void Tbkgndform::FormClose() {
    std::int32_t mode = bgFit;
    if (RadioButton2->isChecked())
        mode = bgCenterSmaller;
    else if (RadioButton3->isChecked())
        mode = bgCenterLarger;
    else if (RadioButton4->isChecked())
        mode = bgTile;
    m_doc.BackgroundMode = mode;
    if (!m_working.isEmpty()) {
        copyToDocument();
    } else {
        deldib(m_doc.BackgroundPicture);
        m_doc.BackgroundMode = bgNone;
        m_doc.BackgroundFile.clear();
        m_doc.markChanged();
    }
    if (m_repaintEditor) m_repaintEditor();
}

void Tbkgndform::paintPreview(QWidget* box) {
    QPainter p(box);
    p.fillRect(box->rect(), AppWorkspace);
    if (m_working.isEmpty() || m_working.DibWidth() < 1 || m_working.DibHeight() < 1) return;
    const long long w = m_working.DibWidth(), h = m_working.DibHeight();
    const long long pw = box->width(), ph = box->height();
    long long destWidth = pw;
    long long destHeight = h * pw / w;
    if (destHeight > ph) {
        destHeight = ph;
        destWidth = w * ph / h;
    }
    const long long x = (pw - destWidth) / 2;
    const long long y = (ph - destHeight) / 2;
    DrawDib(p, static_cast<int>(x), static_cast<int>(y), static_cast<int>(destWidth), static_cast<int>(destHeight),
            m_working, 0, 0, static_cast<int>(w), static_cast<int>(h), true, SRCCOPY, true);
}
