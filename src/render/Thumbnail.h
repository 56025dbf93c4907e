#pragma once
// Thumbnails of box files for file managers: the box area as printed at
// 100 %, scaled to a given size on its longer side.

#include <QImage>
#include <QString>

struct BoxDocument;
class Prompter;

namespace thumbnail {
inline constexpr int DefaultSize = 256;
inline constexpr int MaxSize = 2048;
}  // namespace thumbnail

// Renders doc's box area (margins left aside: a thumbnail shows the box, not
// the sheet) so that its longer side is size pixels. Null when nothing can
// be drawn (empty item size, a render pass already running).
QImage renderThumbnail(BoxDocument& doc, int size);

// Opens the box file with pictures decoded only as large as the thumbnail
// needs, then renders it. Unreadable pictures are left out (reported to
// prompter); a damaged or unreadable box file gives a null image.
QImage thumbnailOfFile(const QString& boxPath, int size, Prompter& prompter);
