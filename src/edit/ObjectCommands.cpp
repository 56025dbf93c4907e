#include "edit/ObjectCommands.h"

#include "edit/TextLines.h"
#include "box/FaceGeometry.h"
#include "box/NetSource.h"
#include "model/BoxDocument.h"
#include "model/Prompter.h"
#include "model/TransparentValue.h"
#include "render/DrawVCart.h"
#include "render/SheetRenderParams.h"
#include "render/TextRenderer.h"

#include <algorithm>
#include <cmath>

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
    const ProgressCallback progress = [this](int percent) {
        m_env.reportProgress(percent);
        return true;
    };
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

namespace {

constexpr double kMmUnits = 20000.0 / 25.39995;

// Circles, squares and rounded squares draw the square of the shorter side
// at the rectangle's top-left corner.
bool drawsSquare(const Tobs& o) {
    return o.Kind == Figure && (o.Shape == shCircle || o.Shape == shSquare || o.Shape == shRoundSquare);
}

// The drawn part's width and height in document units.
std::int32_t drawnWidth(const Tobs& o) { return drawsSquare(o) ? std::min(o.Width, o.Height) : o.Width; }
std::int32_t drawnHeight(const Tobs& o) { return drawsSquare(o) ? std::min(o.Width, o.Height) : o.Height; }

// What is drawn, in exact document units. A turned text is its turned line,
// measured as the 600-dpi print draws it: screen font heights are truncated
// too coarsely to centre by.
QRectF drawnBox(const BoxDocument& doc, const NetSource& source, int screenDpi, const Tobs& o) {
    if (o.Kind == Text && o.Rotation >= 1 && o.Rotation <= 3) {
        const int ppi = screenDpi > 0 ? screenDpi : 96;
        RenderParams params = sheetRenderParams(doc.Layout, source, 600, 600, printFontFactor(600, ppi));
        params.CanvasDpi = 600;
        params.FontPpi = ppi;
        const QRectF box = turnedLineBox(o, params);
        const double scale = params.mapping.Scale();
        if (!box.isNull() && scale > 0)
            return QRectF(QPointF((box.left() + params.OffsetX) / scale, (box.top() + params.OffsetY) / scale),
                          QSizeF(box.width() / scale, box.height() / scale));
    }
    return QRectF(o.Left, o.Top, drawnWidth(o), drawnHeight(o));
}

// Where the centre of what is drawn lies from (Left, Top), document units.
QPointF drawnCentreOffset(const BoxDocument& doc, const NetSource& source, int screenDpi, const Tobs& o) {
    return drawnBox(doc, source, screenDpi, o).center() - QPointF(o.Left, o.Top);
}

// Puts the centre of what is drawn (offset from Left, Top) at (cx, cy),
// exact document units.
void centreAt(Tobs& o, double cx, double cy, QPointF offset) {
    o.Left = unitsOf(cx - offset.x());
    o.Top = unitsOf(cy - offset.y());
}

void centreAt(Tobs& o, double cx, double cy) { centreAt(o, cx, cy, QPointF(drawnWidth(o) / 2.0, drawnHeight(o) / 2.0)); }

}  // namespace

std::optional<FaceRect> ObjectCommands::faceOfCurrent() {
    Tobs* o = current();
    if (!o) return std::nullopt;
    const BoxDocument& doc = m_env.document();
    return faceAt(doc, NetSource::of(doc, m_env.boxPercent()), o->Left + o->Width / 2.0, o->Top + o->Height / 2.0);
}

void ObjectCommands::centreOnFace() {
    const std::optional<FaceRect> f = faceOfCurrent();
    if (!f) return;
    const BoxDocument& doc = m_env.document();
    const NetSource source = NetSource::of(doc, m_env.boxPercent());
    const int dpi = m_env.screenDpi();
    change(QStringLiteral("Zentrieren"), [&](Tobs& o) {
        centreAt(o, (f->left + f->right) / 2.0, (f->top + f->bottom) / 2.0, drawnCentreOffset(doc, source, dpi, o));
    });
}

void ObjectCommands::fitToFace() {
    const std::optional<FaceRect> f = faceOfCurrent();
    if (!f || current()->Kind == Text) return;
    change(QStringLiteral("Einpassen"), [&f](Tobs& o) {
        double w = std::max(0.0, f->width() - 4 * kMmUnits), h = std::max(0.0, f->height() - 4 * kMmUnits);
        if (drawsSquare(o)) {
            w = h = std::min(w, h);
        } else if (o.Kind == Image && o.KeepAspect == 1 && o.Picture.DibWidth() > 0 && o.Picture.DibHeight() > 0) {
            const QSize size = o.Picture.aspectSize();
            const double aspect = double(size.width()) / size.height();
            if (w / h > aspect) w = h * aspect;
            else h = w / aspect;
        }
        o.Width = unitsOf(w);
        o.Height = unitsOf(h);
        centreAt(o, (f->left + f->right) / 2.0, (f->top + f->bottom) / 2.0);
    });
}

void ObjectCommands::fillFace() {
    const std::optional<FaceRect> f = faceOfCurrent();
    if (!f) return;
    const Tobs& cur = *current();
    if (!((cur.Kind == Figure && !drawsSquare(cur)) || (cur.Kind == Image && cur.KeepAspect != 1))) return;
    change(QStringLiteral("Füllen"), [&f](Tobs& o) {
        // Bleed over the cuts only: over a fold it would show on the next face.
        const double left = f->left - (f->cutLeft ? kMmUnits : 0), right = f->right + (f->cutRight ? kMmUnits : 0);
        const double top = f->top - (f->cutTop ? kMmUnits : 0), bottom = f->bottom + (f->cutBottom ? kMmUnits : 0);
        o.Left = unitsOf(std::floor(left));
        o.Top = unitsOf(std::floor(top));
        o.Width = unitsOf(std::ceil(right)) - o.Left;
        o.Height = unitsOf(std::ceil(bottom)) - o.Top;
    });
}

