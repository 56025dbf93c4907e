#pragma once
// The extension after a box file's end marker: "FALTEXT", a version digit,
// then chunks of a 4-byte tag, a little-endian uint32 length and that many
// bytes, closed by the tag "END " of length 0 with nothing after it. A
// reader that stops at the end marker never sees it, so older versions open
// such a file as the cube with the same objects.
//
// Chunk "FORM": int32 form, then float64 L, B, H in mm; 1 = the lock-lid
// cuboid (28 bytes), 2 = the sleeve, followed by float64 board thickness
// (36 bytes). Versions that knew only the lock-lid box refuse a form of 2
// or more and a longer chunk as newer, so they never open a different box.
// Chunks whose tag starts with a lowercase letter belong to a newer version
// that lets older ones keep them: they are kept byte for byte, at most
// KeptChunks::MaxCount of them with KeptChunks::MaxBytes of data (more is
// damage: no version writes it).

#include "model/BoxFileReader.h"
#include "model/BoxForm.h"

#include <QByteArray>

namespace boxext {
inline constexpr char kMagic[] = "FALTEXT";
inline constexpr int kMagicSize = 7;
inline constexpr char kVersion = '1';
inline constexpr int kFormChunkSize = 28;
inline constexpr int kStyledFormChunkSize = 36;
inline constexpr std::int32_t kFormLockLidCuboid = 1;
inline constexpr std::int32_t kFormSleeve = 2;
}  // namespace boxext

// Whether a document needs the extension: a cuboid (of any style), or kept chunks.
bool needsBoxExtension(const BoxForm& form, const KeptChunks& chunks);

// The extension's bytes (empty when none is needed): FORM first, then the
// kept chunks in the order read, then "END ".
QByteArray boxExtensionBytes(const BoxForm& form, const KeptChunks& chunks);

// Reads what follows the end marker, from offset start. Bytes that do not
// begin with "FALTEXT" (nor are a cut-off beginning of it) are ignored and
// leave the cube. form and chunks are only set on success.
BoxParseResult parseBoxExtension(const QByteArray& data, qsizetype start, BoxForm& form, KeptChunks& chunks);
