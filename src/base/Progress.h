#pragma once
// Long work reports its progress in percent (0..100) and learns from the
// answer whether to go on: false means the user stopped it, and the work
// ends as soon as it cleanly can, leaving nothing half-written. The main
// window shows a bar (with "Abbrechen" for print, export and the sheet's
// files); tests and the command-line tool pass nothing, which always goes on.

#include <QString>

#include <functional>

using ProgressCallback = std::function<bool(int percent)>;

// Asks the callback; an empty one means "go on".
inline bool goOn(const ProgressCallback& progress, int percent) { return !progress || progress(percent); }

// The callback for a stretch [from, to] of a larger job: its 0..100 become
// from..to of the whole. Empty stays empty.
inline ProgressCallback progressStretch(const ProgressCallback& whole, int from, int to) {
    if (!whole) return {};
    return [whole, from, to](int percent) {
        const int p = percent < 0 ? 0 : percent > 100 ? 100 : percent;
        return whole(from + (to - from) * p / 100);
    };
}

// What a job the user stopped says: "Abgebrochen." on its own, or with the
// job's name, "Exportieren abgebrochen.".
inline QString stoppedText(const QString& job = QString()) {
    return job.isEmpty() ? QStringLiteral("Abgebrochen.") : job + QStringLiteral(" abgebrochen.");
}
