#pragma once
// Fixed parts of the box file format: the identifier, sizes and limits.
// Little-endian, no padding; see BoxFileWriter for the order of fields.

#include <cstdint>

namespace boxfile {

// 32 characters followed by one zero byte.
inline constexpr char kIdentifier[] = "ORB-LUX Faltarillon-Designer 1.0";
inline constexpr int kIdentifierSize = 33;
inline constexpr int kLayoutSize = 112;
// A slot number above the last slot ends the object list; this is the one we write.
inline constexpr std::int32_t kEndMarker = 10001;
// Object record without its two strings and their terminating zeros.
inline constexpr int kRecordFixedSize = 79;

// What a readable file may hold. Anything outside is damage, not design:
// the editor never produces it, and it would make the editing area or the
// coordinate conversions overflow.
inline constexpr std::int64_t kMaxFileSize = 256LL * 1024 * 1024;
inline constexpr std::int32_t kMaxExtent = 25000000;        // about 31 m, three 10 m nets
inline constexpr double kMaxSheetMm = 10000;                 // any length of the sheet layout
inline constexpr double kMinZoom = 1e-3, kMaxZoom = 1e3;
inline constexpr double kMinScreenDivisor = 1e-3, kMaxScreenDivisor = 1e6;
inline constexpr std::int64_t kMaxSurfacePixels = 1000000;  // editing area, per side

}  // namespace boxfile
