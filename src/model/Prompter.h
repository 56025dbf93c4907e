#pragma once
// The one channel through which commands ask the user questions, show
// messages and get file paths. The program answers with real message boxes
// and file dialogs; tests and the command-line tool script the answers and
// collect the messages.

#include "base/ErrnoText.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

class Prompter {
public:
    virtual ~Prompter() = default;
    // An empty caption means the application title.
    virtual PromptAnswer ask(const QString& caption, const QString& text, PromptIcon icon,
                             PromptButtons buttons) = 0;
    virtual void inform(const QString& caption, const QString& text, PromptIcon icon) = 0;
    // A file that could not be read or written: the message as inform shows
    // it, plus the file and the reason in the wording of base/ErrnoText.h
    // ("Kein Speicherplatz mehr"). The command-line tool says only
    // "PATH: reason"; the program's boxes keep their text and add
    // "PATH: reason" as a line of its own below it.
    virtual void fileFault(const QString& caption, const QString& text, const QString& path,
                           const QString& reason, PromptIcon icon) {
        inform(caption, withFileReason(text, path, reason), icon);
    }
    static QString withFileReason(const QString& text, const QString& path, const QString& reason) {
        if (reason.isEmpty()) return text;
        return text + QLatin1Char('\n') + fileReasonLine(path, reason);
    }
    // A question whose two buttons say what they do ("Trotzdem drucken",
    // "Abbrechen"); the first is the default. Yes for the first button, No
    // for the second or when the box is dismissed. Without buttons of its
    // own a prompter asks Yes/No.
    virtual PromptAnswer choose(const QString& caption, const QString& text, PromptIcon icon,
                                const QString& firstButton, const QString& secondButton) {
        Q_UNUSED(firstButton);
        Q_UNUSED(secondButton);
        return ask(caption, text, icon, PromptButtons::YesNo);
    }
    // Empty result = cancelled.
    virtual QString openPath(const QString& caption, const QString& folder, const QString& filter) = 0;
    virtual QString savePath(const QString& caption, const QString& folder, const QString& filter,
                             const QString& suggestedName) = 0;
};

// Scripted answers, recorded messages.
class RecordingPrompter : public Prompter {
public:
    struct Message {
        QString caption;
        QString text;
        PromptIcon icon;
        bool question;
        QString path;     // of a fileFault
        QString reason;
    };

    std::deque<PromptAnswer> answers;    // taken in order; Cancel when exhausted
    std::deque<QString> openPaths;       // taken in order; empty when exhausted
    std::deque<QString> savePaths;
    std::vector<Message> messages;
    std::vector<QString> folders;        // where each file dialog started

    PromptAnswer ask(const QString& caption, const QString& text, PromptIcon icon,
                     PromptButtons buttons) override {
        Q_UNUSED(buttons);
        messages.push_back({caption, text, icon, true, {}, {}});
        if (answers.empty()) return PromptAnswer::Cancel;
        PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void inform(const QString& caption, const QString& text, PromptIcon icon) override {
        messages.push_back({caption, text, icon, false, {}, {}});
    }
    void fileFault(const QString& caption, const QString& text, const QString& path, const QString& reason,
                   PromptIcon icon) override {
        messages.push_back({caption, text, icon, false, path, reason});
    }
    QString openPath(const QString&, const QString& folder, const QString&) override {
        folders.push_back(folder);
        return take(openPaths);
    }
    QString savePath(const QString&, const QString& folder, const QString&, const QString&) override {
        folders.push_back(folder);
        return take(savePaths);
    }

private:
    static QString take(std::deque<QString>& q) {
        if (q.empty()) return QString();
        QString s = q.front();
        q.pop_front();
        return s;
    }
};
