#include "box/NetSource.h"

#include "model/BoxDocument.h"

NetSource NetSource::of(const BoxDocument& doc, int percent) { return NetSource{doc.Form, percent}; }
