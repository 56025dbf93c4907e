#include "model/SheetLayout.h"

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
    const int len = std::min<int>(TypeName[0], 21);
    return QString::fromLatin1(reinterpret_cast<const char*>(TypeName.data() + 1), len);
}

void SheetLayout::setTypeNameText(const QString& name) {
    const QByteArray bytes = name.toLatin1().left(21);
    TypeName[0] = static_cast<std::uint8_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), TypeName.begin() + 1);
}
