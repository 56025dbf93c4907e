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
