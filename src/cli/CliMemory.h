#pragma once
// What a verb may hold in memory. A verb works out its largest buffers from
// its options before it starts and refuses the work beyond the limit with a
// German message, instead of being ended by the system halfway (or by
// std::bad_alloc in a writer). Whatever still runs out is caught once for
// every verb (see main.cpp) and said as OutOfMemoryText.

#include <QString>
#include <QtGlobal>

struct CliContext;

namespace climemory {
inline constexpr qint64 Limit = 1024LL * 1024 * 1024;
inline const QString OutOfMemoryText = QStringLiteral("Nicht genug Arbeitsspeicher.");

// Bytes of a 32-bit picture of width x height, without overflow.
qint64 pictureBytes(qint64 width, qint64 height);
// "4,4 GB" or "850 MB".
QString sizeText(qint64 bytes);
}  // namespace climemory

// True when bytes stay within climemory::Limit; otherwise says on stderr
// that the work on path would need about that much (remedy: what to choose
// instead, "eine kleinere Auflösung") and returns false.
bool memoryAllowed(const CliContext& ctx, const QString& path, qint64 bytes, const QString& remedy);
