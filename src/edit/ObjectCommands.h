#pragma once
// The commands on the current object, shared by the object menu, the
// property panel, the keyboard and the canvas. Each works on the document's
// current object in place and ends with a full repaint; with no current
// object each does nothing. Every change of the document is one step of
// the history.

#include "base/Progress.h"
#include "edit/DocumentHistory.h"
#include "edit/EditorEnvironment.h"
#include "box/FaceGeometry.h"
#include "box/NetSource.h"

#include <QPointF>

#include <optional>

class ObjectCommands {
public:
    explicit ObjectCommands(EditorEnvironment& env);

    // The font dialog's font: loaded by the font command, used for new objects.
    const DialogFont& dialogFont() const { return m_font; }
    DocumentHistory& history() { return m_history; }

    // While one lives, the property commands change the document without
    // recording a step (the panel following the current object).
    class Unrecorded {
    public:
        explicit Unrecorded(ObjectCommands& c) : m_c(c) { ++m_c.m_unrecorded; }
        ~Unrecorded() { --m_c.m_unrecorded; }
        Unrecorded(const Unrecorded&) = delete;
        Unrecorded& operator=(const Unrecorded&) = delete;

    private:
        ObjectCommands& m_c;
    };

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
    // A run of widths on one object is one step.
    void setLineWidth(int width);
    void turnLeft();
    void turnRight();
    // Auf Fläche: on the face (or lid half) under the object's centre; each
    // one step named after its menu item. Nothing off the faces.
    void centreOnFace();
    void fitToFace();
    void fillFace();
    // Turns the object to read upright on the folded box; it stays on its
    // face, centred where it was, reduced as fitToFace would when it no
    // longer fits (a picture keeps its proportions, a text loses whole points).
    // With several selected, every text and picture on a face turns so, on
    // its own face, in one step.
    void turnUpright();
    void EditTextNow();
    void editBackground();
    // Up / Down: the next used slot above the current one, wrapping after 10000.
    void selectNextObject();
    // The last step taken back, or the last one taken back done again; the
    // step's object becomes current again.
    void undo();
    void redo();

    // The selected objects (current one included), none without a current one.
    std::vector<int> selection();
    // Frees the slots; nothing selected afterwards.
    void deleteSlots(const std::vector<int>& chosen);

private:
    struct Tobs* current();
    std::optional<FaceRect> faceOfCurrent();
    void turn(int direction);
    // One object upright on face f; false when its picture could not be turned.
    bool turnOneUpright(int slot, const FaceRect& f, const NetSource& source, int dpi,
                        const ProgressCallback& progress);
    // The turned object o onto face f around what was drawn at centre.
    void fitTurnedOnFace(struct Tobs& o, const FaceRect& f, const NetSource& source, int dpi, QPointF centre);
    // Records what change() does to the current object as one step named
    // `name`, then repaints.
    // `alone`: the current object only, not the others of its kind.
    template <typename F>
    void change(const QString& name, F&& apply, StepMerge merge = StepMerge::None, bool alone = false);
    void restack(bool toFront);
    // Auf Fläche for several objects: their bounding box centred (0), fitted
    // (1) or filling (2) on the face under its centre. False with one object.
    bool arrangeOnFace(const QString& name, int how);

    EditorEnvironment& m_env;
    DialogFont m_font;
    DocumentHistory m_history;
    int m_unrecorded = 0;
};
