#include "edit/WidgetEditorDialogs.h"

#include "dialogs/BMPOpenFUnit.h"
#include "dialogs/ColorChoice.h"
#include "dialogs/EffektFUnit.h"
#include "dialogs/TranspFUnit.h"
#include "dialogs/bkgndunit.h"
#include "dialogs/txtFunit.h"
#include "edit/FontChooserDialog.h"
#include "widgets/SpinEdit.h"
#include "model/BoxDocument.h"

#include <QCheckBox>
#include <QLineEdit>

WidgetEditorDialogs::WidgetEditorDialogs(BoxDocument& doc, Prompter& prompter, std::function<void()> repaintEditor,
                                         std::function<int()> screenDpi, QWidget* parent)
    : m_doc(doc), m_parent(parent), m_screenDpi(std::move(screenDpi)) {
    m_open = new TBMPOpenForm(doc.ProgramFolder, parent);
    m_bkgnd = new Tbkgndform(doc, *m_open, prompter, std::move(repaintEditor), parent);
    m_effekt = new TEffektForm(parent);
    m_trans = new TTransForm(parent);
    m_txt = new TTxtForm(parent);
    m_font = new FontChooserDialog(parent);
}

WidgetEditorDialogs::~WidgetEditorDialogs() = default;   // children of the parent widget

bool WidgetEditorDialogs::chooseImage(const QString& folder, const QString& filter, QString& chosenFile) {
    m_open->setProgramFolder(m_doc.ProgramFolder);
    m_open->startIn(folder);
    m_open->setFilterText(filter);
    m_open->FileNameEdit->clear();
    if (m_open->exec() != QDialog::Accepted) return false;
    chosenFile = m_open->ChosenFile;
    return true;
}

bool WidgetEditorDialogs::chooseColor(std::int32_t& color) { return runColorDialog(m_parent, color); }

bool WidgetEditorDialogs::chooseFont(DialogFont& font) {
    const int dpi = m_screenDpi ? m_screenDpi() : 96;
    m_font->setDialogFont(font, dpi);
    if (m_font->exec() != QDialog::Accepted) return false;
    font = m_font->dialogFont(dpi);
    return true;
}

bool WidgetEditorDialogs::editText(QStringList& lines) {
    m_txt->setLines(lines);
    if (m_txt->exec() != QDialog::Accepted) return false;
    lines = m_txt->lines();
    return true;
}

bool WidgetEditorDialogs::editTextEffects(TextEffectValues& v) {
    m_effekt->UmrCheck->setChecked(v.Outline);
    m_effekt->SchattCheck->setChecked(v.Shadow);
    m_effekt->UmrColor = v.OutlineColor;
    m_effekt->SchattColor = v.ShadowColor;
    m_effekt->SchattED1->setValue(v.ShadowDx);
    m_effekt->SchattEd2->setValue(v.ShadowDy);
    if (m_effekt->exec() != QDialog::Accepted) return false;
    v.Outline = m_effekt->UmrCheck->isChecked();
    v.Shadow = m_effekt->SchattCheck->isChecked();
    v.OutlineColor = m_effekt->UmrColor;
    v.ShadowColor = m_effekt->SchattColor;
    v.ShadowDx = m_effekt->SchattED1->value();
    v.ShadowDy = m_effekt->SchattEd2->value();
    return true;
}

bool WidgetEditorDialogs::editTransparency(TransparencyValues& v) {
    m_trans->TransCheck->setChecked(v.Transparent);
    m_trans->AutoCheck->setChecked(v.AutoColor);
    m_trans->setColor(v.Color);
    if (m_trans->exec() != QDialog::Accepted) return false;
    v.Transparent = m_trans->TransCheck->isChecked();
    v.AutoColor = m_trans->AutoCheck->isChecked();
    v.Color = m_trans->color();
    return true;
}

void WidgetEditorDialogs::showBackgroundDialog() { m_bkgnd->exec(); }
