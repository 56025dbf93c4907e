#include "edit/ObjectCommands.h"

#include "edit/TextLines.h"
#include "image/ImageRotation.h"
#include "model/BoxDocument.h"
#include "model/Prompter.h"
#include "model/TransparentValue.h"
#include "render/Mapping.h"

ObjectCommands::ObjectCommands(EditorEnvironment& env) : m_env(env) {}

Tobs* ObjectCommands::current() {
    BoxDocument& doc = m_env.document();
    if (!ObjectTable::isValidSlot(doc.CurrentObject)) return nullptr;
    return &doc.Objects[doc.CurrentObject];
}

void ObjectCommands::deleteObject() {
    if (!current()) return;
    const PromptAnswer answer =
        m_env.prompter().ask(QStringLiteral("Element löschen"), QStringLiteral("Wollen Sie das Element löschen?"),
                             PromptIcon::Question, PromptButtons::YesNo);
    if (answer != PromptAnswer::Yes) return;
    m_env.document().deleteCurrent();
    m_env.document().markChanged();
    m_env.repaint();
}

void ObjectCommands::bringToFront() {
    if (!current()) return;
    BoxDocument& doc = m_env.document();
    doc.Objects.exchange(doc.CurrentObject, ObjectTable::Capacity);
    doc.CurrentObject = ObjectTable::Capacity;
    m_env.document().markChanged();
    m_env.repaint();
}

void ObjectCommands::sendToBack() {
    if (!current()) return;
    BoxDocument& doc = m_env.document();
    doc.Objects.exchange(doc.CurrentObject, 1);
    doc.CurrentObject = 1;
    m_env.document().markChanged();
    m_env.repaint();
}

void ObjectCommands::setShape(int shape) {
    Tobs* o = current();
    if (!o) return;
    o->Shape = shape;
    m_env.document().markChanged();
    m_env.repaint();
}

void ObjectCommands::chooseColor() {
    Tobs* o = current();
    if (!o) return;
    std::int32_t color = o->Color;
    if (!m_env.dialogs().chooseColor(color)) return;
    if (Tobs* still = current()) {
        still->Color = color;
        m_env.document().markChanged();
        m_env.repaint();
    }
}

void ObjectCommands::chooseBorderColor() {
    Tobs* o = current();
    if (!o) return;
    std::int32_t color = o->BorderOrOutlineColor;
    if (!m_env.dialogs().chooseColor(color)) return;
    if (Tobs* still = current()) {
        still->BorderOrOutlineColor = color;
        m_env.document().markChanged();
        m_env.repaint();
    }
}

void ObjectCommands::chooseFont() {
    Tobs* o = current();
    if (!o) return;
    // The dialog keeps this font even when the user cancels; new objects
    // take it.
    const int dpi = m_env.screenDpi();
    m_font.Color = o->Color;
    m_font.setHeight(o->FontHeight, dpi);
    m_font.Name = o->FontName;
    m_font.Pitch = o->FontPitch;
    m_font.Style = o->FontStyle;
    m_font.setSize(o->FontSize, dpi);
    if (!m_env.dialogs().chooseFont(m_font)) return;
    Tobs* still = current();
    if (!still) return;
    still->Color = m_font.Color;
    still->FontHeight = m_font.Height;
    still->FontName = m_font.Name;
    still->FontPitch = m_font.Pitch;
    still->FontStyle = m_font.Style;
    still->FontSize = m_font.Size;
    m_env.document().markChanged();
    m_env.repaint();
}

void ObjectCommands::setAlignment(int alignment) {
    Tobs* o = current();
    if (!o) return;
    o->Alignment = alignment;
    m_env.document().markChanged();
    m_env.repaint();
}

void ObjectCommands::editTextEffects() {
    Tobs* o = current();
    if (!o) return;
    TextEffectValues v;
    v.Outline = o->Outline != 0;
    v.Shadow = o->Shadow != 0;
    v.OutlineColor = o->BorderOrOutlineColor;
    v.ShadowColor = o->FillModeOrShadowColor;
    v.ShadowDx = o->ShadowDx;
    v.ShadowDy = o->ShadowDy;
    if (!m_env.dialogs().editTextEffects(v)) return;
    o = current();
    if (!o) return;
    o->Outline = v.Outline ? 1 : 0;
    o->Shadow = v.Shadow ? 1 : 0;
    o->BorderOrOutlineColor = v.OutlineColor;
    o->FillModeOrShadowColor = v.ShadowColor;
    o->ShadowDx = v.ShadowDx;
    o->ShadowDy = v.ShadowDy;
    m_env.document().markChanged();
    m_env.repaint();
}

