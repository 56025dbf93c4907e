#pragma once
// One placed element of a design: a figure, a text block or an image.

#include "image/DibHandle.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

enum ObjectKind : std::int32_t { KindFree = 0, Figure = 1, Text = 2, Image = 3 };

enum ShapeCode : std::int32_t {
    shCircle = 0, shEllipse = 1, shSquare = 2, shRectangle = 3, shRoundSquare = 4,
    shRoundRect = 5, shLineH = 6, shLineV = 7, shLineUp = 8, shLineDown = 9
};

enum FillMode : std::int32_t { fmFilled = 0, fmBorder = 1, fmFilledBorder = 2 };

enum BackgroundModeCode : std::int32_t {
    bgNone = -1, bgFit = 0, bgCenterSmaller = 1, bgCenterLarger = 2, bgTile = 3
};

enum FontStyleBits : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct Tobs {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint8_t KeepAspect = 0;
    std::int32_t Rotation = 0;
    std::int32_t Alignment = 0;
    std::int32_t Kind = KindFree;
    std::int32_t LineWidthOrTransColor = 0;
    std::int32_t BorderOrOutlineColor = 0;
    std::int32_t FillModeOrShadowColor = 0;
    std::int32_t Color = 0;
    std::uint8_t TransAuto = 0;
    std::uint8_t Transparent = 0;
    std::uint8_t Shadow = 0;
    std::uint8_t Outline = 0;
    std::int32_t ShadowDx = 5;
    std::int32_t ShadowDy = 5;
    std::int32_t Shape = 0;
    QString Content;
    DibHandle Picture;
    std::int32_t FontColor = 0;
    std::int32_t FontHeight = 0;
    QString FontName;
    std::uint8_t FontPitch = 0;
    std::int32_t FontSize = 0;
    std::uint8_t FontStyle = 0;

    // The bytes a box file held for Content and FontName when they were read
    // as UTF-8 (empty otherwise). While the text still reads the same from
    // them, saving writes them unchanged, so a resave keeps the file's bytes
    // even where code page 1252 and UTF-8 readings could be confused.
    QByteArray ContentStoredBytes;
    QByteArray FontNameStoredBytes;

    // Not part of the object record: the group the object belongs to (0 for
    // none) and whether it is locked against selecting and moving. They
    // travel with the slot's contents, so exchanges and undo carry them; the
    // box file keeps them in its extension.
    std::int32_t Group = 0;
    std::uint8_t Locked = 0;

    bool isFree() const { return Kind == KindFree; }
    // Every field back to the slot defaults (zero, empty, shadow distances 5).
    void resetToDefaults() { *this = Tobs(); }
};
