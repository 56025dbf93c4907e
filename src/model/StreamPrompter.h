#pragma once
// A prompter for programs without a window: messages go to a text stream
// (the command-line tool's stderr), questions get a fixed answer and file
// dialogs are cancelled.

#include "model/Prompter.h"

#include <QTextStream>

class StreamPrompter : public Prompter {
public:
    explicit StreamPrompter(QTextStream& stream, PromptAnswer answer = PromptAnswer::No)
        : m_stream(stream), m_answer(answer) {}

    PromptAnswer ask(const QString& caption, const QString& text, PromptIcon icon, PromptButtons) override {
        inform(caption, text, icon);
        return m_answer;
    }
    void inform(const QString& caption, const QString& text, PromptIcon) override {
        ++m_count;
        if (!caption.isEmpty()) m_stream << caption << ": ";
        m_stream << text << "\n";
        m_stream.flush();
    }
    QString openPath(const QString&, const QString&, const QString&) override { return QString(); }
    QString savePath(const QString&, const QString&, const QString&, const QString&) override { return QString(); }

    int messageCount() const { return m_count; }

private:
    QTextStream& m_stream;
    PromptAnswer m_answer;
    int m_count = 0;
};
