#include "app/SaveTarget.h"

#include "model/Prompter.h"

#include <QDir>
#include <QFileInfo>

QString askSaveTarget(Prompter& prompter, const QString& folder, const QString& boxFile, const QString& caption,
                      const QString& filter, const QString& ext) {
    QString suggested = QFileInfo(boxFile).completeBaseName();
    if (suggested.isEmpty()) suggested = QStringLiteral("Faltarillon");
    QString path = prompter.savePath(caption, folder, filter, suggested + QLatin1Char('.') + ext);
    if (path.isEmpty()) return path;
    if (QFileInfo(path).suffix().isEmpty()) path += QLatin1Char('.') + ext;
    return path;
}

bool mayReplace(Prompter& prompter, const QString& path) {
    return !QFileInfo::exists(path) ||
           prompter.ask(QStringLiteral("Vorhandene Datei Überschreiben?"),
                        QStringLiteral("Die Datei existiert schon, soll Sie überschrieben werden?"),
                        PromptIcon::Question, PromptButtons::YesNo) == PromptAnswer::Yes;
}
