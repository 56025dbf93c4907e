#pragma once
// The prompter of faltarillon-cli: every message goes to stderr after
// "faltarillon-cli VERB: ", a file that could not be read or written as
// "PATH: reason" alone; questions get No and file dialogs are cancelled.
// Each message counts in the context's faults (after a successful open: a
// picture that could not be loaded), for --strict.

#include "cli/CliCommand.h"
#include "model/Prompter.h"

class CliPrompter : public Prompter {
public:
    explicit CliPrompter(CliContext& ctx) : m_ctx(ctx) {}

    PromptAnswer ask(const QString& caption, const QString& text, PromptIcon icon, PromptButtons) override {
        inform(caption, text, icon);
        return PromptAnswer::No;
    }
    void inform(const QString& caption, const QString& text, PromptIcon icon) override;
    void fileFault(const QString& caption, const QString& text, const QString& path, const QString& reason,
                   PromptIcon icon) override;
    QString openPath(const QString&, const QString&, const QString&) override { return QString(); }
    QString savePath(const QString&, const QString&, const QString&, const QString&) override { return QString(); }

private:
    CliContext& m_ctx;
};
