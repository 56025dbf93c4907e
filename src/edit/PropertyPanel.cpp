#include "edit/PropertyPanel.h"

#include "edit/EditorEnvironment.h"
#include "edit/ObjectCommands.h"
#include "widgets/SpinEdit.h"
#include "model/BoxDocument.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPushButton* makeButton(QWidget* page, const char* name, const QString& caption, int top,
                        QStyle::StandardPixmap icon) {
    auto* b = new QPushButton(caption, page);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(8, top, 129, 25);
    b->setIcon(page->style()->standardIcon(icon));
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

QRadioButton* makeRadio(QWidget* parent, const char* name, const QString& caption, int left, int top,
                        int width) {
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(QString::fromLatin1(name));
    // A caption wider than its place at this font may use the width of the
    // page (the panel's 145 pixels).
    const int room = 145 - left;
    r->setGeometry(left, top, std::min(room, std::max(width, r->sizeHint().width())), 17);
    return r;
}

// A radio button's handler runs when it becomes checked, by the user or by
// the panel following the object.
template <typename F>
void onChecked(QRadioButton* r, QObject* context, F handler) {
    QObject::connect(r, &QRadioButton::toggled, context, [handler](bool on) {
        if (on) handler();
    });
}

}  // namespace

PropertyPanel::PropertyPanel(EditorEnvironment& env, ObjectCommands& commands, QWidget* parent)
    : QWidget(parent), m_env(env), m_commands(commands) {
    setObjectName(QStringLiteral("Panel10"));
    setFixedWidth(145);

    PageControl3 = new QTabWidget(this);
    PageControl3->setObjectName(QStringLiteral("PageControl3"));
    PageControl3->setDocumentMode(true);   // tabs drawn flat
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PageControl3);

    auto makePage = [this](const char* name, const QString& caption) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(name));
        PageControl3->addTab(page, caption);
        return page;
    };
    FigurSheet = makePage("FigurSheet", QStringLiteral("Figur"));
    TextSheet = makePage("TextSheet", QStringLiteral("Text"));
    BildSheet = makePage("BildSheet", QStringLiteral("Bild"));
    AllgemeinSheet = makePage("AllgemeinSheet", QStringLiteral("Allgemein"));

    // --- Figur
    static const char* const shapeNames[10] = {"RadioButton1", "RadioButton2", "RadioButton3", "RadioButton4",
                                               "RadioButton5", "RadioButton6", "RadioButton7", "RadioButton8",
                                               "RadioButton9", "RadioButton10"};
    static const char* const shapeCaptions[10] = {"Kreis", "Ellipse", "Quadrat", "Rechteck",
                                                  "Quadrat abgerundet", "Rechteck abgerundet",
                                                  "Linie horizontal", "Linie vertikal",
                                                  "Linie schräg hoch", "Linie schräg runter"};
    auto* shapeGroup = new QButtonGroup(this);
    for (int code = 0; code < 10; ++code) {
        RadioButtons[code] = makeRadio(FigurSheet, shapeNames[code], QString::fromUtf8(shapeCaptions[code]), 8,
                                       8 + 16 * code, code >= 8 ? 129 : 113);
        shapeGroup->addButton(RadioButtons[code], code);
        onChecked(RadioButtons[code], this, [this, code] { m_commands.setShape(code); });
    }
    RadioButtons[3]->setChecked(true);
    ColorBtn = makeButton(FigurSheet, "ColorBtn", QStringLiteral("Farbe..."), 176, QStyle::SP_DialogResetButton);
    UColorBtn = makeButton(FigurSheet, "UColorBtn", QStringLiteral("Umrandungsfarbe..."), 208,
                           QStyle::SP_DialogResetButton);
    auto* Panel11 = new QWidget(FigurSheet);
    Panel11->setObjectName(QStringLiteral("Panel11"));
    // Borderless and unseen: as wide as the page, so that "Gefüllt und
    // Umrandung" is not cut at this font.
    Panel11->setGeometry(0, 240, 145, 49);
    FilledCheck = makeRadio(Panel11, "FilledCheck", QStringLiteral("Ausgefüllt"), 8, 0, 129);
    BorderCheck = makeRadio(Panel11, "BorderCheck", QStringLiteral("Nur Umrandung"), 8, 16, 129);
    FilledBorderCheck = makeRadio(Panel11, "FilledBorderCheck", QStringLiteral("Gefüllt und Umrandung"), 8, 32, 129);
    FilledCheck->setChecked(true);
    onChecked(FilledCheck, this, [this] { m_commands.setFillMode(0); });
    onChecked(BorderCheck, this, [this] { m_commands.setFillMode(1); });
    onChecked(FilledBorderCheck, this, [this] { m_commands.setFillMode(2); });
    auto* Label5 = new QLabel(QStringLiteral("Linienstärke:"), FigurSheet);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setGeometry(8, 296, 129, 16);
    LinieEd = new SpinEdit(FigurSheet);
    LinieEd->setObjectName(QStringLiteral("LinieEd"));
    LinieEd->setRange(1, 20);
    LinieEd->setValue(1);
    LinieEd->setGeometry(8, 312, 129, 21);
    connect(LinieEd, &SpinEdit::textChanged, this, [this] { LinieEdChange(); });
    connect(ColorBtn, &QPushButton::clicked, this, [this] { m_commands.chooseColor(); });
    connect(UColorBtn, &QPushButton::clicked, this, [this] { m_commands.chooseBorderColor(); });

    // --- Text
    EnterTextBtn = makeButton(TextSheet, "EnterTextBtn", QStringLiteral("Text eingeben..."), 8, QStyle::SP_FileDialogDetailedView);
    Color2Btn = makeButton(TextSheet, "Color2Btn", QStringLiteral("Farbe..."), 40, QStyle::SP_DialogResetButton);
    FontBtn = makeButton(TextSheet, "FontBtn", QStringLiteral("Schriftart..."), 72, QStyle::SP_FileDialogInfoView);
    TextFXBtn = makeButton(TextSheet, "TextFXBtn", QStringLiteral("Texteffekte..."), 104, QStyle::SP_FileDialogContentsView);
    auto* alignGroup = new QButtonGroup(this);
    Leftalign = makeRadio(TextSheet, "Leftalign", QStringLiteral("Linksbündig"), 8, 136, 129);
    CenterAlign = makeRadio(TextSheet, "CenterAlign", QStringLiteral("Zentriert"), 8, 152, 129);
    RightAlign = makeRadio(TextSheet, "RightAlign", QStringLiteral("Rechtsbündig"), 8, 168, 129);
    alignGroup->addButton(Leftalign);
    alignGroup->addButton(CenterAlign);
    alignGroup->addButton(RightAlign);
    Leftalign->setChecked(true);
    onChecked(Leftalign, this, [this] { m_commands.setAlignment(0); });
    onChecked(CenterAlign, this, [this] { m_commands.setAlignment(1); });
    onChecked(RightAlign, this, [this] { m_commands.setAlignment(2); });
    BitBtn2 = makeButton(TextSheet, "BitBtn2", QStringLiteral("Nach links rotieren"), 192, QStyle::SP_ArrowLeft);
    BitBtn1 = makeButton(TextSheet, "BitBtn1", QStringLiteral("Nach rechts rotieren"), 224, QStyle::SP_ArrowRight);
    connect(EnterTextBtn, &QPushButton::clicked, this, [this] { m_commands.EditTextNow(); });
    connect(Color2Btn, &QPushButton::clicked, this, [this] { m_commands.chooseColor(); });
    connect(FontBtn, &QPushButton::clicked, this, [this] { m_commands.chooseFont(); });
    connect(TextFXBtn, &QPushButton::clicked, this, [this] { m_commands.editTextEffects(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { m_commands.turnLeft(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { m_commands.turnRight(); });

    // --- Bild
    SVerhCheck = new QCheckBox(QStringLiteral("Nicht verzerren"), BildSheet);
    SVerhCheck->setObjectName(QStringLiteral("SVerhCheck"));
    SVerhCheck->setGeometry(8, 8, 97, 17);
    SVerhCheck->setChecked(true);
    connect(SVerhCheck, &QCheckBox::toggled, this, [this](bool on) { m_commands.setKeepAspect(on); });
    RotLeftBtn = makeButton(BildSheet, "RotLeftBtn", QStringLiteral("Nach links rotieren"), 32, QStyle::SP_ArrowLeft);
    RotRightBtn = makeButton(BildSheet, "RotRightBtn", QStringLiteral("Nach rechts rotieren"), 64, QStyle::SP_ArrowRight);
    TranspBtn = makeButton(BildSheet, "TranspBtn", QStringLiteral("Transparenz..."), 96, QStyle::SP_DialogResetButton);
    connect(RotLeftBtn, &QPushButton::clicked, this, [this] { m_commands.turnLeft(); });
    connect(RotRightBtn, &QPushButton::clicked, this, [this] { m_commands.turnRight(); });
    connect(TranspBtn, &QPushButton::clicked, this, [this] { m_commands.editTransparency(); });

    // --- Allgemein
    Del1Btn = makeButton(AllgemeinSheet, "Del1Btn", QStringLiteral("Löschen..."), 8, QStyle::SP_TrashIcon);
    Front1Btn = makeButton(AllgemeinSheet, "Front1Btn", QStringLiteral("Nach vorne"), 40, QStyle::SP_ArrowUp);
    Back1Btn = makeButton(AllgemeinSheet, "Back1Btn", QStringLiteral("Nach hinten"), 72, QStyle::SP_ArrowDown);
    connect(Del1Btn, &QPushButton::clicked, this, [this] { m_commands.deleteObject(); });
    connect(Front1Btn, &QPushButton::clicked, this, [this] { m_commands.bringToFront(); });
    connect(Back1Btn, &QPushButton::clicked, this, [this] { m_commands.sendToBack(); });

    for (QWidget* page : {FigurSheet, TextSheet, BildSheet, AllgemeinSheet}) showPage(page, false);
}

void PropertyPanel::showPage(QWidget* page, bool shown) {
    PageControl3->setTabVisible(PageControl3->indexOf(page), shown);
}

bool PropertyPanel::isPageShown(QWidget* page) const {
    return PageControl3->isTabVisible(PageControl3->indexOf(page));
}

void PropertyPanel::activatePage(QWidget* page) {
    PageControl3->setCurrentWidget(page);
    page->show();
}

void PropertyPanel::LinieEdChange() {
    // Runs on every change of the shown text, also half-typed ones; a text
    // that is no number counts as the minimum.
    m_commands.setLineWidth(LinieEd->value());
}

void PropertyPanel::CheckAllPanelOptions() {
    // Controls set from the object run their handlers; what those write (the
    // pen width's bound for a width outside 1..20) is the panel's doing, not
    // a step of the user's.
    const ObjectCommands::Unrecorded following(m_commands);
    followObject();
}

void PropertyPanel::followObject() {
    const BoxDocument& doc = m_env.document();
    if (!ObjectTable::isValidSlot(doc.CurrentObject)) {
        for (QWidget* page : {FigurSheet, BildSheet, TextSheet, AllgemeinSheet}) showPage(page, false);
        // Without a tab the page control shows no page either.
        if (QWidget* page = PageControl3->currentWidget()) page->hide();
        return;
    }
    const int slot = doc.CurrentObject;
    showPage(AllgemeinSheet, true);
    if (QWidget* page = PageControl3->currentWidget(); page && isPageShown(page)) page->show();
    // Setting a control runs its handler when its state really changes; the
    // handler's repaint comes back here and finds everything in place.
    // Re-read the object after each step: a handler may have changed it.
    auto object = [&]() -> const Tobs& { return m_env.document().Objects[slot]; };
    switch (object().Kind) {
    case Figure: {
        showPage(FigurSheet, true);
        showPage(BildSheet, false);
        showPage(TextSheet, false);
        const int shape = object().Shape;
        if (shape >= 0 && shape <= 9) RadioButtons[shape]->setChecked(true);
        if (object().Shape < 6) {
            for (QWidget* w : {static_cast<QWidget*>(UColorBtn), static_cast<QWidget*>(FilledCheck),
                               static_cast<QWidget*>(BorderCheck), static_cast<QWidget*>(FilledBorderCheck)})
                w->setEnabled(true);
            switch (object().FillModeOrShadowColor) {
            case 0: FilledCheck->setChecked(true); break;
            case 1: BorderCheck->setChecked(true); break;
            case 2: FilledBorderCheck->setChecked(true); break;
            default: break;
            }
        } else {
            for (QWidget* w : {static_cast<QWidget*>(UColorBtn), static_cast<QWidget*>(FilledCheck),
                               static_cast<QWidget*>(BorderCheck), static_cast<QWidget*>(FilledBorderCheck)})
                w->setEnabled(false);
        }
        LinieEd->setValue(object().LineWidthOrTransColor);
        activatePage(FigurSheet);
        break;
    }
    case Text:
        showPage(FigurSheet, false);
        showPage(BildSheet, false);
        showPage(TextSheet, true);
        switch (object().Alignment) {
        case 0: Leftalign->setChecked(true); break;
        case 1: CenterAlign->setChecked(true); break;
        case 2: RightAlign->setChecked(true); break;
        default: break;
        }
        activatePage(TextSheet);
        break;
    case Image:
        showPage(FigurSheet, false);
        showPage(TextSheet, false);
        showPage(BildSheet, true);
        SVerhCheck->setChecked(object().KeepAspect != 0);
        activatePage(BildSheet);
        break;
    default:
        break;
    }
}
