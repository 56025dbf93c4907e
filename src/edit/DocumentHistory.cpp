#include "edit/DocumentHistory.h"

DocumentHistory::DocumentHistory(std::function<BoxDocument&()> document) : m_document(std::move(document)) {
    m_stack.setUndoLimit(StepLimit);
}

DocumentHistory::Pending DocumentHistory::begin(const QString& name, std::initializer_list<int> touched,
                                                StepMerge merge, long long mergeKey) {
    Pending p;
    p.name = name;
    p.currentBefore = m_document().CurrentObject;
    p.selectionBefore = m_document().Selection;
    p.merge = merge;
    p.mergeKey = mergeKey;
    for (int slot : touched) include(p, slot);
    return p;
}

DocumentHistory::Pending DocumentHistory::begin(const QString& name, const std::vector<int>& touched,
                                                StepMerge merge, long long mergeKey) {
    Pending p = begin(name, {}, merge, mergeKey);
    p.touched.reserve(touched.size());
    for (int slot : touched) include(p, slot);
    return p;
}

DocumentHistory::Pending DocumentHistory::beginBackground(const QString& name) {
    Pending p = begin(name, {});
    p.background = BackgroundState::of(m_document());
    return p;
}

DocumentHistory::Pending DocumentHistory::beginForm(const QString& name) {
    Pending p = begin(name, {});
    p.form = m_document().Form;
    return p;
}

DocumentHistory::Pending DocumentHistory::beginSeries(const QString& name) {
    Pending p = begin(name, {});
    p.series = m_document().Series;
    return p;
}

void DocumentHistory::include(Pending& p, int slot) {
    if (!ObjectTable::isValidSlot(slot)) return;
    // Large selections name thousands of slots: look from the back, where a
    // repeat of the slot just added would be.
    for (auto it = p.touched.rbegin(); it != p.touched.rend(); ++it)
        if (it->slot == slot) return;
    p.touched.push_back(SlotChange{slot, m_document().Objects[slot], Tobs()});
}

bool DocumentHistory::commit(Pending p) {
    BoxDocument& doc = m_document();
    std::vector<SlotChange> changed;
    for (SlotChange& c : p.touched) {
        c.after = doc.Objects[c.slot];
        if (!sameSlotState(c.before, c.after)) changed.push_back(std::move(c));
    }
    std::optional<BackgroundChange> background;
    if (p.background) {
        BackgroundState now = BackgroundState::of(doc);
        if (!p.background->sameAs(now)) background = BackgroundChange{*p.background, now};
    }
    std::optional<FormChange> form;
    if (p.form && !sameForm(*p.form, doc.Form)) form = FormChange{*p.form, doc.Form};
    std::optional<SeriesChange> series;
    if (p.series && *p.series != doc.Series) series = SeriesChange{*p.series, doc.Series};
    if (changed.empty() && !background && !form && !series) return false;
    // push() runs redo(), which writes the after-states the document already
    // holds and raises the revision: the doing of the step.
    m_stack.push(new DocumentStep(doc, p.name, std::move(changed), p.currentBefore, doc.CurrentObject,
                                  std::move(background), p.merge, p.mergeKey, std::move(form),
                                  std::move(p.selectionBefore), doc.Selection, std::move(series)));
    return true;
}
