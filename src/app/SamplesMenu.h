#pragma once
// "Beispie&le": one item per sample design shipped with the program, its
// title being the file's name without ".box". The samples lie in
// share/faltarillon/beispiele beside the installed program, or in
// "beispiele" beside the program in the build folder.

#include <QObject>
#include <QStringList>

class QMenu;

class SamplesMenu : public QObject {
    Q_OBJECT
public:
    SamplesMenu(QMenu* menu, const QString& programFolder, QObject* parent = nullptr);

    // The first of the two places that exists; empty when neither does.
    static QString samplesFolder(const QString& programFolder);
    // The sample files of folder, sorted by title.
    static QStringList sampleFiles(const QString& folder);
    static QString titleOf(const QString& path);

signals:
    void openRequested(const QString& path);
};
