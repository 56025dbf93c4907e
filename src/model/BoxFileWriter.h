#pragma once
// The bytes of a box file for a document: identifier, the raw layout block,
// header, one record per occupied slot in slot order, end marker.

#include "model/BoxDocument.h"

#include <QByteArray>

// The linked data's path is stored relative to targetPath (doc.FileName when
// empty), the place the bytes are written to.
QByteArray serializeBoxDocument(const BoxDocument& doc, const QString& targetPath = QString());
