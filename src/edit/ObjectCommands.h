#pragma once
// The commands on the current object, shared by the object menu, the
// property panel, the keyboard and the canvas. Each works on the document's
// current object in place and ends with a full repaint; with no current
// object each does nothing.

#include "edit/EditorEnvironment.h"

class ObjectCommands {
public:
    explicit ObjectCommands(EditorEnvironment& env);

    // The font dialog's font: loaded by the font command, used for new objects.
    const DialogFont& dialogFont() const { return m_font; }

    void deleteObject();            // asks first
    void bringToFront();
    void sendToBack();
    void setShape(int shape);
    void chooseColor();
    void chooseBorderColor();
    void chooseFont();
    void setAlignment(int alignment);
    void editTextEffects();
    void editTransparency();
    void toggleKeepAspect();
    void setKeepAspect(bool keep);
    void setFillMode(int fillMode);
    void setLineWidth(int width);
    void turnLeft();
    void turnRight();
    void EditTextNow();
    void editBackground();
    // Up / Down: the next used slot above the current one, wrapping after 10000.
    void selectNextObject();

private:
    struct Tobs* current();
    void turn(int direction);

    EditorEnvironment& m_env;
    DialogFont m_font;
};
