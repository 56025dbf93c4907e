#pragma once
// Parses the bytes of a box file into a document, without touching any
// image file: pictures stay empty; loading them is BoxFile's business.
// Every read is bounds-checked; a damaged file yields an error, never a
// read outside the buffer.

#include "model/BoxDocument.h"

#include <QByteArray>
#include <QString>

enum class BoxParseError {
    None,
    WrongIdentifier,      // the first 33 bytes are not the identifier
    Truncated,            // the file ends before the end marker
    BadSlot,              // slot number below 1
    UnterminatedString,   // a string runs to the end of the file
    BadZoom,              // Zoom not a finite number in range
    BadScreenDivisor,     // ScreenDivisor not a finite number in range
    BadExtent,            // negative or absurdly large editing area
    BadGrid,              // Columns or Rows below 1
    BadLayoutSize,        // margins, pitches or item size not finite or absurd
    BadKind,              // an object's Kind is not 1, 2 or 3
    NewerVersion,         // the extension comes from a newer version
    BadExtension,         // the extension after the end marker is damaged
    ExtensionTruncated,   // the file ends inside the extension
};

struct BoxParseResult {
    BoxParseError error = BoxParseError::None;
    qsizetype offset = 0;   // where the fault was found
    std::int32_t value = 0; // the offending slot number or kind
    std::int32_t slot = 0;  // the slot being read when the fault was found
    bool ok() const { return error == BoxParseError::None; }
};

// True when the first 33 bytes are the identifier; all 33 are compared.
bool hasBoxIdentifier(const QByteArray& data);

// Reads data into doc, which should be fresh (all slots free). Sets layout,
// extent, zoom, divisor, background mode and file, the objects, and from the
// extension after the end marker the form and the kept chunks; leaves
// ProgramFolder, FileName and CurrentObject alone. On failure doc holds a
// partial result and must be discarded.
BoxParseResult parseBoxDocument(const QByteArray& data, BoxDocument& doc);

inline const QString NewerVersionText = QStringLiteral("Die Datei wurde mit einer neueren Version erstellt.");
// The reason in the "PATH: Grund" line of that refusal.
inline const QString NewerVersionReason = QStringLiteral("mit einer neueren Version erstellt");

// German description of a parse fault, for the message box and the CLI.
QString describeParseError(const BoxParseResult& result);