void ObjectCommands::editTransparency() {
    Tobs* o = current();
    if (!o) return;
    TransparencyValues v;
    v.Transparent = o->Transparent != 0;
    v.AutoColor = o->TransAuto != 0;
    v.Color = o->LineWidthOrTransColor;
    if (!m_env.dialogs().editTransparency(v)) return;
    o = current();
    if (!o) return;
    o->Transparent = v.Transparent ? 1 : 0;
    o->TransAuto = v.AutoColor ? 1 : 0;
    o->LineWidthOrTransColor = v.Color;
    // A colour of the picture's palette is kept as its index.
    settleTransparentValue(*o);
    m_env.document().markChanged();
    m_env.repaint();
}

void ObjectCommands::toggleKeepAspect() {
    Tobs* o = current();
    if (!o) return;
    o->KeepAspect = static_cast<std::uint8_t>(1 - o->KeepAspect);
    m_env.document().markChanged();
    m_env.repaint();
}

void ObjectCommands::setKeepAspect(bool keep) {
    Tobs* o = current();
    if (!o) return;
    o->KeepAspect = keep ? 1 : 0;
    m_env.document().markChanged();
    m_env.repaint();
}

void ObjectCommands::setFillMode(int fillMode) {
    Tobs* o = current();
    if (!o) return;
    o->FillModeOrShadowColor = fillMode;
    m_env.document().markChanged();
    m_env.repaint();
}

void ObjectCommands::setLineWidth(int width) {
    Tobs* o = current();
    if (!o) return;
    o->LineWidthOrTransColor = width;
    m_env.document().markChanged();
    m_env.repaint();
}

void ObjectCommands::turnLeft() { turn(-1); }
void ObjectCommands::turnRight() { turn(+1); }

void ObjectCommands::turn(int direction) {
    Tobs* o = current();
    if (!o) return;
    if (o->Kind == Image) {
        // A picture too large to turn stays as it is, and so does the object.
        const ProgressCallback progress = [this](int percent) { m_env.reportProgress(percent); };
        if (!o->Picture.isEmpty() && !(direction < 0 ? RotLeft(o->Picture, progress) : RotRight(o->Picture, progress))) {
            m_env.prompter().inform(QString(), QStringLiteral("Das Bild konnte nicht gedreht werden: zu wenig Speicher."),
                                    PromptIcon::Error);
            return;
        }
        // Through screen pixels, so the object keeps its top-left corner and
        // shows exactly the exchanged screen size.
        const BoxDocument& doc = m_env.document();
        const Mapping map = Mapping::screenFor(doc);
        const int sw = map.DevWidth(*o);
        const int sh = map.DevHeight(*o);
        SetDevWidth(*o, sh, doc.Zoom, doc.ScreenDivisor);
        SetDevHeight(*o, sw, doc.Zoom, doc.ScreenDivisor);
    }
    int rotation = o->Rotation + (direction < 0 ? -1 : 1);
    if (rotation < 0) rotation = 3;
    if (rotation > 3) rotation = 0;
    o->Rotation = rotation;
    // The lower-left pixel is another one now.
    settleTransparentValue(*o);
    m_env.document().markChanged();
    m_env.repaint();
}

void ObjectCommands::EditTextNow() {
    Tobs* o = current();
    if (!o) return;
    QStringList lines = splitContentLines(o->Content);
    if (!m_env.dialogs().editText(lines)) return;
    o = current();
    if (!o) return;
    o->Content = joinContentLines(lines);
    m_env.document().markChanged();
    m_env.repaint();
}

void ObjectCommands::editBackground() { m_env.dialogs().showBackgroundDialog(); }

void ObjectCommands::selectNextObject() {
    BoxDocument& doc = m_env.document();
    const int start = doc.CurrentObject;
    if (!ObjectTable::isValidSlot(start)) return;
    int slot = start;
    do {
        slot = slot >= ObjectTable::Capacity ? 1 : slot + 1;
    } while (doc.Objects[slot].Kind == KindFree && slot != start);
    doc.CurrentObject = slot;
    m_env.repaint();
}
