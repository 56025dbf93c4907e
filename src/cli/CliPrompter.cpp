#include "cli/CliPrompter.h"

void CliPrompter::inform(const QString& caption, const QString& text, PromptIcon) {
    ++m_ctx.faults;
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_ctx.message(caption.isEmpty() ? line : caption + QStringLiteral(": ") + line);
}

void CliPrompter::fileFault(const QString&, const QString&, const QString& path, const QString& reason, PromptIcon) {
    ++m_ctx.faults;
    m_ctx.fileError(path, reason);
}
