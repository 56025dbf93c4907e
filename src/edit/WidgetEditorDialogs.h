#pragma once
// The real dialogs behind EditorDialogs: created once with the main window
// and shown modally by the commands.

#include "edit/EditorEnvironment.h"

#include <functional>

class QWidget;
class Prompter;
class TBMPOpenForm;
class Tbkgndform;
class TEffektForm;
class TTransForm;
class TTxtForm;
class FontChooserDialog;

class WidgetEditorDialogs : public EditorDialogs {
public:
    // repaintEditor is the canvas's full repaint (the background dialog asks
    // for it when it closes). The dialogs are children of parent.
    WidgetEditorDialogs(BoxDocument& doc, Prompter& prompter, std::function<void()> repaintEditor,
                        std::function<int()> screenDpi, QWidget* parent);
    ~WidgetEditorDialogs() override;

    bool chooseImage(const QString& folder, const QString& filter, QString& chosenFile) override;
    bool chooseColor(std::int32_t& color) override;
    bool chooseFont(DialogFont& font) override;
    bool editText(QStringList& lines) override;
    bool editTextEffects(TextEffectValues& values) override;
    bool editTransparency(TransparencyValues& values) override;
    void showBackgroundDialog() override;

    Tbkgndform* bkgndform() const { return m_bkgnd; }
    TEffektForm* effektForm() const { return m_effekt; }
    TTransForm* transForm() const { return m_trans; }
    TBMPOpenForm* bmpOpenForm() const { return m_open; }
    TTxtForm* txtForm() const { return m_txt; }
    FontChooserDialog* fontDialog() const { return m_font; }

private:
    BoxDocument& m_doc;
    QWidget* m_parent;
    std::function<int()> m_screenDpi;
    TBMPOpenForm* m_open;
    Tbkgndform* m_bkgnd;
    TEffektForm* m_effekt;
    TTransForm* m_trans;
    TTxtForm* m_txt;
    FontChooserDialog* m_font;
};
