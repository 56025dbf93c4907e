#pragma once
// The font dialog of the object commands (FontDialog1): face, style and size
// of scalable fonts, plus the effects underline, strike-out and colour.

#include "edit/EditorEnvironment.h"

#include <QDialog>
#include <QFont>

class QFontDialog;
class QLabel;
class QPushButton;

class FontChooserDialog : public QDialog {
    Q_OBJECT
public:
    explicit FontChooserDialog(QWidget* parent = nullptr);

    void setDialogFont(const DialogFont& font, int dpi);
    DialogFont dialogFont(int dpi) const;

    QFontDialog* FontPart;
    QPushButton* ColorButton;
    // A field filled with the chosen colour, beside the button.
    QLabel* ColorSample;

private:
    void showColor();

    DialogFont m_font;
    QString m_shownFamily;   // the face the dialog showed for m_font.Name
    QFont m_shown;           // the dialog's font before the user acted
    std::int32_t m_color = 0;
};
