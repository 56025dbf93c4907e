#include "edit/TextLines.h"

QStringList splitContentLines(const QString& content) {
    QStringList lines = content.split(QChar(13));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QString joinContentLines(const QStringList& lines) {
    return lines.join(QChar(13));
}
