#pragma once
// The history of the document's changes. A command opens a pending step
// naming the slots it may touch (and the background or the box form, when it
// may change those), changes the document as before, and commits: the step
// keeps the touched slots as they were and as they are, and goes on the undo
// stack unless nothing changed. Undo and redo put the slots, the selection,
// the background and the form back; every commit, undo and redo raises the
// document's revision.

#include "edit/DocumentStep.h"

#include <QUndoStack>

#include <functional>
#include <initializer_list>
#include <memory>

class DocumentHistory {
public:
    // The oldest steps are dropped beyond this many.
    static constexpr int StepLimit = 1000;

    explicit DocumentHistory(std::function<BoxDocument&()> document);

    struct Pending {
        QString name;
        std::vector<SlotChange> touched;   // before-states; after-states come at commit
        int currentBefore = 0;
        std::vector<int> selectionBefore;
        std::optional<BackgroundState> background;
        std::optional<BoxForm> form;
        std::optional<SeriesLink> series;
        StepMerge merge = StepMerge::None;
        long long mergeKey = 0;
    };

    // A step over these slots (invalid numbers are left out).
    Pending begin(const QString& name, std::initializer_list<int> touched, StepMerge merge = StepMerge::None,
                  long long mergeKey = 0);
    Pending begin(const QString& name, const std::vector<int>& touched, StepMerge merge = StepMerge::None,
                  long long mergeKey = 0);
    // A step over the background only.
    Pending beginBackground(const QString& name);
    // A step over the box form; the slots it moves are included as found.
    Pending beginForm(const QString& name);
    // A step over the linked data only.
    Pending beginSeries(const QString& name);
    // Adds a slot to a pending step (one whose number was found only later).
    void include(Pending& pending, int slot);
    // Records the step; false when it changed nothing (no step then).
    bool commit(Pending pending);

    bool canUndo() const { return m_stack.canUndo(); }
    bool canRedo() const { return m_stack.canRedo(); }
    QString undoName() const { return m_stack.undoText(); }
    QString redoName() const { return m_stack.redoText(); }
    void undo() { m_stack.undo(); }
    void redo() { m_stack.redo(); }
    // New and Open: nothing to go back to, and nothing to save.
    void clear() { m_stack.clear(); }
    // Whether the document differs from what was last opened or saved: a
    // step done or undone since then. Undoing back to that point counts as
    // unchanged; once the step that led there is dropped beyond the limit
    // it can never be reached again.
    bool modified() const { return !m_stack.isClean(); }
    // The document as it stands was saved.
    void markSaved() { m_stack.setClean(); }
    int count() const { return m_stack.count(); }

    // For watching (index, names, clean state); not for pushing.
    QUndoStack& stack() { return m_stack; }

private:
    std::function<BoxDocument&()> m_document;
    QUndoStack m_stack;
};
