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
void ObjectCommands::change(const QString& name, F&& apply, StepMerge merge, bool alone) {
    Tobs* o = current();
    if (!o) return;
    BoxDocument& doc = m_env.document();
    const int slot = doc.CurrentObject;
    if (m_unrecorded > 0) {
        const Tobs before = *o;
        apply(*o);
        if (!sameSlotState(before, *o)) doc.markChanged();
    } else {
        // A property set for the current object goes to every selected
        // object of its kind, in one step.
        std::vector<int> chosen;
        if (!alone)
            for (int s : doc.selectedSlots())
                if (doc.Objects[s].Kind == o->Kind) chosen.push_back(s);
        if (chosen.empty()) chosen.push_back(slot);
        auto step = m_history.begin(name, chosen, merge, slot);
        for (int s : chosen) apply(doc.Objects[s]);
        m_history.commit(std::move(step));
    }
    m_env.repaint();
}

Tobs* ObjectCommands::current() {
    BoxDocument& doc = m_env.document();
    if (!ObjectTable::isValidSlot(doc.CurrentObject)) return nullptr;
    return &doc.Objects[doc.CurrentObject];
}

std::vector<int> ObjectCommands::selection() {
    if (!current()) return {};
    return m_env.document().selectedSlots();
}

void ObjectCommands::deleteObject() {
    if (!current()) return;
    const std::vector<int> chosen = selection();
    const bool several = chosen.size() > 1;
    const PromptAnswer answer = m_env.prompter().ask(
        several ? QStringLiteral("Elemente löschen") : QStringLiteral("Element löschen"),
        several ? QStringLiteral("Wollen Sie die ausgewählten Elemente löschen?")
                : QStringLiteral("Wollen Sie das Element löschen?"),
        PromptIcon::Question, PromptButtons::YesNo);
    if (answer != PromptAnswer::Yes) return;
    auto step = m_history.begin(QStringLiteral("Löschen"), chosen);
    deleteSlots(chosen);
    m_history.commit(std::move(step));
    m_env.repaint();
}

void ObjectCommands::deleteSlots(const std::vector<int>& chosen) {
    BoxDocument& doc = m_env.document();
    for (int s : chosen) doc.Objects.deleteObject(s);
    doc.selectOnly(0);
    doc.markChanged();
}

void ObjectCommands::bringToFront() { restack(true); }
void ObjectCommands::sendToBack() { restack(false); }

