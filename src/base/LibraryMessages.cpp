#include "base/LibraryMessages.h"

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

std::atomic<int> complaints{0};
QtMessageHandler previous = nullptr;
bool passThrough = false;

// libjpeg's warnings for data it read around; the picture comes back anyway.
bool isDamagedPictureWarning(const QMessageLogContext& context, const QString& text) {
    return context.category && std::strncmp(context.category, "qt.gui.imageio", 14) == 0 &&
           (text.contains(QLatin1String("Corrupt JPEG data")) ||
            text.contains(QLatin1String("Premature end of JPEG file")));
}

void filter(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (isDamagedPictureWarning(context, text)) ++complaints;
    if (type != QtFatalMsg && !passThrough) return;
    if (previous) previous(type, context, text);
    else std::fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

void silenceLibraryMessages() {
    passThrough = qEnvironmentVariableIntValue("FALTARILLON_DEBUG") > 0;
    const QtMessageHandler old = qInstallMessageHandler(filter);
    if (old != filter) previous = old;
}

int damagedPictureComplaints() { return complaints.load(); }
