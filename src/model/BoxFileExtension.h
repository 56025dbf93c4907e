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
// Chunk "grup": groups and locks. uint32 count, then count entries of 32
// bytes: uint32 slot (1..10000), uint32 group (0 for none), uint32 flags
// (bit 0: locked), and the object it was written for: int32 Kind, Left,
// Top, Width, Height. Its tag is lowercase, so an older version keeps it as
// it is while it may delete or exchange objects: the reader drops an entry
// whose slot is free or whose object no longer matches its check.
// Chunk "sdat": the linked data. uint32 separator (0 comma, 1 semicolon,
// 2 tab), uint32 encoding (0 UTF-8, 1 Windows-1252), uint32 n, then n bytes
// of the data file's path in UTF-8 with '/' between folders: relative to the
// box file's folder where the data lies in it or below it (written afresh
// on every save, for the place saved to), else absolute. Lowercase, so an
// older version keeps it and shows the texts with their fields as typed. A
// chunk that says anything else (a separator of a newer version, more
// bytes) is kept as it is and links nothing.
// Chunks whose tag starts with a lowercase letter belong to a newer version
// that lets older ones keep them: they are kept byte for byte, at most
// KeptChunks::MaxCount of them with KeptChunks::MaxBytes of data (more is
// damage: no version writes it).

#include "model/BoxFileReader.h"
#include "model/BoxForm.h"
#include "model/SeriesData.h"

#include <QByteArray>

#include <vector>

class ObjectTable;

// One entry of the "grup" chunk as read, with where it stands in the file.
struct GroupEntry {
    std::int32_t slot = 0;
    std::int32_t group = 0;
    bool locked = false;
    std::int32_t kind = 0, left = 0, top = 0, width = 0, height = 0;
    qsizetype offset = 0;
};

namespace boxext {
inline constexpr char kMagic[] = "FALTEXT";
inline constexpr int kMagicSize = 7;
inline constexpr char kVersion = '1';
inline constexpr int kFormChunkSize = 28;
inline constexpr int kStyledFormChunkSize = 36;
inline constexpr std::int32_t kFormLockLidCuboid = 1;
inline constexpr std::int32_t kFormSleeve = 2;
inline constexpr char kGroupTag[] = "grup";
inline constexpr int kGroupEntrySize = 32;
inline constexpr std::uint32_t kLockedFlag = 1;
inline constexpr char kSeriesTag[] = "sdat";
inline constexpr int kSeriesHeaderSize = 12;
}  // namespace boxext

// Whether a document needs the extension: a cuboid (of any style), kept
// chunks, a grouped or locked object, or linked data.
bool needsBoxExtension(const BoxForm& form, const KeptChunks& chunks, const ObjectTable* objects = nullptr,
                       const SeriesLink* series = nullptr);

// The extension's bytes (empty when none is needed): FORM first, then
// "grup", then "sdat" (its path as stored for a box file at boxPath), then
// the kept chunks in the order read, then "END ".
QByteArray boxExtensionBytes(const BoxForm& form, const KeptChunks& chunks, const ObjectTable* objects = nullptr,
                             const SeriesLink* series = nullptr, const QString& boxPath = QString());

// The data file's path as a box file at boxPath stores it: relative with '/'
// where the data lies in the box file's folder or below it, else absolute
// (always for a box file not saved yet, an empty boxPath).
QString storedSeriesPath(const QString& dataPath, const QString& boxPath);
// The absolute path of a stored one, a relative path taken from the folder
// of the box file at boxPath.
QString resolveSeriesPath(const QString& storedPath, const QString& boxPath);

// Reads what follows the end marker, from offset start. Bytes that do not
// begin with "FALTEXT" (nor are a cut-off beginning of it) are ignored and
// leave the cube. form, chunks, groups and series are only set on success;
// without a place for the groups or the series, "grup" or "sdat" is kept
// like any unknown chunk. The series' path is as stored (resolveSeriesPath).
BoxParseResult parseBoxExtension(const QByteArray& data, qsizetype start, BoxForm& form, KeptChunks& chunks,
                                 std::vector<GroupEntry>* groups = nullptr, SeriesLink* series = nullptr);

// Gives the objects their groups and locks. Entries naming a free slot or an
// object other than the one they were written for are dropped, and so is a
// group left with a single member.
void applyGroupEntries(ObjectTable& objects, const std::vector<GroupEntry>& entries);
