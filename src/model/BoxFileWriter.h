#pragma once
// The bytes of a box file for a document: identifier, the raw layout block,
// header, one record per occupied slot in slot order, end marker.

#include "model/BoxDocument.h"

#include <QByteArray>

QByteArray serializeBoxDocument(const BoxDocument& doc);
