#pragma once
// Writing image records as image files. The save list and its format codes
// (list index + 2) are fixed: BMP, DIB, GIF, IFF, JIF, JPG, LBM, PCX, RLE,
// TGA, TIF, then PNG. Palettised pictures stay palettised where the format
// allows it; GIF and RLE reduce true colour to a 256-colour palette.

#include "base/SaveFile.h"
#include "image/DibHandle.h"
#include "base/Progress.h"

#include <QByteArray>
#include <QString>

enum DibFormatCode {
    FormatBmp = 3, FormatDib, FormatGif, FormatIff, FormatJif, FormatJpg,
    FormatLbm, FormatPcx, FormatRle, FormatTga, FormatTif, FormatPng
};

// Writes the file atomically through saveFile (a failed save leaves an
// existing file as it was). Fails, with the reason, for an empty picture or
// an unknown code (contentFailedText()), a target that is no regular file or
// a write error.
SaveResult SaveDib(const DibHandle& dib, const QString& path, int formatCode,
                   const ProgressCallback& progress = {});

// The file contents SaveDib would write; empty on failure.
QByteArray EncodeDib(const DibHandle& dib, int formatCode);

// File-dialog filter of the writable formats, bar-separated, in list order.
QString GetDIBSaveFilter();

// Quality 1..99 of the following JPEG saves (75 until set).
void SetJPEGQual(int quality);
int JPEGQual();

int SaveFormatCount();                          // entries in the save list (12)
int FormatCodeForIndex(int oneBasedIndex);      // index + 2, or 0 outside the list
QString ExtensionForIndex(int oneBasedIndex);   // ".BMP" .. ".TIF", ".PNG"; empty outside
// The list index whose extension matches the file's (case-insensitive), or 0.
int SaveIndexForPath(const QString& path);
bool IsJpegFormat(int formatCode);              // codes 7 and 8

// The save-list index for a command line: explicitIndex when given (> 0),
// otherwise the index the path's extension names; 0 when neither decides.
int ChooseSaveIndex(const QString& path, int explicitIndex);
