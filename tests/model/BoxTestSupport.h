#pragma once
// Shared helpers of the model tests: documents with known content, file
// bytes, and a comparison of two documents field by field.

#include "model/BoxDocument.h"
#include "model/BoxFileWriter.h"
#include "model/NewDocument.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace boxtest {

inline QString dataPath(const QString& name) {
    return QStringLiteral(FALTARILLON_TEST_DATA "/model/") + name;
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.readAll();
}

inline bool writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// The document right after start-up and its automatic New, at 96 dpi.
inline void makeNewDocument(BoxDocument& doc) {
    initStartupDocument(doc, 96);
    newDocument(doc);
}

// A figure as the figure tool makes it, with the start-up font.
inline void placeFigure(BoxDocument& doc, int slot, std::int32_t left = 41600, std::int32_t top = 83200) {
    Tobs& o = doc.Objects[slot];
    o.resetToDefaults();
    o.Kind = Figure;
    o.Left = left;
    o.Top = top;
    o.Width = 20800;
    o.Height = 20800;
    o.KeepAspect = 1;
    o.Shape = shRectangle;
    o.FontName = QStringLiteral("Times New Roman");
    o.FontHeight = -16;
    o.FontSize = 12;
}

inline void placeText(BoxDocument& doc, int slot, const QString& text) {
    placeFigure(doc, slot);
    Tobs& o = doc.Objects[slot];
    o.Kind = Text;
    o.Content = text;
}

// Everything the file stores plus the pictures' sizes: equal snapshots mean
// the document was left as it was.
inline QByteArray snapshot(const BoxDocument& doc) {
    QByteArray s = serializeBoxDocument(doc);
    s += doc.FileName.toUtf8() + '|' + QByteArray::number(doc.CurrentObject) + '|' +
         QByteArray::number(doc.BackgroundPicture.DibWidth());
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot)
        if (!doc.Objects[slot].Picture.isEmpty())
            s += '|' + QByteArray::number(slot) + ':' + QByteArray::number(doc.Objects[slot].Picture.DibWidth());
    return s;
}

inline QByteArray fromHex(const char* hex) { return QByteArray::fromHex(QByteArray(hex)); }

}  // namespace boxtest