void ObjectCommands::turnUpright() {
    const std::optional<FaceRect> f = faceOfCurrent();
    if (!f || current()->Kind == Figure) return;
    BoxDocument& doc = m_env.document();
    const int slot = doc.CurrentObject;
    Tobs& o = doc.Objects[slot];
    if (o.Kind == Text && splitContentLines(o.Content).size() > 1)
        m_env.prompter().inform(QStringLiteral("Aufrecht drehen"),
                                QStringLiteral("Ein gedrehter Text wird als eine Zeile gezeichnet."),
                                PromptIcon::Information);
    const NetSource source = NetSource::of(doc, m_env.boxPercent());
    const int dpi = m_env.screenDpi();
    const QPointF centre = drawnBox(doc, source, dpi, o).center();
    auto step = m_history.begin(QStringLiteral("Aufrecht drehen"), {slot});
    const ProgressCallback progress = [this](int percent) {
        m_env.reportProgress(percent);
        return true;
    };
    const int now = (o.Rotation >= 0 && o.Rotation <= 3) ? o.Rotation : 0;
    const int clockwise = (f->uprightRotation - now + 4) % 4;
    // The shorter way round: three quarter turns one way are one the other.
    const int direction = clockwise == 3 ? -1 : +1;
    const int turns = clockwise == 3 ? 1 : clockwise;
    for (int i = 0; i < turns; ++i) {
        if (!doc.turnObject(slot, direction, progress)) {
            m_env.prompter().inform(QString(), QStringLiteral("Das Bild konnte nicht gedreht werden: zu wenig Speicher."),
                                    PromptIcon::Error);
            m_history.commit(std::move(step));
            m_env.repaint();
            return;
        }
    }
    // Pictures turn their frame themselves; a text's frame turns with its
    // line, so that its marks and its face are where the text is.
    if (o.Kind == Text && turns % 2 == 1) std::swap(o.Width, o.Height);
    fitTurnedOnFace(o, *f, source, dpi, centre);
    m_history.commit(std::move(step));
    m_env.repaint();
}

void ObjectCommands::fitTurnedOnFace(Tobs& o, const FaceRect& f, const NetSource& source, int dpi, QPointF centre) {
    const BoxDocument& doc = m_env.document();
    // What "Einpassen" leaves free: 2 mm at each edge.
    const double roomW = std::max(0.0, f.width() - 4 * kMmUnits), roomH = std::max(0.0, f.height() - 4 * kMmUnits);
    auto fitsFace = [&](const QRectF& box) { return box.width() <= f.width() && box.height() <= f.height(); };
    const bool turnedText = o.Kind == Text && o.Rotation >= 1 && o.Rotation <= 3;
    if (turnedText) {
        // The font shrinks in whole points until the line fits as "Einpassen" would fit it.
        QRectF box = drawnBox(doc, source, dpi, o);
        if (!fitsFace(box)) {
            while (o.FontSize > 1 && (box.width() > roomW || box.height() > roomH)) {
                DialogFont font;
                font.setSize(o.FontSize - 1, dpi);
                o.FontSize = font.Size;
                o.FontHeight = font.Height;
                box = drawnBox(doc, source, dpi, o);
            }
        }
        // The frame around the line it now draws.
        o.Width = std::max<std::int32_t>(1, unitsOf(std::ceil(box.width())));
        o.Height = std::max<std::int32_t>(1, unitsOf(std::ceil(box.height())));
    } else if (!fitsFace(QRectF(0, 0, o.Width, o.Height)) && o.Width > 0 && o.Height > 0) {
        // A picture keeps its proportions; a text's frame takes the room.
        if (o.Kind == Image) {
            const double k = std::min(roomW / o.Width, roomH / o.Height);
            o.Width = std::max<std::int32_t>(1, unitsOf(o.Width * k));
            o.Height = std::max<std::int32_t>(1, unitsOf(o.Height * k));
        } else {
            o.Width = std::min<std::int32_t>(o.Width, unitsOf(roomW));
            o.Height = std::min<std::int32_t>(o.Height, unitsOf(roomH));
        }
    }
    // Centred where it was, then moved onto the face as far as it reaches over.
    centreAt(o, centre.x(), centre.y(), drawnCentreOffset(doc, source, dpi, o));
    const QRectF box = drawnBox(doc, source, dpi, o);
    double dx = 0, dy = 0;
    if (box.width() > f.width()) dx = (f.left + f.right) / 2 - box.center().x();
    else if (box.left() < f.left) dx = f.left - box.left();
    else if (box.right() > f.right) dx = f.right - box.right();
    if (box.height() > f.height()) dy = (f.top + f.bottom) / 2 - box.center().y();
    else if (box.top() < f.top) dy = f.top - box.top();
    else if (box.bottom() > f.bottom) dy = f.bottom - box.bottom();
    // Whole units inward, so that rounding never leaves a sliver over the fold.
    o.Left += static_cast<std::int32_t>(dx < 0 ? std::floor(dx) : std::ceil(dx));
    o.Top += static_cast<std::int32_t>(dy < 0 ? std::floor(dy) : std::ceil(dy));
}
