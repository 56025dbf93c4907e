#pragma once
// PNG files of the printed sheet, made for speed: 8-bit RGB, every row with
// the Up filter, zlib level 1, and the rows deflated in pieces on the render
// pool (the pieces join into one stream, so any PNG reader reads the file).
// A 600-dpi A4 sheet is 35 million pixels; the general writer spends seconds
// on one core there.

#include "base/SaveFile.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// The PNG bytes of an RGB32 (or ARGB32, alpha dropped) image with its
// resolution (pHYs) at dpi; empty on failure.
QByteArray encodeSheetPng(const QImage& image, int dpi);

// Writes the PNG through saveFile: the old file is replaced only when the
// whole new one was written; otherwise the reason.
SaveResult writeSheetPng(const QImage& image, const QString& path, int dpi);
