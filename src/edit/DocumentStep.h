#pragma once
// One step of the document's history: the slots, the selection and, where
// the step changed them, the background, the box form and the linked data
// as they were
// before and after. A step
// keeps only what it touched; pictures are shared with the document, never
// copied.

#include "model/BoxDocument.h"

#include <QUndoCommand>

#include <optional>
#include <vector>

struct SlotChange {
    int slot = 0;
    Tobs before;
    Tobs after;
};

struct BackgroundState {
    std::int32_t Mode = bgNone;
    QString File;
    QByteArray FileStoredBytes;
    DibHandle Picture;

    static BackgroundState of(const BoxDocument& doc);
    void applyTo(BoxDocument& doc) const;
    bool sameAs(const BackgroundState& other) const;
};

struct BackgroundChange {
    BackgroundState before;
    BackgroundState after;
};

// The box's form with its measures, where a step changed it.
struct FormChange {
    BoxForm before;
    BoxForm after;
};

// The linked data, where a step changed it.
struct SeriesChange {
    SeriesLink before;
    SeriesLink after;
};

// Steps that may grow by merging: the later one of the same kind and key
// joins the earlier one while nothing else came between.
enum class StepMerge : int { None = -1, Drag = 1, LineWidth = 2, Nudge = 3 };

// Field by field, the picture by identity (a shared picture is the same one).
bool sameSlotState(const Tobs& a, const Tobs& b);
// Kind and all three measures, also those a cube keeps unused.
bool sameForm(const BoxForm& a, const BoxForm& b);

class DocumentStep : public QUndoCommand {
public:
    DocumentStep(BoxDocument& doc, const QString& name, std::vector<SlotChange> touched, int currentBefore,
                 int currentAfter, std::optional<BackgroundChange> background, StepMerge merge,
                 long long mergeKey, std::optional<FormChange> form = std::nullopt,
                 std::vector<int> selectionBefore = {}, std::vector<int> selectionAfter = {},
                 std::optional<SeriesChange> series = std::nullopt);

    void undo() override;
    void redo() override;
    int id() const override { return static_cast<int>(m_merge); }
    bool mergeWith(const QUndoCommand* other) override;

    const std::vector<SlotChange>& touched() const { return m_touched; }
    // Whether the step leaves everything as it found it.
    bool changesNothing() const;

private:
    BoxDocument& m_doc;
    std::vector<SlotChange> m_touched;
    int m_currentBefore;
    int m_currentAfter;
    std::vector<int> m_selectionBefore;
    std::vector<int> m_selectionAfter;
    std::optional<BackgroundChange> m_background;
    std::optional<FormChange> m_form;
    std::optional<SeriesChange> m_series;
    StepMerge m_merge;
    long long m_mergeKey;
};
