#include "model/SheetLayout.h"

#include "base/Cp1252.h"

#include <algorithm>

SheetLayout SheetLayout::startupLayout() {
    SheetLayout l;
    l.setTypeNameText(QStringLiteral("Kein Faltarillonentyp"));
    return l;
}

void SheetLayout::applyNewDocumentLayout() {
    MarginX = 0;
    MarginY = 0;
    PitchX = 0;
    PitchY = 0;
    ItemWidth = 290;
    ItemHeight = 205;
    Columns = 1;
    Rows = 1;
    TypeName[0] = 0;   // the characters stay as they were
}

QString SheetLayout::typeNameText() const {
    // A damaged file may claim more than the 21 characters there are.
    const int len = std::min<int>(TypeName[0], 21);
    return decodeBoxString(reinterpret_cast<const char*>(TypeName.data() + 1), len);
}

void SheetLayout::setTypeNameText(const QString& name) {
    QString text = name;
    QByteArray bytes = encodeBoxString(text);
    // Shorten by whole characters so that a UTF-8 name stays well-formed.
    while (bytes.size() > 21) {
        text.chop(text.size() >= 2 && text.at(text.size() - 1).isLowSurrogate() ? 2 : 1);
        bytes = encodeBoxString(text);
    }
    TypeName[0] = static_cast<std::uint8_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), TypeName.begin() + 1);
}
