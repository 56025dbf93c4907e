#pragma once
// Thumbnails of box files for file managers: the net as printed at 100 %,
// its cut outline's bounding box scaled to a given size on its longer side
// (the rest of the box area is blank paper a thumbnail has no room for).

#include <QImage>
#include <QString>

struct BoxDocument;
class Prompter;

namespace thumbnail {
inline constexpr int DefaultSize = 256;
inline constexpr int MaxSize = 2048;
// Why a thumbnail could not be drawn.
inline const QString NoNetText = QStringLiteral("Das Netz der Box ist zu klein, um gezeichnet zu werden");
inline const QString NoMemoryText = QStringLiteral("Nicht genug Arbeitsspeicher");
inline const QString BusyText = QStringLiteral("Es wird gerade schon gezeichnet");
}  // namespace thumbnail

// Renders doc's net (margins left aside: a thumbnail shows the box, not the
// sheet) so that its cut outline's longer side is size pixels. Null when
// nothing can be drawn (empty item size, a render pass already running,
// memory short); why, when given, then says which (thumbnail::...Text).
// Only the net's bounds are drawn, at about twice the thumbnail's size:
// the memory follows the thumbnail, not the item.
QImage renderThumbnail(BoxDocument& doc, int size, QString* why = nullptr);

// Opens the box file with pictures decoded only as large as the thumbnail
// needs, then renders it. Unreadable pictures are left out (reported to
// prompter); a damaged or unreadable box file gives a null image (reported
// to prompter, why left alone), as does a net that cannot be drawn (why set).
// The first half of it: the box file with its pictures decoded for size.
bool openForThumbnail(BoxDocument& doc, const QString& boxPath, int size, Prompter& prompter);
QImage thumbnailOfFile(const QString& boxPath, int size, Prompter& prompter, QString* why = nullptr);
