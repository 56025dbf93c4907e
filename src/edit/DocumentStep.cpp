#include "edit/DocumentStep.h"

#include <algorithm>

BackgroundState BackgroundState::of(const BoxDocument& doc) {
    return BackgroundState{doc.BackgroundMode, doc.BackgroundFile, doc.BackgroundFileStoredBytes,
                           doc.BackgroundPicture};
}

void BackgroundState::applyTo(BoxDocument& doc) const {
    doc.BackgroundMode = Mode;
    doc.BackgroundFile = File;
    doc.BackgroundFileStoredBytes = FileStoredBytes;
    doc.BackgroundPicture = Picture;
}

namespace {
bool samePicture(const DibHandle& a, const DibHandle& b) {
    if (a.isEmpty() || b.isEmpty()) return a.isEmpty() == b.isEmpty();
    return a.image().cacheKey() == b.image().cacheKey() && a.DibBitCount() == b.DibBitCount();
}
}  // namespace

bool BackgroundState::sameAs(const BackgroundState& o) const {
    return Mode == o.Mode && File == o.File && FileStoredBytes == o.FileStoredBytes &&
           samePicture(Picture, o.Picture);
}

bool sameForm(const BoxForm& a, const BoxForm& b) {
    // Field by field: a cube's unused measures are written to the file too.
    return a.kind == b.kind && a.L == b.L && a.B == b.B && a.H == b.H && a.style == b.style &&
           a.thickness == b.thickness;
}

bool sameSlotState(const Tobs& a, const Tobs& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width && a.Height == b.Height &&
           a.KeepAspect == b.KeepAspect && a.Rotation == b.Rotation && a.Alignment == b.Alignment &&
           a.Kind == b.Kind && a.LineWidthOrTransColor == b.LineWidthOrTransColor &&
           a.BorderOrOutlineColor == b.BorderOrOutlineColor &&
           a.FillModeOrShadowColor == b.FillModeOrShadowColor && a.Color == b.Color &&
           a.TransAuto == b.TransAuto && a.Transparent == b.Transparent && a.Shadow == b.Shadow &&
           a.Outline == b.Outline && a.ShadowDx == b.ShadowDx && a.ShadowDy == b.ShadowDy &&
           a.Shape == b.Shape && a.Content == b.Content && samePicture(a.Picture, b.Picture) &&
           a.FontColor == b.FontColor && a.FontHeight == b.FontHeight && a.FontName == b.FontName &&
           a.FontPitch == b.FontPitch && a.FontSize == b.FontSize && a.FontStyle == b.FontStyle &&
           a.ContentStoredBytes == b.ContentStoredBytes && a.FontNameStoredBytes == b.FontNameStoredBytes &&
           a.Group == b.Group && a.Locked == b.Locked;
}

DocumentStep::DocumentStep(BoxDocument& doc, const QString& name, std::vector<SlotChange> touched,
                           int currentBefore, int currentAfter, std::optional<BackgroundChange> background,
                           StepMerge merge, long long mergeKey, std::optional<FormChange> form,
                           std::vector<int> selectionBefore, std::vector<int> selectionAfter,
                           std::optional<SeriesChange> series)
    : QUndoCommand(name), m_doc(doc), m_touched(std::move(touched)), m_currentBefore(currentBefore),
      m_currentAfter(currentAfter), m_selectionBefore(std::move(selectionBefore)),
      m_selectionAfter(std::move(selectionAfter)), m_background(std::move(background)), m_form(std::move(form)),
      m_series(std::move(series)), m_merge(merge), m_mergeKey(mergeKey) {}

void DocumentStep::undo() {
    // Backwards, so a slot listed twice ends as it was first.
    for (auto it = m_touched.rbegin(); it != m_touched.rend(); ++it) m_doc.Objects[it->slot] = it->before;
    if (m_background) m_background->before.applyTo(m_doc);
    if (m_form) m_doc.Form = m_form->before;
    if (m_series) m_doc.Series = m_series->before;
    m_doc.CurrentObject = m_currentBefore;
    m_doc.Selection = m_selectionBefore;
    m_doc.markChanged();
}

void DocumentStep::redo() {
    for (const SlotChange& c : m_touched) m_doc.Objects[c.slot] = c.after;
    if (m_background) m_background->after.applyTo(m_doc);
    if (m_form) m_doc.Form = m_form->after;
    if (m_series) m_doc.Series = m_series->after;
    m_doc.CurrentObject = m_currentAfter;
    m_doc.Selection = m_selectionAfter;
    m_doc.markChanged();
}

bool DocumentStep::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const DocumentStep*>(other);
    if (!next || next->m_merge != m_merge || m_merge == StepMerge::None || next->m_mergeKey != m_mergeKey ||
        next->m_background || next->m_form || next->m_series)
        return false;
    // The steps of one drag name the same slots in the same order: pair them
    // by place, not by a search per slot, for a drag of thousands.
    bool samePlaces = next->m_touched.size() == m_touched.size();
    for (size_t i = 0; samePlaces && i < m_touched.size(); ++i) samePlaces = m_touched[i].slot == next->m_touched[i].slot;
    if (samePlaces) {
        for (size_t i = 0; i < m_touched.size(); ++i) m_touched[i].after = next->m_touched[i].after;
    } else for (const SlotChange& c : next->m_touched) {
        auto mine = std::find_if(m_touched.begin(), m_touched.end(), [&](const SlotChange& s) { return s.slot == c.slot; });
        if (mine != m_touched.end())
            mine->after = c.after;
        else
            m_touched.push_back(c);
    }
    m_currentAfter = next->m_currentAfter;
    m_selectionAfter = next->m_selectionAfter;
    // A drag that came back to where it started leaves no step behind.
    setObsolete(changesNothing());
    return true;
}

bool DocumentStep::changesNothing() const {
    for (const SlotChange& c : m_touched)
        if (!sameSlotState(c.before, c.after)) return false;
    if (m_background && !m_background->before.sameAs(m_background->after)) return false;
    if (m_form && !sameForm(m_form->before, m_form->after)) return false;
    if (m_series && m_series->before != m_series->after) return false;
    return true;
}
