#pragma once
// How box nets sit on a printed sheet, in millimetres. Stored raw in box
// files (112 bytes, little-endian), reserved bytes included.

#include <QString>
#include <array>
#include <cstdint>

struct SheetLayout {
    double MarginX = 0;
    double MarginY = 0;
    double PitchX = 90;
    double PitchY = 55;
    double ItemWidth = 90;
    double ItemHeight = 55;
    std::int32_t Columns = 2;
    std::int32_t Rows = 5;
    // Length byte followed by 21 characters (code page 1252); bytes past the
    // length are kept as they are.
    std::array<std::uint8_t, 22> TypeName{};
    std::array<std::uint8_t, 34> Reserved{};

    static SheetLayout startupLayout();   // the 2 x 5 layout "Kein Faltarillonentyp"
    void applyNewDocumentLayout();        // the 290 x 205 mm single item that New sets

    QString typeNameText() const;
    void setTypeNameText(const QString& name);
};

static_assert(sizeof(SheetLayout) == 112, "SheetLayout must be exactly 112 bytes");
