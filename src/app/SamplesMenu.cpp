#include "app/SamplesMenu.h"

#include "app/MenuCaption.h"

#include <QAction>
#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

SamplesMenu::SamplesMenu(QMenu* menu, const QString& programFolder, QObject* parent) : QObject(parent) {
    const QStringList files = sampleFiles(samplesFolder(programFolder));
    for (const QString& path : files) {
        QAction* a = menu->addAction(menuCaptionText(titleOf(path)));
        a->setStatusTip(QStringLiteral("Öffnet die Beispielbox als neue, unbenannte Box"));
        connect(a, &QAction::triggered, this, [this, path] { emit openRequested(path); });
    }
    menu->menuAction()->setEnabled(!files.isEmpty());
}

QString SamplesMenu::samplesFolder(const QString& programFolder) {
    const QString candidates[] = {programFolder + QStringLiteral("../share/faltarillon/beispiele"),
                                  programFolder + QStringLiteral("beispiele")};
    for (const QString& c : candidates)
        if (QFileInfo(c).isDir()) return QDir(c).absolutePath();
    return QString();
}

QStringList SamplesMenu::sampleFiles(const QString& folder) {
    if (folder.isEmpty()) return {};
    QStringList files;
    const QFileInfoList entries = QDir(folder).entryInfoList({QStringLiteral("*.box")}, QDir::Files, QDir::Name);
    for (const QFileInfo& f : entries) files << f.absoluteFilePath();
    QCollator collator(QLocale(QLocale::German, QLocale::Germany));
    std::sort(files.begin(), files.end(),
              [&](const QString& a, const QString& b) { return collator.compare(titleOf(a), titleOf(b)) < 0; });
    return files;
}

QString SamplesMenu::titleOf(const QString& path) { return QFileInfo(path).completeBaseName(); }
