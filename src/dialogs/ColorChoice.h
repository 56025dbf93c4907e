#pragma once
// Colours travel as 32-bit values 0x00BBGGRR (render/ColorRef.h converts
// them to Qt colours); this runs the colour dialog on such values.

#include "render/ColorRef.h"

#include <QColor>
#include <QIcon>
#include <cstdint>
#include <functional>

class QWidget;

std::int32_t colorRefOf(const QColor& color);

// Runs the colour dialog starting at `color`; true and the choice in `color`
// when the user confirms.
bool runColorDialog(QWidget* parent, std::int32_t& color);

// A small square of the colour, for the glyph of a colour button.
QIcon colorSwatch(std::int32_t color);

// Replaceable colour dialog of a form (tests script the user's choice).
using ColorPicker = std::function<bool(std::int32_t& color)>;
