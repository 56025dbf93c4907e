#include "edit/ObjectCommands.h"

#include "edit/TextLines.h"
#include "model/BoxDocument.h"
#include "model/Prompter.h"
#include "model/TransparentValue.h"

ObjectCommands::ObjectCommands(EditorEnvironment& env)
    : m_env(env), m_history([&env]() -> BoxDocument& { return env.document(); }) {}

template <typename F>
void ObjectCommands::change(const QString& name, F&& apply, StepMerge merge) {
    Tobs* o = current();
    if (!o) return;
    BoxDocument& doc = m_env.document();
    const int slot = doc.CurrentObject;
    if (m_unrecorded > 0) {
        const Tobs before = *o;
        apply(*o);
        if (!sameSlotState(before, *o)) doc.markChanged();
    } else {
        auto step = m_history.begin(name, {slot}, merge, slot);
        apply(*o);
        m_history.commit(std::move(step));
    }
    m_env.repaint();
}

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
    BoxDocument& doc = m_env.document();
    auto step = m_history.begin(QStringLiteral("Löschen"), {doc.CurrentObject});
    doc.deleteCurrent();
    m_history.commit(std::move(step));
    m_env.repaint();
}

void ObjectCommands::bringToFront() {
    if (!current()) return;
    BoxDocument& doc = m_env.document();
    auto step = m_history.begin(QStringLiteral("Nach vorne"), {doc.CurrentObject, ObjectTable::Capacity});
    doc.Objects.exchange(doc.CurrentObject, ObjectTable::Capacity);
    doc.CurrentObject = ObjectTable::Capacity;
    m_history.commit(std::move(step));
    m_env.repaint();
}

void ObjectCommands::sendToBack() {
    if (!current()) return;
    BoxDocument& doc = m_env.document();
    auto step = m_history.begin(QStringLiteral("Nach hinten"), {doc.CurrentObject, 1});
    doc.Objects.exchange(doc.CurrentObject, 1);
    doc.CurrentObject = 1;
    m_history.commit(std::move(step));
    m_env.repaint();
}

void ObjectCommands::setShape(int shape) {
    change(QStringLiteral("Form"), [shape](Tobs& o) { o.Shape = shape; });
}

void ObjectCommands::chooseColor() {
    Tobs* o = current();
    if (!o) return;
    std::int32_t color = o->Color;
    if (!m_env.dialogs().chooseColor(color)) return;
    change(QStringLiteral("Farbe"), [color](Tobs& still) { still.Color = color; });
}

void ObjectCommands::chooseBorderColor() {
    Tobs* o = current();
    if (!o) return;
    std::int32_t color = o->BorderOrOutlineColor;
    if (!m_env.dialogs().chooseColor(color)) return;
    change(QStringLiteral("Umrandungsfarbe"), [color](Tobs& still) { still.BorderOrOutlineColor = color; });
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
    const DialogFont font = m_font;
    change(QStringLiteral("Schriftart"), [&font](Tobs& still) {
        still.Color = font.Color;
        font.applyTypefaceTo(still);
    });
}

void ObjectCommands::setAlignment(int alignment) {
    change(QStringLiteral("Ausrichtung"), [alignment](Tobs& o) { o.Alignment = alignment; });
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
    change(QStringLiteral("Texteffekte"), [&v](Tobs& t) {
        t.Outline = v.Outline ? 1 : 0;
        t.Shadow = v.Shadow ? 1 : 0;
        t.BorderOrOutlineColor = v.OutlineColor;
        t.FillModeOrShadowColor = v.ShadowColor;
        t.ShadowDx = v.ShadowDx;
        t.ShadowDy = v.ShadowDy;
    });
}

void ObjectCommands::editTransparency() {
    Tobs* o = current();
    if (!o) return;
    TransparencyValues v;
    v.Transparent = o->Transparent != 0;
    v.AutoColor = o->TransAuto != 0;
    v.Color = o->LineWidthOrTransColor;
    if (!m_env.dialogs().editTransparency(v)) return;
    change(QStringLiteral("Transparenz"), [&v](Tobs& i) {
        i.Transparent = v.Transparent ? 1 : 0;
        i.TransAuto = v.AutoColor ? 1 : 0;
        i.LineWidthOrTransColor = v.Color;
        // A colour of the picture's palette is kept as its index.
        settleTransparentValue(i);
    });
}

void ObjectCommands::toggleKeepAspect() {
    change(QStringLiteral("Seitenverhältnis"),
           [](Tobs& o) { o.KeepAspect = static_cast<std::uint8_t>(1 - o.KeepAspect); });
}

void ObjectCommands::setKeepAspect(bool keep) {
    change(QStringLiteral("Seitenverhältnis"), [keep](Tobs& o) { o.KeepAspect = keep ? 1 : 0; });
}

void ObjectCommands::setFillMode(int fillMode) {
    change(QStringLiteral("Füllart"), [fillMode](Tobs& o) { o.FillModeOrShadowColor = fillMode; });
}

void ObjectCommands::setLineWidth(int width) {
    change(QStringLiteral("Linienstärke"), [width](Tobs& o) { o.LineWidthOrTransColor = width; },
           StepMerge::LineWidth);
}


void ObjectCommands::turnLeft() { turn(-1); }
void ObjectCommands::turnRight() { turn(+1); }

void ObjectCommands::turn(int direction) {
    if (!current()) return;
    auto step = m_history.begin(direction < 0 ? QStringLiteral("Nach links rotieren")
                                              : QStringLiteral("Nach rechts rotieren"),
                                {m_env.document().CurrentObject});
    const ProgressCallback progress = [this](int percent) { m_env.reportProgress(percent); };
    BoxDocument& doc = m_env.document();
    if (!doc.turnObject(doc.CurrentObject, direction < 0 ? -1 : +1, progress)) {
        // A picture too large to turn stays as it is, and so does the object.
        m_env.prompter().inform(QString(), QStringLiteral("Das Bild konnte nicht gedreht werden: zu wenig Speicher."),
                                PromptIcon::Error);
        return;
    }
    m_history.commit(std::move(step));
    m_env.repaint();
}

void ObjectCommands::EditTextNow() {
    Tobs* o = current();
    if (!o) return;
    QStringList lines = splitContentLines(o->Content);
    if (!m_env.dialogs().editText(lines)) return;
    const QString content = joinContentLines(lines);
    change(QStringLiteral("Text eingeben"), [&content](Tobs& t) { t.Content = content; });
}

void ObjectCommands::editBackground() {
    // Picture and mode reach the document while the dialog is open; the
    // whole visit is one step however it ends.
    auto step = m_history.beginBackground(QStringLiteral("Hintergrundbild"));
    m_env.dialogs().showBackgroundDialog();
    m_history.commit(std::move(step));
}

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

void ObjectCommands::undo() {
    if (!m_history.canUndo()) return;
    m_history.undo();
    m_env.repaint();
}

void ObjectCommands::redo() {
    if (!m_history.canRedo()) return;
    m_history.redo();
    m_env.repaint();
}