void ObjectCommands::restack(bool toFront) {
    if (!current()) return;
    BoxDocument& doc = m_env.document();
    const std::vector<int> sources = selection();
    const QString name = toFront ? QStringLiteral("Nach vorne") : QStringLiteral("Nach hinten");
    if (sources.size() <= 1) {
        // One object exchanges with whatever holds the end slot.
        const int end = toFront ? ObjectTable::Capacity : 1;
        auto step = m_history.begin(name, {doc.CurrentObject, end});
        doc.Objects.exchange(doc.CurrentObject, end);
        doc.selectOnly(end);
        m_history.commit(std::move(step));
        m_env.repaint();
        return;
    }
    // n objects take the n end slots in their order; what held those slots
    // takes the slots they left, in its order.
    const int n = static_cast<int>(sources.size());
    const int first = toFront ? ObjectTable::Capacity - n + 1 : 1;
    std::vector<int> targets(n);
    for (int i = 0; i < n; ++i) targets[i] = first + i;
    auto inTargets = [&](int s) { return s >= first && s < first + n; };
    auto inSources = [&](int s) { return std::binary_search(sources.begin(), sources.end(), s); };
    std::vector<int> vacated, displaced;
    for (int s : sources)
        if (!inTargets(s)) vacated.push_back(s);
    for (int t : targets)
        if (!inSources(t)) displaced.push_back(t);
    std::vector<int> touched = sources;
    touched.insert(touched.end(), targets.begin(), targets.end());
    auto step = m_history.begin(name, touched);
    std::vector<Tobs> moving, pushed;
    for (int s : sources) moving.push_back(doc.Objects[s]);
    for (int d : displaced) pushed.push_back(doc.Objects[d]);
    const int currentIndex =
        static_cast<int>(std::find(sources.begin(), sources.end(), doc.CurrentObject) - sources.begin());
    for (int i = 0; i < n; ++i) doc.Objects[targets[i]] = moving[i];
    for (size_t j = 0; j < vacated.size(); ++j) doc.Objects[vacated[j]] = pushed[j];
    doc.selectOnly(targets[currentIndex < n ? currentIndex : n - 1]);
    for (int t : targets)
        if (t != doc.CurrentObject) doc.Selection.push_back(t);
    doc.markChanged();
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
    BoxDocument& doc = m_env.document();
    // In a selection the texts and pictures turn: a figure has no turned
    // drawing, so a Rotation given to it would only differ in the file.
    std::vector<int> chosen = selection();
    if (chosen.size() > 1)
        chosen.erase(std::remove_if(chosen.begin(), chosen.end(),
                                    [&](int slot) { return doc.Objects[slot].Kind == Figure; }),
                     chosen.end());
    if (chosen.empty()) return;
    auto step = m_history.begin(direction < 0 ? QStringLiteral("Nach links rotieren")
                                              : QStringLiteral("Nach rechts rotieren"),
                                chosen);
    const ProgressCallback progress = [this](int percent) {
        m_env.reportProgress(percent);
        return true;
    };
    for (int slot : chosen) {
        if (!doc.turnObject(slot, direction < 0 ? -1 : +1, progress)) {
            // A picture too large to turn stays as it is, and so does the
            // object; the ones turned before it are turned back.
            for (const SlotChange& c : step.touched) doc.Objects[c.slot] = c.before;
            m_env.prompter().inform(QString(), QStringLiteral("Das Bild konnte nicht gedreht werden: zu wenig Speicher."),
                                    PromptIcon::Error);
            m_env.repaint();
            return;
        }
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
    change(QStringLiteral("Text eingeben"), [&content](Tobs& t) { t.Content = content; }, StepMerge::None, true);
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
    } while ((doc.Objects[slot].Kind == KindFree || doc.Objects[slot].Locked) && slot != start);
    doc.selectOnly(slot);
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

bool ObjectCommands::arrangeOnFace(const QString& name, int how) {
    const std::vector<int> chosen = selection();
    if (chosen.size() < 2) return false;
    BoxDocument& doc = m_env.document();
    double l = 1e300, t = 1e300, r = -1e300, b = -1e300;
    for (int s : chosen) {
        const Tobs& o = doc.Objects[s];
        l = std::min<double>(l, o.Left);
        t = std::min<double>(t, o.Top);
        r = std::max<double>(r, double(o.Left) + o.Width);
        b = std::max<double>(b, double(o.Top) + o.Height);
    }
    const std::optional<FaceRect> f = faceAt(doc, NetSource::of(doc, m_env.boxPercent()), (l + r) / 2, (t + b) / 2);
    if (!f) return true;
    const double bw = r - l, bh = b - t;
    // The box goes to the target rectangle; every object keeps its place in it.
    double tl = 0, tt = 0, sx = 1, sy = 1;
    if (how == 0) {
        tl = (f->left + f->right - bw) / 2;
        tt = (f->top + f->bottom - bh) / 2;
    } else if (how == 1) {
        const double w = std::max(0.0, f->width() - 4 * kMmUnits), h = std::max(0.0, f->height() - 4 * kMmUnits);
        sx = sy = (bw > 0 && bh > 0) ? std::min(w / bw, h / bh) : 1.0;
        tl = (f->left + f->right - bw * sx) / 2;
        tt = (f->top + f->bottom - bh * sy) / 2;
    } else {
        const double left = f->left - (f->cutLeft ? kMmUnits : 0), right = f->right + (f->cutRight ? kMmUnits : 0);
        const double top = f->top - (f->cutTop ? kMmUnits : 0), bottom = f->bottom + (f->cutBottom ? kMmUnits : 0);
        sx = bw > 0 ? (right - left) / bw : 1.0;
        sy = bh > 0 ? (bottom - top) / bh : 1.0;
        tl = left;
        tt = top;
    }
    auto step = m_history.begin(name, chosen);
    for (int s : chosen) {
        Tobs& o = doc.Objects[s];
        const double nl = tl + (o.Left - l) * sx, nt = tt + (o.Top - t) * sy;
        const double nr = tl + (o.Left + double(o.Width) - l) * sx, nb = tt + (o.Top + double(o.Height) - t) * sy;
        o.Left = unitsOf(nl);
        o.Top = unitsOf(nt);
        o.Width = unitsOf(nr) - o.Left;
        o.Height = unitsOf(nb) - o.Top;
    }
    m_history.commit(std::move(step));
    m_env.repaint();
    return true;
}

void ObjectCommands::centreOnFace() {
    if (arrangeOnFace(QStringLiteral("Zentrieren"), 0)) return;
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
    if (arrangeOnFace(QStringLiteral("Einpassen"), 1)) return;
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
    if (arrangeOnFace(QStringLiteral("Füllen"), 2)) return;
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
    if (!current()) return;
    BoxDocument& doc = m_env.document();
    const NetSource source = NetSource::of(doc, m_env.boxPercent());
    const int dpi = m_env.screenDpi();
    // Each selected text and picture turns on the face under its own centre,
    // as it would turn alone; figures and objects off the faces stay.
    std::vector<int> turning;
    std::vector<FaceRect> faces;
    bool severalLines = false;
    for (int slot : selection()) {
        const Tobs& o = doc.Objects[slot];
        if (o.Kind != Text && o.Kind != Image) continue;
        const std::optional<FaceRect> f = faceAt(doc, source, o.Left + o.Width / 2.0, o.Top + o.Height / 2.0);
        if (!f) continue;
        turning.push_back(slot);
        faces.push_back(*f);
        severalLines = severalLines || (o.Kind == Text && splitContentLines(o.Content).size() > 1);
    }
    if (turning.empty()) return;
    if (severalLines)
        m_env.prompter().inform(QStringLiteral("Aufrecht drehen"),
                                QStringLiteral("Ein gedrehter Text wird als eine Zeile gezeichnet."),
                                PromptIcon::Information);
    auto step = m_history.begin(QStringLiteral("Aufrecht drehen"), turning);
    const ProgressCallback progress = [this](int percent) {
        m_env.reportProgress(percent);
        return true;
    };
    for (size_t i = 0; i < turning.size(); ++i) {
        if (!turnOneUpright(turning[i], faces[i], source, dpi, progress)) {
            // A picture too large to turn leaves every object as it was, as
            // the message says: a half-turned picture would also miss its fit.
            for (const SlotChange& c : step.touched) doc.Objects[c.slot] = c.before;
            m_env.prompter().inform(QString(), QStringLiteral("Das Bild konnte nicht gedreht werden: zu wenig Speicher."),
                                    PromptIcon::Error);
            m_env.repaint();
            return;
        }
    }
    m_history.commit(std::move(step));
    m_env.repaint();
}

bool ObjectCommands::turnOneUpright(int slot, const FaceRect& f, const NetSource& source, int dpi,
                                    const ProgressCallback& progress) {
    BoxDocument& doc = m_env.document();
    Tobs& o = doc.Objects[slot];
    const QPointF centre = drawnBox(doc, source, dpi, o).center();
    const int now = (o.Rotation >= 0 && o.Rotation <= 3) ? o.Rotation : 0;
    const int clockwise = (f.uprightRotation - now + 4) % 4;
    // The shorter way round: three quarter turns one way are one the other.
    const int direction = clockwise == 3 ? -1 : +1;
    const int turns = clockwise == 3 ? 1 : clockwise;
    for (int i = 0; i < turns; ++i)
        if (!doc.turnObject(slot, direction, progress)) return false;
    // Pictures turn their frame themselves; a text's frame turns with its
    // line, so that its marks and its face are where the text is.
    if (o.Kind == Text && turns % 2 == 1) std::swap(o.Width, o.Height);
    fitTurnedOnFace(o, f, source, dpi, centre);
    return true;
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
