#include "edit/BoxFormCommand.h"

#include "box/ArtworkMove.h"
#include "box/NetSource.h"
#include "edit/DocumentHistory.h"
#include "model/BoxDocument.h"

bool changeBoxForm(DocumentHistory& history, BoxDocument& doc, const BoxForm& to, int percent) {
    if (!boxform::isValid(to) || to == doc.Form) return false;
    // The moves are measured on the old net, so they are found before the
    // document takes the new form.
    const std::vector<ArtworkMove> moves = artworkMoves(doc, NetSource::of(doc, percent), NetSource{to, percent});
    DocumentHistory::Pending step = history.beginForm(BoxFormStepName);
    for (const ArtworkMove& m : moves) history.include(step, m.slot);
    applyArtworkMoves(doc, moves);
    doc.Form = to;
    return history.commit(std::move(step));
}
