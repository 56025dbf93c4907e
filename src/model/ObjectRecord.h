#pragma once
// One object as the clipboard carries it between programs: a box file that
// holds just that object's record (paths of pictures included, pictures
// not), so any program that reads box files reads it.

#include "model/Tobs.h"

#include <QByteArray>

// The record of `object` in a box file of its own. The layout and scale of
// `frame` go along, so the bytes are a complete box file.
struct BoxDocument;
QByteArray objectRecordBytes(const BoxDocument& frame, const Tobs& object);

// The one object of such bytes (its picture empty); false when the bytes
// are no box file or hold no object.
bool readObjectRecord(const QByteArray& bytes, Tobs& object);

// Several objects the same way: one box file with the objects in the slots
// 1 .. n in their order (so in their drawing order), their groups in its
// extension, and which of them was the current one in a chunk "curr" that
// older readers keep and ignore.
#include <vector>
QByteArray selectionRecordBytes(const BoxDocument& frame, const std::vector<int>& slots, int current);
// The objects in their order and the index of the current one (0 when the
// record does not say); false when the bytes are no box file or hold none.
bool readSelectionRecord(const QByteArray& bytes, std::vector<Tobs>& objects, int& currentIndex);
