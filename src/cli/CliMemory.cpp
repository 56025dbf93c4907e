#include "cli/CliMemory.h"

#include "cli/CliCommand.h"

#include <QLocale>
#include <limits>

namespace climemory {

qint64 pictureBytes(qint64 width, qint64 height) {
    if (width <= 0 || height <= 0) return 0;
    const qint64 most = std::numeric_limits<qint64>::max() / 4;
    if (width > most / height) return std::numeric_limits<qint64>::max();
    return width * height * 4;
}

QString sizeText(qint64 bytes) {
    const QLocale german(QLocale::German);
    const double mb = double(bytes) / (1024.0 * 1024.0);
    if (mb < 1024) return german.toString(qMax(1.0, mb), 'f', 0) + QStringLiteral(" MB");
    const double gb = mb / 1024.0;
    return german.toString(gb, 'f', gb == double(qint64(gb)) ? 0 : 1) + QStringLiteral(" GB");
}

}  // namespace climemory

bool memoryAllowed(const CliContext& ctx, const QString& path, qint64 bytes, const QString& remedy) {
    if (bytes <= climemory::Limit) return true;
    ctx.fileError(path, QStringLiteral("Dafür wären etwa %1 Arbeitsspeicher nötig, mehr als die erlaubten %2; "
                                       "bitte %3 wählen.")
                            .arg(climemory::sizeText(bytes), climemory::sizeText(climemory::Limit), remedy));
    return false;
}
