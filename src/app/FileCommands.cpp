#include "app/FileCommands.h"

#include "app/SaveTarget.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "model/FolderMemory.h"
#include "model/NewDocument.h"
#include "model/Prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

FileCommands::FileCommands(BoxDocument& doc, Prompter& prompter, Hooks hooks)
    : m_doc(doc), m_prompter(prompter), m_hooks(std::move(hooks)) {}

bool FileCommands::offerSave(const QString& caption) {
    if (m_hooks.modified && !m_hooks.modified()) return true;
    switch (m_prompter.ask(caption, saveQuestion(), PromptIcon::Question, PromptButtons::YesNoCancel)) {
    case PromptAnswer::Yes: return SaveItemClick();
    case PromptAnswer::No: return true;
    default: return false;
    }
}

void FileCommands::runStartupNew() {
    doNew();
    m_startupDone = true;
}

void FileCommands::Neu1Click() {
    if (m_startupDone && !offerSave(QStringLiteral("Neue Faltarillon"))) return;
    doNew();
}

bool FileCommands::newForPaper(PaperFormat paper) {
    if (m_startupDone && !offerSave(QStringLiteral("Neue Faltarillon"))) return false;
    doNew(paper);
    return true;
}

void FileCommands::doNew(PaperFormat paper) {
    newDocument(m_doc, paper);
    if (m_hooks.setCaption) m_hooks.setCaption(captionFor(m_doc.FileName));
    if (m_hooks.afterNew) m_hooks.afterNew();
}

void FileCommands::OpenItemClick() {
    const QString path = m_prompter.openPath(QStringLiteral("Öffnen"),
                                             startFolder(m_folders, FileKind::Box, m_doc.FileName), boxFilter());
    if (path.isEmpty()) return;
    openFile(path);
}

bool FileCommands::openAfterQuestion(const QString& path) {
    if (!offerSave(QStringLiteral("Faltarillon öffnen"))) return false;
    return OpenItNow(m_doc, path, m_prompter, m_hooks.progress);
}

bool FileCommands::openFile(const QString& path) {
    if (!openAfterQuestion(path)) return false;
    m_doc.FileName = path;
    rememberFolder(m_folders, FileKind::Box, path);
    if (m_hooks.setCaption) m_hooks.setCaption(captionFor(m_doc.FileName));
    if (m_hooks.fileUsed) m_hooks.fileUsed(path);
    if (m_hooks.afterOpen) m_hooks.afterOpen();
    return true;
}

bool FileCommands::openSample(const QString& path) {
    if (!openAfterQuestion(path)) return false;
    m_doc.FileName.clear();
    // A picture stored by its bare name was found beside the sample; keep
    // that place, or a copy saved elsewhere would lose its pictures.
    const QDir sampleFolder = QFileInfo(path).absoluteDir();
    auto anchor = [&](QString& stored) {
        if (stored.isEmpty() || stored.contains(QLatin1Char('/')) || stored.contains(QLatin1Char('\\'))) return;
        if (QFileInfo(m_doc.ProgramFolder + stored).isFile()) return;
        const QString beside = sampleFolder.filePath(stored);
        if (QFileInfo(beside).isFile()) stored = beside;
    };
    anchor(m_doc.BackgroundFile);
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot)
        if (m_doc.Objects[slot].Kind == Image) anchor(m_doc.Objects[slot].Content);
    if (m_hooks.setCaption) m_hooks.setCaption(captionFor(m_doc.FileName));
    if (m_hooks.afterOpen) m_hooks.afterOpen();
    return true;
}

bool FileCommands::writeTo(const QString& path) {
    if (!Saveit(m_doc, path, m_prompter)) return false;
    if (m_hooks.saved) m_hooks.saved();
    m_doc.FileName = path;
    rememberFolder(m_folders, FileKind::Box, path);
    if (m_hooks.setCaption) m_hooks.setCaption(captionFor(m_doc.FileName));
    if (m_hooks.fileUsed) m_hooks.fileUsed(path);
    return true;
}

bool FileCommands::SaveItemClick() {
    if (!m_doc.FileName.isEmpty()) return writeTo(m_doc.FileName);
    return Speichernunter1Click();
}

bool FileCommands::Speichernunter1Click() {
    QString path = m_prompter.savePath(QStringLiteral("Speichern unter"),
                                       startFolder(m_folders, FileKind::Box, m_doc.FileName), boxFilter(), QString());
    if (path.isEmpty()) return false;
    // The dialog's default extension, for a name typed without one.
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".box");
    // Any existing file is only replaced after a Yes, also one we could not
    // open for writing: the save replaces files as a whole.
    if (!mayReplace(m_prompter, path)) return false;
    return writeTo(path);
}

bool FileCommands::ExitItemClick() { return offerSave(QStringLiteral("Programm beenden")); }
