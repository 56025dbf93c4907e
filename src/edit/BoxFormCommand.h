#pragma once
// Giving the document another box form or other measures as one step of the
// history ("Boxform"): the artwork on the faces of the old net moves with
// them, so undo and redo take form, measures and objects together. The box
// percentage stays the editor's and is no part of the step.

#include "model/BoxForm.h"

class DocumentHistory;
struct BoxDocument;

inline const QString BoxFormStepName = QStringLiteral("Boxform");

// percent: the editor's box size, which places a cube's net. False when
// nothing changed (the same form, or measures out of range): no step then.
bool changeBoxForm(DocumentHistory& history, BoxDocument& doc, const BoxForm& to, int percent);
