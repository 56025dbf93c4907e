#pragma once
// Background image dialog (Tbkgndform): picks the document's background
// picture and its placement. A picture chosen or removed reaches the
// document at once; the placement when the dialog closes.

#include "image/DibHandle.h"

#include <QDialog>
#include <QString>

#include <functional>

class QGroupBox;
class QToolButton;
class QRadioButton;
class QScrollArea;
class QStatusBar;
struct BoxDocument;
class Prompter;
class TBMPOpenForm;

class Tbkgndform : public QDialog {
    Q_OBJECT
public:
    // repaintEditor runs when the dialog closes.
    Tbkgndform(BoxDocument& doc, TBMPOpenForm& chooser, Prompter& prompter,
               std::function<void()> repaintEditor, QWidget* parent = nullptr);

    // The file a picture name with fields stands for while data is linked
    // (the first row's); the name keeps its fields, so each row gets its own
    // background. Unset: the name itself.
    std::function<QString(const QString&)> firstRowPicture;

    // Each time the dialog becomes active: placement from the document,
    // working copy from the document, preview.
    void FormActivate();
    void OpenBtn2Click();
    void NoBkGndBtnClick();

    const DibHandle& workingPicture() const { return m_working; }
    const QString& workingFile() const { return m_workingFile; }

    QToolButton* OpenBtn;
    QToolButton* NoBkGndBtn;
    QToolButton* OkBitBtn1;
    QGroupBox* GroupBox1;
    QRadioButton* RadioButton1;   // bgFit
    QRadioButton* RadioButton2;   // bgCenterSmaller
    QRadioButton* RadioButton3;   // bgCenterLarger
    QRadioButton* RadioButton4;   // bgTile
    QScrollArea* ScrollBox1;
    QWidget* PaintBox1;
    QStatusBar* StatusBar1 = nullptr;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    // Hints of the controls appear in the dialog's own status bar.
    bool event(QEvent* event) override;

private:
    friend class BackgroundPreview;
    void paintPreview(QWidget* box);
    void FormClose();
    void copyToDocument();

    BoxDocument& m_doc;
    TBMPOpenForm& m_chooser;
    Prompter& m_prompter;
    std::function<void()> m_repaintEditor;
    DibHandle m_working;
    QString m_workingFile;
};
